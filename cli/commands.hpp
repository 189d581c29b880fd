#pragma once
// The commands of tarvik-cli. Each takes the arguments after the command name (the common
// options already applied) and returns the exit code.
#include <string>
#include <vector>

namespace tarvik::cli {

}  // namespace tarvik::cli
