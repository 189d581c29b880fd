#include "data/conditions.hpp"

#include <cctype>
#include <climits>

#include "data/messages.hpp"
#include "data/number_text.hpp"
#include "data/program_dir.hpp"
#include "data/text_lines.hpp"

namespace tarvik {

ConditionVariableList& CurrentConditionVariables() {
    static ConditionVariableList vars;
    return vars;
}

double GetVariableValue(std::string_view name, const ConditionVariableList& vars) {
    for (const auto& v : vars) {
        if (v.name == name) return v.value;
    }
    return 0.0;
}

double GetVariableValue(std::string_view name) {
    return GetVariableValue(name, CurrentConditionVariables());
}

namespace {

bool IsOperatorChar(char c) { return c == ' ' || c == '<' || c == '>' || c == '='; }

bool ConditionHolds(std::string_view condition, const ConditionVariableList& vars) {
    std::size_t i = 0;
    while (i < condition.size() && !IsOperatorChar(condition[i])) ++i;
    const std::string_view name = condition.substr(0, i);
    const std::size_t opStart = i;
    while (i < condition.size() && IsOperatorChar(condition[i])) ++i;
    const std::string_view op = condition.substr(opStart, i - opStart);
    const double v = ParseNumber(std::string(condition.substr(i)));
    const double x = GetVariableValue(name, vars);
    if (op == "<") return x < v;
    if (op == "<=") return x <= v;
    if (op == ">") return x > v;
    if (op == ">=") return x >= v;
    if (op == "=") return x == v;
    return true;  // an operator not understood does not restrict the choice
}

// atoi without its undefined overflow: digits beyond the int range saturate.
int AtoiSaturating(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    long long n = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        n = n * 10 + (s[i] - '0');
        if (n > static_cast<long long>(INT_MAX) + 1) n = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) n = -n;
    if (n > INT_MAX) n = INT_MAX;
    return static_cast<int>(n);
}

}  // namespace

bool EvalConditions(std::string_view conditions, const ConditionVariableList& vars) {
    std::string_view rest = conditions;
    while (!rest.empty()) {
        const std::size_t open = rest.find('{');
        if (open == std::string_view::npos) return true;
        const std::size_t close = rest.find('}', open);
        if (close == std::string_view::npos) return true;
        const std::string_view condition = rest.substr(open + 1, close - open - 1);
        rest = rest.substr(close + 1);
        if (!ConditionHolds(condition, vars)) return false;
    }
    return true;
}

bool EvalConditions(std::string_view conditions) {
    return EvalConditions(conditions, CurrentConditionVariables());
}

ConditionVariable ParseConditionVariable(std::string_view line) {
    ConditionVariable var;
    std::string_view rest = line;
    for (int field = 0; field < 5; ++field) {
        const std::size_t semi = rest.find(';');
        if (semi == std::string_view::npos || semi == 0) break;
        const std::string_view text = rest.substr(0, semi);
        rest = rest.substr(semi + 1);
        switch (field) {
            case 0: var.name = text; break;
            case 1: var.source = text; break;
            case 2: var.index = AtoiSaturating(text); break;
            case 3: var.unit = text; break;
            case 4: var.kind = text; break;
        }
    }
    return var;
}

ConditionVariableList ParseConditionVariables(std::string_view fileBytes) {
    ConditionVariableList vars;
    for (const auto& line : SplitDataLines(fileBytes)) vars.push_back(ParseConditionVariable(line));
    return vars;
}

bool LoadConditionVariables(const std::filesystem::path& file, ConditionVariableList& vars) {
    vars.clear();
    auto lines = ReadDataLines(file);
    if (!lines) {
        ShowMessage(63020, file.string());
        return false;
    }
    for (const auto& line : *lines) vars.push_back(ParseConditionVariable(line));
    return true;
}

bool LoadConditionVariables() {
    return LoadConditionVariables(ProgramDir() / "specpodm.tkd", CurrentConditionVariables());
}

}  // namespace tarvik
