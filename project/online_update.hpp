#pragma once
// The online update: compares the program folder with the update server, asks the user, downloads
// what is newer or different and records the month of the check. No network and no wx here: the
// transfer is behind FtpTransfer (libcurl in ftp_transfer.hpp, fakes in the tests) and the user
// behind UpdateUi.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "project/app_start.hpp"
#include "project/update_ui.hpp"
#include "updater/program_files.hpp"

namespace tarvik {

// Texts of the language pack.
inline constexpr int kMsgUpdateProgramDownloaded = 63089;  // the program will restart
inline constexpr int kMsgUpdateFileFailed = 63090;         // %1: the local name
inline constexpr int kMsgUpdateDone = 63091;
inline constexpr int kMsgUpdateQuestion = 63092;  // followed by "\n" and the numbered lines
inline constexpr int kMsgUpdateConnecting = 63093;
inline constexpr int kMsgUpdateConnected = 63094;
inline constexpr int kMsgUpdateDownloading = 63095;  // %1: name and "(k./n)"
inline constexpr int kMsgUpdateSkippedNames = 64805;  // %1: the refused names, one a line

inline constexpr char kProgramFileName[] = "Tarvik.exe";
inline constexpr char kNewProgramFileName[] = "Tarvik.new";
inline constexpr const char* kUpdateLogName = kUpdateLogFile;
// No file of the update is this large; a server that announces or sends more is not trusted.
inline constexpr std::uint64_t kUpdateFileLimit = 256ull << 20;

// A failure of the connection, the log-in or a listing: it ends the run.
class FtpError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One entry of a server directory. Times are seconds since the epoch (UTC).
struct RemoteEntry {
    std::string name;
    bool isDir = false;
    std::optional<std::uint64_t> size;
    std::optional<std::int64_t> modified;
};

// The server as the plan sees it. Paths are absolute on the server ("/Dir/3/dbv").
class FtpTransfer {
public:
    virtual ~FtpTransfer() = default;
    // Connects and logs in; throws FtpError.
    virtual void Connect() = 0;
    // The entries of a directory; nullopt when the directory does not exist. Throws FtpError.
    virtual std::optional<std::vector<RemoteEntry>> List(const std::string& dir) = 0;
    // Size and time of one file (SIZE and MDTM) for a listing that lacked them; fields the server
    // does not give stay empty. Throws FtpError.
    virtual RemoteEntry Stat(const std::string& path) = 0;
    // Sends the file's bytes to `sink` in binary mode; the sink returns false to abort. Returns
    // false with `error` set when the transfer failed or was aborted.
    using Sink = std::function<bool(const char* data, std::size_t size)>;
    virtual bool Download(const std::string& path, const Sink& sink, std::string& error) = 0;
};

// The log-in of the update server: empty user = anonymous.
struct UpdateCredentials {
    std::string user, password;
};
// From keys "User" and "Password" of section "FTP" in tarvik.ini, else from the per-user file
// (same keys, section "FTP"), which is used only when it belongs to the user and no one else may
// read it; `note` then says why it was ignored. Nothing found: anonymous.
UpdateCredentials LoadUpdateCredentials(const std::filesystem::path& ini,
                                        const std::filesystem::path& userFile, std::string& note);
// $XDG_CONFIG_HOME/tarvik/update.ini, or ~/.config/tarvik/update.ini.
std::filesystem::path DefaultCredentialsFile();

// How to reach the server: "Server" may be "host", "host:port", "ftp://host[:port]" or
// "ftps://host[:port]" (explicit TLS); key "TLS=1" also selects TLS, "Passive=1" passive mode.
struct FtpEndpoint {
    std::string host;
    int port = 21;
    bool tls = false;
    bool passive = false;
    std::string caFile;  // key "CAFile": trust this certificate file instead of the system store
};
// False with `error` for a server text that cannot be used.
bool ParseFtpServer(const std::string& server, bool tls, FtpEndpoint& endpoint, std::string& error);
// The endpoint of tarvik.ini's section "FTP" (Server, TLS, Passive, CAFile).
bool LoadFtpEndpoint(const std::filesystem::path& ini, FtpEndpoint& endpoint, std::string& error);

// Where each group of files lies on the server ("/" + Dir ..., Lang in decimal).
enum class UpdateGroup { Data, Series, Language, Program };
std::string UpdateServerDir(const std::string& dir, int lang, UpdateGroup group);

// Whether a name from the server may become a file of the program folder: a plain file name
// that fits its group and is not one the update must never overwrite. False sets `reason`.
bool AcceptRemoteName(const std::string& name, UpdateGroup group, std::string& reason);

// Local calendar time to the second (yyyymmddhhmmss) and the program file's day key
// ((year - 2000) * 10000 + month * 100 + day).
std::int64_t LocalSecondKey(std::int64_t epochSeconds);
int LocalDayKey(std::int64_t epochSeconds);

struct PlannedFile {
    std::string remotePath;  // "/Dir/3/dbv/x.dbv"
    std::string localName;   // relative to the program folder: "x.tkd", "dbv/x.dbv", "Tarvik.new"
    std::string name;        // the remote name, shown to the user
    std::uint64_t size = 0;
    bool program = false;
};

struct SkippedName {
    std::string remotePath, reason;
};

struct UpdatePlan {
    std::vector<PlannedFile> files;        // in discovery order, the program file last
    std::vector<SkippedName> skipped;      // names refused by AcceptRemoteName or the size limit
    std::vector<std::string> missingDirs;  // server directories that do not exist
    std::uint64_t total = 0;
    bool newProgram = false;
    // "\t%2i. name\n" for every planned file.
    std::string ConfirmationLines() const;
};

// The status text of the k-th of n downloads (the program file's without the blank).
std::string UpdateProgressText(const PlannedFile& file, int k, int n);

// Appends dated lines to update.log; a log that cannot be written does not stop the update.
class UpdateLog {
public:
    explicit UpdateLog(std::filesystem::path path);
    void Write(const std::string& line);
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

struct UpdateRequest {
    std::string dir;  // "Dir" of section "FTP"
    int lang = 0;
    std::filesystem::path programDir;
    // The program file the server's Tarvik.exe is compared with.
    std::string programFile = "tarvik";
};

// Compares the server with the program folder. Throws FtpError when the server fails.
UpdatePlan BuildUpdatePlan(FtpTransfer& ftp, const UpdateRequest& request, UpdateLog& log);

// Downloads one planned file into a temporary file beside its target and renames it over the
// target only when it is complete and of the announced size. False with `error` otherwise; the
// old file is then untouched.
bool DownloadPlannedFile(FtpTransfer& ftp, const PlannedFile& file,
                         const std::filesystem::path& programDir, std::string& error);

// Writes "UpdateData" as the month key: "\t%2i" after a run, "%i" when no server is set.
bool StoreUpdateMonth(const std::filesystem::path& ini, int monthKey, bool leadingTab = true);

struct UpdateSummary {
    bool startMayContinue = true;   // false: a new program (Tarvik.new) was downloaded
    bool noServer = false;          // "Server" empty: nothing was asked of the network
    bool serverFailed = false;      // connection, log-in or listing failed; `error` says why
    bool declined = false;          // the user answered No
    bool cancelled = false;         // the user cancelled between files
    std::string error;
    UpdatePlan plan;
    std::vector<std::string> downloaded, failed;  // local names
};

struct OnlineUpdateInputs {
    UpdateSettings settings;  // Server and Dir of tarvik.ini
    UpdateCredentials credentials;  // the transfer logs in with them; kept here for the log
    int lang = 0;
    std::filesystem::path programDir;
    std::string programFile = "tarvik";
    int monthKey = 0;  // 0: CurrentMonthKey()
    bool assumeYes = false;  // download without asking (tarvik-cli --yes)
};

// The whole run: plan, question, downloads, closing message, "UpdateData". `ftp` may be null
// only when Server is empty. Never throws for a server failure: that ends the run as a summary.
UpdateSummary RunOnlineUpdate(const OnlineUpdateInputs& in, FtpTransfer* ftp, UpdateUi& ui);

}  // namespace tarvik
