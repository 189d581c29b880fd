// tarvik-cli: the command-line front end of the Tarvik core.
#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/commands.hpp"
#include "cli/common.hpp"

namespace {

struct Command {
    const char* name;
    const char* summary;
    int (*run)(std::vector<std::string>& args);
};

const Command kCommands[] = {
    {"help", "show this overview", nullptr},
    {"size", "size one valve position given as JSON (FILE or - for stdin)", tarvik::cli::SizeCommand},
    {"steam", "water and steam properties at a pressure and a temperature", tarvik::cli::SteamCommand},
    {"catalogue", "print a catalogue file as JSON, or write one from JSON", tarvik::cli::RunCatalogue},
    {"dump", "print a project file as JSON", tarvik::cli::DumpCommand},
    {"load", "write a project file from JSON", tarvik::cli::LoadCommand},
    {"calc", "calculate the positions of a project", tarvik::cli::CalcCommand},
    {"export", "write the summary or specification export of a project", tarvik::cli::ExportCommand},
    {"candidates", "list the catalogue valves offered for a position", tarvik::cli::CandidatesCommand},
    {"pipes", "append a workbook's pipe table (.xlsx, .ods, .csv) to a pipe file", tarvik::cli::PipesCommand},
    {"drawing", "write a position's dimension drawing as PDF, PNG or SVG", tarvik::cli::DrawingCommand},
    {"print", "write the calculation sheets of a project as a PDF", tarvik::cli::PrintCommand},
    {"actuator", "size the actuator of a valve type and list the fitting actuators", tarvik::cli::ActuatorCommand},
    {"spec", "show a position's specification; 'spec apply' completes it", tarvik::cli::SpecCommand},
    {"update", "compare with the update server; --yes downloads what is newer", tarvik::cli::UpdateCommand},
};

void PrintUsage(std::FILE* out) {
    std::fprintf(out,
                 "Usage: tarvik-cli COMMAND [options]\n"
                 "Options of every command: --program-dir DIR, --lang N, --lang-count N, --admin 0|1\n\nCommands:\n");
    for (const auto& c : kCommands) std::fprintf(out, "  %-12s %s\n", c.name, c.summary);
}

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "help" || args[0] == "--help" || args[0] == "-h") {
        PrintUsage(args.empty() ? stderr : stdout);
        return args.empty() ? tarvik::cli::kExitUsage : tarvik::cli::kExitOk;
    }
    const std::string name = args[0];
    args.erase(args.begin());
    for (const auto& c : kCommands) {
        if (name != c.name || !c.run) continue;
        std::string error;
        if (!tarvik::cli::ApplyCommonOptions(args, error)) {
            std::fprintf(stderr, "tarvik-cli %s: %s\n", name.c_str(), error.c_str());
            return tarvik::cli::kExitUsage;
        }
        const int code = c.run(args);
        tarvik::cli::CloseSession();
        return code;
    }
    std::fprintf(stderr, "tarvik-cli: unknown command '%s' (try 'tarvik-cli help')\n", name.c_str());
    return tarvik::cli::kExitUsage;
}
