#include "calc/warnings.hpp"

#include <string>

namespace tarvik {

void AddWarning(ResultField field, int point, const std::string& text, std::string& message, ResultMarks& marks) {
    message += text;
    if (field != ResultField::None && point >= 0 && point <= 2) marks.push_back({field, point});
}

}  // namespace tarvik
