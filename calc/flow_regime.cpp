#include "calc/flow_regime.hpp"

namespace tarvik {

std::string FlowRegimeText(FlowRegime regime, const RunTexts& texts) {
    switch (regime) {
        case FlowRegime::None: return "";
        case FlowRegime::Turbulent: return texts.Text(62186);
        case FlowRegime::Cavitation: return texts.Text(62182);
        case FlowRegime::Choked: return texts.Text(62187);
        case FlowRegime::Flashing: return "Flashing";
    }
    return "";
}

}  // namespace tarvik
