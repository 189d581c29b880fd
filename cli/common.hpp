#pragma once
// What every tarvik-cli command shares: the options --program-dir, --lang, --lang-count and
// --admin, the session they open, and the exit codes.
#include <string>
#include <vector>

#include "project/session.hpp"

namespace tarvik::cli {

enum ExitCode { kExitOk = 0, kExitRefused = 1, kExitUsage = 2 };

struct CommandLine {
    std::vector<std::string> args;  // what is left after the common options
};

// Removes the common options from `args` and opens the session with them (program folder,
// tarvik.ini with the overrides, language pack, catalogues). On failure returns false and sets
// `error` to one line.
bool ApplyCommonOptions(std::vector<std::string>& args, std::string& error);
// The session ApplyCommonOptions opened; every command runs in it.
Session& CurrentSession();
// Ends the session (the extracted drawings are deleted); main calls it once the command is done.
void CloseSession();

// Takes "--name VALUE" or "--name=VALUE" out of args; true when present.
bool TakeOption(std::vector<std::string>& args, const std::string& name, std::string& value,
                std::string& error);
// Takes a flag "--name" out of args; true when present.
bool TakeFlag(std::vector<std::string>& args, const std::string& name);

// Strict integer and number parsing for option values.
bool ParseIntArg(const std::string& text, int& value);
bool ParseDoubleArg(const std::string& text, double& value);

}  // namespace tarvik::cli
