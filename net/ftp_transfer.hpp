#pragma once
// FTP and FTPS (explicit TLS, certificates checked) with libcurl, for the online update.
#include <filesystem>
#include <memory>
#include <string>

#include "project/online_update.hpp"

typedef void CURL;

namespace tarvik {

class CurlFtpTransfer final : public FtpTransfer {
public:
    struct Options {
        FtpEndpoint endpoint;
        UpdateCredentials credentials;
        long connectTimeoutSeconds = 20;
        // A transfer slower than one byte a second for this long is given up.
        long stallSeconds = 30;
    };
    explicit CurlFtpTransfer(Options options);
    ~CurlFtpTransfer() override;
    CurlFtpTransfer(const CurlFtpTransfer&) = delete;
    CurlFtpTransfer& operator=(const CurlFtpTransfer&) = delete;

    void Connect() override;
    std::optional<std::vector<RemoteEntry>> List(const std::string& dir) override;
    RemoteEntry Stat(const std::string& path) override;
    bool Download(const std::string& path, const Sink& sink, std::string& error) override;

    // True once the server refused MLSD and listings came through LIST.
    bool usingList() const { return !mlsd_; }
    bool passive() const { return passive_; }

private:
    std::string Url(const std::string& path, bool directory) const;
    void Prepare(const std::string& url);
    int Perform(const std::string& url, const Sink* sink, bool noBody, const char* command);
    std::string Describe(int code) const;

    Options options_;
    CURL* curl_ = nullptr;
    bool mlsd_ = true;
    bool passive_ = false;
    char errorBuffer_[256] = {};
};

// The transfer section "FTP" of tarvik.ini describes (Server, TLS, Passive, CAFile), logging in
// with the credentials of LoadUpdateCredentials, which are also returned. Null with `error` for
// a server text that cannot be used; `note` tells of a credentials file that was ignored.
std::unique_ptr<CurlFtpTransfer> MakeUpdateTransfer(const std::filesystem::path& ini,
                                                    UpdateCredentials& credentials,
                                                    std::string& error, std::string& note);

}  // namespace tarvik
