#include "app/list_grid.hpp"

#include <algorithm>
#include <cmath>

#include <wx/dcclient.h>

namespace tarvik::app {

wxDEFINE_EVENT(EVT_LIST_ROW_SELECTED, wxCommandEvent);
wxDEFINE_EVENT(EVT_LIST_ROW_ACTIVATED, wxCommandEvent);
wxDEFINE_EVENT(EVT_LIST_DELETE_KEY, wxCommandEvent);

namespace {
// Room around a caption, as the header draws it.
constexpr int kCaptionPadding = 12;
}  // namespace

ListGrid::ListGrid(wxWindow* parent, wxWindowID id) : wxGrid(parent, id, wxDefaultPosition, wxSize(560, 320)) {
    CreateGrid(0, 0, wxGridSelectRows);
    EnableEditing(false);
    EnableDragRowSize(false);
    SetRowLabelSize(0);
    SetDefaultCellAlignment(wxALIGN_CENTRE, wxALIGN_CENTRE);
    SetColLabelAlignment(wxALIGN_CENTRE, wxALIGN_CENTRE);
    SetCellHighlightPenWidth(0);
    GetGridWindow()->Bind(wxEVT_KEY_DOWN, &ListGrid::OnKey, this);
    GetGridWindow()->Bind(wxEVT_MOUSEWHEEL, &ListGrid::OnWheel, this);
    Bind(wxEVT_GRID_CELL_LEFT_DCLICK, &ListGrid::OnDoubleClick, this);
    Bind(wxEVT_GRID_SELECT_CELL, &ListGrid::OnSelectCell, this);
}

void ListGrid::SetColumnFormat(const std::string& format) {
    const std::vector<ColumnCaption> captions = ParseColumnFormat(format);
    const int cols = static_cast<int>(captions.size());
    if (GetNumberCols() < cols) AppendCols(cols - GetNumberCols());
    if (GetNumberCols() > cols) DeleteCols(cols, GetNumberCols() - cols);
    templateWidths_.assign(captions.size(), GetDefaultColSize());
    captionWidths_.assign(captions.size(), 0);
    wxClientDC dc(this);
    dc.SetFont(GetLabelFont());
    for (int c = 0; c < cols; ++c) {
        const std::string& text = captions[static_cast<std::size_t>(c)].text;
        const wxString caption = wxString::FromUTF8(text);
        wxString shown = caption;
        shown.Trim(true).Trim(false);
        SetColLabelValue(c, shown);
        if (!shown.empty()) captionWidths_[static_cast<std::size_t>(c)] = dc.GetTextExtent(shown).x + kCaptionPadding / 2;
        // The caption's blanks widen the column, as the format text is written.
        if (!caption.empty()) templateWidths_[static_cast<std::size_t>(c)] = dc.GetTextExtent(caption).x + kCaptionPadding;
        ShowCol(c);
        SetColSize(c, templateWidths_[static_cast<std::size_t>(c)]);
    }
    SetColLabelSize(2 * (dc.GetCharHeight() + 6));
}

int ListGrid::TemplateWidth(int col) const {
    return col >= 0 && col < static_cast<int>(templateWidths_.size()) ? templateWidths_[static_cast<std::size_t>(col)] : 0;
}

void ListGrid::ScaleColumn(int col, double factor) {
    if (col < 0 || col >= GetNumberCols()) return;
    if (factor <= 0) {
        HideCol(col);
        return;
    }
    // Narrowed as the layout asks, but never so far that the header loses letters: the
    // translated captions are longer than the padding of the format text allows for.
    const int narrowed = static_cast<int>(std::lround(TemplateWidth(col) * factor));
    SetColSize(col, std::max(narrowed, captionWidths_[static_cast<std::size_t>(col)]));
}

void ListGrid::SetRows(const std::vector<ListRow>& rows) {
    const int current = CurrentRow();
    rows_ = rows;
    BeginBatch();
    ClearSelection();
    const int n = static_cast<int>(rows.size());
    if (GetNumberRows() < n) AppendRows(n - GetNumberRows());
    if (GetNumberRows() > n) DeleteRows(n, GetNumberRows() - n);
    const int cols = GetNumberCols();
    for (int r = 0; r < n; ++r) {
        const auto& cells = rows[static_cast<std::size_t>(r)].cells;
        for (int c = 0; c < cols; ++c)
            SetCellValue(r, c, c < static_cast<int>(cells.size()) ? wxString::FromUTF8(cells[static_cast<std::size_t>(c)]) : wxString());
    }
    EndBatch();
    if (n > 0) SetCurrentRow(std::clamp(current, 0, n - 1));
}

int ListGrid::CurrentRow() const { return GetNumberRows() > 0 ? GetGridCursorRow() : -1; }

int ListGrid::SelectionEnd() const {
    const int current = CurrentRow();
    if (current < 0) return -1;
    for (const wxGridBlockCoords& b : GetSelectedRowBlocks())
        if (b.GetTopRow() <= current && current <= b.GetBottomRow())
            return b.GetTopRow() == current ? b.GetBottomRow() : b.GetTopRow();
    return current;
}

void ListGrid::SetCurrentRow(int row) { SelectRange(row, row); }

void ListGrid::SelectRange(int current, int end) {
    const int n = GetNumberRows();
    if (n == 0 || GetNumberCols() == 0) return;
    current = std::clamp(current, 0, n - 1);
    end = std::clamp(end, 0, n - 1);
    SetGridCursor(current, 0);
    SelectBlock(std::min(current, end), 0, std::max(current, end), GetNumberCols() - 1);
    MakeCellVisible(current, 0);
}

void ListGrid::Send(const wxEventType& type, int row) {
    wxCommandEvent e(type, GetId());
    e.SetInt(row);
    e.SetEventObject(this);
    ProcessWindowEvent(e);
}

void ListGrid::OnKey(wxKeyEvent& event) {
    const int last = GetNumberRows() - 1;
    switch (event.GetKeyCode()) {
    case WXK_HOME:
    case WXK_NUMPAD_HOME:
        if (last < 0) return;
        SetCurrentRow(0);
        Send(EVT_LIST_ROW_SELECTED, 0);
        return;
    case WXK_END:
    case WXK_NUMPAD_END:
        if (last < 0) return;
        SetCurrentRow(last);
        Send(EVT_LIST_ROW_SELECTED, last);
        return;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
        if (CurrentRow() >= 0) Send(EVT_LIST_ROW_ACTIVATED, CurrentRow());
        return;
    case WXK_DELETE:
    case WXK_NUMPAD_DELETE: Send(EVT_LIST_DELETE_KEY, CurrentRow()); return;
    default: event.Skip();
    }
}

void ListGrid::OnWheel(wxMouseEvent& event) {
    // One row per notch: towards the end for a negative rotation, never above the first row.
    int x = 0, y = 0;
    GetViewStart(&x, &y);
    const int step = std::max(1, GetDefaultRowSize() / std::max(1, GetScrollLineY()));
    const int rotation = event.GetWheelRotation();
    if (rotation == 0) return;
    Scroll(x, std::max(0, rotation < 0 ? y + step : y - step));
}

void ListGrid::OnDoubleClick(wxGridEvent& event) { Send(EVT_LIST_ROW_ACTIVATED, event.GetRow()); }

void ListGrid::OnSelectCell(wxGridEvent& event) {
    event.Skip();
    // The cursor moves after this event: the row travels in the event.
    if (event.Selecting()) Send(EVT_LIST_ROW_SELECTED, event.GetRow());
}

}  // namespace tarvik::app
