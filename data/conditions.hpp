#pragma once
// Condition texts that restrict catalogue choices: "{dn>=25}{dn<=80}" holds when every braced
// comparison of a condition variable with a number holds.
//
// The variables are named numeric quantities listed in specpodm.tkd. The list of the running
// program is CurrentConditionVariables(): loaded once on first use (LoadConditionVariables()),
// its values recomputed by the specification command. Every function also has a form that takes
// the list explicitly, for tests and for callers that keep their own.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

struct ConditionVariable {
    std::string name;
    std::string source;  // "pa" largest over the enabled points, "pi" smallest, "v" single value
    int index = -1;      // quantity or value number
    std::string unit;
    std::string kind;    // "p" pressure, "t" temperature, "l" length
    double value = 0.0;
};

using ConditionVariableList = std::vector<ConditionVariable>;

ConditionVariableList& CurrentConditionVariables();

// Value of the first variable named exactly `name`; 0 when there is none.
double GetVariableValue(std::string_view name, const ConditionVariableList& vars);
double GetVariableValue(std::string_view name);

bool EvalConditions(std::string_view conditions, const ConditionVariableList& vars);
bool EvalConditions(std::string_view conditions);

// One line of specpodm.tkd: "name;source;index;unit;kind;". Reading stops at the first empty
// field; fields not read keep their defaults.
ConditionVariable ParseConditionVariable(std::string_view line);

// The variables of the file's contents, one per line that is neither empty nor a comment.
ConditionVariableList ParseConditionVariables(std::string_view fileBytes);

// Replaces `vars` by the variables of the file. When the file cannot be opened, message 63020
// with the path is shown, the list stays empty and the result is false.
bool LoadConditionVariables(const std::filesystem::path& file, ConditionVariableList& vars);
// Loads ProgramDir()/"specpodm.tkd" into CurrentConditionVariables().
bool LoadConditionVariables();

}  // namespace tarvik
