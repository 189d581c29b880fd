#pragma once
// Appending a pipe table read from a workbook (.xlsx, .ods or .csv) to the pipe list: a header
// row, then one pipe per row (kind, size, wall, outside diameter, wall thickness) up to the
// first empty row. No GUI here; the pipe list dialog and tarvik-cli both call it.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "data/pipes.hpp"
#include "data/workbook.hpp"

namespace tarvik {

// The workbook cannot be read (%1: the file and what failed).
constexpr int kMsgWorkbookUnreadable = 63006;
// The workbook has several sheets; the active one is read.
constexpr int kMsgWorkbookSeveralSheets = 63007;
// The first column holds too few filled cells; nothing is imported.
constexpr int kMsgWorkbookTooFewRows = 63009;

struct PipeImportResult {
    std::vector<Pipe> rows;     // pipes to append, in sheet order (numbers NOT yet assigned)
    // 0 = ok, 63006 not a workbook / unreadable, 63009 too few rows, 63940 (kMsgTextNotStorable)
    // a text has no code page 1250 form. Not 0: `rows` is empty; show it with ShowMessage(message, detail).
    int message = 0;
    bool severalSheets = false; // workbook had more than one sheet: caller shows 63007, active sheet was read
    std::string detail;         // 63006: the file and what failed; 63940: the row, field and character
};

// progress(rowCount) is called once per imported row (the caller shows text 63043 with it);
// reading never throws for bad input.
PipeImportResult ImportPipeWorkbook(const std::filesystem::path& file,
                                    const std::function<void(int)>& progress = {});
// The same over the bytes of a file; `name` stands for the file in the detail.
PipeImportResult ImportPipeWorkbook(std::span<const std::uint8_t> bytes, const std::string& name,
                                    const std::function<void(int)>& progress = {},
                                    const WorkbookLimits& limits = {});

// Appends as the dialog's import does: each row gets number = new count, or, when a record
// already carries that number (after deletions), the next number no record carries.
void AppendImportedPipes(std::vector<Pipe>& pipes, const std::vector<Pipe>& rows);

}  // namespace tarvik
