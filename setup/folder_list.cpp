#include "setup/folder_list.hpp"

#include <algorithm>

namespace tarvik::setup {
namespace fs = std::filesystem;

std::vector<std::string> SubFolders(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code dirEc;
        if (!name.empty() && name[0] != '.' && it->is_directory(dirEc)) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

fs::path ProposedDestination(const fs::path& chosen) { return chosen / "Tarvik"; }

}  // namespace tarvik::setup
