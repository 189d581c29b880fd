#pragma once
// The dialogs of the desktop program, each loaded from its layout. Every modal dialog is run
// through RunModal, which tests replace to fill and confirm it without a modal loop.
#include <functional>

#include <wx/dialog.h>

#include "project/position_commands.hpp"

namespace tarvik::app {

using ModalRunner = std::function<int(wxDialog&)>;
// Unset: ShowModal.
ModalRunner& ModalHook();
int RunModal(wxDialog& dialog);

// Ends the dialog with `code` whether it runs modally or under a test's hook.
void CloseDialog(wxDialog& dialog, int code);

// The position dialog: OK asks `accept`, which shows its refusal; the dialog then stays open
// with the focus on the refused field.
class PositionDialog : public wxDialog {
public:
    using Accept = std::function<DialogCheck(const PositionDialogValues&)>;
    PositionDialog(wxWindow* parent, const PositionDialogValues& values, Accept accept);
    PositionDialogValues Values() const;

private:
    void OnOk(wxCommandEvent&);
    Accept accept_;
};

// 173: the water and steam calculator.
class SteamDialog : public wxDialog {
public:
    explicit SteamDialog(wxWindow* parent);
    void Compute();

private:
    wxString labels_[4];  // 1213, 1215, 1214, 1216 as the layout has them
};

// 100: About.
void ShowAbout(wxWindow* parent);

// 179: the company index. True when a changed index was written (the program then closes).
bool EditCompanyIndex(wxWindow* parent);

// Project properties (32772, button 1143). True on OK.
bool EditProjectProperties(wxWindow* parent, ProjectDocument& doc);

}  // namespace tarvik::app
