#pragma once
// Actuator sizing of the specification sheet's actuator page: the force or torque the actuator
// must deliver, the fitting actuators of the chosen kind from the actuator catalogues, and what
// choosing one of them stores into the position (items and title block). GUI-free: the page
// passes its choices in and shows the returned texts.
#include <array>
#include <string>
#include <vector>

#include "data/key_value_list.hpp"
#include "data/spec_catalogue.hpp"
#include "data/spec_items.hpp"

namespace tarvik {

// Items the page reads and writes.
enum ActuatorItem {
    kItemValveType = 10,
    kItemPacking = 14,
    kItemPackingAdmission = 101,  // ";IV;VI;": packing classes the valve admits
    kItemPage2Choice = 18,        // checked against the valve type text
    kItemSeatDiameter = 54,
    kItemPressureA = 55,
    kItemPressureB = 56,
    kItemPressureUnit = 57,
    kItemActuatorWhole = 70,      // the chosen actuator as one text; its code stops the series' default title block
    kItemRequired1 = 72,          // first output text ("Fd=..." or "M=...")
    kItemRequired2 = 73,          // second output text ("Fs=..." or empty)
    kItemActuatorForce = 109,     // force or torque the chosen actuator offers
    kItemActuatorStroke = 110,    // its rated stroke
};

// Texts and messages of the sizing.
enum ActuatorText {
    kTextGridKind2 = 138,          // column format of the electric linear actuators
    kTextGridKind0 = 140,          // column format of the pneumatic actuators
    kTextGridKind3 = 141,          // column format of the electric rotary actuators
    kTextHydraulicNotSized = 62370,
    kTextNegativePressureDrop = 62371,
    kTextNoDiameter = 62372,
    kMsgIncompleteChoice = 63096,
    kMsgNoSuitableActuator = 63097,
    kMsgPackingNotForValve = 63098,
    kMsgValveTypeNotForChoice = 63100,
    kMsgNoActuatorSelectable = 63101,
};

enum ActuatorKind { kKindNone = -1, kKindPneumatic = 0, kKindHydraulic = 1, kKindElectricLinear = 2, kKindElectricRotary = 3 };

// Limits a valve type puts on its actuators, from the attribute of its item-10 choice:
// "actuators|sizes|minimum size", e.g. ";PA;PR;|;250;400;|250"; an empty part limits nothing.
struct ActuatorLimits {
    std::string actuators;  // ";" + name + ";" entries
    std::string sizes;      // ";" + size name + ";" entries
    double minimumSize = 0;
};
ActuatorLimits ParseActuatorLimits(const std::string& attribute);

// The page's own choices.
struct ActuatorPageChoices {
    std::string packingText;    // the packing list's choice ("IV.PTFE V-rings")
    std::string valveTypeText;  // the code of the item-10 choice shown in the type list
    int defaultTypeCode = 0;    // the sheet's default (the catalogue valve's series value)
    int kind = kKindNone;       // index of the actuator-kind list
    bool secondForce = false;   // check box: compare the spring range's second force
    ActuatorLimits limits;
    double X = 0, Y = 0;        // type code 3: the catalogue valve's two specification numbers
    double DN = 0;              // nominal size of the valve
};

struct ActuatorInputs {
    double pressureA = 0, pressureB = 0;  // MPa
    double dp = 0;                        // MPa
    double D = 0;                         // mm
    std::string packingClass;             // "IV", "V", "VI", ...
    std::string valveTypeText;
    int typeCode = 0;
    int kind = kKindNone;
    bool secondForce = false;
    ActuatorLimits limits;
    double X = 0, Y = 0;
    double DN = 0;
    std::string packingAdmission;  // item 101, current language
    std::string page2Choice;       // item 18, language 0
    bool packingChosen = false;
};

// "IV.PTFE" -> "IV", "V. Graphite" -> "V": the first three characters, "." made a blank, blanks removed.
std::string PackingClass(const std::string& packingText);
// The valve type code the text stands for: its first character as a digit, else the default.
int ValveTypeCode(const std::string& valveTypeText, int defaultTypeCode);
bool IsTorqueType(int typeCode);

// The valve type the page's type list shows (`shownText`, an item-10 choice in the current
// language): its code becomes the valve type text, its attribute the actuator limits.
void TakeValveTypeChoice(const std::string& shownText, const SpecItemList& choices, ActuatorPageChoices& page);

// Reads the position's items (current language) and the page's choices.
ActuatorInputs ReadActuatorInputs(const SpecItemList& items, const ActuatorPageChoices& page);

// Where a candidate row comes from, for the selection.
struct ActuatorSource {
    int kind = kKindPneumatic;
    std::size_t entry = 0, size = 0;
    int range = -1, supply = -1;  // -1: none
};

struct ActuatorCandidate {
    std::vector<std::string> columns;
    double force = 0;         // what the actuator offers, in the unit of the required value
    bool selectable = true;   // kinds 2 and 3 list actuators that are too weak or of the wrong motion
    ActuatorSource source;
};

struct ActuatorSizing {
    int message = 0;          // 0, or the message (number of a language text) to show
    std::string messageText;  // its text in the current language
    bool refused = false;     // a refusal: nothing computed, the page and the position stay as they are
    bool hasResult = false;   // a force or torque was computed and is shown
    double value = 0;         // kN, or Nm for the torque types
    bool torque = false;
    double packingFriction = 0;  // Ff, N
    std::array<std::string, 2> outputs;  // the page's two output fields
    std::string columnFormat;            // grid column format ("|"-separated captions)
    std::array<std::string, 2> captions; // the two range-column labels
    std::vector<ActuatorCandidate> candidates;
};

// Sizes the actuator (steps: refusals, force or torque, outputs, candidates of the kind).
ActuatorSizing SizeActuator(const ActuatorInputs& in, const SpecCatalogue& catalogue, const SpecTables& tables);

// The item texts a chosen candidate gives (empty: the item is cleared), and the attributes it
// writes into the title block when the page is left.
struct ActuatorSelection {
    std::string kindText;        // 60
    std::string actuator;        // 61
    std::string supply;          // 62
    std::string failAction;      // 63
    std::string size;            // 64
    std::string springRange;     // 65
    std::vector<std::string> options;  // the choices for 66 (list d of the actuator)
    std::string whole, wholeCode;      // 70
    std::string required1, required2; // 72, 73
    std::string force;           // 109
    std::string stroke;          // 110
    std::vector<SpecValueItem> attributes;  // key, number, text
};

ActuatorSelection SelectActuator(const ActuatorSizing& sizing, std::size_t row, const ActuatorInputs& in,
                                 const SpecCatalogue& catalogue);

// Stores the selection's items (the page's other items are the page's own choices); item 66 is
// the option the page shows (empty: none).
void StoreActuatorSelection(const ActuatorSelection& selection, const std::string& option, SpecItemList& items);

// Writes the chosen actuator's attributes into the title block: "VAHAP" (plus "VAHAK", the
// handwheel's weight, when a handwheel option is chosen) when above 0, every attribute other
// than "VAHAP", "VAHAK" and "VAHAD" under its own key with its text.
void WriteActuatorTitleBlock(const ActuatorSelection& selection, bool withHandwheel, KeyValueList& titleBlock);

}  // namespace tarvik
