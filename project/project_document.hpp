#pragma once
// The project: a few project-wide texts and defaults and the ordered list of valve positions.
// This is the document's data, free of any GUI; the GUI's document class holds one of these.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "data/key_value_list.hpp"
#include "data/spec_items.hpp"

namespace tarvik {

// Slots of a position: 30 quantities, each with three operating-point values and a unit.
constexpr int kSlotCount = 30;
constexpr int kPointCount = 3;
constexpr int kValveDataCount = 15;

struct SpecIndexPair {
    std::int32_t first = 0;
    std::int32_t second = 0;
    bool operator==(const SpecIndexPair&) const = default;
};

// Indices into ValvePosition::valveData.
enum ValveDataIndex {
    kVdKvs = 0, kVdInletSize = 1, kVdOutletSize = 2, kVdInletPipeOD = 3, kVdOutletPipeOD = 4,
    kVdInletPipeWall = 5, kVdOutletPipeWall = 6, kVdNoise1 = 7, kVdNoise2 = 8, kVdStored9 = 9,
    kVdNoise3 = 10, kVdField1141 = 11, kVdMaxPressure = 12, kVdMaxTemperature = 13, kVdStored14 = 14
};

// Rows of resultTexts.
enum ResultRow { kResKv = 0, kResOpening = 1, kResRegime = 2, kResVelocity = 3, kResDLi = 4, kResNoise = 5 };

struct ValvePosition {
    std::string name;  // unique within the project; title-block key "kks"
    std::string auxText;
    std::string note;
    std::int32_t mediumState = 0;
    std::int32_t auxInt = 0;
    std::array<std::string, kSlotCount> units{};
    std::array<std::int32_t, kPointCount> pointEnabled{1, 0, 0};
    std::string mediumName, mediumTag;
    std::array<std::array<double, kPointCount>, kSlotCount> values{};
    std::string designationSelector = "0";
    std::string designation;
    std::string seriesQualifier;  // not persisted
    std::int32_t characteristic = 0;
    std::array<double, kValveDataCount> valveData{};
    std::string maxPressureUnit, maxTemperatureUnit;
    std::string rowIdList;
    std::array<std::string, 6> pipeTexts{};
    std::array<std::array<std::string, kPointCount>, 6> resultTexts{};
    std::uint32_t savedAt = 0;  // seconds since 1970-01-01 UTC
    std::int32_t manualCoefficients = 0;
    std::int32_t gaugePressures = 0;
    SpecItemList specItems;
    std::int32_t seriesFlag = 0;  // derived at load from the series table; not written
    std::string seriesValue;      // not persisted
    KeyValueList titleBlock;
    std::int32_t selectedCharacteristic = 0;
    double selectedDn = 0;
    double selectedKvs = 0;
    std::string pieces = "1";
    std::int32_t manualValve = 0;
    std::vector<SpecIndexPair> specPairs;
    std::int32_t printSelected = 0;  // not persisted
};

struct ProjectDocument {
    static constexpr std::int32_t kFileVersion = 803;

    std::vector<ValvePosition> positions;  // file order
    int currentPosition = -1;              // index into positions, -1 = none; not persisted
    std::string project;                   // title-block key "akce"
    std::string customer;                  // title-block key "zakaznik"
    std::string specSheetText;
    double atmosphericPressure = 0.101325;  // MPa
    std::string defaultPressureUnit, defaultTemperatureUnit, defaultFlowUnit;
    std::int32_t printLandscape = 0;   // not persisted
    std::int32_t printExtraPages = 0;  // not persisted
    std::int32_t itemLanguage = -1;    // not persisted
    std::int32_t fileVersion = kFileVersion;
    std::string projectText3;
    bool modified = false;  // changed since loaded or saved; not persisted

    ValvePosition* Current() {
        return currentPosition >= 0 && currentPosition < static_cast<int>(positions.size())
                   ? &positions[static_cast<std::size_t>(currentPosition)] : nullptr;
    }
    // The position with this name, or null.
    ValvePosition* Find(const std::string& name);
};

// A new project: the three default units from the application's defaults.
ProjectDocument NewProjectDocument(const std::string& flowUnit, const std::string& temperatureUnit,
                                   const std::string& pressureUnit);

}  // namespace tarvik
