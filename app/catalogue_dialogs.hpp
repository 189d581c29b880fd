#pragma once
// The catalogue dialogs: default units, user units, the media list, the pipe list and the pipe
// selection. Every list dialog edits a copy of the application's list; OK hands the copy back
// and saves it, Cancel leaves the list as it was when the dialog opened.
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <wx/dialog.h>

#include "app/list_grid.hpp"
#include "data/media.hpp"
#include "data/pipes.hpp"

namespace tarvik::app {

// A list dialog (user units, media, pipes): the grid 1183 and the buttons New 5, Edit 4,
// Delete 3. What the rows are and what the buttons do comes from the caller.
class CatalogueListDialog : public wxDialog {
public:
    CatalogueListDialog(wxWindow* parent, const char* layout, int columnFormat);

    std::function<std::vector<ListRow>()> rows;
    std::function<bool(int row)> editable;    // unset: every record row
    std::function<bool()> add;                // New; true when a record was added
    std::function<bool(int index)> edit;      // Edit of the record at this list place
    std::function<void(const std::vector<int>& indices)> erase;
    int deleteQuestion = 63085;

    ListGrid* grid() const { return grid_; }
    void Refill();
    void New();
    void Edit();
    void Delete();
    // Wide enough for every shown column (within reason), then fitted: called once before showing.
    void SizeToColumns();

private:
    void UpdateButtons(int row);
    ListGrid* grid_ = nullptr;
};

// Column widths: template widths narrowed or widened, the sort key and number columns hidden.
void ShapeMediaGrid(ListGrid& grid);
void ShapePipeGrid(ListGrid& grid);

// 32799. True on OK.
bool EditDefaultUnits(wxWindow* parent);
// 32771. True on OK; the forms then show the new units.
bool EditUserUnits(wxWindow* parent);

// 32775 (filter -1) and the form's button 1075 (1 liquids, 0 gases): on OK the application takes
// the edited list and saves the user media; the medium of a single selected row is returned.
struct MediaChoice {
    bool ok = false;
    std::optional<Medium> medium;
};
MediaChoice EditMedia(wxWindow* parent, int phaseFilter);

// The file of an open-file dialog; none on Cancel. Tests install a chooser instead of the dialog
// (GTK's dialog reports no path before it has been shown).
using FileChooser = std::function<std::optional<std::string>(wxWindow* parent, const std::string& title, const std::string& filter)>;
FileChooser& FileChoiceHook();
std::optional<std::string> ChooseFileToOpen(wxWindow* parent, const std::string& title, const std::string& filter);

// 32782. True on OK; button 6 appends the pipes of a workbook.
bool EditPipes(wxWindow* parent);

// The form's button 1170: the six keys (inlet kind, size, wall; outlet kind, size, wall) in and
// out, and the inlet and outlet outside diameters and wall thicknesses. True on OK.
struct PipeSelection {
    std::array<std::string, 6> texts{};
    double inletOD = 0, inletWall = 0, outletOD = 0, outletWall = 0;
};
bool ChoosePipes(wxWindow* parent, PipeSelection& selection);

}  // namespace tarvik::app
