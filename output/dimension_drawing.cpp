#include "output/dimension_drawing.hpp"

#include <algorithm>
#include <fstream>
#include <vector>

#include "data/cp1250.hpp"
#include "data/number_text.hpp"
#include "data/valve_series.hpp"
#include "output/dwf_drawing.hpp"

namespace tarvik {
namespace {

std::string Upper(std::string_view s) {
    std::string u(s);
    for (char& c : u)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return u;
}

void ReplaceAll(std::string& s, std::string_view what, std::string_view with) {
    for (std::size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + with.size()))
        s.replace(at, what.size(), with);
}

// The argument's value: one pair of enclosing single quotes stripped, with their escapes.
std::string Unquoted(std::string_view arg) {
    if (arg.size() < 2 || arg.front() != '\'' || arg.back() != '\'') return std::string(arg);
    std::string out;
    const std::string_view in = arg.substr(1, arg.size() - 2);
    for (std::size_t i = 0; i < in.size(); ++i) out += (in[i] == '\\' && i + 1 < in.size()) ? in[++i] : in[i];
    return out;
}

struct PrefixEntry {
    char sign;
    std::string prefix;
};

std::vector<PrefixEntry> PrefixEntries(std::string_view spec) {
    std::vector<PrefixEntry> list;
    for (std::size_t i = spec.find(';'); i != std::string_view::npos; i = spec.find(';', i + 1)) {
        if (i + 1 >= spec.size() || (spec[i + 1] != '+' && spec[i + 1] != '-')) continue;
        const std::size_t end = std::min(spec.find(';', i + 1), spec.size());
        const std::string_view name = spec.substr(i + 2, end - i - 2);
        if (!name.empty() && name.back() == '%') list.push_back({spec[i + 1], std::string(name.substr(0, name.size() - 1))});
    }
    return list;
}

bool Contains(std::string_view spec, char sign, const std::string& name) {
    return spec.find(std::string(";") + sign + name + ";") != std::string_view::npos;
}

}  // namespace

std::string LoadDrawingTemplate(const std::filesystem::path& drawingPath) {
    std::ifstream in(DrawingTemplatePath(drawingPath), std::ios::binary);
    if (!in) return {};
    std::string text, line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();  // as a text-mode read does
        text += line;
        text += '\n';
    }
    return Cp1250ToUtf8(text);
}

void SetTotalWeight(KeyValueList& titleBlock) {
    double sum = 0;
    for (const char* key : {"VAHAP", "VAHAT", "VAHAD"}) sum += ParseNumber(titleBlock.Value(key));
    if (sum > 0) SetKeyValue("VAHA", FormatNumber(sum, 0), titleBlock, true);
}

std::string SubstitutePlaceholders(std::string_view in, const KeyValueList& titleBlock) {
    // The text as its lines; a filled line is joined to the one before it. Working line by line
    // keeps a large template linear: only the filled line and its predecessor change.
    std::vector<std::string> lines;
    for (std::size_t at = 0;;) {
        const std::size_t nl = in.find('\n', at);
        lines.emplace_back(in.substr(at, nl == std::string_view::npos ? std::string_view::npos : nl - at));
        if (nl == std::string_view::npos) break;
        at = nl + 1;
    }
    for (const auto& [key, value] : titleBlock.pairs) {
        const std::string placeholder = "*" + key + "*";
        std::vector<std::string> joined;
        joined.reserve(lines.size());
        for (std::string& line : lines) {
            bool filled = false;
            std::size_t pos = line.find(placeholder);
            const std::string upper = pos == std::string::npos ? std::string() : Upper(line);
            if (upper.find(')') == std::string::npos) pos = std::string::npos;
            std::string out;
            std::size_t copied = 0;
            while (pos != std::string::npos) {
                std::size_t next = pos + 1;
                // The text opcode holding the occurrence runs from the last "(TEXT" before it to
                // the next one on the line: a line joined from several text opcodes keeps the others.
                const std::size_t opStart = upper.rfind("(TEXT", pos);
                if (opStart != std::string::npos) {
                    const std::size_t opEnd = std::min(upper.find("(TEXT", pos), upper.size());
                    const std::size_t b1 = line.find(' ', opStart);
                    const std::size_t b2 = b1 == std::string::npos ? b1 : line.find(' ', b1 + 1);
                    const std::size_t close = line.rfind(')', opEnd - 1);
                    const bool inside = b2 != std::string::npos && close != std::string::npos && b2 < close &&
                                        pos > b2 && pos + placeholder.size() <= close && b2 + 1 >= copied;
                    const std::string_view arg =
                        inside ? std::string_view(line).substr(b2 + 1, close - b2 - 1) : std::string_view();
                    const bool encoded = arg.size() >= 2 && arg.front() == '"' && arg.back() == '"';
                    if (inside && !encoded) {
                        std::string plain = Unquoted(arg);
                        ReplaceAll(plain, placeholder, value);
                        out.append(line, copied, b2 + 1 - copied);
                        out += EncodeDwfHexString(plain);
                        copied = close;
                        next = close;
                        filled = true;
                    }
                }
                pos = line.find(placeholder, next);
            }
            if (filled) {
                out.append(line, copied, std::string::npos);
                line = std::move(out);
            }
            if (filled && !joined.empty()) joined.back() += line;  // without the line break before it
            else joined.push_back(std::move(line));
        }
        lines = std::move(joined);
    }
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i) text += '\n';
        text += lines[i];
    }
    return text;
}

std::string AssembleDrawingStream(std::string_view body) {
    std::string s = "(DWF V00.42)\n";
    s += body;
    s += "(EndOfDWF)\n";
    return s;
}

void ApplyLayerSpecification(DrawingViewer& viewer, std::string_view spec, bool hideOnly) {
    const std::vector<PrefixEntry> prefixes = PrefixEntries(spec);
    for (bool more = viewer.StartLayerEnumeration(""); more; more = viewer.NextLayer()) {
        const std::string name = viewer.LayerName();
        const bool exactHide = Contains(spec, '-', name);
        bool hide = exactHide;
        bool showByPrefix = false;
        for (const PrefixEntry& p : prefixes) {
            if (name.compare(0, p.prefix.size(), p.prefix) != 0) continue;
            hide = true;
            showByPrefix |= p.sign == '+';
        }
        if (hide) viewer.SetLayerVisible(false);
        if (hideOnly) continue;
        if (Contains(spec, '+', name) || (showByPrefix && !exactHide)) viewer.SetLayerVisible(true);
    }
}

void ShowDrawing(DrawingViewer& viewer, std::string_view templateText, KeyValueList& titleBlock,
                 std::string_view layerSpecification) {
    ApplyLayerSpecification(viewer, layerSpecification, true);
    SetTotalWeight(titleBlock);
    viewer.LoadStream(AssembleDrawingStream(SubstitutePlaceholders(templateText, titleBlock)));
}

}  // namespace tarvik
