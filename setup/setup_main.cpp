// tarvik-setup: installs Tarvik from the distribution folder it lies in.
#include <cstdio>
#include <string>
#include <vector>

#include "setup/front_end.hpp"
#ifdef TARVIK_WIZARDS
#include "setup/setup_wizard.hpp"
#endif

int main(int argc, char** argv) {
    using namespace tarvik::setup;
    const std::vector<std::string> args(argv + 1, argv + argc);
    const SetupOptions o = ParseSetupOptions(args);
    if (o.help || !o.error.empty()) {
        if (!o.error.empty()) std::fprintf(stderr, "%s\n", o.error.c_str());
        std::fprintf(o.help ? stdout : stderr, "usage: tarvik-setup [--unattended] [--dest DIR] [--lang N]\n");
        return o.help ? kExitOk : kExitUsage;
    }
    const auto distDir = ExecutableDir();
    const UserPlaces places = UserPlaces::FromEnvironment();
    const int lang = o.lang >= 0 && o.lang <= 3 ? o.lang : WizardLanguage(distDir / "setup.ini");
    std::string error;
    if (!LoadPack(distDir / "Tarvik", lang, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return kExitFailed;
    }
    const auto dest = o.dest.empty() ? RememberedDestination(places) : std::filesystem::absolute(o.dest);
    if (o.unattended) return RunUnattendedSetup(distDir, dest, places, lang);
#ifdef TARVIK_WIZARDS
    return RunSetupWizard(argc, argv, distDir, dest, places, lang);
#else
    std::fprintf(stderr, "this build has no windows: use --unattended\n");
    return kExitUsage;
#endif
}
