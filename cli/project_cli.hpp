#pragma once
// What the project commands of tarvik-cli share: opening and saving a project file with the
// settings in force, errors printed as one line naming the command.
#include <filesystem>
#include <string>

#include "project/project_document.hpp"

namespace tarvik::cli {

// Loads the project; on failure prints "tarvik-cli COMMAND: ..." and returns false.
bool OpenProject(const std::string& command, const std::filesystem::path& path, ProjectDocument& doc);
// Saves atomically; on failure prints the error and returns false.
bool SaveProjectFile(const std::string& command, const ProjectDocument& doc, const std::filesystem::path& path);

// Prints "tarvik-cli COMMAND: error" and the usage line; returns kExitUsage.
int ProjectUsage(const std::string& command, const std::string& error, const char* usage);

}  // namespace tarvik::cli
