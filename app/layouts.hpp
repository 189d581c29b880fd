#pragma once
// Loads the window layouts (XRC) with their text numbers resolved from the current language pack.
#include <filesystem>
#include <string>
#include <vector>

#include <wx/window.h>

namespace tarvik::app {

// The layout files every pack needs.
const std::vector<std::string>& LayoutFiles();

// Loads every layout file (a pack's own copy first) into wxXmlResource. Problems (a file that
// is missing or not XML, text numbers the pack lacks) are listed in `problems`; false when a
// file could not be loaded at all.
bool LoadLayouts(const std::filesystem::path& programDir, int lang, std::vector<std::string>* problems = nullptr);

// The window IDs of the form's point buttons: wx reserves the command numbers 32778 to 32781
// (above its window ID range), so the buttons carry these and route to the commands.
constexpr int kCopyPoint12Button = 2778, kCopyPoint23Button = 2779;
constexpr int kClearPoint2Button = 2780, kClearPoint3Button = 2781;

// The control of a form or dialog by its numeric ID (null when the layout lacks it).
template <class T>
T* Control(wxWindow* parent, int id) {
    return parent ? dynamic_cast<T*>(parent->FindWindow(id)) : nullptr;
}

}  // namespace tarvik::app
