#include "project/print_dialog_model.hpp"

#include <algorithm>

#include "data/language.hpp"

namespace tarvik {

PrintDialogModel PrintDialogModel::Open(ProjectDocument& doc, bool preview) {
    PrintDialogModel m;
    for (ValvePosition& p : doc.positions) {
        p.printSelected = 0;
        m.names.push_back(p.name);
    }
    m.selected.assign(m.names.size(), false);
    m.preview = preview;
    m.landscape = doc.printLandscape != 0;
    m.SetDrawings(doc.printExtraPages != 0);
    m.language = GetText(doc.itemLanguage == -1 ? 63081 : 63080);
    return m;
}

bool PrintDialogModel::AllSelected() const {
    return std::all_of(selected.begin(), selected.end(), [](bool s) { return s; });
}

std::size_t PrintDialogModel::SelectedCount() const {
    return static_cast<std::size_t>(std::count(selected.begin(), selected.end(), true));
}

void PrintDialogModel::ToggleAll() {
    const bool select = !AllSelected();
    selected.assign(names.size(), select);
}

int PrintDialogModel::ToggleCaption() const { return AllSelected() && !selected.empty() ? 63078 : 63079; }

void PrintDialogModel::SetLandscape(bool on) {
    landscape = on;
    if (!DrawingsEnabled()) drawings = false;
}

int PrintDialogModel::Check() const { return language.empty() ? 63035 : 0; }

void PrintDialogModel::Apply(ProjectDocument& doc) const {
    for (ValvePosition& p : doc.positions) p.printSelected = 0;
    for (std::size_t i = 0; i < names.size() && i < selected.size(); ++i) {
        if (!selected[i]) continue;
        // Positions may share a name: the list names the first of them.
        auto it = std::find_if(doc.positions.begin(), doc.positions.end(),
                               [&](const ValvePosition& p) { return p.name == names[i]; });
        if (it != doc.positions.end()) it->printSelected = 1;
    }
    doc.itemLanguage = language == GetText(63080) ? 2 : -1;
    doc.printLandscape = landscape ? 1 : 0;
    doc.printExtraPages = drawings && DrawingsEnabled() ? 1 : 0;
}

std::vector<std::string> PrintLanguageTexts() { return {GetText(63081), GetText(63080)}; }

}  // namespace tarvik
