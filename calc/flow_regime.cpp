#include "calc/flow_regime.hpp"

#include "data/language.hpp"

namespace tarvik {

std::string FlowRegimeText(FlowRegime regime) {
    switch (regime) {
        case FlowRegime::None: return "";
        case FlowRegime::Turbulent: return GetText(62186);
        case FlowRegime::Cavitation: return GetText(62182);
        case FlowRegime::Choked: return GetText(62187);
        case FlowRegime::Flashing: return "Flashing";
    }
    return "";
}

}  // namespace tarvik
