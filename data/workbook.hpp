#pragma once
// Reads the first columns of a workbook's active sheet, row by row: .xlsx and .ods (zip
// archives with XML parts) and .csv text. The format is recognised by the content, not the
// file name. The big parts (sheet, shared strings, ods content) are streamed, so memory grows
// with what the caller keeps, not with the file; inflated bytes are counted against limits so
// that a small archive cannot expand without bound.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarvik {

struct SheetCell {
    enum class Kind { Empty, Number, Text };
    Kind kind = Kind::Empty;
    double number = 0;  // Number: always finite
    std::string text;   // Text: UTF-8; Number: the shown form where the file has one (booleans)

    bool empty() const { return kind == Kind::Empty; }
};

enum class WorkbookFormat { Xlsx, Ods, Csv };

struct WorkbookLimits {
    std::uint64_t maxFileBytes = 256ull << 20;
    std::uint64_t maxEntryBytes = 256ull << 20;  // inflated bytes of one archive entry
    std::uint64_t maxTotalBytes = 512ull << 20;  // inflated bytes of all entries read
    // Inflated bytes per compressed byte beyond the first MiB; XML rarely packs better than 100:1.
    std::uint64_t maxRatio = 1000;
    std::uint32_t maxRows = 1u << 20;  // rows beyond are not read
};

// The file is no workbook or cannot be read; what() names the reason.
class WorkbookError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct WorkbookInfo {
    WorkbookFormat format = WorkbookFormat::Csv;
    int sheetCount = 1;  // worksheets in the workbook; a csv file has one
};

// Called with the cells of each row from the first, `columns` cells each; rows the file leaves
// out come as empty rows. Returning false ends the reading.
using SheetRowSink = std::function<bool(const std::vector<SheetCell>& cells)>;

// Reads the active sheet. Throws WorkbookError for anything that is not a readable workbook
// (an encrypted or old binary workbook included).
WorkbookInfo ReadActiveSheet(std::span<const std::uint8_t> bytes, int columns, const SheetRowSink& row,
                             const WorkbookLimits& limits = {});
WorkbookInfo ReadActiveSheet(const std::filesystem::path& file, int columns, const SheetRowSink& row,
                             const WorkbookLimits& limits = {});
// The bytes of a file, refused (WorkbookError) when missing, unreadable or above the limit.
std::vector<std::uint8_t> ReadWorkbookFile(const std::filesystem::path& file, const WorkbookLimits& limits = {});

}  // namespace tarvik
