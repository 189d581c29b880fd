// tarvik-cli dump PROJECT | load JSON PROJECT | export summary|spec PROJECT [--encoding cp1250|utf-8]
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "cli/commands.hpp"
#include "cli/common.hpp"
#include "cli/project_cli.hpp"
#include "cli/project_json.hpp"
#include "data/messages.hpp"
#include "project/exports.hpp"
#include "project/project_file.hpp"

namespace tarvik::cli {

int ProjectUsage(const std::string& command, const std::string& error, const char* usage) {
    std::fprintf(stderr, "tarvik-cli %s: %s\nusage: tarvik-cli %s\n", command.c_str(), error.c_str(), usage);
    return kExitUsage;
}

bool OpenProject(const std::string& command, const std::filesystem::path& path, ProjectDocument& doc) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        std::fprintf(stderr, "tarvik-cli %s: project file not found: %s\n", command.c_str(), path.string().c_str());
        return false;
    }
    try {
        doc = CurrentSession().OpenProject(path);
        return true;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tarvik-cli %s: %s\n", command.c_str(), e.what());
        return false;
    }
}

bool SaveProjectFile(const std::string& command, const ProjectDocument& doc, const std::filesystem::path& path) {
    try {
        CurrentSession().SaveProject(doc, path);
        return true;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tarvik-cli %s: cannot save %s: %s\n", command.c_str(), path.string().c_str(), e.what());
        return false;
    }
}

namespace {

std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    return text;
}

}  // namespace

int DumpCommand(std::vector<std::string>& args) {
    const char* usage = "dump PROJECT";
    if (args.size() != 1) return ProjectUsage("dump", args.empty() ? "no project given" : "unexpected argument '" + args[1] + "'", usage);
    ProjectDocument doc;
    if (!OpenProject("dump", args[0], doc)) return kExitRefused;
    std::string text;
    try {
        text = ProjectToJson(doc).dump(2);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tarvik-cli dump: %s\n", OneLine(e.what()).c_str());
        return kExitRefused;
    }
    std::cout << text << "\n";
    return std::cout.good() ? kExitOk : kExitRefused;
}

int LoadCommand(std::vector<std::string>& args) {
    const char* usage = "load JSON PROJECT   (JSON may be - for standard input)";
    if (args.size() != 2) return ProjectUsage("load", "expected a JSON file and a project file", usage);
    const std::string source = args[0];
    const std::filesystem::path target = args[1];

    std::stringstream buffer;
    if (source == "-") {
        buffer << std::cin.rdbuf();
    } else {
        std::ifstream in(source, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "tarvik-cli load: cannot open %s\n", source.c_str());
            return kExitRefused;
        }
        buffer << in.rdbuf();
    }
    nlohmann::json j;
    try {
        j = ParseJsonInput(buffer.str());
    } catch (const JsonInputError& e) {
        std::fprintf(stderr, "tarvik-cli load: %s is not valid JSON: %s\n", source.c_str(), e.what());
        return kExitUsage;
    }
    ProjectDocument doc;
    try {
        doc = ProjectFromJson(j, CurrentSession().NewProject());
    } catch (const ProjectJsonError& e) {
        std::fprintf(stderr, "tarvik-cli load: %s: %s\n", source.c_str(), OneLine(e.what()).c_str());
        return kExitUsage;
    }
    return SaveProjectFile("load", doc, target) ? kExitOk : kExitRefused;
}

int ExportCommand(std::vector<std::string>& args) {
    const char* usage = "export summary|spec PROJECT [--encoding cp1250|utf-8]";
    std::string encodingName, error;
    ExportEncoding encoding = ExportEncoding::Cp1250;
    if (TakeOption(args, "--encoding", encodingName, error) && !ParseExportEncoding(encodingName, encoding))
        return ProjectUsage("export", "unknown encoding '" + encodingName + "'", usage);
    if (!error.empty()) return ProjectUsage("export", error, usage);
    if (args.size() != 2) return ProjectUsage("export", "expected the kind of export and a project file", usage);
    ExportKind kind;
    if (args[0] == "summary") kind = ExportKind::Summary;
    else if (args[0] == "spec") kind = ExportKind::Specification;
    else return ProjectUsage("export", "unknown export '" + args[0] + "'", usage);

    ProjectDocument doc;
    if (!OpenProject("export", args[1], doc)) return kExitRefused;
    std::string shown;
    ScopedMessageSink sink([&](const Message& m) { shown += m.text + "\n"; });
    const ExportResult result = ExportProject(doc, args[1], kind, encoding);
    if (!result.ok) {
        std::fprintf(stderr, "tarvik-cli export: %s\n", OneLine(result.error).c_str());
        return kExitRefused;
    }
    std::cout << (shown.empty() ? result.path.string() + "\n" : shown);
    return kExitOk;
}

}  // namespace tarvik::cli
