#pragma once
// Warnings of a calculation run: the text shown to the user per operating point, and the list
// of result controls the form marks (each control ID written as ";%i;").
#include <string>

namespace tarvik {

using ControlFlagList = std::string;

enum WarningField { kFieldNone = -1, kFieldKv = 1, kFieldVelocity = 4, kFieldNoise = 6 };

// Control ID of the result field of a point, 0 when the pair is unknown.
int ResultControlId(int fieldType, int point);

// Appends the text to the point's message and, for a known field and point, marks the control.
void AddWarning(int fieldType, int point, const std::string& text, std::string& message,
                ControlFlagList& flags);

}  // namespace tarvik
