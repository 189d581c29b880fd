// The installation script reader and the destination folders it yields: whatever a script
// says, a file list's folder is the installation folder or lies inside it, and recording the
// series files keeps the script readable.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.hpp"
#include "setup/inf_runner.hpp"
#include "setup/install_paths.hpp"
#include "setup/installer.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvik::setup;
    const std::string text(reinterpret_cast<const char*>(data), size);
    InfScript inf;
    try {
        inf = InfScript::Parse(text);
    } catch (const InfError&) {
        return 0;
    }
    const std::filesystem::path dest = "/nonexistent-tarvik-fuzz/Tarvik";
    const InfRunner runner(inf, dest, "/nonexistent-tarvik-fuzz/dist");
    for (const char* section : {"ProductInstall", "DefaultUninstall"}) {
        for (const char* directive : {"CopyFiles", "DelFiles", "UpdateInis"}) {
            for (const std::string& list : runner.Directive(section, directive)) {
                try {
                    const auto dir = runner.TargetDir(list);
                    TARVIK_FUZZ_CHECK(dir == dest || IsInside(dir, dest));
                } catch (const InfError&) {
                }
                for (const std::string& line : inf.Lines(list))
                    for (const std::string& field : inf.Fields(line))
                        if (IsSafeRelative(field)) TARVIK_FUZZ_CHECK(IsInside(dest / field, dest));
            }
        }
    }
    const std::string recorded = RecordSeriesFiles(text, {"A.dbv"});
    try {
        InfScript::Parse(recorded);
    } catch (const InfError&) {
        TARVIK_FUZZ_CHECK(false);
    }
    return 0;
}
