#pragma once
// The grid of every list dialog: a header row from a column format text, hidden and widened
// columns, whole-row selection with a current row and a selection end, keys and the mouse wheel
// moving by one row, and an event when a row is activated (double-click or Enter). What the rows
// hold and in which order is the core's (project/catalogue_lists.hpp).
#include <string>
#include <vector>

#include <wx/grid.h>

#include "project/catalogue_lists.hpp"

namespace tarvik::app {

// Sent to the grid's parent: the current row changed (GetInt() = row), a row was activated, the
// Delete key was pressed.
wxDECLARE_EVENT(EVT_LIST_ROW_SELECTED, wxCommandEvent);
wxDECLARE_EVENT(EVT_LIST_ROW_ACTIVATED, wxCommandEvent);
wxDECLARE_EVENT(EVT_LIST_DELETE_KEY, wxCommandEvent);

class ListGrid : public wxGrid {
public:
    ListGrid(wxWindow* parent, wxWindowID id);

    // Header captions and template widths (each caption's text width) from the format text; the
    // column count follows the format. The header row is twice the normal height.
    void SetColumnFormat(const std::string& format);
    // Template width x factor; 0 hides the column.
    void ScaleColumn(int col, double factor);
    void HideColumn(int col) { ScaleColumn(col, 0); }
    int TemplateWidth(int col) const;

    // Replaces every data row (cells beyond the column count are ignored); the current row is
    // kept where it was, within the new row count.
    void SetRows(const std::vector<ListRow>& rows);
    const std::vector<ListRow>& Rows() const { return rows_; }

    // Rows are 0-based data rows; -1 when there is none.
    int CurrentRow() const;
    // The other end of the selected range (the current row itself for a single row).
    int SelectionEnd() const;
    void SetCurrentRow(int row);
    // Current row to `end`, whole rows.
    void SelectRange(int current, int end);
    bool SingleRowSelected() const { return CurrentRow() == SelectionEnd(); }

private:
    void OnKey(wxKeyEvent& event);
    void OnWheel(wxMouseEvent& event);
    void OnDoubleClick(wxGridEvent& event);
    void OnSelectCell(wxGridEvent& event);
    void Send(const wxEventType& type, int row);

    std::vector<int> templateWidths_;
    std::vector<int> captionWidths_;  // the trimmed caption: a narrowed column never cuts it
    std::vector<ListRow> rows_;
};

}  // namespace tarvik::app
