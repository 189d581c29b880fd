#include "setup/desktop_entry.hpp"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>

extern char** environ;

namespace tarvik::setup {
namespace fs = std::filesystem;

namespace {

constexpr const char* kMimeType = "application/x-tarvik-project";

// An Exec argument in double quotes, escaped as the desktop entry format requires.
std::string QuoteExec(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') out += "\\\\";
        if (c == '%') out += '%';
        out += c;
    }
    return out + "\"";
}

// Values of a desktop entry are one line: a line break in a folder name must not end it.
std::string OneLine(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c == '\\') out += "\\\\";
        else out += c;
    }
    return out;
}

void WriteFile(const fs::path& path, const std::string& text, Journal& journal) {
    if (!CreateFolders(path.parent_path(), journal)) throw InfError("cannot create " + path.parent_path().string());
    const bool existed = fs::exists(path);
    fs::path tmp = path;
    tmp += ".tmp";
    {
        std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
        f << text;
        f.flush();
        if (!f) throw InfError("cannot write " + path.string());
    }
    std::error_code ec;
    fs::rename(tmp, path, ec);
    if (ec) {
        fs::remove(tmp, ec);
        throw InfError("cannot write " + path.string());
    }
    if (!existed) journal.files.push_back(path);
}

// Runs a cache tool when it is installed; the entry works without it, only later.
void Refresh(const char* tool, const fs::path& folder) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) return;
    const std::string dir = folder.string();
    char* argv[] = {const_cast<char*>(tool), const_cast<char*>(dir.c_str()), nullptr};
    // Their chatter about search paths is of no use to the user of the installer.
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid;
    const int rc = posix_spawnp(&pid, tool, &quiet, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&quiet);
    if (rc != 0) return;
    int status = 0;
    waitpid(pid, &status, 0);
}

std::string ReadText(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

}  // namespace

DesktopFiles::DesktopFiles(const fs::path& dataDir)
    : entry(dataDir / "applications/tarvik.desktop"),
      mimeType(dataDir / "mime/packages/tarvik.xml"),
      icon(dataDir / "icons/hicolor/scalable/apps/tarvik.svg") {}

std::string DesktopEntryText(const fs::path& dest, const std::string& comment) {
    std::ostringstream s;
    s << "[Desktop Entry]\n"
      << "Type=Application\n"
      << "Name=Tarvik\n"
      << "Comment=" << OneLine(comment) << "\n"
      << "Exec=" << QuoteExec((dest / "tarvik").string()) << " %f\n"
      << "Path=" << OneLine(dest.string()) << "\n"
      << "Icon=tarvik\n"
      << "Terminal=false\n"
      << "Categories=Engineering;Science;\n"
      << "MimeType=" << kMimeType << ";\n";
    return s.str();
}

void RegisterDesktop(const fs::path& dest, const fs::path& dataDir, const std::string& comment, Journal& journal) {
    const DesktopFiles files(dataDir);
    WriteFile(files.entry, DesktopEntryText(dest, comment), journal);
    WriteFile(files.mimeType,
              std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                          "  <mime-type type=\"") + kMimeType + "\">\n"
                          "    <comment>Tarvik project</comment>\n"
                          "    <icon name=\"tarvik\"/>\n"
                          "    <glob pattern=\"*.tkp\"/>\n"
                          "  </mime-type>\n"
                          "</mime-info>\n",
              journal);
    const fs::path svg = dest / "tarvik.svg";
    if (!fs::is_regular_file(svg)) throw InfError("missing " + svg.string());
    WriteFile(files.icon, ReadText(svg), journal);
    Refresh("update-mime-database", dataDir / "mime");
    Refresh("update-desktop-database", dataDir / "applications");
}

void UnregisterDesktop(const fs::path& dest, const fs::path& dataDir) {
    const DesktopFiles files(dataDir);
    // Another installation's entry (another folder) stays.
    if (ReadText(files.entry).find("Path=" + OneLine(dest.string()) + "\n") == std::string::npos) return;
    std::error_code ec;
    for (const fs::path& p : {files.entry, files.mimeType, files.icon}) fs::remove(p, ec);
    Refresh("update-mime-database", dataDir / "mime");
    Refresh("update-desktop-database", dataDir / "applications");
}

}  // namespace tarvik::setup
