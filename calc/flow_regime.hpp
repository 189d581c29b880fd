#pragma once
// The flow regime of an operating point, as the run determines it. Its text is made where it is
// shown or stored (and in the calculation log).
#include <string>

#include "calc/run_texts.hpp"

namespace tarvik {

enum class FlowRegime {
    None,        // not determined (a liquid without noise data, a gas without Kv)
    Turbulent,   // language text 62186
    Cavitation,  // 62182
    Choked,      // 62187
    Flashing,    // the fixed text "Flashing"
};

// The text in the caller's language ("" for None).
std::string FlowRegimeText(FlowRegime regime, const RunTexts& texts);

}  // namespace tarvik
