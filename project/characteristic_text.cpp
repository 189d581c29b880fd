#include "project/characteristic_text.hpp"

#include "data/language.hpp"

namespace tarvik {

std::string CharacteristicText(int code) {
    switch (code) {
        case 0: return GetText(63059);
        case 1: return GetText(63060);
        case 2: return GetText(63061);
        case 3: return GetText(63102);
        default: return "";
    }
}

int CharacteristicCode(const std::string& text) {
    if (text.empty()) return -1;
    for (int code = 0; code < 4; ++code)
        if (text == CharacteristicText(code)) return code;
    return -1;
}

}  // namespace tarvik
