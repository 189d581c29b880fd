#pragma once
// The print dialog (layout 138) without its window: which positions are chosen, the caption of
// the select-all button, when OK and the drawing switch are enabled, the print language, and what
// OK stores in the document.
#include <cstddef>
#include <string>
#include <vector>

#include "project/project_document.hpp"

namespace tarvik {

struct PrintDialogModel {
    std::vector<std::string> names;  // of every position, in project order
    std::vector<bool> selected;      // as the list shows it
    bool landscape = false;          // check box 1044
    bool drawings = false;           // check box 1045
    bool preview = false;            // the dialog prepares a print preview
    std::string language;            // the text of combo box 1000

    // Opening: every position's print mark cleared, nothing selected, the switches and the print
    // language as the document last held them.
    static PrintDialogModel Open(ProjectDocument& doc, bool preview);

    bool AllSelected() const;
    std::size_t SelectedCount() const;
    // Button 3: selects every position unless all are selected, then clears the selection.
    void ToggleAll();
    // The caption of button 3: 63078 while all are selected (it clears), else 63079.
    int ToggleCaption() const;
    bool OkEnabled() const { return SelectedCount() > 0; }

    // The drawing switch is offered for the landscape layout on paper only, and cleared when not.
    bool DrawingsEnabled() const { return landscape && !preview; }
    void SetLandscape(bool on);
    void SetDrawings(bool on) { drawings = on && DrawingsEnabled(); }

    // The refusal of OK (63035 without a language text), else 0.
    int Check() const;
    // OK: the first position of each selected name is marked for printing; the print language
    // (2 for the second-language text, else -1) and the two switches go to the document.
    void Apply(ProjectDocument& doc) const;
};

// The texts of combo box 1000: the program language (63081), the second language (63080).
std::vector<std::string> PrintLanguageTexts();

}  // namespace tarvik
