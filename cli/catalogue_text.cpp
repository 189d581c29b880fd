// The line-oriented data files as JSON: the condition variables "specpodm.tkd" line by line,
// and the connection and accessory trees "specprip.tkd" and "specprisl.tkd" as their lines.
#include "cli/catalogue_json.hpp"
#include "cli/catalogue_kinds.hpp"
#include "data/archive.hpp"
#include "data/condition_file.hpp"
#include "data/cp1250.hpp"

namespace tarvik::cli {
namespace {

using nlohmann::json;

const char* LineEndsName(bool crlf) { return crlf ? "CRLF" : "LF"; }

bool LineEndsFrom(const JsonObject& o) {
    if (!o.Has("lineEnds")) return true;
    const std::string ends = o.Text("lineEnds");
    if (ends != "CRLF" && ends != "LF") JsonFail(o.Where("lineEnds"), "expected \"CRLF\" or \"LF\"");
    return ends == "CRLF";
}

std::string FileBytes(const std::filesystem::path& path) {
    ArchiveReader in = ArchiveReader::FromFile(path);
    const std::vector<std::uint8_t> bytes = in.ReadBytes(in.remaining());
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

// The trees are kept line for line (tabs, comments and empty lines included): their meaning
// lies in the indentation and the bracket marks, which read best as the text itself.
json DumpTreeFile(const std::filesystem::path& path) {
    const std::string bytes = FileBytes(path);
    const std::size_t firstEnd = bytes.find('\n');
    const bool crlf = firstEnd == std::string::npos || (firstEnd > 0 && bytes[firstEnd - 1] == '\r');
    json lines = json::array();
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find('\n', pos);
        const std::size_t next = end == std::string::npos ? bytes.size() : end + 1;
        if (end == std::string::npos) end = bytes.size();
        std::string_view line(bytes.data() + pos, end - pos);
        if (crlf && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(Cp1250ToUtf8(line));
        pos = next;
    }
    return {{"kind", "specprip"}, {"lineEnds", LineEndsName(crlf)}, {"lines", lines}};
}

void BuildTreeFile(const json& source, const std::filesystem::path& out) {
    JsonObject o(source, "");
    o.AllowOnly({"kind", "lineEnds", "lines"});
    const bool crlf = LineEndsFrom(o);
    std::string bytes;
    const auto lines = o.Array("lines");
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string where = Indexed(o.Where("lines"), i);
        const std::string line = JsonRawText(lines[i], where);
        if (line.find('\n') != std::string::npos) JsonFail(where, "cannot contain a line break");
        bytes += line + (crlf ? "\r\n" : "\n");
    }
    ArchiveWriter w;
    w.WriteBytes(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    w.SaveAtomically(out);
}

bool IsConditionFileName(const std::string& fileName) { return IsFileNamed(fileName, "specpodm.tkd"); }

json DumpConditionFile(const std::filesystem::path& path) {
    const ConditionFile file = ReadConditionFile(path);
    json lines = json::array();
    for (const ConditionFileLine& l : file.lines) {
        if (l.skipped) {
            lines.push_back(l.text);
            continue;
        }
        const ConditionVariable& v = l.variable;
        lines.push_back({{"name", v.name}, {"source", v.source}, {"index", v.index}, {"unit", v.unit}, {"kind", v.kind}});
    }
    return {{"kind", "specpodm"}, {"lineEnds", LineEndsName(file.crlf)}, {"lines", lines}};
}

void BuildConditionFile(const json& source, const std::filesystem::path& out) {
    JsonObject o(source, "");
    o.AllowOnly({"kind", "lineEnds", "lines"});
    if (o.Has("kind") && o.Text("kind") != "specpodm") JsonFail("kind", "expected \"specpodm\"");
    ConditionFile file;
    file.crlf = LineEndsFrom(o);
    const auto lines = o.Array("lines");
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string where = Indexed(o.Where("lines"), i);
        ConditionFileLine l;
        if (lines[i].is_string()) {
            l.skipped = true;
            l.text = JsonText(lines[i], where);
        } else {
            if (!lines[i].is_object()) JsonFail(where, "expected a text (empty or a \"//\" comment) or a variable object");
            JsonObject v(lines[i], where);
            v.AllowOnly({"name", "source", "index", "unit", "kind"});
            l.variable.name = v.Text("name");
            l.variable.source = v.Text("source");
            l.variable.index = v.Int("index", -1);
            l.variable.unit = v.Text("unit");
            l.variable.kind = v.Text("kind");
        }
        file.lines.push_back(std::move(l));
    }
    try {
        SaveConditionFile(file, out);
    } catch (const ConditionFileError& e) {
        const std::string where = Indexed(o.Where("lines"), e.line());
        JsonFail(e.field().empty() ? where : where + "." + e.field(), e.reason());
    }
}

}  // namespace tarvik::cli
