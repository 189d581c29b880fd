#pragma once
// What the list dialogs of the catalogues (user units, media, pipes) show and decide: the header
// captions from a column format text, the rows of each grid (sorted, padded to a minimum), which
// rows may be edited, the records a selection names, and the checks of the record dialogs.
// The dialogs edit a copy of the application's list: OK hands the copy back, Cancel drops it.
#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "data/media.hpp"
#include "data/pipes.hpp"
#include "units/user_units.hpp"

namespace tarvik {

// ---- Column format texts ----
// Captions separated by "|"; a caption may start with "<" (left), "^" (centred) or ">" (right).
// Only the part before a ";" names columns (what follows would name rows).
enum class ColumnAlign { Default, Left, Centre, Right };
struct ColumnCaption {
    std::string text;  // as written (its blanks widen the column), without the alignment mark
    ColumnAlign align = ColumnAlign::Default;
};
std::vector<ColumnCaption> ParseColumnFormat(const std::string& format);

// ---- Grid rows ----
inline constexpr int kMinListRows = 20;

struct ListRow {
    std::vector<std::string> cells;  // every column, the hidden ones included
    int index = -1;                  // the record's place in the list; -1 for an empty row
};

// Media grid: 18 columns (17 the hidden sort key, 18 the hidden number); `phaseFilter` -1 all,
// 1 liquids, 0 gases. Rows sorted by name; empty rows last.
std::vector<ListRow> MediaListRows(const std::vector<Medium>& media, int phaseFilter);
// Pipe grid: 7 columns (6 the hidden number, 7 the hidden sort key); sorted by size text.
std::vector<ListRow> PipeListRows(const std::vector<Pipe>& pipes);
// User-unit grid: quantity, name, formula, number; in list order.
std::vector<ListRow> UnitListRows(const std::vector<UnitDef>& units);
// Stable sort by one column as text in code page 1250 byte order, case-sensitive; empty rows
// always after the records, whatever their names start with.
void SortListRows(std::vector<ListRow>& rows, std::size_t keyColumn);

// Rows name records by their place in the list, not by the stored number: a file with repeated
// numbers must not make Edit or Delete act on another record than the one shown.
// The list places in the rows from `a` to `b` (either order), empty rows skipped, descending
// (so that erasing them one by one keeps the others valid).
std::vector<int> RowIndices(const std::vector<ListRow>& rows, int a, int b);
// The list place of a single selected row (a == b); none for several rows or an empty row.
std::optional<int> SingleRowIndex(const std::vector<ListRow>& rows, int a, int b);
// Erases the records at these places.
template <class Record>
void EraseRecords(std::vector<Record>& records, std::vector<int> indices) {
    std::sort(indices.begin(), indices.end(), std::greater<>());
    for (int i : indices)
        if (i >= 0 && i < static_cast<int>(records.size())) records.erase(records.begin() + i);
}

// ---- Media ----
// Edit and Delete act on user records only.
bool MediumRowEditable(const std::vector<ListRow>& rows, int row);
// The record dialog's phase list: 63074 liquid, 63076 gas; another text keeps `phase`.
int PhaseFromText(const std::string& text, int phase);
std::string PhaseText(int phase);

// ---- User units ----
// The unit dialog refuses a unit without a name or a quantity: the message number, or 0.
int CheckUnitDialog(const UnitDef& unit);
inline constexpr int kMsgUnitIncomplete = 63961;
// Appends a unit made in the unit dialog with the first free number.
UnitDef& AddUserUnit(std::vector<UnitDef>& units, UnitDef unit);

}  // namespace tarvik
