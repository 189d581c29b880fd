#pragma once
// The specification sheet (command 32793): a property sheet of six pages over the core's
// SpecificationSheet. The pages copy their controls into the sheet as the user changes them and
// are filled from its fields; activating and leaving a page, the sizing, the accessory buttons,
// OK and Cancel are the sheet's. What is offered, stored or refused is decided there.
#include <string>

#include <wx/propdlg.h>

#include "project/specification_sheet.hpp"

class wxTreeCtrl;

namespace tarvik::app {

class ListGrid;

class SpecSheetDialog : public wxPropertySheetDialog {
public:
    SpecSheetDialog(wxWindow* parent, SpecificationSheet& sheet, ProjectDocument& doc);

    SpecificationSheet& sheet() { return sheet_; }
    // Page 1 to 6, as the tabs show them.
    wxWindow* Page(int page) const;
    int CurrentPage() const { return current_; }
    // Brings a page to the front as a click on its tab does: the page shown is left first.
    void SelectPage(int page);
    ListGrid* ActuatorGrid() const { return grid_; }

private:
    void Switch(int page);
    void Fill(int page);
    void FillActuatorGrid();
    void FillAccessories();
    void UpdateAccessoryButtons();
    void OnChoice(int page, wxCommandEvent& event);
    void OnText(int page, wxCommandEvent& event);
    void ChooseConnection(int item);
    void Size();
    void AccessoryButton(int id);
    void ShowDrawing();

    SpecificationSheet& sheet_;
    ProjectDocument& doc_;
    int current_ = 0;
    bool filling_ = false;
    ListGrid* grid_ = nullptr;
    wxTreeCtrl* accessoryTree_ = nullptr;
    std::string drawnLayers_;                       // the layer states of the drawing last shown
    bool drawn_ = false;
};

// The choice tree of a connection field: the chosen node's path ("A/ B/ C"), "" on Cancel.
std::string ChooseFromTree(wxWindow* parent, const SpecTreeFile& tree, const std::string& current);

// Opens the sheet on the form's current position; nothing happens without a catalogue valve.
// True when the sheet was closed with OK (the document is then modified).
bool RunSpecificationSheet(wxWindow* parent, PositionForm& form, ProjectDocument& doc);

}  // namespace tarvik::app
