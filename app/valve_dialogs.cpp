#include "app/valve_dialogs.hpp"

#include <algorithm>

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/grid.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "app/dialogs.hpp"
#include "app/layouts.hpp"
#include "data/language.hpp"

namespace tarvik::app {
namespace {

wxString W(const std::string& s) { return wxString::FromUTF8(s); }

constexpr int kSeriesTextColumn = 2;

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

void FillSeriesGrid(wxGrid& grid, const std::vector<SeriesRow>& rows, const std::string& header) {
    grid.CreateGrid(static_cast<int>(rows.size()), 3, wxGrid::wxGridSelectRows);
    grid.EnableEditing(false);
    grid.HideRowLabels();
    grid.DisableDragRowSize();
    // The header is "|"-separated; a leading "<", ">" or "^" is the column's alignment.
    std::size_t start = 0;
    for (int col = 0; col < 3; ++col) {
        const std::size_t bar = header.find('|', start);
        std::string caption = header.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
        if (!caption.empty() && (caption[0] == '<' || caption[0] == '>' || caption[0] == '^')) caption.erase(0, 1);
        grid.SetColLabelValue(col, W(caption));
        start = bar == std::string::npos ? header.size() : bar + 1;
    }
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const int row = static_cast<int>(r);
        grid.SetCellValue(row, 0, W(rows[r].name));
        grid.SetCellValue(row, 1, W(rows[r].description));
        grid.SetCellValue(row, kSeriesTextColumn, W(rows[r].seriesText));
    }
    grid.AutoSizeColumns(false);
    // Every column in view, up to a sensible width; the rows scroll.
    int width = 0;
    for (int col = 0; col < 3; ++col) width += grid.GetColSize(col);
    grid.SetMinSize(wxSize(std::min(width + 24, 1100), 320));
}

std::string ChooseValveSeries(wxWindow* parent, const std::vector<SeriesRow>& rows, const std::string& designation) {
    wxDialog dialog;
    if (!wxXmlResource::Get()->LoadDialog(&dialog, parent, "135")) return {};
    auto* grid = Control<wxGrid>(&dialog, 1125);
    if (!grid) return {};
    FillSeriesGrid(*grid, rows, GetText(144));
    const int preselected = PreselectedSeriesRow(rows, designation);
    if (preselected >= 0) {
        grid->SetGridCursor(preselected, 0);
        grid->SelectRow(preselected);
        grid->MakeCellVisible(preselected, 0);
    }
    std::string chosen;
    // OK and a row's activation take the selected row's series text; without one the dialog stays.
    const auto take = [&] {
        const wxArrayInt selected = grid->GetSelectedRows();
        const int row = selected.empty() ? -1 : selected[0];
        if (row < 0 || row >= grid->GetNumberRows()) return;
        chosen = grid->GetCellValue(row, kSeriesTextColumn).utf8_string();
        if (!chosen.empty()) CloseDialog(dialog, wxID_OK);
    };
    dialog.Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { take(); }, wxID_OK);
    dialog.Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { CloseDialog(dialog, wxID_CANCEL); }, wxID_CANCEL);
    grid->Bind(wxEVT_GRID_CELL_LEFT_DCLICK, [&](wxGridEvent& e) {
        grid->SelectRow(e.GetRow());
        take();
    });
    grid->Bind(wxEVT_KEY_DOWN, [&](wxKeyEvent& e) {
        if (e.GetKeyCode() == WXK_RETURN || e.GetKeyCode() == WXK_NUMPAD_ENTER)
            take();
        else
            e.Skip();
    });
    // Row selection follows the cursor, so the keyboard moves the selected row.
    grid->Bind(wxEVT_GRID_SELECT_CELL, [&](wxGridEvent& e) {
        e.Skip();
        if (e.Selecting()) grid->SelectRow(e.GetRow());
    });
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
