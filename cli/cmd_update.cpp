// tarvik-cli update [--dry-run] [--yes]
#include <cstdio>

#include <nlohmann/json.hpp>

#include "cli/commands.hpp"
#include "cli/common.hpp"
#include "net/ftp_transfer.hpp"
#include "project/app_start.hpp"
#include "project/online_update.hpp"

namespace tarvik::cli {
namespace {

// The terminal as the update's user: status lines on stderr, the question answered by --yes.
class TerminalUpdateUi final : public UpdateUi {
public:
    explicit TerminalUpdateUi(bool yes) : yes_(yes) {}
    void ShowProgress() override {}
    void HideProgress() override {}
    void Status(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    void SetRange(std::uint64_t) override {}
    void SetPosition(std::uint64_t) override {}
    bool Confirm(const std::string& question) override {
        std::fprintf(stderr, "%s%s\n", question.c_str(), yes_ ? "" : "(not downloaded: run with --yes)");
        return yes_;
    }
    void Tell(const std::string& message) override { std::fprintf(stderr, "%s\n", message.c_str()); }
    bool Cancelled() override { return false; }

private:
    bool yes_;
};

nlohmann::json PlanJson(const UpdatePlan& plan) {
    nlohmann::json j;
    j["files"] = nlohmann::json::array();
    for (const auto& f : plan.files)
        j["files"].push_back({{"remote", f.remotePath}, {"local", f.localName}, {"size", f.size}, {"program", f.program}});
    j["total"] = plan.total;
    j["newProgram"] = plan.newProgram;
    j["skipped"] = nlohmann::json::array();
    for (const auto& s : plan.skipped) j["skipped"].push_back({{"remote", s.remotePath}, {"reason", s.reason}});
    j["missingDirs"] = plan.missingDirs;
    return j;
}

void Print(const nlohmann::json& j) {
    // Names come from the server: bytes that are not UTF-8 are replaced, never a crash.
    std::printf("%s\n", j.dump(2, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
}

int UpdateUsage(const std::string& error) {
    std::fprintf(stderr, "tarvik-cli update: %s\nusage: tarvik-cli update [--dry-run] [--yes]\n", error.c_str());
    return kExitUsage;
}

}  // namespace

int UpdateCommand(std::vector<std::string>& args) {
    const bool dryRun = TakeFlag(args, "--dry-run");
    const bool yes = TakeFlag(args, "--yes");
    if (!args.empty()) return UpdateUsage("unexpected argument '" + args[0] + "'");

    const Session& session = CurrentSession();
    const std::filesystem::path ini = session.programDir() / "tarvik.ini";
    const UpdateSettings settings = LoadUpdateSettings(ini);
    if (settings.server.empty()) return UpdateUsage("no update server: key Server of section FTP in " + ini.string());
    UpdateCredentials credentials;
    std::string error, note;
    const std::unique_ptr<CurlFtpTransfer> transfer = MakeUpdateTransfer(ini, credentials, error, note);
    if (!transfer) return UpdateUsage(error);
    if (!note.empty()) std::fprintf(stderr, "tarvik-cli update: %s\n", note.c_str());
    CurlFtpTransfer& ftp = *transfer;
    const int lang = session.settings().lang;
    nlohmann::json out{{"server", settings.server}, {"dir", settings.dir}, {"lang", lang}};

    if (dryRun) {
        UpdateLog log(session.programDir() / kUpdateLogName);
        log.Write("dry run against " + settings.server);
        try {
            ftp.Connect();
            out.update(PlanJson(BuildUpdatePlan(ftp, {settings.dir, lang, session.programDir()}, log)));
        } catch (const FtpError& e) {
            log.Write(std::string("dry run ended: ") + e.what());
            out["error"] = e.what();
            Print(out);
            return kExitRefused;
        }
        Print(out);
        return kExitOk;
    }

    TerminalUpdateUi ui(yes);
    OnlineUpdateInputs in;
    in.settings = settings;
    in.credentials = credentials;
    in.lang = lang;
    in.programDir = session.programDir();
    in.assumeYes = yes;
    const UpdateSummary summary = RunOnlineUpdate(in, &ftp, ui);
    out.update(PlanJson(summary.plan));
    out["downloaded"] = summary.downloaded;
    out["failed"] = summary.failed;
    out["declined"] = summary.declined;
    out["programDownloaded"] = !summary.startMayContinue;
    if (summary.serverFailed) out["error"] = summary.error;
    Print(out);
    return summary.serverFailed || !summary.failed.empty() ? kExitRefused : kExitOk;
}

}  // namespace tarvik::cli
