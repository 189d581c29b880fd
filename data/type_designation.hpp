#pragma once
// The type designation of a valve and its second designation, composed from a template of the
// valve series (or the order code of the specification sheet): actuator placeholders in braces,
// "[dn]", "[pn]", "[kvs]" (and "[ks]" in the second designation) and references "[Id]" or
// "[Id:start:length]" to the type codes of the position's specification items.
#include <string>

#include "data/key_value_list.hpp"
#include "data/spec_items.hpp"

namespace tarvik {

struct SpecCatalogue;

// Item numbers the composers read and write.
enum DesignationItem {
    kItemActuatorKind = 60,
    kItemActuator = 61,
    kItemSupplyPressure = 62,
    kItemFailAction = 63,
    kItemActuatorSize = 64,
    kItemSpringRange = 65,
    kItemHandOption = 66,
    kItemTypeDesignation = 71,
    kItemSecondDesignation = 74,
    kItemInletRating = 106,
    kItemOutletRating = 107,
};

// Language texts of the fail-action and actuator-kind choices the composers compare with.
enum DesignationText {
    kTextFailOpen = 62340,            // "P"
    kTextFailClosed = 62341,          // "N"
    kTextActuatorFromCatalogue = 62345,
    kTextActuatorKindH = 62346,
    kTextActuatorKindE = 62347,
    kTextActuatorKindF = 62348,
};

struct DesignationInputs {
    std::string templateText;
    double Kvs = 0;
    double inletSize = 0;   // DN of the inlet
    double outletSize = 0;  // DN of the outlet
};

// The composed texts. `catalogue` is loaded from the program folder when the actuator
// placeholders need it and its actuator list is still empty.
std::string TypeDesignationText(const DesignationInputs& in, const SpecItemList& items, const std::string& name,
                                 SpecCatalogue& catalogue);
std::string SecondDesignationText(const DesignationInputs& in, const SpecItemList& items, const std::string& ks,
                                  SpecCatalogue& catalogue);

// Compose and store: the type designation as title-block value "ozn" and item 71, the second
// designation as item 74 (free texts, repeated in every language section). Return the text.
std::string ComposeTypeDesignation(const DesignationInputs& in, SpecItemList& items, KeyValueList& titleBlock,
                                   const std::string& name, SpecCatalogue& catalogue);
std::string ComposeSecondDesignation(const DesignationInputs& in, SpecItemList& items, const std::string& ks,
                                     SpecCatalogue& catalogue);

}  // namespace tarvik
