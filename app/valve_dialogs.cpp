#include "app/valve_dialogs.hpp"

#include <algorithm>

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "app/dialogs.hpp"
#include "app/layouts.hpp"
#include "app/list_grid.hpp"
#include "data/language.hpp"

namespace tarvik::app {
namespace {

wxString W(const std::string& s) { return wxString::FromUTF8(s); }

void SetChoice(wxWindow* parent, int id, const std::vector<std::string>& texts, int selection) {
    auto* c = Control<wxChoice>(parent, id);
    if (!c) return;
    wxArrayString items;
    for (const auto& t : texts) items.Add(W(t));
    c->Set(items);
    c->SetSelection(selection >= 0 && selection < static_cast<int>(texts.size()) ? selection : wxNOT_FOUND);
    c->Enable(!texts.empty());
}

}  // namespace

void FillSeriesGrid(ListGrid& grid, const std::vector<SeriesRow>& rows, const std::string& header) {
    grid.SetColumnFormat(header);
    std::vector<ListRow> cells;
    for (std::size_t r = 0; r < rows.size(); ++r)
        cells.push_back({{rows[r].name, rows[r].description, rows[r].seriesText}, static_cast<int>(r)});
    grid.SetRows(cells);
    grid.SetDefaultCellAlignment(wxALIGN_LEFT, wxALIGN_CENTRE);
    grid.AutoSizeColumns(false);
    // Every column in view, up to a sensible width; the rows scroll.
    int width = 0;
    for (int col = 0; col < grid.GetNumberCols(); ++col) width += grid.GetColSize(col);
    grid.SetMinSize(wxSize(std::min(width + 24, 1100), 320));
}

std::string ChooseValveSeries(wxWindow* parent, const std::vector<SeriesRow>& rows, const std::string& designation) {
    wxDialog dialog;
    if (!wxXmlResource::Get()->LoadDialog(&dialog, parent, "135")) return {};
    auto* grid = new ListGrid(&dialog, 1125);
    if (!wxXmlResource::Get()->AttachUnknownControl("1125", grid, &dialog)) {
        grid->Destroy();
        return {};
    }
    FillSeriesGrid(*grid, rows, GetText(144));
    grid->SetCurrentRow(PreselectedSeriesRow(rows, designation));
    grid->SetFocus();  // arrows and Enter act on the rows at once
    std::string chosen;
    // OK and a row's activation take the current row's series text; without one the dialog stays.
    const auto take = [&] {
        const int row = grid->CurrentRow();
        if (row < 0 || row >= static_cast<int>(rows.size())) return;
        chosen = rows[static_cast<std::size_t>(row)].seriesText;
        if (!chosen.empty()) CloseDialog(dialog, wxID_OK);
    };
    dialog.Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { take(); }, wxID_OK);
    dialog.Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { CloseDialog(dialog, wxID_CANCEL); }, wxID_CANCEL);
    dialog.Bind(EVT_LIST_ROW_ACTIVATED, [&](wxCommandEvent&) { take(); });
    dialog.Fit();
    if (RunModal(dialog) != wxID_OK) return {};
    return chosen;
}

int ChooseCatalogueValve(wxWindow* parent, const std::vector<SeriesValve>& valves, int selected,
                         const std::array<double, 3>& pointKv) {
    wxDialog dialog;
    if (!wxXmlResource::Get()->LoadDialog(&dialog, parent, "146")) return -1;
    CatalogueValveChoice choice(valves, selected, pointKv);
    if (auto* t = Control<wxTextCtrl>(&dialog, 1125)) {
        t->ChangeValue(W(choice.kvText()));
        // Three Kv values must fit whole.
        t->SetMinSize(wxSize(std::max(t->GetMinSize().x, t->GetTextExtent(t->GetValue()).x + 24), -1));
    }
    if (auto* t = Control<wxTextCtrl>(&dialog, 1124)) t->ChangeValue(W(choice.sizingKvText()));
    const auto show = [&] {
        SetChoice(&dialog, 1000, choice.KvsTexts(), choice.kvsSelection());
        SetChoice(&dialog, 1001, choice.DnTexts(), choice.dnSelection());
        SetChoice(&dialog, 1002, choice.CharacteristicTexts(), choice.characteristicSelection());
        if (auto* b = Control<wxButton>(&dialog, 3)) b->Enable(choice.openingFilter());
        dialog.Layout();
    };
    show();
    dialog.Bind(wxEVT_CHOICE, [&](wxCommandEvent& e) {
        switch (e.GetId()) {
        case 1000: choice.ChooseKvs(e.GetSelection()); break;
        case 1001: choice.ChooseDn(e.GetSelection()); break;
        case 1002: choice.ChooseCharacteristic(e.GetSelection()); break;
        default: return;
        }
        show();
    });
    dialog.Bind(wxEVT_BUTTON, [&](wxCommandEvent&) {
        choice.ShowAll();
        show();
    }, 3);
    dialog.Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { CloseDialog(dialog, wxID_OK); }, wxID_OK);
    dialog.Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { CloseDialog(dialog, wxID_CANCEL); }, wxID_CANCEL);
    dialog.Fit();
    if (RunModal(dialog) != wxID_OK) return -1;
    return choice.Selected();
}

}  // namespace tarvik::app
