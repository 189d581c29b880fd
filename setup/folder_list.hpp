#pragma once
// What the folder browser of the installer shows: the subfolders of a folder, one level at a
// time. No wx here.
#include <filesystem>
#include <string>
#include <vector>

namespace tarvik::setup {

// The names of the subfolders (links to folders included), sorted; hidden folders (".name")
// are left out; an unreadable folder has none.
std::vector<std::string> SubFolders(const std::filesystem::path& folder);

// The installation folder the browser proposes for a chosen folder: the folder + "/Tarvik".
std::filesystem::path ProposedDestination(const std::filesystem::path& chosen);

}  // namespace tarvik::setup
