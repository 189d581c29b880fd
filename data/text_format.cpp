#include "data/text_format.hpp"

namespace tarvik {

std::string FormatTextWith(const std::string& text, const std::string& arg) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '1') {
            out += arg;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace tarvik
