// tarvik-cli pipes import WORKBOOK [--into FILE]
#include <cstdio>
#include <filesystem>

#include "cli/commands.hpp"
#include "cli/common.hpp"
#include "data/archive.hpp"
#include "data/language.hpp"
#include "data/pipe_import.hpp"

namespace tarvik::cli {
namespace {

int PipesUsage(const std::string& error) {
    std::fprintf(stderr, "tarvik-cli pipes: %s\nusage: tarvik-cli pipes import WORKBOOK [--into FILE]\n", error.c_str());
    return kExitUsage;
}

void PrintMessage(int number, const std::string& arg = "") {
    std::fprintf(stderr, "tarvik-cli pipes: %s\n", FormatText(number, arg).c_str());
}

}  // namespace

int PipesCommand(std::vector<std::string>& args) {
    std::string into, error;
    const bool hasInto = TakeOption(args, "--into", into, error);
    if (!error.empty()) return PipesUsage(error);
    if (args.empty() || args[0] != "import") return PipesUsage(args.empty() ? "no subcommand given" : "unknown subcommand '" + args[0] + "'");
    if (args.size() != 2) return PipesUsage(args.size() < 2 ? "no workbook given" : "unexpected argument '" + args[2] + "'");
    const std::filesystem::path workbook = args[1];
    const std::filesystem::path target = hasInto ? std::filesystem::path(into) : CurrentSession().programDir() / kPipesFileName;

    // A damaged pipe file is refused before anything is read, and never written over.
    std::vector<Pipe> pipes;
    try {
        if (auto in = ArchiveReader::OpenIfPresent(target)) pipes = ReadPipes(*in);
    } catch (const ArchiveError& e) {
        std::fprintf(stderr, "tarvik-cli pipes: %s\nThe pipe file is left as it is.\n", e.what());
        return kExitRefused;
    }

    const PipeImportResult result = ImportPipeWorkbook(workbook);
    if (result.message != 0) {
        PrintMessage(result.message, result.detail);
        return kExitRefused;
    }
    if (result.severalSheets) PrintMessage(kMsgWorkbookSeveralSheets);

    AppendImportedPipes(pipes, result.rows);
    ArchiveWriter out;
    WritePipes(out, pipes);
    try {
        out.SaveAtomically(target);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tarvik-cli pipes: cannot save %s: %s\n", target.string().c_str(), e.what());
        return kExitRefused;
    }
    std::printf("%zu rows appended to %s (%zu pipes)\n", result.rows.size(), target.string().c_str(), pipes.size());
    return kExitOk;
}

}  // namespace tarvik::cli
