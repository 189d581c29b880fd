#include "calc/warnings.hpp"

#include <string>

namespace tarvik {

int ResultControlId(int fieldType, int point) {
    if (point < 0 || point > 2) return 0;
    static const int kv[] = {1078, 1081, 1093};
    static const int velocity[] = {1123, 1129, 1130};
    static const int noise[] = {1142, 1169, 1173};
    switch (fieldType) {
        case kFieldKv: return kv[point];
        case kFieldVelocity: return velocity[point];
        case kFieldNoise: return noise[point];
        default: return 0;
    }
}

void AddWarning(int fieldType, int point, const std::string& text, std::string& message,
                ControlFlagList& flags) {
    message += text;
    if (int id = ResultControlId(fieldType, point); id != 0) flags += ";" + std::to_string(id) + ";";
}

}  // namespace tarvik
