#include "data/type_designation.hpp"

#include <algorithm>
#include <cctype>
#include <climits>

#include "data/lang_text.hpp"
#include "data/language.hpp"
#include "data/number_text.hpp"
#include "data/spec_catalogue.hpp"

namespace tarvik {
namespace {

// True when `text` is the language text `number`; a text the pack lacks matches nothing.
bool IsLanguageText(const std::string& text, int number) {
    const std::string& t = GetText(number);
    return !t.empty() && text == t;
}

bool ReplaceFirst(std::string& text, const std::string& what, const std::string& with) {
    const std::size_t p = text.find(what);
    if (p == std::string::npos) return false;
    text.replace(p, what.size(), with);
    return true;
}

std::string Upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

// Decimal prefix as atoi reads it, clamped to int.
int LeadingInt(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    long long v = 0;
    for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i) v = std::min<long long>(v * 10 + (s[i] - '0'), INT_MAX + 1LL);
    v = negative ? -v : v;
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

// Byte offsets of the UTF-8 characters of `s`, plus its end.
std::vector<std::size_t> CharStarts(const std::string& s) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < s.size(); ++i)
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) starts.push_back(i);
    starts.push_back(s.size());
    return starts;
}

// Replaces each "{token}" by what `replace` gives for its upper-case token. Scanning goes on
// after the inserted text, so a code that contains braces cannot make it run forever.
template <class F>
void ReplaceBraces(std::string& text, F replace) {
    std::size_t from = 0;
    for (;;) {
        const std::size_t open = text.find('{', from);
        if (open == std::string::npos) return;
        const std::size_t close = text.find('}', open + 1);
        if (close == std::string::npos) return;
        const std::string value = replace(Upper(text.substr(open + 1, close - open - 1)));
        text.replace(open, close - open + 1, value);
        from = open + value.size();
    }
}

void ActuatorPlaceholders(std::string& text, const SpecItemList& items, SpecCatalogue& catalogue) {
    if (catalogue.section1.empty()) LoadSpecCatalogue(catalogue);
    const SpecActuator* actuator = catalogue.FindActuator(ItemText(kItemActuator, items));
    static const SpecActuator none;
    const SpecActuator& a = actuator ? *actuator : none;
    const std::int32_t version = catalogue.version;

    std::string f = ItemText(kItemFailAction, items);
    if (f == "P" || IsLanguageText(f, kTextFailOpen))
        f = "P";
    else if (f == "N" || IsLanguageText(f, kTextFailClosed))
        f = "N";

    ReplaceBraces(text, [&](const std::string& token) -> std::string {
        if (token == "O1") return a.codes[kCodeO1];
        if (token == "O2") return a.codes[kCodeO2];
        if (token == "OF") return f == "P" ? a.codes[kCodeOFP] : f == "N" ? a.codes[kCodeOFN] : "";
        if (token == "OHW") {
            const std::string wanted = ItemText(kItemHandOption, items);
            // Option names are multilingual in the catalogue; the item holds the shown language.
            for (const auto& o : a.options)
                if (GetLangText(o.texts[0], -1) == wanted) return o.texts[3];
            return ".";
        }
        if (token == "OSPRING") {
            const std::string wanted = ItemText(kItemSpringRange, items);
            for (const auto& s : a.springs) {
                std::string shown;
                if (a.kind == "AT") {
                    std::string from = FormatNumber(s.from, 0);
                    if (from.size() < 2) from.insert(0, 2 - from.size(), '0');
                    shown = "S" + from;
                } else {
                    shown = FormatNumber(s.from, 0) + ".." + FormatNumber(s.to, 0) + " kPa";
                }
                if (shown == wanted) return s.code;
            }
            return ".";
        }
        if (token == "OSUPPLY") {
            const std::string wanted = ItemText(kItemSupplyPressure, items);
            for (const auto& s : a.supplies)
                if (FormatNumber(s.value, 0) + " kPa" == wanted) return SupplyCode(s, version);
            return ".";
        }
        if (token == "OSIZE") {
            const std::string wanted = ItemText(kItemActuatorSize, items);
            for (const auto& s : a.sizes)
                if (s.name == wanted) return SizeCode(s, version);
            return ".";
        }
        return "";
    });
}

// Steps shared by both designations, from the actuator kind to "[kvs]".
void ActuatorSizesAndKvs(std::string& text, const DesignationInputs& in, const SpecItemList& items,
                         SpecCatalogue& catalogue) {
    const std::string kind = ItemText(kItemActuatorKind, items);
    if (IsLanguageText(kind, kTextActuatorFromCatalogue)) {
        ActuatorPlaceholders(text, items, catalogue);
    } else {
        std::string code;
        bool replace = true;
        if (IsLanguageText(kind, kTextActuatorKindH)) {
            code = "H";
        } else if (IsLanguageText(kind, kTextActuatorKindE)) {
            if (catalogue.section1.empty()) LoadSpecCatalogue(catalogue);
            code = catalogue.codeE;
        } else if (IsLanguageText(kind, kTextActuatorKindF)) {
            if (catalogue.section1.empty()) LoadSpecCatalogue(catalogue);
            code = catalogue.codeF;
        } else {
            replace = false;
        }
        const std::size_t open = text.find('{');
        const std::size_t close = open == std::string::npos ? open : text.find('}', open + 1);
        if (replace && close != std::string::npos) text.replace(open, close - open + 1, code);
    }

    const std::string pi = ItemText(kItemInletRating, items);
    const std::string po = ItemText(kItemOutletRating, items);
    const std::string si = NominalSizeText(pi, in.inletSize);
    const std::string so = NominalSizeText(po, in.outletSize);
    const std::size_t dn = text.find("[dn]");
    const std::size_t pn = text.find("[pn]");
    if ((dn != std::string::npos || pn != std::string::npos) && (in.inletSize != in.outletSize || pi != po)) {
        const std::size_t later = dn == std::string::npos ? pn : pn == std::string::npos ? dn : std::max(dn, pn);
        text.insert(later + 4, " / " + so + " " + po);
    }
    ReplaceFirst(text, "[dn]", si);
    ReplaceFirst(text, "[pn]", pi);
    ReplaceFirst(text, "[kvs]", FormatNumber(in.Kvs, 0));
}

// "[Id]" and "[Id:start:length]": the type code of the item, or a part of it; "[0]" gives ".".
void ItemReferences(std::string& text, const SpecItemList& items) {
    std::size_t from = 0;
    for (;;) {
        const std::size_t open = text.find('[', from);
        if (open == std::string::npos) return;
        const std::size_t close = text.find(']', open + 1);
        if (close == std::string::npos) return;
        const std::string ref = text.substr(open + 1, close - open - 1);
        const std::size_t c1 = ref.find(':');
        const std::size_t c2 = c1 == std::string::npos ? c1 : ref.find(':', c1 + 1);
        const int id = LeadingInt(ref.substr(0, c1));
        const int start = c1 == std::string::npos ? 0 : LeadingInt(ref.substr(c1 + 1, c2 == std::string::npos ? std::string::npos : c2 - c1 - 1));
        const int length = c2 == std::string::npos ? 0 : LeadingInt(ref.substr(c2 + 1));
        std::string value = ".";
        if (id != 0) {
            value = ChoiceTypeCode(id, ItemText(id, items), items);
            const std::vector<std::size_t> chars = CharStarts(value);
            const std::size_t count = chars.size() - 1;
            if (start > 0 && length > 0 &&
                count >= static_cast<std::size_t>(start) - 1 + static_cast<std::size_t>(length)) {
                const std::size_t b = chars[static_cast<std::size_t>(start) - 1];
                const std::size_t e = chars[static_cast<std::size_t>(start) - 1 + static_cast<std::size_t>(length)];
                value = value.substr(b, e - b);
            }
        }
        text.replace(open, close - open + 1, value);
        from = open + value.size();
    }
}

}  // namespace

std::string TypeDesignationText(const DesignationInputs& in, const SpecItemList& items, const std::string& name,
                                 SpecCatalogue& catalogue) {
    std::string text = in.templateText;
    ReplaceFirst(text, "{Nazev}", name);
    ActuatorSizesAndKvs(text, in, items, catalogue);
    ItemReferences(text, items);
    return text;
}

std::string SecondDesignationText(const DesignationInputs& in, const SpecItemList& items, const std::string& ks,
                                  SpecCatalogue& catalogue) {
    std::string text = in.templateText;
    ActuatorSizesAndKvs(text, in, items, catalogue);
    ReplaceFirst(text, "[ks]", ks);
    ItemReferences(text, items);
    return text;
}

std::string ComposeTypeDesignation(const DesignationInputs& in, SpecItemList& items, KeyValueList& titleBlock,
                                   const std::string& name, SpecCatalogue& catalogue) {
    const std::string text = TypeDesignationText(in, items, name, catalogue);
    SetKeyValue("ozn", text, titleBlock, true);
    StoreItemText(kItemTypeDesignation, items, nullptr, text);
    return text;
}

std::string ComposeSecondDesignation(const DesignationInputs& in, SpecItemList& items, const std::string& ks,
                                     SpecCatalogue& catalogue) {
    const std::string text = SecondDesignationText(in, items, ks, catalogue);
    StoreItemText(kItemSecondDesignation, items, nullptr, text);
    return text;
}

}  // namespace tarvik
