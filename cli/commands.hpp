#pragma once
// The commands of tarvik-cli. Each takes the arguments after the command name (the common
// options already applied) and returns the exit code.
#include <string>
#include <vector>

namespace tarvik::cli {

// catalogue dump FILE | catalogue build SOURCE.json OUT: catalogue files as JSON and back.
int RunCatalogue(std::vector<std::string>& args);

}  // namespace tarvik::cli
