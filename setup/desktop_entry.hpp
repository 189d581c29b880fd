#pragma once
// The menu entry, icon and project-file type of an installation, in the freedesktop layout
// under a data folder (XDG_DATA_HOME for a user, /usr/local/share for root). No wx here.
#include <filesystem>
#include <string>

#include "setup/inf_runner.hpp"

namespace tarvik::setup {

// The files RegisterDesktop writes below `dataDir`.
struct DesktopFiles {
    std::filesystem::path entry, mimeType, icon;
    explicit DesktopFiles(const std::filesystem::path& dataDir);
};

// The text of the .desktop entry for the program in `dest`.
std::string DesktopEntryText(const std::filesystem::path& dest, const std::string& comment);

// Writes the entry, the MIME type of *.tkp and the icon (from dest/tarvik.svg), each by
// temporary file + rename, then refreshes the desktop's caches when their tools exist.
// Throws InfError on failure; what it created is recorded in the journal.
void RegisterDesktop(const std::filesystem::path& dest, const std::filesystem::path& dataDir,
                     const std::string& comment, Journal& journal);
// Removes the three files (when they are ours: the entry must point into `dest`).
void UnregisterDesktop(const std::filesystem::path& dest, const std::filesystem::path& dataDir);

}  // namespace tarvik::setup
