// tarvik-cli print PROJECT --pdf OUT [--landscape] [--drawings] [--second-language]
// [--position NAME]...: the calculation sheets of the positions (all without --position) as one
// PDF, as the print command would put them on paper.
#include <cstdio>

#include "cli/commands.hpp"
#include "cli/common.hpp"
#include "cli/project_cli.hpp"
#include "data/language.hpp"
#include "data/messages.hpp"
#include "output/calculation_sheet.hpp"

namespace tarvik::cli {

int PrintCommand(std::vector<std::string>& args) {
    const char* usage =
        "print PROJECT --pdf OUT.pdf [--landscape] [--drawings] [--second-language] [--position NAME]...";
    std::string out, error;
    const bool hasOut = TakeOption(args, "--pdf", out, error);
    std::vector<std::string> names;
    for (std::string name; error.empty() && TakeOption(args, "--position", name, error);) names.push_back(name);
    if (!error.empty()) return ProjectUsage("print", error, usage);
    PrintOptions options;
    options.landscape = TakeFlag(args, "--landscape");
    options.drawings = TakeFlag(args, "--drawings");
    options.secondLanguage = TakeFlag(args, "--second-language");
    if (!hasOut || out.empty()) return ProjectUsage("print", "--pdf FILE is required", usage);
    if (std::filesystem::path(out).extension() != ".pdf" && std::filesystem::path(out).extension() != ".PDF")
        return ProjectUsage("print", "the output file must end in .pdf", usage);
    if (options.drawings && !options.landscape)
        return ProjectUsage("print", "--drawings needs --landscape: drawing pages follow landscape sheets only", usage);
    for (const std::string& arg : args)
        if (arg.size() > 2 && arg.rfind("--", 0) == 0) return ProjectUsage("print", "unknown option '" + arg + "'", usage);
    if (args.size() != 1)
        return ProjectUsage("print", args.empty() ? "no project given" : "unexpected argument '" + args[1] + "'", usage);

    ProjectDocument doc;
    if (!OpenProject("print", args[0], doc)) return kExitRefused;
    if (doc.positions.empty()) {
        std::fprintf(stderr, "tarvik-cli print: %s\n", GetText(63011).c_str());
        return kExitRefused;
    }
    for (ValvePosition& p : doc.positions) p.printSelected = names.empty() ? 1 : 0;
    for (const std::string& name : names) {
        ValvePosition* p = doc.Find(name);
        if (!p) {
            std::fprintf(stderr, "tarvik-cli print: the project has no position '%s'\n", name.c_str());
            return kExitRefused;
        }
        p->printSelected = 1;
    }
    doc.printLandscape = options.landscape ? 1 : 0;
    doc.printExtraPages = options.drawings ? 1 : 0;
    doc.itemLanguage = options.secondLanguage ? 2 : -1;

    std::vector<std::string> notes;
    ScopedMessageSink sink([&](const Message& m) { notes.push_back(m.text.empty() ? std::to_string(m.number) : m.text); });
    const std::vector<PrintPage> pages = PlanPrintPages(doc, options, false);
    const bool written = WritePrintPdf(out, doc, pages, options, notes, error);
    std::string last;
    for (const std::string& note : notes) {
        if (note == last) continue;  // the same note for page after page says nothing new
        std::fprintf(stderr, "tarvik-cli print: note: %s\n", note.c_str());
        last = note;
    }
    if (!written) {
        std::fprintf(stderr, "tarvik-cli print: %s\n", error.c_str());
        return kExitRefused;
    }
    return kExitOk;
}

}  // namespace tarvik::cli
