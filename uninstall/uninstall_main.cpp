// tarvik-uninstall: removes the installation whose script it is given (DEST/tarvik.inf).
#include <cstdio>
#include <string>
#include <vector>

#include "setup/front_end.hpp"
#ifdef TARVIK_WIZARDS
#include "uninstall/uninstall_wizard.hpp"
#endif

int main(int argc, char** argv) {
    using namespace tarvik::setup;
    const std::vector<std::string> args(argv + 1, argv + argc);
    const UninstallOptions o = ParseUninstallOptions(args);
    if (o.help || !o.error.empty()) {
        if (!o.error.empty()) std::fprintf(stderr, "%s\n", o.error.c_str());
        std::fprintf(o.help ? stdout : stderr, "usage: tarvik-uninstall [--unattended] DEST/tarvik.inf\n");
        return o.help ? kExitOk : kExitUsage;
    }
    const auto programDir = ExecutableDir();
    std::string error;
    if (!LoadPack(programDir, WizardLanguage(programDir / "tarvik.ini"), error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return kExitFailed;
    }
    const UserPlaces places = UserPlaces::FromEnvironment();
    if (o.unattended) return RunUnattendedUninstall(o.script, places);
#ifdef TARVIK_WIZARDS
    return RunUninstallWizard(argc, argv, o.script, places);
#else
    std::fprintf(stderr, "this build has no windows: use --unattended\n");
    return kExitUsage;
#endif
}
