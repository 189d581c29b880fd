#pragma once
// The view of a project: the main form (layout 101) in a child frame, bound to the form model.
// The view copies controls to and from PositionForm and calls the core's commands; it decides
// nothing itself.
#include <map>

#include <wx/docview.h>
#include <wx/panel.h>

#include "project/position_commands.hpp"
#include "project/position_form.hpp"

namespace tarvik::app {

class ProjectDoc;

class FormView : public wxView {
public:
    FormView();

    bool OnCreate(wxDocument* doc, long flags) override;
    void OnDraw(wxDC*) override {}
    void OnUpdate(wxView* sender, wxObject* hint) override;
    bool OnClose(bool deleteWindow) override;

    // Copies the controls into the model and the model into the current position.
    void StoreForm();
    // Controls from the model.
    void ShowForm();
    void ReadForm();
    // The unit lists again from the application's units (after the user units changed); what
    // was typed is kept.
    void RefreshUnitLists();

    PositionForm& form() { return form_; }
    wxPanel* panel() const { return panel_; }
    ProjectDoc& Doc() const;

    // The command handlers, callable by ID (tests drive them as the menu and buttons do).
    void Command(int id);

private:
    void Bind_();
    void OnButton(wxCommandEvent& event);
    void OnChoice(wxCommandEvent& event);
    void OnCheck(wxCommandEvent& event);
    void OnText(wxCommandEvent& event);
    void OnUpdateUi(wxUpdateUIEvent& event);
    void Focus(const FormCheck& check);
    void PositionCommand(PositionDialogMode mode);
    void Calculate();
    void ChooseSeriesCommand();
    void ChooseCatalogueValveCommand();
    void ShowLog();
    void ShowDrawing();
    void Export(bool specification);
    void ChooseMedium();
    void ChoosePipes();
    void Modified();

    PositionForm form_;
    std::map<std::filesystem::path, ValveSeries> seriesCache_;
    wxPanel* panel_ = nullptr;
    bool showing_ = false;

    wxDECLARE_DYNAMIC_CLASS(FormView);
};

// The form views of the document store what the user typed (before a save).
void StoreForms(ProjectDoc& doc);

}  // namespace tarvik::app
