#pragma once
// wx asserts must never open their modal dialog: a program logs them, a test fails on them.
#include <functional>
#include <string>

namespace tarvik::app {

// Installs a handler that hands every assert (file:line: condition: message) to `report`.
void InstallAssertHandler(std::function<void(const std::string&)> report);
// The program's handler: writes the assert to stderr and goes on.
void InstallProgramAssertHandler();

}  // namespace tarvik::app
