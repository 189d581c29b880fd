// specpodm.tkd: every line becomes a variable; every line is also evaluated as a condition text
// against the variables read.
#include <cstdint>
#include <string_view>

#include "data/conditions.hpp"
#include "data/text_lines.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    tarvik::ConditionVariableList vars = tarvik::ParseConditionVariables(bytes);
    for (std::size_t k = 0; k < vars.size(); ++k) vars[k].value = static_cast<double>(k);
    for (const auto& line : tarvik::SplitDataLines(bytes)) {
        tarvik::EvalConditions(line, vars);
        tarvik::GetVariableValue(line, vars);
    }
    return 0;
}
