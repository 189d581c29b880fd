#include "cli/result_json.hpp"

#include <cmath>

#include "calc/flow_regime.hpp"
#include "project/language_texts.hpp"

namespace tarvik::cli {

double FiniteOrZero(double v) { return std::isfinite(v) ? v : 0.0; }

OrderedJson PointResultJson(const SizingResult& r, bool liquid) {
    OrderedJson p = {{"Kv", FiniteOrZero(r.Kv)},
                     {"opening", FiniteOrZero(r.opening)},
                     {"regime", FlowRegimeText(r.regime, CurrentLanguageTexts())},
                     {"velocity", FiniteOrZero(r.velocity)},
                     {"dLi", FiniteOrZero(r.dLi)},
                     {"noise", FiniteOrZero(r.noise)},
                     {"message", r.message}};
    if (!liquid) p["Mo"] = FiniteOrZero(r.velocity);
    return p;
}

OrderedJson ExactResultJson(const SizingResult& r) {
    return {{"Kv", FiniteOrZero(r.exact.Kv)},
            {"opening", FiniteOrZero(r.exact.opening)},
            {"velocity", FiniteOrZero(r.exact.velocity)},
            {"noise", FiniteOrZero(r.exact.noise)}};
}

}  // namespace tarvik::cli
