#pragma once
// The one mapping between a characteristic's stored code and its text in the active language:
// 63059 linear, 63060 equal percentage, 63061 table, 63102 on-off.
#include <string>

namespace tarvik {

// "" for a code outside 0..3.
std::string CharacteristicText(int code);
// -1 when no text matches; "" is no characteristic, even where a pack lacks a text.
int CharacteristicCode(const std::string& text);

}  // namespace tarvik
