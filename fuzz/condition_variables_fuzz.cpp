// specpodm.tkd: every line becomes a variable; every line is also evaluated as a condition text
// against the variables read. The whole-file reading must give the same variables, write back
// without a refusal, and read again to the same variables and bytes.
#include <cstdint>
#include <string_view>

#include "data/condition_file.hpp"
#include "data/conditions.hpp"
#include "data/text_lines.hpp"
#include "fuzz/fuzz_check.hpp"

namespace {

tarvik::ConditionVariableList VariablesOf(const tarvik::ConditionFile& file) {
    tarvik::ConditionVariableList vars;
    for (const auto& line : file.lines)
        if (!line.skipped) vars.push_back(line.variable);
    return vars;
}

bool SameVariables(const tarvik::ConditionVariableList& a, const tarvik::ConditionVariableList& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].name != b[i].name || a[i].source != b[i].source || a[i].index != b[i].index ||
            a[i].unit != b[i].unit || a[i].kind != b[i].kind)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    tarvik::ConditionVariableList vars = tarvik::ParseConditionVariables(bytes);
    for (std::size_t k = 0; k < vars.size(); ++k) vars[k].value = static_cast<double>(k);
    for (const auto& line : tarvik::SplitDataLines(bytes)) {
        tarvik::EvalConditions(line, vars);
        tarvik::GetVariableValue(line, vars);
    }

    const tarvik::ConditionFile file = tarvik::ParseConditionFile(bytes);
    TARVIK_FUZZ_CHECK(SameVariables(VariablesOf(file), tarvik::ParseConditionVariables(bytes)));
    const std::string written = tarvik::WriteConditionFile(file);  // a refusal ends the run as a bug
    TARVIK_FUZZ_CHECK(SameVariables(tarvik::ParseConditionVariables(written), VariablesOf(file)));
    TARVIK_FUZZ_CHECK(tarvik::WriteConditionFile(tarvik::ParseConditionFile(written)) == written);
    return 0;
}
