#pragma once
// What every tarvik-cli command shares: the options --program-dir, --lang and --lang-count,
// loading the settings and the language pack, and the exit codes.
#include <string>
#include <vector>

namespace tarvik::cli {

enum ExitCode { kExitOk = 0, kExitRefused = 1, kExitUsage = 2 };

struct CommandLine {
    std::vector<std::string> args;  // what is left after the common options
};

// Removes the common options from `args`, applies them (program folder, tarvik.ini, overrides)
// and loads the language pack. On failure returns false and sets `error` to one line.
bool ApplyCommonOptions(std::vector<std::string>& args, std::string& error);

// Takes "--name VALUE" or "--name=VALUE" out of args; true when present.
bool TakeOption(std::vector<std::string>& args, const std::string& name, std::string& value,
                std::string& error);
// Takes a flag "--name" out of args; true when present.
bool TakeFlag(std::vector<std::string>& args, const std::string& name);

// Strict integer and number parsing for option values.
bool ParseIntArg(const std::string& text, int& value);
bool ParseDoubleArg(const std::string& text, double& value);

}  // namespace tarvik::cli
