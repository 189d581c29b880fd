#pragma once
// Warnings of a calculation run: the text shown to the user per operating point, and the marks
// on results (which result of which point) that a front end shows, for example in red.
#include <string>
#include <vector>

namespace tarvik {

// The results a warning can mark.
enum class ResultField { None, Kv, Velocity, Noise };

struct ResultMark {
    ResultField field = ResultField::None;
    int point = 0;  // operating point 0..2
    bool operator==(const ResultMark&) const = default;
};

// In the order the run marked them; a result marked twice stands twice.
using ResultMarks = std::vector<ResultMark>;

// Appends the text to the point's message and, for a result field and a point 0..2, marks it.
void AddWarning(ResultField field, int point, const std::string& text, std::string& message, ResultMarks& marks);

}  // namespace tarvik
