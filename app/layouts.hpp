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
// Loads one layout file the same way (the installer's programs load only their own).
bool LoadLayoutFile(const std::filesystem::path& programDir, int lang, const std::string& name,
                    std::vector<std::string>* problems = nullptr);

// wx accepts window and menu IDs below 32767 only: a command number from 32767 up is carried
// as the number minus 30000 (menu item 2783 is command 32783), and routed back.
constexpr int CommandId(int command) { return command >= 32767 ? command - 30000 : command; }
constexpr int CommandOf(int id) { return id >= 2767 && id < 2900 ? id + 30000 : id; }

// The form's point buttons 32778 to 32781.
constexpr int kCopyPoint12Button = CommandId(32778), kCopyPoint23Button = CommandId(32779);
constexpr int kClearPoint2Button = CommandId(32780), kClearPoint3Button = CommandId(32781);

// The control of a form or dialog by its numeric ID (null when the layout lacks it).
template <class T>
T* Control(wxWindow* parent, int id) {
    return parent ? dynamic_cast<T*>(parent->FindWindow(id)) : nullptr;
}

}  // namespace tarvik::app
