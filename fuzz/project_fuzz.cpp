// Project files of every version. What is read must store as the current layout and read back
// to the same bytes: that is what opening an old project and saving it does.
#include <cstdint>
#include <vector>

#include "data/archive.hpp"
#include "fuzz/fuzz_check.hpp"
#include "project/project_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvik;
    static const SeriesTable table = {{"[0:V-1][5:V-1X]", "one"}};
    ProjectLoadContext context;
    context.seriesTable = &table;
    context.companyIndex.assign(1, '5');
    context.lang = 2;
    context.now = 1000;
    try {
        const ProjectDocument doc = ReadProject(std::vector<std::uint8_t>(data, data + size), "fuzz.tkp", context);
        const auto stored = StoreProject(doc, context.lang);
        const ProjectDocument again = ReadProject(stored, "again.tkp", context);
        TARVIK_FUZZ_CHECK(again.positions.size() == doc.positions.size());
        TARVIK_FUZZ_CHECK(StoreProject(again, context.lang) == stored);
    } catch (const ArchiveError& e) {
        TARVIK_FUZZ_CHECK(std::string(e.what()).starts_with("fuzz.tkp: "));
    }
    return 0;
}
