// The workbook reader (.xlsx, .ods, .csv) and the pipe import on top of it. Whatever the bytes,
// the import ends with a known message, keeps nothing on refusal and yields only finite
// numbers and texts the pipe file can hold.
#include <cmath>
#include <cstdint>
#include <span>

#include "data/pipe_import.hpp"
#include "data/text_check.hpp"
#include "fuzz/fuzz_check.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvik;
    WorkbookLimits limits;
    limits.maxEntryBytes = 1 << 20;
    limits.maxTotalBytes = 4 << 20;
    limits.maxRows = 10000;
    const std::span<const std::uint8_t> bytes(data, size);

    int progress = 0;
    const PipeImportResult r = ImportPipeWorkbook(bytes, "fuzz", [&](int n) { TARVIK_FUZZ_CHECK(n == ++progress); }, limits);
    TARVIK_FUZZ_CHECK(r.message == 0 || r.message == kMsgWorkbookUnreadable || r.message == kMsgWorkbookTooFewRows ||
                      r.message == kMsgTextNotStorable);
    TARVIK_FUZZ_CHECK(r.message == 0 || r.rows.empty());
    TARVIK_FUZZ_CHECK(r.message != 0 || static_cast<int>(r.rows.size()) == progress);
    for (const Pipe& p : r.rows) {
        TARVIK_FUZZ_CHECK(std::isfinite(p.outsideDiameter) && std::isfinite(p.wallThickness));
        TARVIK_FUZZ_CHECK(FitsCp1250(p.kind) && FitsCp1250(p.size) && FitsCp1250(p.wall));
    }

    // The reader alone, with other widths: numbers finite, rows bounded.
    for (int columns : {1, 7}) {
        std::uint32_t rows = 0;
        try {
            ReadActiveSheet(bytes, columns, [&](const std::vector<SheetCell>& cells) {
                TARVIK_FUZZ_CHECK(static_cast<int>(cells.size()) == columns);
                for (const SheetCell& c : cells) TARVIK_FUZZ_CHECK(std::isfinite(c.number));
                return ++rows < 200;
            }, limits);
        } catch (const WorkbookError&) {
        }
        TARVIK_FUZZ_CHECK(rows <= 200);
    }
    return 0;
}
