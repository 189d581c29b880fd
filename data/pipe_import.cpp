#include "data/pipe_import.hpp"

#include <algorithm>
#include <new>
#include <unordered_set>

#include "data/number_text.hpp"
#include "data/text_check.hpp"

namespace tarvik {
namespace {

constexpr int kColumns = 5;
// More than this many filled cells from A1 down: a header and at least four pipes.
constexpr int kMinFirstColumnCells = 4;

std::string TextOf(const SheetCell& c) {
    if (c.kind == SheetCell::Kind::Number) return c.text.empty() ? FormatNumber(c.number, 0) : c.text;
    return c.text;
}

// A number column: a number cell as it is, a text cell without its blanks through ParseNumber.
double NumberOf(const SheetCell& c) {
    if (c.kind == SheetCell::Kind::Number) return c.number;
    std::string s;
    s.reserve(c.text.size());
    for (std::size_t i = 0; i < c.text.size(); ++i) {
        const char ch = c.text[i];
        if (ch == ' ' || ch == '\t') continue;
        // A no-break space, as spreadsheets group thousands.
        if (ch == '\xC2' && i + 1 < c.text.size() && c.text[i + 1] == '\xA0') {
            ++i;
            continue;
        }
        s += ch;
    }
    return ParseNumber(s);
}

}  // namespace

PipeImportResult ImportPipeWorkbook(std::span<const std::uint8_t> bytes, const std::string& name,
                                    const std::function<void(int)>& progress, const WorkbookLimits& limits) {
    PipeImportResult result;
    int firstColumnCells = 0;
    bool counting = true;
    bool tooFew = false;
    long row = 0;  // 1-based sheet row of the cells at hand
    std::vector<Pipe> pending;  // rows read before the first column's count is settled
    TextCheck check;
    auto deliver = [&](Pipe pipe) {
        result.rows.push_back(std::move(pipe));
        if (progress) progress(static_cast<int>(result.rows.size()));
    };
    auto sink = [&](const std::vector<SheetCell>& cells) {
        ++row;
        if (counting) {
            if (!cells[0].empty()) ++firstColumnCells;
            else counting = false;
            if (firstColumnCells > kMinFirstColumnCells) {
                counting = false;
                for (Pipe& p : pending) deliver(std::move(p));
                pending.clear();
            } else if (!counting) {
                tooFew = true;
                return false;
            }
        }
        if (row == 1) return true;  // the header
        bool allEmpty = true;
        for (const SheetCell& c : cells) allEmpty = allEmpty && c.empty();
        if (allEmpty) return false;
        Pipe p;
        p.kind = TextOf(cells[0]);
        p.size = TextOf(cells[1]);
        p.wall = TextOf(cells[2]);
        p.outsideDiameter = NumberOf(cells[3]);
        p.wallThickness = NumberOf(cells[4]);
        const std::string record = "row " + std::to_string(row);
        check.Check(p.kind, record, "kind");
        check.Check(p.size, record, "size");
        check.Check(p.wall, record, "wall");
        if (check.problem()) return false;
        if (counting) pending.push_back(std::move(p));
        else deliver(std::move(p));
        return true;
    };
    try {
        const WorkbookInfo info = ReadActiveSheet(bytes, kColumns, sink, limits);
        result.severalSheets = info.sheetCount > 1;
    } catch (const WorkbookError& e) {
        result.message = kMsgWorkbookUnreadable;
        result.detail = name + ": " + e.what();
    } catch (const std::bad_alloc&) {
        result.message = kMsgWorkbookUnreadable;
        result.detail = name + ": not enough memory to read it";
    }
    if (result.message == 0 && check.problem()) {
        result.message = kMsgTextNotStorable;
        result.detail = DescribeTextProblem(*check.problem());
    } else if (result.message == 0 && (tooFew || counting)) {
        // The sheet ended while the first column was still being counted.
        result.message = kMsgWorkbookTooFewRows;
    }
    if (result.message != 0) result.rows.clear();
    return result;
}

PipeImportResult ImportPipeWorkbook(const std::filesystem::path& file, const std::function<void(int)>& progress) {
    PipeImportResult result;
    std::vector<std::uint8_t> bytes;
    try {
        bytes = ReadWorkbookFile(file);
    } catch (const WorkbookError& e) {
        result.message = kMsgWorkbookUnreadable;
        result.detail = file.string() + ": " + e.what();
        return result;
    } catch (const std::bad_alloc&) {
        result.message = kMsgWorkbookUnreadable;
        result.detail = file.string() + ": not enough memory to read it";
        return result;
    }
    return ImportPipeWorkbook(std::span<const std::uint8_t>(bytes), file.string(), progress);
}

void AppendImportedPipes(std::vector<Pipe>& pipes, const std::vector<Pipe>& rows) {
    std::unordered_set<int> used;
    for (const Pipe& p : pipes) used.insert(p.number);
    int next = 0;
    pipes.reserve(pipes.size() + rows.size());
    for (const Pipe& row : rows) {
        Pipe p = row;
        p.number = static_cast<int>(pipes.size()) + 1;
        // Numbers identify the records in the list dialog: one already taken is not given twice.
        if (used.count(p.number)) {
            next = std::max(next, p.number);
            while (used.count(next)) ++next;
            p.number = next;
        }
        used.insert(p.number);
        pipes.push_back(std::move(p));
    }
}

}  // namespace tarvik
