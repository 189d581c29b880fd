#include "net/ftp_transfer.hpp"

#include <curl/curl.h>

#include <mutex>

#include "project/ftp_listing.hpp"

namespace tarvik {

namespace {

// A listing is text of a few kilobytes; a server sending more than this is not listing files.
constexpr std::size_t kListingLimit = 16u << 20;

void GlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct WriteTarget {
    const FtpTransfer::Sink* sink = nullptr;
    std::string* text = nullptr;
};

size_t WriteCallback(char* data, size_t size, size_t count, void* user) {
    auto* target = static_cast<WriteTarget*>(user);
    const size_t n = size * count;
    if (target->sink) return (*target->sink)(data, n) ? n : 0;
    if (target->text->size() + n > kListingLimit) return 0;
    target->text->append(data, n);
    return n;
}

// Failures of the data connection that passive mode may not have (a firewall or NAT before us).
bool ActiveModeFailure(int code) {
    return code == CURLE_FTP_ACCEPT_FAILED || code == CURLE_FTP_ACCEPT_TIMEOUT ||
           code == CURLE_FTP_PORT_FAILED;
}

// Failures that end the whole run: no server, no log-in, no TLS, a dead connection.
bool ServerFailure(int code) {
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
    case CURLE_LOGIN_DENIED:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_USE_SSL_FAILED:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_FTP_WEIRD_PASS_REPLY:
    case CURLE_GOT_NOTHING:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_OUT_OF_MEMORY:
        return true;
    default:
        return false;
    }
}

}  // namespace

CurlFtpTransfer::CurlFtpTransfer(Options options)
    : options_(std::move(options)), passive_(options_.endpoint.passive) {
    GlobalInit();
    curl_ = curl_easy_init();
}

CurlFtpTransfer::~CurlFtpTransfer() {
    if (curl_) curl_easy_cleanup(curl_);
}

std::string CurlFtpTransfer::Url(const std::string& path, bool directory) const {
    // "%2F" makes the path start at the server's root, not at the log-in directory.
    std::string url = "ftp://" + options_.endpoint.host + ":" + std::to_string(options_.endpoint.port) + "/%2F";
    std::size_t pos = 0;
    bool first = true;
    while (pos <= path.size()) {
        const auto slash = path.find('/', pos);
        const std::string segment = path.substr(pos, slash == std::string::npos ? std::string::npos : slash - pos);
        pos = slash == std::string::npos ? path.size() + 1 : slash + 1;
        if (segment.empty()) continue;
        char* escaped = curl_easy_escape(curl_, segment.c_str(), static_cast<int>(segment.size()));
        url += (first ? "" : "/") + std::string(escaped ? escaped : "");
        curl_free(escaped);
        first = false;
    }
    if (directory) url += "/";
    return url;
}

void CurlFtpTransfer::Prepare(const std::string& url) {
    curl_easy_reset(curl_);  // keeps the connection
    errorBuffer_[0] = '\0';
    curl_easy_setopt(curl_, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl_, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(curl_, CURLOPT_ERRORBUFFER, errorBuffer_);
    curl_easy_setopt(curl_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl_, CURLOPT_CONNECTTIMEOUT, options_.connectTimeoutSeconds);
    curl_easy_setopt(curl_, CURLOPT_SERVER_RESPONSE_TIMEOUT, options_.connectTimeoutSeconds);
    curl_easy_setopt(curl_, CURLOPT_ACCEPTTIMEOUT_MS, options_.connectTimeoutSeconds * 1000L);
    curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_TIME, options_.stallSeconds);
    curl_easy_setopt(curl_, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_SINGLECWD));
    curl_easy_setopt(curl_, CURLOPT_TRANSFERTEXT, 0L);
    // Active mode as the classic client uses it, unless passive is configured or needed.
    // With TLS, passive only: this libcurl cannot open an active data channel under TLS.
    if (!passive_ && !options_.endpoint.tls) curl_easy_setopt(curl_, CURLOPT_FTPPORT, "-");
    if (!options_.credentials.user.empty()) {
        curl_easy_setopt(curl_, CURLOPT_USERNAME, options_.credentials.user.c_str());
        curl_easy_setopt(curl_, CURLOPT_PASSWORD, options_.credentials.password.c_str());
    }
    if (options_.endpoint.tls) {
        curl_easy_setopt(curl_, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
        curl_easy_setopt(curl_, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(curl_, CURLOPT_SSL_VERIFYHOST, 2L);
        if (!options_.endpoint.caFile.empty())
            curl_easy_setopt(curl_, CURLOPT_CAINFO, options_.endpoint.caFile.c_str());
    }
}

int CurlFtpTransfer::Perform(const std::string& url, const Sink* sink, bool noBody, const char* command) {
    for (;;) {
        Prepare(url);
        std::string discard;
        WriteTarget target{sink, sink ? nullptr : &discard};
        curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, WriteCallback);
        curl_easy_setopt(curl_, CURLOPT_WRITEDATA, &target);
        if (noBody) {
            curl_easy_setopt(curl_, CURLOPT_NOBODY, 1L);
            curl_easy_setopt(curl_, CURLOPT_FILETIME, 1L);
        }
        if (command) curl_easy_setopt(curl_, CURLOPT_CUSTOMREQUEST, command);
        const CURLcode code = curl_easy_perform(curl_);
        // Active mode behind a firewall: once in passive mode for the rest of the run. A download
        // that already delivered bytes is not repeated (its sink has them).
        if (!passive_ && ActiveModeFailure(code)) {
            passive_ = true;
            continue;
        }
        return code;
    }
}

std::string CurlFtpTransfer::Describe(int code) const {
    std::string text = curl_easy_strerror(static_cast<CURLcode>(code));
    if (errorBuffer_[0]) text += std::string(": ") + errorBuffer_;
    return text;
}

void CurlFtpTransfer::Connect() {
    if (!curl_) throw FtpError("libcurl cannot be initialised");
    const std::string url = Url("/", true);
    const int code = Perform(url, nullptr, true, nullptr);
    if (code != CURLE_OK) throw FtpError(options_.endpoint.host + ": " + Describe(code));
}

std::optional<std::vector<RemoteEntry>> CurlFtpTransfer::List(const std::string& dir) {
    const std::string url = Url(dir, true);
    for (;;) {
        std::string text;
        const Sink sink = [&text](const char* data, std::size_t size) {
            if (text.size() + size > kListingLimit) return false;
            text.append(data, size);
            return true;
        };
        const int code = Perform(url, &sink, false, mlsd_ ? "MLSD" : nullptr);
        if (code == CURLE_OK) return mlsd_ ? ParseMlsdListing(text) : ParseListListing(text);
        if (code == CURLE_REMOTE_ACCESS_DENIED) return std::nullopt;  // no such directory
        if (code == CURLE_WRITE_ERROR) throw FtpError("listing of " + dir + " is too long");
        if (ServerFailure(code) || !mlsd_) throw FtpError("listing of " + dir + ": " + Describe(code));
        mlsd_ = false;  // an older server: LIST from now on
    }
}

RemoteEntry CurlFtpTransfer::Stat(const std::string& path) {
    RemoteEntry e;
    const int code = Perform(Url(path, false), nullptr, true, nullptr);
    if (code == CURLE_REMOTE_FILE_NOT_FOUND || code == CURLE_FTP_COULDNT_RETR_FILE) return e;
    if (code != CURLE_OK) throw FtpError(path + ": " + Describe(code));
    curl_off_t size = -1, time = -1;
    curl_easy_getinfo(curl_, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &size);
    curl_easy_getinfo(curl_, CURLINFO_FILETIME_T, &time);
    if (size >= 0) e.size = static_cast<std::uint64_t>(size);
    if (time >= 0) e.modified = static_cast<std::int64_t>(time);
    return e;
}

bool CurlFtpTransfer::Download(const std::string& path, const Sink& sink, std::string& error) {
    bool delivered = false;
    const Sink counting = [&](const char* data, std::size_t size) {
        delivered = true;
        return sink(data, size);
    };
    const int code = Perform(Url(path, false), &counting, false, nullptr);
    if (code == CURLE_OK) return true;
    if (ServerFailure(code) && code != CURLE_OPERATION_TIMEDOUT && !delivered)
        throw FtpError(path + ": " + Describe(code));
    error = Describe(code);
    return false;
}

std::unique_ptr<CurlFtpTransfer> MakeUpdateTransfer(const std::filesystem::path& ini,
                                                    UpdateCredentials& credentials,
                                                    std::string& error, std::string& note) {
    FtpEndpoint endpoint;
    if (!LoadFtpEndpoint(ini, endpoint, error)) return nullptr;
    credentials = LoadUpdateCredentials(ini, DefaultCredentialsFile(), note);
    return std::make_unique<CurlFtpTransfer>(CurlFtpTransfer::Options{endpoint, credentials});
}

}  // namespace tarvik
