#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <map>

#include "data/cp1250.hpp"
#include "output/dwf_drawing.hpp"

namespace tarvik {
namespace {

constexpr std::size_t kMaxNotes = 100;
constexpr std::int64_t kCoordLimit = std::numeric_limits<std::int32_t>::max();

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The code point at `at` and its length; false on an invalid sequence.
bool NextUtf8(std::string_view s, std::size_t at, char32_t& cp, std::size_t& len) {
    const auto b = static_cast<unsigned char>(s[at]);
    if (b < 0x80) {
        cp = b;
        len = 1;
        return true;
    }
    int extra = 0;
    if ((b & 0xE0) == 0xC0) extra = 1, cp = b & 0x1F;
    else if ((b & 0xF0) == 0xE0) extra = 2, cp = b & 0x0F;
    else if ((b & 0xF8) == 0xF0) extra = 3, cp = b & 0x07;
    else return false;
    if (at + extra >= s.size()) return false;
    for (int i = 1; i <= extra; ++i) {
        const auto c = static_cast<unsigned char>(s[at + i]);
        if ((c & 0xC0) != 0x80) return false;
        cp = (cp << 6) | (c & 0x3F);
    }
    static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    len = static_cast<std::size_t>(extra) + 1;
    return true;
}

bool IsUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        char32_t cp;
        std::size_t len;
        if (!NextUtf8(s, i, cp, len)) return false;
        i += len;
    }
    return true;
}

// Raw 8-bit text of a bare or quoted string: UTF-8 when it is valid UTF-8 (a filled template),
// otherwise code page 1250 (the series files' drawings).
std::string EightBitText(std::string_view raw) {
    return IsUtf8(raw) ? std::string(raw) : Cp1250ToUtf8(raw);
}

std::string DecodeHex(std::string_view digits) {
    std::string out;
    char16_t high = 0;
    for (std::size_t i = 0; i + 4 <= digits.size(); i += 4) {
        int v = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const int h = HexValue(digits[i + k]);
            if (h < 0) return out;
            v = v * 16 + h;
        }
        const auto unit = static_cast<char16_t>(v);
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            high = unit;
            continue;
        }
        if (unit >= 0xDC00 && unit <= 0xDFFF) {
            if (high) AppendUtf8(out, 0x10000 + ((char32_t{high} - 0xD800) << 10) + (unit - 0xDC00));
            high = 0;
            continue;
        }
        high = 0;
        AppendUtf8(out, unit);
    }
    return out;
}

class Parser {
public:
    explicit Parser(std::string_view s) : s_(s) {}

    DwfDrawing Run() {
        if (!ReadHeader()) return std::move(d_);
        while (!stop_) {
            SkipSpace();
            if (AtEnd()) {
                Note("the stream ends without (EndOfDWF)");
                break;
            }
            const char c = s_[pos_];
            if (c == '(') {
                ++pos_;
                Extended();
            } else if (c == '{') {
                SkipBinary();
            } else if (c == ')') {
                Note("stray ')' at offset " + std::to_string(pos_));
                ++pos_;
            } else {
                ++pos_;
                SingleByte(c);
            }
        }
        return std::move(d_);
    }

private:
    // ---- Lexical ----
    bool AtEnd() const { return pos_ >= s_.size(); }
    void SkipSpace() {
        while (pos_ < s_.size() && IsSpace(s_[pos_])) ++pos_;
    }
    void Note(std::string text) {
        if (d_.notes.size() < kMaxNotes) d_.notes.push_back(std::move(text));
        else if (d_.notes.size() == kMaxNotes) d_.notes.push_back("further problems not listed");
    }
    void Fatal(std::string text) {
        Note(std::move(text));
        stop_ = true;
    }

    bool StartsNumber() {
        SkipSpace();
        if (AtEnd()) return false;
        const char c = s_[pos_];
        return IsDigit(c) || ((c == '-' || c == '+') && pos_ + 1 < s_.size() && IsDigit(s_[pos_ + 1]));
    }
    // An integer, saturated to the 31-bit coordinate range.
    bool Int(std::int64_t& v) {
        if (!StartsNumber()) return false;
        bool neg = false;
        if (s_[pos_] == '-' || s_[pos_] == '+') neg = s_[pos_++] == '-';
        std::int64_t n = 0;
        while (!AtEnd() && IsDigit(s_[pos_])) {
            n = std::min<std::int64_t>(n * 10 + (s_[pos_] - '0'), kCoordLimit);
            ++pos_;
        }
        v = neg ? -n : n;
        return true;
    }
    bool Int32(std::int32_t& v) {
        std::int64_t n;
        if (!Int(n)) return false;
        v = static_cast<std::int32_t>(n);
        return true;
    }
    // An angle reduced to one turn.
    bool Angle(std::uint32_t& v) {
        std::int64_t n;
        if (!Int(n)) return false;
        v = static_cast<std::uint32_t>(((n % kDwfFullTurn) + kDwfFullTurn) % kDwfFullTurn);
        return true;
    }
    bool Pair(std::int64_t& a, std::int64_t& b) {
        if (!Int(a)) return false;
        SkipSpace();
        if (AtEnd() || s_[pos_] != ',') return false;
        ++pos_;
        return Int(b);
    }
    bool Point(DwfPoint& p) {
        std::int64_t x, y;
        if (!Pair(x, y)) return false;
        p = {static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
        return true;
    }
    bool Float(double& v) {
        SkipSpace();
        std::size_t end = pos_;
        while (end < s_.size() && end - pos_ < 64 &&
               (IsDigit(s_[end]) || s_[end] == '.' || s_[end] == '-' || s_[end] == '+' || s_[end] == 'e' || s_[end] == 'E'))
            ++end;
        if (end == pos_) return false;
        const std::string token(s_.substr(pos_, end - pos_));
        char* stop = nullptr;
        v = std::strtod(token.c_str(), &stop);
        if (stop == token.c_str()) return false;
        pos_ += static_cast<std::size_t>(stop - token.c_str());
        if (!std::isfinite(v)) v = 0;
        return true;
    }
    // A string operand; false when none starts here or a quoted one is not closed.
    bool String(std::string& out) {
        SkipSpace();
        if (AtEnd() || s_[pos_] == ')' || s_[pos_] == '(') return false;
        if (s_[pos_] == '\'') {
            std::string raw;
            for (std::size_t i = pos_ + 1; i < s_.size(); ++i) {
                if (s_[i] == '\\' && i + 1 < s_.size()) {
                    raw += s_[++i];
                } else if (s_[i] == '\'') {
                    pos_ = i + 1;
                    out = EightBitText(raw);
                    return true;
                } else {
                    raw += s_[i];
                }
            }
            Fatal("a quoted string is not closed (offset " + std::to_string(pos_) + ")");
            pos_ = s_.size();
            return false;
        }
        if (s_[pos_] == '"') {
            const std::size_t close = s_.find('"', pos_ + 1);
            if (close == std::string_view::npos) {
                Fatal("a hex string is not closed (offset " + std::to_string(pos_) + ")");
                pos_ = s_.size();
                return false;
            }
            out = DecodeHex(s_.substr(pos_ + 1, close - pos_ - 1));
            pos_ = close + 1;
            return true;
        }
        const std::size_t start = pos_;
        while (!AtEnd() && !IsSpace(s_[pos_]) && s_[pos_] != ')' && s_[pos_] != '(') ++pos_;
        out = EightBitText(s_.substr(start, pos_ - start));
        return true;
    }

    // Skips to the ')' that closes a group whose opening was consumed: quoted strings, escapes
    // and length-prefixed binary data inside are stepped over.
    void SkipGroup(int depth = 1) {
        while (depth > 0) {
            if (AtEnd()) {
                Fatal("the stream ends inside an opcode");
                return;
            }
            const char c = s_[pos_++];
            if (c == '\\') {
                ++pos_;
            } else if (c == '\'') {
                while (!AtEnd() && s_[pos_] != '\'') pos_ += s_[pos_] == '\\' ? 2 : 1;
                ++pos_;
            } else if (c == '(') {
                ++depth;
            } else if (c == ')') {
                --depth;
            } else if (c == '{') {
                --pos_;
                SkipBinary();
                if (stop_) return;
            }
        }
        pos_ = std::min(pos_, s_.size());
    }
    // '{' + int32 LE length + that many bytes.
    void SkipBinary() {
        if (pos_ + 5 > s_.size()) {
            Fatal("the stream ends inside binary data");
            return;
        }
        std::uint32_t n = 0;
        for (int i = 0; i < 4; ++i) n |= std::uint32_t{static_cast<unsigned char>(s_[pos_ + 1 + i])} << (8 * i);
        if (n == 0) {
            Fatal("compressed/binary DWF is not supported (offset " + std::to_string(pos_) + ")");
            return;
        }
        if (n > s_.size() - pos_ - 5) {
            Fatal("the stream ends inside binary data");
            return;
        }
        pos_ += 5 + n;
    }
    // Ends an opcode that was understood: operands a newer writer added are skipped.
    void EndGroup() { SkipGroup(1); }

    // ---- State ----
    std::uint32_t LayerIndex(std::int32_t number) {
        const auto it = layerIndex_.find(number);
        if (it != layerIndex_.end()) return it->second;
        const auto index = static_cast<std::uint32_t>(d_.layers.size());
        d_.layers.push_back({number, {}, true});
        layerIndex_.emplace(number, index);
        return index;
    }
    DwfShape& Add(DwfShape::Kind kind) {
        DwfShape& sh = d_.shapes.emplace_back();
        sh.kind = kind;
        sh.layer = LayerIndex(layer_);
        sh.colour = colour_;
        sh.lineWeight = weight_;
        sh.pattern = pattern_;
        sh.filled = fill_;
        return sh;
    }
    std::uint32_t FontIndex() {
        for (std::size_t i = d_.fonts.size(); i-- > 0;)
            if (d_.fonts[i] == font_) return static_cast<std::uint32_t>(i);
        d_.fonts.push_back(font_);
        return static_cast<std::uint32_t>(d_.fonts.size() - 1);
    }

    // ---- Opcodes ----
    bool ReadHeader() {
        const std::string_view h = s_.substr(0, 12);
        const bool ok = h.size() == 12 && h.substr(0, 8) == "(DWF V00" && h[8] == '.' && IsDigit(h[9]) &&
                        IsDigit(h[10]) && h[11] == ')';
        if (ok) {
            pos_ = 12;
            return true;
        }
        if (s_.substr(0, 2) == "PK") Note("a zipped DWF package is not supported");
        else if (s_.substr(0, 6) == "(DWF V" || s_.substr(0, 6) == "(W2D V") Note("unsupported DWF version");
        else Note("not an ASCII DWF stream (no \"(DWF V00.nn)\" header)");
        return false;
    }

    // Reads `count` points; a shorter list is kept as far as it goes.
    std::vector<DwfPoint> Points(const char* what) {
        std::int64_t count = 0;
        std::vector<DwfPoint> pts;
        if (!Int(count) || count < 1) {
            Note(std::string("bad point count of ") + what + " at offset " + std::to_string(pos_));
            return pts;
        }
        // Never trust the count for the allocation: every point takes at least four bytes.
        pts.reserve(static_cast<std::size_t>(std::min<std::int64_t>(count, (s_.size() - pos_) / 4 + 1)));
        for (std::int64_t i = 0; i < count; ++i) {
            DwfPoint p;
            if (!Point(p)) {
                Note(std::string("fewer points than counted in ") + what + " at offset " + std::to_string(pos_));
                break;
            }
            pts.push_back(p);
        }
        return pts;
    }

    void SingleByte(char c) {
        const std::size_t at = pos_ - 1;
        switch (c) {
        case 'L': {
            DwfPoint a, b;
            if (!Point(a) || !Point(b)) {
                Note("bad line at offset " + std::to_string(at));
                return;
            }
            if (visible_) Add(DwfShape::Polyline).points = {a, b};
            return;
        }
        case 'P':
        case 'T': {
            auto pts = Points(c == 'P' ? "a polyline" : "a triangle strip");
            if (pts.empty() || !visible_) return;
            DwfShape::Kind kind = DwfShape::Polyline;
            if (c == 'T') kind = DwfShape::TriangleStrip;
            else if (fill_ && pts.size() >= 3) kind = DwfShape::Polygon;
            Add(kind).points = std::move(pts);
            return;
        }
        case 'R': {
            DwfPoint centre;
            std::int32_t r;
            if (!Point(centre) || !Int32(r)) {
                Note("bad circle at offset " + std::to_string(at));
                return;
            }
            if (visible_) AddEllipse(centre, r, r, 0, 0, 0);
            return;
        }
        case 'E': {
            DwfPoint centre;
            std::int64_t rh, rv;
            if (!Point(centre) || !Pair(rh, rv)) {
                Note("bad ellipse at offset " + std::to_string(at));
                return;
            }
            if (visible_) AddEllipse(centre, static_cast<std::int32_t>(rh), static_cast<std::int32_t>(rv), 0, 0, 0);
            return;
        }
        case 'C': {
            std::int64_t i;
            if (!Int(i)) {
                Note("bad colour index at offset " + std::to_string(at));
                return;
            }
            if (i >= 0 && static_cast<std::size_t>(i) < map_.size()) colour_ = map_[static_cast<std::size_t>(i)];
            else Note("colour index " + std::to_string(i) + " outside the colour map");
            return;
        }
        case 'F': fill_ = true; return;
        case 'f': fill_ = false; return;
        case 'V': visible_ = true; return;
        case 'v': visible_ = false; return;
        case 'M': Points("markers"); return;  // markers are not drawn
        case 'G':
        case 'S': {
            std::int64_t ignored;
            if (!Int(ignored)) Note("bad marker operand at offset " + std::to_string(at));
            return;
        }
        default: {
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned>(static_cast<unsigned char>(c)));
            Fatal(std::string("binary DWF content not supported (byte ") + hex + " at offset " + std::to_string(at) + ")");
        }
        }
    }

    void AddEllipse(DwfPoint centre, std::int32_t rh, std::int32_t rv, std::int64_t start, std::int64_t end,
                    std::uint32_t tilt) {
        DwfShape& sh = Add(DwfShape::Ellipse);
        sh.points = {centre};
        sh.rh = rh < 0 ? -rh : rh;
        sh.rv = rv < 0 ? -rv : rv;
        const auto s = static_cast<std::uint32_t>(((start % kDwfFullTurn) + kDwfFullTurn) % kDwfFullTurn);
        const auto sweep = static_cast<std::uint32_t>((((end - start) % kDwfFullTurn) + kDwfFullTurn) % kDwfFullTurn);
        sh.start = s;
        sh.sweep = sweep == 0 ? kDwfFullTurn : sweep;  // start = end: the whole ellipse
        sh.tilt = tilt;
    }

    std::string Name() {
        const std::size_t start = pos_;
        while (!AtEnd() && pos_ - start < 40) {
            const char c = s_[pos_];
            if (IsSpace(c) || c == '(' || c == ')' || c < 0x21 || c > 0x7A) break;
            ++pos_;
        }
        return std::string(s_.substr(start, pos_ - start));
    }

    void Extended() {
        const std::size_t at = pos_ - 1;
        const std::string name = Name();
        if (name == "EndOfDWF") {
            SkipGroup();
            d_.complete = !stop_;
            stop_ = true;
        } else if (name == "Color") {
            Rgba c;
            if (ColourOperand(c)) colour_ = c;
            else Note("bad colour at offset " + std::to_string(at));
            EndGroup();
        } else if (name == "ColorMap") {
            ColourMap();
        } else if (name == "Background") {
            Rgba c;
            std::int64_t i;
            if (ColourOperand(c)) d_.background = c;
            else if (Int(i) && i >= 0 && static_cast<std::size_t>(i) < map_.size()) d_.background = map_[i];
            else Note("bad background at offset " + std::to_string(at));
            EndGroup();
        } else if (name == "LineWeight") {
            std::int32_t w;
            if (Int32(w)) weight_ = std::max(0, w);
            else Note("bad line weight at offset " + std::to_string(at));
            EndGroup();
        } else if (name == "LinePattern") {
            std::string p;
            String(p);
            pattern_ = 0;
            const auto& list = DwfLinePatterns();
            for (std::size_t i = 0; i < list.size(); ++i)
                if (list[i].first == p) pattern_ = static_cast<std::uint8_t>(i);
            EndGroup();
        } else if (name == "Layer") {
            std::int32_t n;
            if (Int32(n)) {
                layer_ = n;
                std::string layerName;
                const std::uint32_t index = LayerIndex(n);
                if (String(layerName)) d_.layers[index].name = layerName;
            } else {
                Note("bad layer at offset " + std::to_string(at));
            }
            EndGroup();
        } else if (name == "Font") {
            Font();
        } else if (name == "Text") {
            Text(at);
        } else if (name == "Circle") {
            DwfPoint c;
            std::int32_t r;
            std::int64_t a, b;
            if (Point(c) && Int32(r) && Pair(a, b)) {
                if (visible_) AddEllipse(c, r, r, a, b, 0);
            } else {
                Note("bad circular arc at offset " + std::to_string(at));
            }
            EndGroup();
        } else if (name == "Ellipse") {
            DwfPoint c;
            std::int64_t rh, rv, a, b;
            std::uint32_t tilt = 0;
            if (Point(c) && Pair(rh, rv) && Pair(a, b)) {
                Angle(tilt);
                if (visible_) AddEllipse(c, static_cast<std::int32_t>(rh), static_cast<std::int32_t>(rv), a, b, tilt);
            } else {
                Note("bad elliptical arc at offset " + std::to_string(at));
            }
            EndGroup();
        } else if (name == "View") {
            DwfPoint a, b;
            if (StartsNumber()) {
                if (Point(a) && Point(b) && !d_.view && a.x < b.x && a.y < b.y) d_.view = DwfBox{a, b};
            }
            EndGroup();
        } else if (name == "Units") {
            Units();
        } else if (name.empty()) {
            Note("an opcode without a name at offset " + std::to_string(at));
            SkipGroup();
        } else {
            static const char* const kIgnored[] = {"DWF", "Comment", "Comments", "Author", "Title", "Creator",
                                                   "Description", "Subject", "Keywords", "Copyright",
                                                   "Source", "Creation", "Modification", "SourceCreation",
                                                   "SourceModification", "PlotInfo", "NamedView", "URL",
                                                   "InkedArea", "Embed", "Viewport", "LineStyle", "Projection"};
            const bool known = std::any_of(std::begin(kIgnored), std::end(kIgnored),
                                           [&](const char* k) { return name == k; });
            if (!known) Note("unknown opcode (" + name + " skipped at offset " + std::to_string(at));
            SkipGroup();
        }
    }

    bool ColourOperand(Rgba& c) {
        const std::size_t save = pos_;
        std::int64_t v[4];
        for (int i = 0; i < 4; ++i) {
            if (i > 0) {
                SkipSpace();
                if (AtEnd() || s_[pos_] != ',') break;
                ++pos_;
            }
            if (!Int(v[i])) break;
            if (i == 3) {
                auto b = [](std::int64_t x) { return static_cast<std::uint8_t>(std::clamp<std::int64_t>(x, 0, 255)); };
                c = {b(v[0]), b(v[1]), b(v[2]), b(v[3])};
                return true;
            }
        }
        pos_ = save;
        return false;
    }

    void ColourMap() {
        std::int64_t n;
        std::vector<Rgba> map;
        if (Int(n) && n > 0) {
            for (std::int64_t i = 0; i < n; ++i) {
                Rgba c;
                if (!ColourOperand(c)) break;
                map.push_back(c);
            }
        }
        if (map.empty()) Note("bad colour map");
        else map_ = std::move(map);
        EndGroup();
    }

    void Font() {
        while (!stop_) {
            SkipSpace();
            if (AtEnd()) {
                Fatal("the stream ends inside an opcode");
                return;
            }
            if (s_[pos_] == ')') {
                ++pos_;
                return;
            }
            if (s_[pos_] != '(') {
                SkipGroup();
                return;
            }
            ++pos_;
            const std::string option = Name();
            std::int32_t v = 0;
            std::uint32_t a = 0;
            if (option == "Name") {
                std::string n;
                if (String(n) && !n.empty()) font_.name = n;
            } else if (option == "Height") {
                if (Int32(v)) font_.height = std::max(0, v);
            } else if (option == "Rotation") {
                if (Angle(a)) font_.rotation = a;
            } else if (option == "Widthscale") {
                if (Int32(v)) font_.widthScale = std::max(0, v);
            } else if (option == "Spacing") {
                if (Int32(v)) font_.spacing = std::max(0, v);
            } else if (option == "Oblique") {
                if (Angle(a)) font_.oblique = a;
            } else if (option == "Style") {
                font_.bold = font_.italic = font_.underlined = false;
                std::string word;
                while (!stop_ && String(word)) {
                    font_.bold |= word == "bold";
                    font_.italic |= word == "italic";
                    font_.underlined |= word == "underlined";
                }
            }
            if (!stop_) SkipGroup();
        }
    }

    void Text(std::size_t at) {
        DwfPoint p;
        std::string text;
        if (!Point(p)) {
            Note("bad text position at offset " + std::to_string(at));
            if (!stop_) SkipGroup();
            return;
        }
        if (!String(text)) {
            if (!stop_) {
                Note("text without a string at offset " + std::to_string(at));
                SkipGroup();
            }
            return;
        }
        if (visible_ && !text.empty()) {
            DwfShape& sh = Add(DwfShape::Text);
            sh.points = {p};
            sh.text = std::move(text);
            sh.font = FontIndex();
        }
        TextOptions();
    }

    // Skips the option groups of a text up to its ')'. A group that is a drawing opcode means the
    // text lost its ')': the text ends there and the opcode is read.
    void TextOptions() {
        static const char* const kOpcodes[] = {"Text", "Layer", "Color", "Font", "LineWeight", "LinePattern",
                                               "Circle", "Ellipse", "EndOfDWF", "View", "Comment"};
        while (!stop_) {
            SkipSpace();
            if (AtEnd() || s_[pos_] != '(') break;
            const std::size_t open = pos_++;
            const std::string name = Name();
            if (std::any_of(std::begin(kOpcodes), std::end(kOpcodes), [&](const char* k) { return name == k; })) {
                Note("a text opcode is not closed (offset " + std::to_string(open) + ")");
                pos_ = open;
                return;
            }
            SkipGroup();
        }
        if (!stop_) SkipGroup();
    }

    void Units() {
        std::string label;
        SkipSpace();
        if (!AtEnd() && s_[pos_] != '(') String(label);
        std::array<double, 16> m{};
        int n = 0, depth = 1;
        while (!stop_) {
            SkipSpace();
            if (AtEnd()) {
                Fatal("the stream ends inside an opcode");
                break;
            }
            const char c = s_[pos_];
            if (c == '(' || c == ')') {
                ++pos_;
                depth += c == '(' ? 1 : -1;
                if (depth == 0) break;
                continue;
            }
            double v;
            if (n < 16 && Float(v)) {
                m[n++] = v;
                continue;
            }
            SkipGroup(depth);
            break;
        }
        d_.unitsLabel = label;
        if (n == 16) d_.unitsMatrix = m;
        else Note("bad units matrix");
    }

    std::string_view s_;
    std::size_t pos_ = 0;
    bool stop_ = false;
    DwfDrawing d_;
    std::map<std::int32_t, std::uint32_t> layerIndex_;
    std::vector<Rgba> map_ = DefaultColourMap();
    Rgba colour_{255, 255, 255, 255};
    std::int32_t weight_ = 0;
    std::uint8_t pattern_ = 0;
    bool fill_ = false;
    bool visible_ = true;
    std::int32_t layer_ = 0;
    DwfFont font_;

    static std::vector<Rgba> DefaultColourMap();
};

// The customary 256-colour CAD index palette: 0-9 the basic colours, 10-249 24 hues in ten
// shades (full and half saturation at five brightnesses), 250-255 greys.
std::vector<Rgba> Parser::DefaultColourMap() {
    std::vector<Rgba> map(256);
    const Rgba basic[10] = {{0, 0, 0, 255},     {255, 0, 0, 255},   {255, 255, 0, 255}, {0, 255, 0, 255},
                            {0, 255, 255, 255}, {0, 0, 255, 255},   {255, 0, 255, 255}, {255, 255, 255, 255},
                            {128, 128, 128, 255}, {192, 192, 192, 255}};
    for (int i = 0; i < 10; ++i) map[i] = basic[i];
    const double value[5] = {1.0, 0.65, 0.5, 0.3, 0.15};
    for (int i = 10; i < 250; ++i) {
        const double h = (i / 10 - 1) * 15.0 / 60.0;
        const double v = value[(i % 10) / 2];
        const double sat = (i % 2) ? 0.5 : 1.0;
        const int sector = static_cast<int>(h) % 6;
        const double f = h - std::floor(h);
        const double p = v * (1 - sat), q = v * (1 - sat * f), t = v * (1 - sat * (1 - f));
        double r = v, g = t, b = p;
        switch (sector) {
        case 1: r = q, g = v, b = p; break;
        case 2: r = p, g = v, b = t; break;
        case 3: r = p, g = q, b = v; break;
        case 4: r = t, g = p, b = v; break;
        case 5: r = v, g = p, b = q; break;
        default: break;
        }
        auto u = [](double x) { return static_cast<std::uint8_t>(std::lround(x * 255)); };
        map[i] = {u(r), u(g), u(b), 255};
    }
    const std::uint8_t grey[6] = {51, 91, 132, 173, 214, 255};
    for (int i = 0; i < 6; ++i) map[250 + i] = {grey[i], grey[i], grey[i], 255};
    return map;
}

}  // namespace

DwfDrawing ParseDwf(std::string_view stream) { return Parser(stream).Run(); }

const std::vector<std::pair<std::string_view, std::vector<double>>>& DwfLinePatterns() {
    static const std::vector<std::pair<std::string_view, std::vector<double>>> list = {
        {"Solid", {}},
        {"Dashed", {6, 3}},
        {"Dotted", {1, 2}},
        {"Dash_Dot", {8, 2, 1, 2}},
        {"Short_Dash", {3, 3}},
        {"Medium_Dash", {6, 3}},
        {"Long_Dash", {12, 3}},
        {"Short_Dash_X2", {6, 6}},
        {"Medium_Dash_X2", {12, 6}},
        {"Long_Dash_X2", {24, 6}},
        {"Medium_Long_Dash", {9, 3}},
        {"Medium_Dash_Short_Dash_Short_Dash", {6, 2, 2, 2, 2, 2}},
        {"Long_Dash_Short_Dash", {12, 2, 3, 2}},
        {"Long_Dash_Dot_Dot", {12, 2, 1, 2, 1, 2}},
        {"Long_Dash_Dot", {12, 2, 1, 2}},
        {"Medium_Dash_Dot_Short_Dash_Dot", {6, 2, 1, 2, 3, 2, 1, 2}},
        {"Sparse_Dot", {1, 6}},
        {"ISO_Dash", {12, 3}},
        {"ISO_Dash_Space", {12, 18}},
        {"ISO_Long_Dash_Dot", {24, 3, 1, 3}},
        {"ISO_Long_Dash_Double_Dot", {24, 3, 1, 3, 1, 3}},
        {"ISO_Long_Dash_Triple_Dot", {24, 3, 1, 3, 1, 3, 1, 3}},
        {"ISO_Dot", {1, 3}},
        {"ISO_Long_Dash_Short_Dash", {24, 3, 6, 3}},
        {"ISO_Long_Dash_Double_Short_Dash", {24, 3, 6, 3, 6, 3}},
        {"ISO_Dash_Dot", {12, 3, 1, 3}},
        {"ISO_Double_Dash_Dot", {12, 3, 12, 3, 1, 3}},
        {"ISO_Dash_Double_Dot", {12, 3, 1, 3, 1, 3}},
        {"ISO_Double_Dash_Double_Dot", {12, 3, 12, 3, 1, 3, 1, 3}},
        {"ISO_Dash_Triple_Dot", {12, 3, 1, 3, 1, 3, 1, 3}},
        {"ISO_Double_Dash_Triple_Dot", {12, 3, 12, 3, 1, 3, 1, 3, 1, 3}},
    };
    return list;
}

std::string DecodeDwfString(std::string_view operand) {
    if (operand.size() >= 2 && operand.front() == '"' && operand.back() == '"')
        return DecodeHex(operand.substr(1, operand.size() - 2));
    if (operand.size() >= 2 && operand.front() == '\'' && operand.back() == '\'') {
        std::string raw;
        const std::string_view in = operand.substr(1, operand.size() - 2);
        for (std::size_t i = 0; i < in.size(); ++i) raw += (in[i] == '\\' && i + 1 < in.size()) ? in[++i] : in[i];
        return EightBitText(raw);
    }
    return EightBitText(operand);
}

std::string EncodeDwfHexString(std::string_view utf8) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out = "\"";
    auto unit = [&](char32_t u) {
        for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(u >> shift) & 0xF];
    };
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t cp;
        std::size_t len;
        if (!NextUtf8(utf8, i, cp, len)) {
            // A byte that is not UTF-8 is taken as code page 1250.
            const std::string one = Cp1250ToUtf8(utf8.substr(i, 1));
            std::size_t l2;
            if (!NextUtf8(one, 0, cp, l2)) cp = '?';
            len = 1;
        }
        if (cp >= 0x10000) {
            unit(0xD800 + ((cp - 0x10000) >> 10));
            unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            unit(cp);
        }
        i += len;
    }
    return out + "\"";
}

}  // namespace tarvik
