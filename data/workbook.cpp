#include "data/workbook.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <exception>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string_view>

#include <expat.h>
#include <pugixml.hpp>
#include <zip.h>

#include "data/cp1250.hpp"

namespace tarvik {
namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::uint64_t kMaxSmallPart = 16ull << 20;  // workbook.xml, relations, settings
constexpr std::uint64_t kMaxSharedStrings = 256ull << 20;
constexpr std::size_t kChunk = 64 * 1024;

[[noreturn]] void Fail(const std::string& what) { throw WorkbookError(what); }

bool StartsWith(Bytes b, std::string_view magic) {
    return b.size() >= magic.size() && std::memcmp(b.data(), magic.data(), magic.size()) == 0;
}

// A number as the XML parts write it; nullopt for anything else or a non-finite value.
std::optional<double> XmlNumber(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\n' || s.front() == '\r')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\n' || s.back() == '\r')) s.remove_suffix(1);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    if (s.empty()) return std::nullopt;
    double v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

SheetCell NumberOrText(const std::string& raw) {
    SheetCell c;
    if (auto v = XmlNumber(raw)) {
        c.kind = SheetCell::Kind::Number;
        c.number = *v;
    } else if (!raw.empty()) {
        // A value the file calls a number but that is none (or overflows) stays text.
        c.kind = SheetCell::Kind::Text;
        c.text = raw;
    }
    return c;
}

SheetCell TextCell(std::string text) {
    SheetCell c;
    if (!text.empty()) {
        c.kind = SheetCell::Kind::Text;
        c.text = std::move(text);
    }
    return c;
}

SheetCell BoolCell(bool value) {
    SheetCell c;
    c.kind = SheetCell::Kind::Number;
    c.number = value ? 1 : 0;
    c.text = value ? "TRUE" : "FALSE";
    return c;
}

// ---- Rows handed to the caller -------------------------------------------------------------

class RowEmitter {
public:
    RowEmitter(int columns, const SheetRowSink& sink, std::uint32_t maxRows)
        : columns_(columns), sink_(sink), maxRows_(maxRows), empty_(static_cast<std::size_t>(columns)) {}

    // Emits the empty rows before 1-based row `number`; false when reading is to end.
    bool FillTo(std::uint64_t number) {
        while (open() && emitted_ + 1 < number)
            if (!Emit(empty_)) return false;
        return open();
    }
    bool Emit(const std::vector<SheetCell>& cells) {
        if (!open()) return false;
        ++emitted_;
        if (!sink_(cells)) done_ = true;
        return open();
    }
    bool open() const { return !done_ && emitted_ < maxRows_; }
    std::uint64_t emitted() const { return emitted_; }
    int columns() const { return columns_; }

private:
    int columns_;
    const SheetRowSink& sink_;
    std::uint32_t maxRows_;
    std::vector<SheetCell> empty_;
    std::uint64_t emitted_ = 0;
    bool done_ = false;
};

// ---- Zip archive -----------------------------------------------------------------------------

class Zip {
public:
    Zip(Bytes bytes, const WorkbookLimits& limits) : limits_(limits) {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t* src = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
        if (src) {
            zip_ = zip_open_from_source(src, ZIP_RDONLY | ZIP_CHECKCONS, &error);
            if (!zip_) zip_source_free(src);
        }
        if (!zip_) {
            const std::string what = zip_error_strerror(&error);
            zip_error_fini(&error);
            Fail("damaged zip archive (" + what + ")");
        }
        zip_error_fini(&error);
    }
    ~Zip() {
        if (zip_) zip_discard(zip_);
    }
    Zip(const Zip&) = delete;
    Zip& operator=(const Zip&) = delete;

    std::optional<zip_uint64_t> Find(const std::string& name) const {
        const zip_int64_t i = zip_name_locate(zip_, name.c_str(), ZIP_FL_NOCASE);
        if (i < 0) return std::nullopt;
        return static_cast<zip_uint64_t>(i);
    }

    // Streams an entry in chunks; `chunk` returns false to stop early.
    void Stream(zip_uint64_t index, const std::string& name, std::uint64_t limit,
                const std::function<bool(const char*, std::size_t)>& chunk) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(zip_, index, 0, &st) != 0) Fail(name + ": " + zip_strerror(zip_));
        if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
            Fail(name + " is encrypted");
        const std::uint64_t declared = (st.valid & ZIP_STAT_SIZE) ? st.size : 0;
        const std::uint64_t packed = (st.valid & ZIP_STAT_COMP_SIZE) ? st.comp_size : 0;
        const std::uint64_t ratioLimit = (1ull << 20) + packed * limits_.maxRatio;
        if (declared > limit || declared > ratioLimit || total_ + declared > limits_.maxTotalBytes)
            Fail(name + " unpacks to " + std::to_string(declared) + " bytes, more than a workbook may hold");
        zip_file_t* f = zip_fopen_index(zip_, index, 0);
        if (!f) Fail(name + ": " + zip_strerror(zip_));
        std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> file(f, zip_fclose);
        std::vector<char> buffer(kChunk);
        std::uint64_t count = 0;
        for (;;) {
            const zip_int64_t n = zip_fread(f, buffer.data(), buffer.size());
            if (n < 0) Fail(name + ": " + zip_file_strerror(f));
            if (n == 0) break;
            count += static_cast<std::uint64_t>(n);
            total_ += static_cast<std::uint64_t>(n);
            // The declared size may lie: count what really comes out.
            if (count > limit || count > ratioLimit || total_ > limits_.maxTotalBytes)
                Fail(name + " unpacks to more bytes than a workbook may hold");
            if (!chunk(buffer.data(), static_cast<std::size_t>(n))) return;
        }
    }

    std::string ReadSmall(zip_uint64_t index, const std::string& name) {
        std::string out;
        Stream(index, name, std::min(kMaxSmallPart, limits_.maxEntryBytes), [&](const char* p, std::size_t n) {
            out.append(p, n);
            return true;
        });
        return out;
    }

    const WorkbookLimits& limits() const { return limits_; }

private:
    const WorkbookLimits& limits_;
    zip_t* zip_ = nullptr;
    std::uint64_t total_ = 0;
};

pugi::xml_document ParseSmall(const std::string& xml, const std::string& name) {
    pugi::xml_document doc;
    // Default options: no DOCTYPE is interpreted, so no entity of the file is ever expanded.
    const pugi::xml_parse_result r = doc.load_buffer(xml.data(), xml.size(), pugi::parse_default, pugi::encoding_auto);
    if (!r) Fail(name + ": " + r.description() + " at byte " + std::to_string(r.offset));
    return doc;
}

// Name without a namespace prefix ("x:sheet" -> "sheet").
std::string_view Local(const char* name) {
    std::string_view s(name);
    const std::size_t colon = s.rfind(':');
    return colon == std::string_view::npos ? s : s.substr(colon + 1);
}

pugi::xml_node Child(pugi::xml_node parent, std::string_view local) {
    for (pugi::xml_node n : parent.children())
        if (n.type() == pugi::node_element && Local(n.name()) == local) return n;
    return {};
}

// ---- Streaming XML -----------------------------------------------------------------------------

// Expat behind a small interface; namespaces resolved ("uri|local"). A document type
// declaration is refused outright, which keeps entity tricks out.
class XmlStream {
public:
    virtual ~XmlStream() { XML_ParserFree(parser_); }

    void Parse(Zip& zip, zip_uint64_t index, const std::string& name, std::uint64_t limit = UINT64_MAX) {
        name_ = name;
        zip.Stream(index, name, std::min(limit, zip.limits().maxEntryBytes), [&](const char* p, std::size_t n) { return Feed(p, n, false); });
        if (!stopped_) Feed("", 0, true);
        if (caught_) std::rethrow_exception(caught_);
    }

protected:
    XmlStream() : parser_(XML_ParserCreateNS(nullptr, '|')) {
        if (!parser_) throw std::bad_alloc();
        XML_SetUserData(parser_, this);
        XML_SetElementHandler(parser_, &XmlStream::OnStart, &XmlStream::OnEnd);
        XML_SetCharacterDataHandler(parser_, &XmlStream::OnText);
        XML_SetStartDoctypeDeclHandler(parser_, &XmlStream::OnDoctype);
        XML_SetParamEntityParsing(parser_, XML_PARAM_ENTITY_PARSING_NEVER);
    }

    virtual void Start(std::string_view ns, std::string_view local, const XML_Char** attrs) = 0;
    virtual void End(std::string_view ns, std::string_view local) = 0;
    virtual void Text(std::string_view text) = 0;

    // Ends parsing without an error (the caller has all it needs).
    void Stop() {
        stopped_ = true;
        XML_StopParser(parser_, XML_FALSE);
    }

    // The attribute with this local name (and namespace, when given); null if absent.
    static const char* Attr(const XML_Char** attrs, std::string_view local, std::string_view ns = {}) {
        for (int i = 0; attrs[i]; i += 2) {
            std::string_view a(attrs[i]), aNs;
            const std::size_t bar = a.find('|');
            if (bar != std::string_view::npos) {
                aNs = a.substr(0, bar);
                a = a.substr(bar + 1);
            }
            if (a == local && (ns.empty() || aNs == ns)) return attrs[i + 1];
        }
        return nullptr;
    }

private:
    bool Feed(const char* p, std::size_t n, bool final) {
        if (stopped_) return false;
        if (XML_Parse(parser_, p, static_cast<int>(n), final) == XML_STATUS_ERROR) {
            if (stopped_ || caught_) return false;
            Fail(name_ + ": " + XML_ErrorString(XML_GetErrorCode(parser_)) + " at line " +
                 std::to_string(XML_GetCurrentLineNumber(parser_)));
        }
        return !stopped_;
    }

    static void Split(const XML_Char* name, std::string_view& ns, std::string_view& local) {
        std::string_view s(name);
        const std::size_t bar = s.find('|');
        if (bar == std::string_view::npos) {
            ns = {};
            local = s;
        } else {
            ns = s.substr(0, bar);
            local = s.substr(bar + 1);
        }
    }

    // Exceptions must not cross the C parser: kept and rethrown once it has returned.
    template <class F>
    static void Guard(void* self, F&& f) {
        auto* x = static_cast<XmlStream*>(self);
        if (x->caught_ || x->stopped_) return;
        try {
            f(*x);
        } catch (...) {
            x->caught_ = std::current_exception();
            x->stopped_ = true;
            XML_StopParser(x->parser_, XML_FALSE);
        }
    }
    static void OnStart(void* self, const XML_Char* name, const XML_Char** attrs) {
        Guard(self, [&](XmlStream& x) {
            std::string_view ns, local;
            Split(name, ns, local);
            x.Start(ns, local, attrs);
        });
    }
    static void OnEnd(void* self, const XML_Char* name) {
        Guard(self, [&](XmlStream& x) {
            std::string_view ns, local;
            Split(name, ns, local);
            x.End(ns, local);
        });
    }
    static void OnText(void* self, const XML_Char* s, int len) {
        Guard(self, [&](XmlStream& x) { x.Text(std::string_view(s, static_cast<std::size_t>(len))); });
    }
    static void OnDoctype(void* self, const XML_Char*, const XML_Char*, const XML_Char*, int) {
        Guard(self, [&](XmlStream& x) { Fail(x.name_ + ": document type declarations are not accepted"); });
    }

    XML_Parser parser_;
    std::string name_;
    bool stopped_ = false;
    std::exception_ptr caught_;
};

// ---- xlsx --------------------------------------------------------------------------------------


int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Cell texts escape characters XML cannot carry as "_xHHHH_" (a carriage return as "_x000D_",
// a literal "_x" as "_x005F_x").
std::string DecodeXstring(std::string s) {
    if (s.find("_x") == std::string::npos) return s;
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '_' && i + 6 < s.size() && s[i + 1] == 'x' && s[i + 6] == '_') {
            int cp = 0;
            bool hex = true;
            for (std::size_t k = 2; k < 6 && hex; ++k) {
                const int d = HexDigit(s[i + k]);
                hex = d >= 0;
                cp = cp * 16 + d;
            }
            if (hex && (cp < 0xD800 || cp > 0xDFFF)) {
                AppendUtf8(out, static_cast<char32_t>(cp));
                i += 6;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

// Text of <si> / <is>: every <t>, phonetic runs (<rPh>) left out.
class SharedStrings : public XmlStream {
public:
    std::vector<std::string> strings;

private:
    void Start(std::string_view, std::string_view local, const XML_Char**) override {
        if (local == "si") {
            inItem_ = true;
            current_.clear();
        } else if (local == "rPh") {
            ++phonetic_;
        } else if (local == "t" && inItem_) {
            inText_ = true;
        }
    }
    void End(std::string_view, std::string_view local) override {
        if (local == "si") {
            strings.push_back(DecodeXstring(std::move(current_)));
            current_.clear();
            inItem_ = false;
        } else if (local == "rPh") {
            if (phonetic_ > 0) --phonetic_;
        } else if (local == "t") {
            inText_ = false;
        }
    }
    void Text(std::string_view text) override {
        if (inItem_ && inText_ && phonetic_ == 0) current_.append(text);
    }

    bool inItem_ = false, inText_ = false;
    int phonetic_ = 0;
    std::string current_;
};

// "BC12" -> column 54 (0-based 54), row 12; false for anything else.
bool ParseCellRef(std::string_view ref, std::uint64_t& column, std::uint64_t& row) {
    std::size_t i = 0;
    column = 0;
    while (i < ref.size() && i < 4 && ref[i] >= 'A' && ref[i] <= 'Z') column = column * 26 + static_cast<std::uint64_t>(ref[i++] - 'A' + 1);
    if (i == 0 || column == 0) return false;
    --column;
    row = 0;
    const auto [end, ec] = std::from_chars(ref.data() + i, ref.data() + ref.size(), row);
    return ec == std::errc() && end == ref.data() + ref.size() && row > 0;
}

bool ParseRowNumber(const char* text, std::uint64_t& row) {
    if (!text) return false;
    std::string_view s(text);
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), row);
    return ec == std::errc() && end == s.data() + s.size() && row > 0;
}

class XlsxSheet : public XmlStream {
public:
    XlsxSheet(RowEmitter& out, const std::vector<std::string>& strings)
        : out_(out), strings_(strings), cells_(static_cast<std::size_t>(out.columns())) {}

private:
    void Start(std::string_view, std::string_view local, const XML_Char** attrs) override {
        if (local == "row") {
            std::uint64_t number = lastRow_ + 1;
            if (const char* r = Attr(attrs, "r"); r && !ParseRowNumber(r, number)) Fail("bad row number \"" + std::string(r) + "\"");
            if (number <= lastRow_) Fail("row " + std::to_string(number) + " comes after row " + std::to_string(lastRow_));
            if (!out_.FillTo(number)) return Stop();
            lastRow_ = number;
            inRow_ = true;
            column_ = 0;
            for (SheetCell& c : cells_) c = SheetCell{};
        } else if (local == "c" && inRow_) {
            std::uint64_t column = column_, row = 0;
            if (const char* r = Attr(attrs, "r")) {
                if (!ParseCellRef(r, column, row) || row != lastRow_) Fail("bad cell reference \"" + std::string(r) + "\"");
            }
            column_ = column;
            const char* t = Attr(attrs, "t");
            type_ = t ? t : "n";
            value_.clear();
            inline_.clear();
            hasValue_ = false;
            inCell_ = true;
        } else if (inCell_ && local == "v") {
            inValue_ = true;
            hasValue_ = true;
        } else if (inCell_ && local == "is") {
            inInline_ = true;
        } else if (inInline_ && local == "rPh") {
            ++phonetic_;
        } else if (inInline_ && local == "t") {
            inInlineText_ = true;
        }
    }

    void End(std::string_view, std::string_view local) override {
        if (local == "v") {
            inValue_ = false;
        } else if (local == "t") {
            inInlineText_ = false;
        } else if (local == "rPh") {
            if (phonetic_ > 0) --phonetic_;
        } else if (local == "is") {
            inInline_ = false;
        } else if (local == "c" && inCell_) {
            inCell_ = false;
            if (column_ < cells_.size()) cells_[column_] = MakeCell();
            ++column_;
        } else if (local == "row" && inRow_) {
            inRow_ = false;
            if (!out_.Emit(cells_)) Stop();
        } else if (local == "sheetData") {
            Stop();
        }
    }

    void Text(std::string_view text) override {
        if (inValue_) value_.append(text);
        else if (inInlineText_ && phonetic_ == 0) inline_.append(text);
    }

    SheetCell MakeCell() const {
        if (type_ == "inlineStr") return TextCell(DecodeXstring(inline_));
        if (!hasValue_) return {};  // a formatted but empty cell, or a formula without result
        if (type_ == "s") {
            const std::optional<double> i = XmlNumber(value_);
            if (!i || *i < 0 || *i >= static_cast<double>(strings_.size()) || *i != std::floor(*i))
                Fail("shared string \"" + value_.substr(0, 20) + "\" does not exist");
            return TextCell(strings_[static_cast<std::size_t>(*i)]);
        }
        if (type_ == "b") return BoolCell(value_ == "1" || value_ == "true");
        if (type_ == "str" || type_ == "e" || type_ == "d") return TextCell(value_);
        return NumberOrText(value_);
    }

    RowEmitter& out_;
    const std::vector<std::string>& strings_;
    std::vector<SheetCell> cells_;
    std::uint64_t lastRow_ = 0, column_ = 0;
    std::string type_, value_, inline_;
    bool inRow_ = false, inCell_ = false, inValue_ = false, inInline_ = false, inInlineText_ = false, hasValue_ = false;
    int phonetic_ = 0;
};

std::string DirOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A relation's target as a path in the archive: relative to `base` unless it starts with "/".
std::string ResolveTarget(const std::string& base, std::string target) {
    std::string joined = !target.empty() && target[0] == '/' ? target.substr(1) : base + target;
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= joined.size()) {
        std::size_t slash = joined.find('/', start);
        if (slash == std::string::npos) slash = joined.size();
        const std::string part = joined.substr(start, slash - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = slash + 1;
    }
    std::string out;
    for (const std::string& p : parts) out += (out.empty() ? "" : "/") + p;
    return out;
}

struct Relation {
    std::string type, target;
};

std::map<std::string, Relation> ReadRelations(Zip& zip, const std::string& path) {
    std::map<std::string, Relation> rels;
    const auto index = zip.Find(path);
    if (!index) return rels;
    const pugi::xml_document doc = ParseSmall(zip.ReadSmall(*index, path), path);
    const std::string base = DirOf(path.substr(0, path.find("_rels/")));
    for (pugi::xml_node r : Child(doc, "Relationships").children()) {
        if (Local(r.name()) != "Relationship") continue;
        rels[r.attribute("Id").value()] = {r.attribute("Type").value(), ResolveTarget(base, r.attribute("Target").value())};
    }
    return rels;
}

bool EndsWith(std::string_view s, std::string_view tail) {
    return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

WorkbookInfo ReadXlsx(Zip& zip, RowEmitter& out) {
    std::string workbookPath = "xl/workbook.xml";
    for (const auto& [id, rel] : ReadRelations(zip, "_rels/.rels"))
        if (EndsWith(rel.type, "/officeDocument")) workbookPath = rel.target;
    const auto workbookIndex = zip.Find(workbookPath);
    if (!workbookIndex) Fail("the archive holds no workbook part");
    const pugi::xml_document doc = ParseSmall(zip.ReadSmall(*workbookIndex, workbookPath), workbookPath);
    const std::string dir = DirOf(workbookPath);
    const auto rels = ReadRelations(zip, dir + "_rels/" + workbookPath.substr(dir.size()) + ".rels");

    const pugi::xml_node workbook = Child(doc, "workbook");
    struct Sheet {
        std::string target;
        bool worksheet;
    };
    std::vector<Sheet> sheets;
    for (pugi::xml_node s : Child(workbook, "sheets").children()) {
        if (Local(s.name()) != "sheet") continue;
        std::string id;
        for (pugi::xml_attribute a : s.attributes())
            if (Local(a.name()) == "id") id = a.value();
        const auto rel = rels.find(id);
        if (rel == rels.end()) {
            sheets.push_back({"", false});
        } else {
            sheets.push_back({rel->second.target, EndsWith(rel->second.type, "/worksheet")});
        }
    }
    if (sheets.empty()) Fail("the workbook lists no sheet");
    std::size_t active = 0;
    if (pugi::xml_node view = Child(Child(workbook, "bookViews"), "workbookView")) {
        const unsigned tab = view.attribute("activeTab").as_uint(0);
        if (tab < sheets.size()) active = tab;
    }
    WorkbookInfo info{WorkbookFormat::Xlsx, static_cast<int>(std::count_if(sheets.begin(), sheets.end(), [](const Sheet& s) { return s.worksheet; }))};
    if (!sheets[active].worksheet) Fail("the active sheet is not a worksheet");
    const auto sheetIndex = zip.Find(sheets[active].target);
    if (!sheetIndex) Fail("the active sheet " + sheets[active].target + " is missing");

    SharedStrings strings;
    for (const auto& [id, rel] : rels) {
        if (!EndsWith(rel.type, "/sharedStrings")) continue;
        // Kept in memory whole, unlike the sheet.
        if (const auto index = zip.Find(rel.target)) strings.Parse(zip, *index, rel.target, kMaxSharedStrings);
    }
    XlsxSheet sheet(out, strings.strings);
    sheet.Parse(zip, *sheetIndex, sheets[active].target);
    return info;
}

// ---- ods ---------------------------------------------------------------------------------------

constexpr std::string_view kOdsTable = "urn:oasis:names:tc:opendocument:xmlns:table:1.0";
constexpr std::string_view kOdsOffice = "urn:oasis:names:tc:opendocument:xmlns:office:1.0";
constexpr std::string_view kOdsText = "urn:oasis:names:tc:opendocument:xmlns:text:1.0";

std::uint64_t Repeat(const char* text) {
    std::uint64_t n = 1;
    if (!text) return 1;
    std::string_view s(text);
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
    if (ec == std::errc::result_out_of_range) return UINT32_MAX;
    return ec == std::errc() && end == s.data() + s.size() && n > 0 ? std::min<std::uint64_t>(n, UINT32_MAX) : 1;
}

class OdsContent : public XmlStream {
public:
    OdsContent(RowEmitter& out, std::string activeName)
        : out_(out), active_(std::move(activeName)), cells_(static_cast<std::size_t>(out.columns())) {}
    int sheets = 0;
    bool found = false;  // the sheet asked for was there

private:
    void Start(std::string_view ns, std::string_view local, const XML_Char** attrs) override {
        if (ns == kOdsTable && local == "table") {
            if (tableDepth_++ > 0) return;  // a table inside a shape is no sheet
            ++sheets;
            const char* name = Attr(attrs, "name", kOdsTable);
            reading_ = !done_ && (active_.empty() || (name && active_ == name));
            found = found || reading_;
            return;
        }
        if (!reading_ || tableDepth_ != 1) return;
        if (ns == kOdsTable && local == "table-row") {
            rowRepeat_ = Repeat(Attr(attrs, "number-rows-repeated", kOdsTable));
            column_ = 0;
            for (SheetCell& c : cells_) c = SheetCell{};
        } else if (ns == kOdsTable && (local == "table-cell" || local == "covered-table-cell")) {
            cellRepeat_ = Repeat(Attr(attrs, "number-columns-repeated", kOdsTable));
            covered_ = local == "covered-table-cell";
            inCell_ = true;
            text_.clear();
            paragraphs_ = 0;
            cell_ = SheetCell{};
            const char* type = Attr(attrs, "value-type", kOdsOffice);
            const std::string_view t = type ? type : "";
            if (t == "float" || t == "percentage" || t == "currency") {
                const char* v = Attr(attrs, "value", kOdsOffice);
                cell_ = NumberOrText(v ? v : "");
                typed_ = true;
            } else if (t == "boolean") {
                const char* v = Attr(attrs, "boolean-value", kOdsOffice);
                cell_ = BoolCell(v && std::string_view(v) == "true");
                typed_ = true;
            } else if (t == "date" || t == "time") {
                const char* v = Attr(attrs, t == "date" ? "date-value" : "time-value", kOdsOffice);
                cell_ = TextCell(v ? v : "");
                typed_ = true;
            } else {
                typed_ = false;
            }
        } else if (inCell_ && ns == kOdsOffice && local == "annotation") {
            ++annotation_;
        } else if (inCell_ && annotation_ == 0 && ns == kOdsText) {
            if (local == "p" || local == "h") {
                if (paragraphs_++ > 0) text_ += '\n';
                ++paragraph_;
            } else if (local == "s") {
                text_.append(std::min<std::uint64_t>(Repeat(Attr(attrs, "c", kOdsText)), 1024), ' ');
            } else if (local == "tab") {
                text_ += '\t';
            } else if (local == "line-break") {
                text_ += '\n';
            }
        }
    }

    void End(std::string_view ns, std::string_view local) override {
        if (ns == kOdsTable && local == "table") {
            if (--tableDepth_ > 0) return;
            if (reading_) done_ = true;
            reading_ = false;
            return;
        }
        if (!reading_ || tableDepth_ != 1) return;
        if (ns == kOdsOffice && local == "annotation") {
            if (annotation_ > 0) --annotation_;
        } else if (ns == kOdsText && (local == "p" || local == "h")) {
            if (paragraph_ > 0) --paragraph_;
        } else if (ns == kOdsTable && (local == "table-cell" || local == "covered-table-cell")) {
            inCell_ = false;
            // A merged cell's hidden parts read as empty, as in the spreadsheet itself.
            if (!typed_) cell_ = TextCell(text_);
            if (covered_) cell_ = SheetCell{};
            for (std::uint64_t i = 0; i < cellRepeat_ && column_ < cells_.size(); ++i) cells_[column_++] = cell_;
            if (column_ >= cells_.size()) column_ = cells_.size();
        } else if (ns == kOdsTable && local == "table-row") {
            // A repeat of thousands of empty rows ends every sheet: the caller stops at the first.
            for (std::uint64_t i = 0; i < rowRepeat_; ++i) {
                if (!out_.Emit(cells_)) {
                    reading_ = false;
                    done_ = true;
                    return;
                }
            }
        }
    }

    void Text(std::string_view text) override {
        if (inCell_ && paragraph_ > 0 && annotation_ == 0) text_.append(text);
    }

    RowEmitter& out_;
    std::string active_;
    std::vector<SheetCell> cells_;
    SheetCell cell_;
    std::string text_;
    int tableDepth_ = 0, annotation_ = 0, paragraph_ = 0, paragraphs_ = 0;
    bool reading_ = false, done_ = false, inCell_ = false, covered_ = false, typed_ = false;
    std::uint64_t column_ = 0, rowRepeat_ = 1, cellRepeat_ = 1;
};

// The sheet the user last had open (settings.xml, "ActiveTable"); empty when not stated.
std::string OdsActiveTable(Zip& zip) {
    const auto index = zip.Find("settings.xml");
    if (!index) return {};
    const pugi::xml_document doc = ParseSmall(zip.ReadSmall(*index, "settings.xml"), "settings.xml");
    const pugi::xml_node item = doc.find_node([](pugi::xml_node n) {
        if (Local(n.name()) != "config-item") return false;
        for (pugi::xml_attribute a : n.attributes())
            if (Local(a.name()) == "name") return std::string_view(a.value()) == "ActiveTable";
        return false;
    });
    return item ? item.text().get() : std::string();
}

WorkbookInfo ReadOds(Zip& zip, RowEmitter& out) {
    const auto content = zip.Find("content.xml");
    if (!content) Fail("the archive holds no content.xml");
    std::string active = OdsActiveTable(zip);
    OdsContent reader(out, active);
    reader.Parse(zip, *content, "content.xml");
    if (reader.sheets == 0) Fail("the document holds no sheet");
    if (!reader.found) {
        // The named sheet does not exist: read the first one.
        OdsContent first(out, "");
        first.Parse(zip, *content, "content.xml");
    }
    return {WorkbookFormat::Ods, reader.sheets};
}

WorkbookInfo ReadZip(Bytes bytes, RowEmitter& out, const WorkbookLimits& limits) {
    Zip zip(bytes, limits);
    if (const auto mime = zip.Find("mimetype")) {
        const std::string type = zip.ReadSmall(*mime, "mimetype");
        if (type.rfind("application/vnd.oasis.opendocument.spreadsheet", 0) == 0) return ReadOds(zip, out);
        Fail("the archive is a document of type " + type.substr(0, 80) + ", not a spreadsheet");
    }
    if (zip.Find("[Content_Types].xml")) return ReadXlsx(zip, out);
    if (zip.Find("content.xml")) return ReadOds(zip, out);
    Fail("the zip archive is no workbook");
}

// ---- csv ---------------------------------------------------------------------------------------

bool ValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        int n;
        char32_t cp;
        if ((b & 0xE0) == 0xC0) n = 1, cp = b & 0x1F;
        else if ((b & 0xF0) == 0xE0) n = 2, cp = b & 0x0F;
        else if ((b & 0xF8) == 0xF0) n = 3, cp = b & 0x07;
        else return false;
        if (i + static_cast<std::size_t>(n) >= s.size()) return false;
        for (int k = 1; k <= n; ++k) {
            const auto c = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if ((n == 1 && cp < 0x80) || (n == 2 && cp < 0x800) || (n == 3 && cp < 0x10000) || cp > 0x10FFFF ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += static_cast<std::size_t>(n) + 1;
    }
    return true;
}

std::string Utf16ToUtf8(Bytes b, bool bigEndian) {
    std::string out;
    out.reserve(b.size());
    auto unit = [&](std::size_t i) -> char32_t {
        return bigEndian ? char32_t(b[i] << 8 | b[i + 1]) : char32_t(b[i + 1] << 8 | b[i]);
    };
    for (std::size_t i = 0; i + 1 < b.size(); i += 2) {
        char32_t cp = unit(i);
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 3 < b.size() && unit(i + 2) >= 0xDC00 && unit(i + 2) <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;  // a lone surrogate
        }
        AppendUtf8(out, cp);
    }
    return out;
}

std::string CsvText(Bytes bytes) {
    if (StartsWith(bytes, "\xEF\xBB\xBF")) {
        std::string s(reinterpret_cast<const char*>(bytes.data()) + 3, bytes.size() - 3);
        if (!ValidUtf8(s)) Fail("the text file claims UTF-8 but is not");
        return s;
    }
    if (StartsWith(bytes, "\xFF\xFE")) return Utf16ToUtf8(bytes.subspan(2), false);
    if (StartsWith(bytes, "\xFE\xFF")) return Utf16ToUtf8(bytes.subspan(2), true);
    const std::string_view raw(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (raw.find('\0') != std::string_view::npos) Fail("the file is neither a workbook nor a text table");
    // Text that is not UTF-8 comes from the system's code page.
    return ValidUtf8(raw) ? std::string(raw) : Cp1250ToUtf8(raw);
}

// The separator of the first record: the most frequent of ';', TAB and ',' outside quotes;
// 0 when the first record has none of them.
char DetectSeparator(std::string_view text) {
    std::size_t semicolons = 0, tabs = 0, commas = 0;
    bool quoted = false;
    for (char c : text) {
        if (c == '"') quoted = !quoted;
        else if (!quoted && (c == '\n' || c == '\r')) break;
        else if (!quoted && c == ';') ++semicolons;
        else if (!quoted && c == '\t') ++tabs;
        else if (!quoted && c == ',') ++commas;
    }
    if (semicolons + tabs + commas == 0) return 0;
    if (semicolons >= tabs && semicolons >= commas) return ';';
    return tabs >= commas ? '\t' : ',';
}

WorkbookInfo ReadCsv(Bytes bytes, RowEmitter& out) {
    const std::string text = CsvText(bytes);
    const char sep = DetectSeparator(text);
    // Any text file would otherwise pass as a one-column table (a log, a list of names).
    if (sep == 0 && out.columns() > 1) Fail("the text file has no column separator (';', ',' or TAB) in its first line");
    const std::size_t columns = static_cast<std::size_t>(out.columns());
    std::vector<SheetCell> cells(columns);
    std::string field;
    std::size_t column = 0;
    bool anyField = false;
    auto endField = [&] {
        if (column < columns) cells[column] = TextCell(std::move(field));
        field.clear();
        ++column;
    };
    auto endRow = [&] {
        endField();
        const bool more = out.Emit(cells);
        for (SheetCell& c : cells) c = SheetCell{};
        column = 0;
        anyField = false;
        return more;
    };
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        const char c = text[i];
        if (c == '"' && field.empty()) {
            // A quoted field: doubled quotes stand for one, separators and line ends are text.
            ++i;
            while (i < n) {
                if (text[i] == '"') {
                    if (i + 1 < n && text[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                if (column < columns) field += text[i];
                ++i;
            }
            anyField = true;
        } else if (c == sep) {
            endField();
            anyField = true;
            ++i;
        } else if (c == '\r' || c == '\n') {
            i += (c == '\r' && i + 1 < n && text[i + 1] == '\n') ? 2 : 1;
            if (!endRow()) return {WorkbookFormat::Csv, 1};
        } else {
            if (column < columns) field += c;
            anyField = true;
            ++i;
        }
    }
    if (anyField || !field.empty()) endRow();
    return {WorkbookFormat::Csv, 1};
}

}  // namespace

WorkbookInfo ReadActiveSheet(std::span<const std::uint8_t> bytes, int columns, const SheetRowSink& row,
                             const WorkbookLimits& limits) {
    if (columns <= 0) columns = 1;
    if (bytes.size() > limits.maxFileBytes) Fail("the file is larger than a workbook may be");
    RowEmitter out(columns, row, limits.maxRows);
    if (StartsWith(bytes, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
        Fail("an encrypted workbook or one in the old binary format; save it as .xlsx, .ods or .csv without a password");
    if (StartsWith(bytes, "PK\x03\x04") || StartsWith(bytes, "PK\x05\x06")) return ReadZip(bytes, out, limits);
    if (StartsWith(bytes, "PK")) Fail("damaged zip archive");
    return ReadCsv(bytes, out);
}

std::vector<std::uint8_t> ReadWorkbookFile(const std::filesystem::path& file, const WorkbookLimits& limits) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) Fail("the file does not exist or is no regular file");
    const auto size = std::filesystem::file_size(file, ec);
    if (ec) Fail("the file cannot be read (" + ec.message() + ")");
    if (size > limits.maxFileBytes) Fail("the file is larger than a workbook may be");
    std::ifstream in(file, std::ios::binary);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!in || !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size)))
        Fail("the file cannot be read");
    return bytes;
}

WorkbookInfo ReadActiveSheet(const std::filesystem::path& file, int columns, const SheetRowSink& row,
                             const WorkbookLimits& limits) {
    const std::vector<std::uint8_t> bytes = ReadWorkbookFile(file, limits);
    return ReadActiveSheet(std::span<const std::uint8_t>(bytes), columns, row, limits);
}

}  // namespace tarvik
