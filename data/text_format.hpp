#pragma once
// Filling in a text that carries a "%1" place for its argument.
#include <string>

namespace tarvik {

// The text with every "%1" replaced by the argument.
std::string FormatTextWith(const std::string& text, const std::string& arg);

}  // namespace tarvik
