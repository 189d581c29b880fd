#include "project/online_update.hpp"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "data/ascii_text.hpp"
#include "data/ini_profile.hpp"
#include "data/language.hpp"
#include "updater/program_swap.hpp"

namespace tarvik {

namespace fs = std::filesystem;

namespace {

std::tm LocalTm(std::int64_t epochSeconds) {
    const std::time_t t = static_cast<std::time_t>(epochSeconds);
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm;
}

}  // namespace

// ---- credentials and server ------------------------------------------------------------------

fs::path DefaultCredentialsFile() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        return fs::path(xdg) / "tarvik" / "update.ini";
    if (const char* home = std::getenv("HOME"); home && *home)
        return fs::path(home) / ".config" / "tarvik" / "update.ini";
    return {};
}

UpdateCredentials LoadUpdateCredentials(const fs::path& ini, const fs::path& userFile,
                                        std::string& note) {
    note.clear();
    const IniProfile profile = IniProfile::Load(ini);
    UpdateCredentials c{profile.GetString("FTP", "User", ""), profile.GetString("FTP", "Password", "")};
    if (!c.user.empty() || userFile.empty()) return c;

    struct stat st {};
    if (::stat(userFile.c_str(), &st) != 0) return {};
    // A password file others may read, or one someone else could have written, is not used.
    if (st.st_uid != ::geteuid() || (st.st_mode & 077) != 0 || !S_ISREG(st.st_mode)) {
        note = "The credentials file " + userFile.string() +
               " is ignored: it must belong to you and be readable by you only (chmod 600).";
        return {};
    }
    const IniProfile own = IniProfile::Load(userFile);
    return {own.GetString("FTP", "User", ""), own.GetString("FTP", "Password", "")};
}

bool ParseFtpServer(const std::string& serverText, bool tls, FtpEndpoint& endpoint,
                    std::string& error) {
    std::string s = TrimBlanks(serverText);
    endpoint = FtpEndpoint{};
    endpoint.tls = tls;
    if (const auto p = s.find("://"); p != std::string::npos) {
        const std::string scheme = AsciiLower(s.substr(0, p));
        if (scheme == "ftps") endpoint.tls = true;
        else if (scheme != "ftp") {
            error = "the update server '" + serverText + "' must be ftp:// or ftps://";
            return false;
        }
        s = s.substr(p + 3);
    }
    if (!s.empty() && s.back() == '/') s.pop_back();
    std::string host = s;
    if (!s.empty() && s.front() == '[') {  // [IPv6]:port
        const auto close = s.find(']');
        if (close == std::string::npos) {
            error = "the update server '" + serverText + "' has an unclosed '['";
            return false;
        }
        host = s.substr(0, close + 1);
        s = s.substr(close + 1);
        if (!s.empty() && s.front() != ':') {
            error = "the update server '" + serverText + "' is not a host name";
            return false;
        }
    } else if (const auto colon = s.find(':'); colon != std::string::npos) {
        host = s.substr(0, colon);
        s = s.substr(colon);
    } else {
        s.clear();
    }
    if (!s.empty()) {  // ":port"
        const std::string port = s.substr(1);
        if (port.empty() || port.size() > 5 ||
            !std::all_of(port.begin(), port.end(), [](unsigned char c) { return std::isdigit(c); }) ||
            std::stoi(port) < 1 || std::stoi(port) > 65535) {
            error = "the update server '" + serverText + "' has no valid port";
            return false;
        }
        endpoint.port = std::stoi(port);
    }
    const bool hostOk = !host.empty() && std::all_of(host.begin(), host.end(), [](unsigned char c) {
        return std::isalnum(c) || c == '.' || c == '-' || c == '_' || c == ':' || c == '[' || c == ']';
    });
    if (!hostOk) {
        error = "the update server '" + serverText + "' is not a host name";
        return false;
    }
    endpoint.host = host;
    return true;
}

bool LoadFtpEndpoint(const fs::path& ini, FtpEndpoint& endpoint, std::string& error) {
    const IniProfile profile = IniProfile::Load(ini);
    if (!ParseFtpServer(profile.GetString("FTP", "Server", ""), profile.GetInt("FTP", "TLS", 0) == 1,
                        endpoint, error))
        return false;
    endpoint.passive = profile.GetInt("FTP", "Passive", 0) == 1;
    endpoint.caFile = profile.GetString("FTP", "CAFile", "");
    return true;
}

// ---- plan -------------------------------------------------------------------------------------

std::string UpdateServerDir(const std::string& dirText, int lang, UpdateGroup group) {
    // "Dir" with or without its slashes names the same directory; an empty one is the root.
    std::string dir = dirText;
    while (!dir.empty() && (dir.front() == '/' || dir.front() == '\\')) dir.erase(dir.begin());
    while (!dir.empty() && (dir.back() == '/' || dir.back() == '\\')) dir.pop_back();
    const std::string base = "/" + dir;
    const std::string langDir = (dir.empty() ? "" : base) + "/" + std::to_string(lang);
    switch (group) {
    case UpdateGroup::Series: return langDir + "/dbv";
    case UpdateGroup::Language: return langDir;
    case UpdateGroup::Data:
    case UpdateGroup::Program: break;
    }
    return base;
}

bool AcceptRemoteName(const std::string& name, UpdateGroup group, std::string& reason) {
    if (name.empty() || name == "." || name == "..") {
        reason = "not a file name";
        return false;
    }
    if (name.size() > 255) {
        reason = "name too long";
        return false;
    }
    for (unsigned char c : name) {
        if (c == '/' || c == '\\') {
            reason = "not a plain file name (contains a path separator)";
            return false;
        }
        if (c < 0x20 || c == 0x7f) {
            reason = "contains a control character";
            return false;
        }
    }
    if (name.find("..") != std::string::npos) {
        reason = "contains \"..\"";
        return false;
    }
    if (name.front() == '.') {
        reason = "hidden file name";
        return false;
    }
    const std::string lower = AsciiLower(name);
    if (group == UpdateGroup::Program) {
        if (name != kProgramFileName) {
            reason = "not the program file";
            return false;
        }
        return true;
    }
    // Files the update must never replace: the configuration, its own log, the programs (a new
    // program only ever arrives as Tarvik.new, for the updater to check and install).
    static const char* const kReserved[] = {
        "tarvik.ini", "update.log", "update.log.1", "tarvik.exe", "tarvik.new", "update.exe", "tarvik",
        "tarvik-cli", "tarvik-update", "tarvik-setup", "tarvik-uninstall", "vypocet.txt"};
    for (const char* r : kReserved)
        if (lower == r) {
            reason = "a file the update never replaces";
            return false;
        }
    return true;
}

std::int64_t LocalSecondKey(std::int64_t epochSeconds) {
    const std::tm tm = LocalTm(epochSeconds);
    const std::int64_t date = (tm.tm_year + 1900) * 10000ll + (tm.tm_mon + 1) * 100 + tm.tm_mday;
    return date * 1000000 + tm.tm_hour * 10000 + tm.tm_min * 100 + tm.tm_sec;
}

int LocalDayKey(std::int64_t epochSeconds) {
    const std::tm tm = LocalTm(epochSeconds);
    return (tm.tm_year + 1900 - 2000) * 10000 + (tm.tm_mon + 1) * 100 + tm.tm_mday;
}

std::string UpdatePlan::ConfirmationLines() const {
    std::string out;
    char number[32];
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::snprintf(number, sizeof number, "\t%2i. ", static_cast<int>(i + 1));
        out += number + files[i].name + "\n";
    }
    return out;
}

std::string UpdateProgressText(const PlannedFile& file, int k, int n) {
    char count[48];
    std::snprintf(count, sizeof count, file.program ? "(%i./%i)" : " (%i./%i)", k, n);
    return FormatText(kMsgUpdateDownloading, (file.program ? kProgramFileName : file.localName) + count);
}

UpdateLog::UpdateLog(fs::path path) : path_(std::move(path)) {
    // One earlier generation is kept, so that the log cannot fill the disk over the years.
    std::error_code ec;
    if (fs::is_regular_file(path_, ec) && fs::file_size(path_, ec) > (1u << 20))
        fs::rename(path_, fs::path(path_).concat(".1"), ec);
}

void UpdateLog::Write(const std::string& line) { updater::AppendLogLine(path_, kProgramFile, line); }

namespace {

struct LocalFile {
    bool exists = false;
    std::uint64_t size = 0;
    std::int64_t modified = 0;
};

LocalFile StatLocal(const fs::path& p) {
    struct stat st {};
    if (::stat(p.c_str(), &st) != 0) return {};
    return {true, static_cast<std::uint64_t>(st.st_size), static_cast<std::int64_t>(st.st_mtime)};
}

class Planner {
public:
    Planner(FtpTransfer& ftp, const UpdateRequest& request, UpdateLog& log)
        : ftp_(ftp), req_(request), log_(log) {}

    UpdatePlan Build() {
        const std::string base = UpdateServerDir(req_.dir, req_.lang, UpdateGroup::Data);
        Group(UpdateGroup::Data, base, "");
        Group(UpdateGroup::Series, UpdateServerDir(req_.dir, req_.lang, UpdateGroup::Series), "dbv/");
        Group(UpdateGroup::Language, UpdateServerDir(req_.dir, req_.lang, UpdateGroup::Language), "");
        Program(base);
        for (const auto& f : plan_.files) plan_.total += f.size;
        return std::move(plan_);
    }

private:
    const std::vector<RemoteEntry>* Listing(const std::string& dir) {
        auto it = listings_.find(dir);
        if (it == listings_.end()) {
            it = listings_.emplace(dir, ftp_.List(dir)).first;
            if (!it->second) {
                plan_.missingDirs.push_back(dir);
                log_.Write("directory " + dir + " not on the server: skipped");
            }
        }
        return it->second ? &*it->second : nullptr;
    }

    static std::string Join(const std::string& dir, const std::string& name) {
        return dir == "/" ? "/" + name : dir + "/" + name;
    }

    // Fills in what the listing left out; false when the size stays unknown.
    bool Complete(RemoteEntry& e, const std::string& path) {
        if (e.size && e.modified) return true;
        const RemoteEntry s = ftp_.Stat(path);
        if (!e.size) e.size = s.size;
        if (!e.modified) e.modified = s.modified;
        return e.size.has_value();
    }

    void Skip(const std::string& path, const std::string& reason) {
        plan_.skipped.push_back({path, reason});
        log_.Write("refused " + path + ": " + reason);
    }

    void Group(UpdateGroup group, const std::string& dir, const std::string& localPrefix) {
        const auto* entries = Listing(dir);
        if (!entries) return;
        for (RemoteEntry e : *entries) {
            if (e.isDir) continue;
            const std::string path = Join(dir, e.name);
            std::string reason;
            const bool safe = AcceptRemoteName(e.name, group, reason);
            // Names outside the group's pattern are not part of it; an unsafe name that would
            // have been taken is reported.
            if (group == UpdateGroup::Data && !EndsWithNoCase(e.name, ".tkd")) continue;
            if (group == UpdateGroup::Series && !EndsWithNoCase(e.name, ".dbv")) continue;
            if (!safe) {
                Skip(path, reason);
                continue;
            }
            if (!Complete(e, path)) {
                Skip(path, "the server gives no size");
                continue;
            }
            if (*e.size > kUpdateFileLimit) {
                Skip(path, "announced size " + std::to_string(*e.size) + " bytes is above the limit");
                continue;
            }
            // The language directory carries the pack's text files, which live in its own folder
            // here (one library file per language in the original layout); anything else in it
            // goes beside the program as before.
            const std::string localName =
                group == UpdateGroup::Language && EndsWithNoCase(e.name, ".txt")
                    ? "TarvikD" + std::to_string(req_.lang) + "/" + e.name
                    : localPrefix + e.name;
            const LocalFile local = StatLocal(req_.programDir / localName);
            const bool newer = e.modified && LocalSecondKey(local.modified) < LocalSecondKey(*e.modified);
            if (!local.exists || newer || local.size != *e.size)
                Add({path, localName, e.name, *e.size, false});
        }
    }

    void Program(const std::string& dir) {
        const auto* entries = Listing(dir);
        if (!entries) return;
        for (RemoteEntry e : *entries) {
            if (e.isDir || e.name != kProgramFileName) continue;
            const LocalFile local = StatLocal(req_.programDir / req_.programFile);
            if (!local.exists) return;
            const std::string path = Join(dir, e.name);
            if (!Complete(e, path)) return Skip(path, "the server gives no size");
            if (*e.size > kUpdateFileLimit)
                return Skip(path, "announced size " + std::to_string(*e.size) + " bytes is above the limit");
            const bool newer = e.modified && LocalDayKey(local.modified) < LocalDayKey(*e.modified);
            if (newer || local.size != *e.size) {
                Add({path, kNewProgramFileName, kProgramFileName, *e.size, true});
                plan_.newProgram = true;
            }
            return;
        }
    }

    void Add(PlannedFile f) {
        log_.Write("planned " + f.remotePath + " -> " + f.localName + " (" + std::to_string(f.size) + " bytes)");
        plan_.files.push_back(std::move(f));
    }

    FtpTransfer& ftp_;
    const UpdateRequest& req_;
    UpdateLog& log_;
    UpdatePlan plan_;
    std::map<std::string, std::optional<std::vector<RemoteEntry>>> listings_;
};

}  // namespace

UpdatePlan BuildUpdatePlan(FtpTransfer& ftp, const UpdateRequest& request, UpdateLog& log) {
    return Planner(ftp, request, log).Build();
}

// ---- download ---------------------------------------------------------------------------------

bool DownloadPlannedFile(FtpTransfer& ftp, const PlannedFile& file, const fs::path& programDir,
                         std::string& error) {
    const fs::path target = programDir / fs::path(file.localName);
    std::error_code ec;
    fs::create_directories(target.parent_path(), ec);
    const auto status = fs::symlink_status(target, ec);
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        error = target.string() + " is not a regular file";
        return false;
    }
    // The temporary name starts with a point, which no accepted remote name does.
    const fs::path temp = target.parent_path() / ("." + target.filename().string() + ".download");
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC,
                          file.program ? 0755 : 0644);
    if (fd < 0) {
        error = "cannot create " + temp.string() + ": " + std::strerror(errno);
        return false;
    }
    std::uint64_t received = 0;
    bool tooLarge = false, writeFailed = false;
    const FtpTransfer::Sink sink = [&](const char* data, std::size_t size) {
        if (received + size > file.size || received + size > kUpdateFileLimit) {
            tooLarge = true;
            return false;
        }
        for (std::size_t done = 0; done < size;) {
            const ssize_t n = ::write(fd, data + done, size - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                writeFailed = true;
                return false;
            }
            done += static_cast<std::size_t>(n);
        }
        received += size;
        return true;
    };
    std::string transferError;
    const bool transferred = ftp.Download(file.remotePath, sink, transferError);
    const bool synced = ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;

    if (tooLarge)
        error = "the server sent more than the announced " + std::to_string(file.size) + " bytes";
    else if (writeFailed || !synced || !closed)
        error = "cannot write " + temp.string() + ": " + std::strerror(errno);
    else if (!transferred)
        error = transferError.empty() ? "transfer failed" : transferError;
    else if (received != file.size)
        error = "incomplete: " + std::to_string(received) + " of " + std::to_string(file.size) + " bytes";
    else if (::rename(temp.c_str(), target.c_str()) != 0)
        error = "cannot replace " + target.string() + ": " + std::strerror(errno);
    else
        return true;
    fs::remove(temp, ec);
    return false;
}

bool StoreUpdateMonth(const fs::path& ini, int monthKey, bool leadingTab) {
    char text[32];
    std::snprintf(text, sizeof text, leadingTab ? "\t%2i" : "%i", monthKey);
    IniProfile profile = IniProfile::Load(ini);
    profile.SetString("FTP", "UpdateData", text);
    return profile.Save(ini);
}

// ---- the run ----------------------------------------------------------------------------------

UpdateSummary RunOnlineUpdate(const OnlineUpdateInputs& in, FtpTransfer* ftp, UpdateUi& ui) {
    UpdateSummary summary;
    const fs::path ini = in.programDir / "tarvik.ini";
    const int month = in.monthKey != 0 ? in.monthKey : CurrentMonthKey();
    UpdateLog log(in.programDir / kUpdateLogName);

    if (in.settings.server.empty() || !ftp) {
        summary.noServer = true;
        StoreUpdateMonth(ini, month, false);
        return summary;
    }
    log.Write("update from " + in.settings.server + " dir \"" + in.settings.dir + "\" lang " +
              std::to_string(in.lang) + " as " + (in.credentials.user.empty() ? "anonymous" : in.credentials.user));

    ui.ShowProgress();
    ui.Status(GetText(kMsgUpdateConnecting));
    ui.SetPosition(0);
    bool attempted = false, programDone = false;
    try {
        ftp->Connect();
        ui.Status(GetText(kMsgUpdateConnected));
        summary.plan = BuildUpdatePlan(*ftp, {in.settings.dir, in.lang, in.programDir, in.programFile}, log);
        const UpdatePlan& plan = summary.plan;
        if (!plan.skipped.empty()) {
            std::string names;
            for (const auto& s : plan.skipped) names += s.remotePath + " (" + s.reason + ")\n";
            ui.Tell(FormatText(kMsgUpdateSkippedNames, names));
        }
        if (!plan.files.empty()) {
            if (!in.assumeYes && !ui.Confirm(GetText(kMsgUpdateQuestion) + "\n" + plan.ConfirmationLines())) {
                summary.declined = true;
                log.Write("the user declined the download");
            } else {
                attempted = true;
                ui.SetRange(plan.total);
                std::uint64_t running = 0;
                const int n = static_cast<int>(plan.files.size());
                for (int k = 1; k <= n; ++k) {
                    const PlannedFile& f = plan.files[k - 1];
                    if (ui.Cancelled()) {
                        summary.cancelled = true;
                        log.Write("cancelled by the user before " + f.localName);
                        break;
                    }
                    running += f.size;
                    ui.Status(UpdateProgressText(f, k, n));
                    std::string error;
                    if (DownloadPlannedFile(*ftp, f, in.programDir, error)) {
                        summary.downloaded.push_back(f.localName);
                        if (f.program) programDone = true;
                        log.Write("downloaded " + f.localName);
                    } else {
                        summary.failed.push_back(f.localName);
                        log.Write("failed " + f.localName + ": " + error);
                        ui.Tell(FormatText(kMsgUpdateFileFailed, f.program ? kProgramFileName : f.localName));
                    }
                    ui.SetPosition(running);
                }
            }
        }
    } catch (const FtpError& e) {
        summary.serverFailed = true;
        summary.error = e.what();
        log.Write(std::string("update ended: ") + e.what());
    }
    ui.HideProgress();
    if (attempted && !summary.serverFailed) ui.Tell(GetText(programDone ? kMsgUpdateProgramDownloaded : kMsgUpdateDone));
    if (!StoreUpdateMonth(ini, month)) log.Write("cannot write UpdateData to " + ini.string());
    summary.startMayContinue = !programDone;
    log.Write(programDone ? "a new program waits as Tarvik.new" : "update finished");
    return summary;
}

}  // namespace tarvik
