#pragma once
// The form's two valve dialogs: 135 picks a valve series, 146 a catalogue valve of the loaded
// series. What they offer and return is decided in project/valve_selection; these windows show it.
#include <array>
#include <string>
#include <vector>

#include <wx/window.h>

#include "project/valve_selection.hpp"

namespace tarvik::app {

class ListGrid;

// 135: the chosen series text ("designation (qualifier)"), "" on Cancel.
std::string ChooseValveSeries(wxWindow* parent, const std::vector<SeriesRow>& rows, const std::string& designation);

// The series grid's header (text 144) and rows, each column as wide as its contents.
void FillSeriesGrid(ListGrid& grid, const std::vector<SeriesRow>& rows, const std::string& header);

// 146: the chosen candidate (index into `valves`), -1 on Cancel or when the lists do not
// identify one valve.
int ChooseCatalogueValve(wxWindow* parent, const std::vector<SeriesValve>& valves, int selected,
                         const std::array<double, 3>& pointKv);

}  // namespace tarvik::app
