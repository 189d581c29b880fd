#include "project/project_document.hpp"

namespace tarvik {

ValvePosition* ProjectDocument::Find(const std::string& name) {
    for (auto& p : positions)
        if (p.name == name) return &p;
    return nullptr;
}

ProjectDocument NewProjectDocument(const std::string& flowUnit, const std::string& temperatureUnit,
                                   const std::string& pressureUnit) {
    ProjectDocument doc;
    doc.defaultFlowUnit = flowUnit;
    doc.defaultTemperatureUnit = temperatureUnit;
    doc.defaultPressureUnit = pressureUnit;
    return doc;
}

}  // namespace tarvik
