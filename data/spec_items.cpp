#include "data/spec_items.hpp"

#include <cstdlib>

#include "data/archive.hpp"
#include "data/lang_text.hpp"
#include "data/settings.hpp"

namespace tarvik {

namespace {

std::string CurrentText(const SpecItem& item) { return GetLangText(item.text, "-1"); }

const SpecItem* FindItem(int id, const SpecItemList& items) {
    for (const auto& item : items) {
        if (item.id == id) return &item;
    }
    return nullptr;
}

const SpecItem* FindChoice(int id, std::string_view text, const SpecItemList& choices) {
    for (const auto& choice : choices) {
        if (choice.id == id && CurrentText(choice) == text) return &choice;
    }
    return nullptr;
}

}  // namespace

ChoiceComboFill FillChoiceCombo(int id, const SpecItemList& choices, const ConditionVariableList& vars,
                                std::size_t entriesAlready) {
    ChoiceComboFill fill;
    for (const auto& choice : choices) {
        if (choice.id != id || !EvalConditions(choice.condition, vars)) continue;
        std::string text = CurrentText(choice);
        if (!text.empty()) fill.entries.push_back(std::move(text));
    }
    fill.enabled = entriesAlready + fill.entries.size() > 0;
    return fill;
}

ChoiceComboFill FillChoiceCombo(int id, const SpecItemList& choices, std::size_t entriesAlready) {
    return FillChoiceCombo(id, choices, CurrentConditionVariables(), entriesAlready);
}

std::string ShowItemText(int id, const SpecItemList& items, const SpecItemList& choices,
                         const ConditionVariableList& vars) {
    if (const SpecItem* item = FindItem(id, items)) return CurrentText(*item);
    for (const auto& choice : choices) {
        if (choice.id == id && EvalConditions(choice.condition, vars)) return CurrentText(choice);
    }
    return {};
}

std::string ShowItemText(int id, const SpecItemList& items, const SpecItemList& choices) {
    return ShowItemText(id, items, choices, CurrentConditionVariables());
}

void StoreItemText(int id, SpecItemList& items, const SpecItemList* choices, std::string_view text,
                   std::string_view second, std::string_view code) {
    SpecItem stored;
    stored.id = id;
    if (const SpecItem* choice = choices ? FindChoice(id, text, *choices) : nullptr) {
        stored.text = choice->text;
        stored.attribute = choice->attribute;
        stored.code = choice->code;
        stored.typeCode = choice->typeCode;
    } else {
        stored.text = MakeLangText(text, second);
        stored.code = code;
    }
    for (auto& item : items) {
        if (item.id == id) {
            item.text = std::move(stored.text);
            item.attribute = std::move(stored.attribute);
            item.code = std::move(stored.code);
            item.typeCode = std::move(stored.typeCode);
            return;
        }
    }
    if (!text.empty()) items.push_back(std::move(stored));
}

std::string ItemText(int id, const SpecItemList& items, int lang) {
    const SpecItem* item = FindItem(id, items);
    return item ? GetLangText(item->text, lang) : std::string();
}

std::string ItemCode(int id, const SpecItemList& items) {
    const SpecItem* item = FindItem(id, items);
    return item ? item->code : std::string();
}

std::string ChoiceTypeCode(int id, std::string_view text, const SpecItemList& choices) {
    const SpecItem* choice = FindChoice(id, text, choices);
    return choice ? choice->typeCode : std::string();
}

// ---- File forms ------------------------------------------------------------------------------

namespace {

std::string Section(int key, std::string_view text) {
    return "[" + std::to_string(key) + ":" + std::string(text) + "]";
}

struct KeyedSection {
    int key;
    std::string text;
};

// The sections with a numeric key, in text order.
std::vector<KeyedSection> NumericSections(std::string_view text) {
    std::vector<KeyedSection> sections;
    std::size_t pos = 0;
    while ((pos = text.find('[', pos)) != std::string_view::npos) {
        const std::size_t colon = text.find(':', pos);
        const std::size_t close = text.find(']', pos);
        if (colon == std::string_view::npos || close == std::string_view::npos || close < colon) {
            ++pos;
            continue;
        }
        const std::string key(text.substr(pos + 1, colon - pos - 1));
        char* end = nullptr;
        const long k = std::strtol(key.c_str(), &end, 10);
        if (!key.empty() && *end == '\0' && k >= INT32_MIN && k <= INT32_MAX) {
            sections.push_back({static_cast<int>(k), std::string(text.substr(colon + 1, close - colon - 1))});
        }
        pos = close + 1;
    }
    return sections;
}

}  // namespace

std::string ReadItemText(ArchiveReader& in, double version, int lang) {
    if (version < 8.0) {
        std::string text = Section(lang, in.ReadText());
        if (version >= 7.01) text += Section(2, in.ReadText());
        return text;
    }
    if (version == 8.0) {
        const std::int32_t count = in.ReadInt32();
        in.CheckCount(count, 5);
        std::string text;
        for (std::int32_t i = 0; i < count; ++i) {
            const std::int32_t key = in.ReadInt32();
            text += Section(key, in.ReadText());
        }
        return text;
    }
    return in.ReadText();
}

void WriteItemText(ArchiveWriter& out, std::string_view text, double version, int lang) {
    if (version < 8.0) {
        out.WriteText(GetLangText(text, lang));
        if (version >= 7.01) out.WriteText(GetLangText(text, 2));
        return;
    }
    if (version == 8.0) {
        auto sections = NumericSections(text);
        if (sections.empty() && !text.empty()) sections.push_back({lang, std::string(text)});
        out.WriteInt32(static_cast<std::int32_t>(sections.size()));
        for (const auto& s : sections) {
            out.WriteInt32(s.key);
            out.WriteText(s.text);
        }
        return;
    }
    out.WriteText(text);
}

SpecItemList ReadChoiceList(ArchiveReader& in, double version, int lang, int langCount) {
    const std::int32_t count = in.ReadInt32();
    in.CheckCount(count, 6);
    SpecItemList choices;
    choices.reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        SpecItem c;
        c.id = in.ReadInt32();
        c.text = CompleteLangText(ReadItemText(in, version, lang), lang, langCount);
        c.condition = in.ReadText();
        if (version >= 7.05) c.attribute = in.ReadText();
        if (version >= 7.07) c.code = in.ReadText();
        if (version >= 7.13) c.typeCode = in.ReadText();
        choices.push_back(std::move(c));
    }
    return choices;
}

void WriteChoiceList(ArchiveWriter& out, const SpecItemList& choices, double version, int lang) {
    out.WriteInt32(static_cast<std::int32_t>(choices.size()));
    for (const auto& c : choices) {
        out.WriteInt32(c.id);
        WriteItemText(out, c.text, version, lang);
        out.WriteText(c.condition);
        if (version >= 7.05) out.WriteText(c.attribute);
        if (version >= 7.07) out.WriteText(c.code);
        if (version >= 7.13) out.WriteText(c.typeCode);
    }
}

SpecItemList ReadPositionItems(ArchiveReader& in, double version, int lang) {
    const std::int32_t count = in.ReadInt32();
    in.CheckCount(count, 5);
    SpecItemList items;
    items.reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        SpecItem item;
        item.text = ReadItemText(in, version, lang);
        if (version >= 7.06) item.code = in.ReadText();
        item.id = in.ReadInt32();
        // Older files kept the brackets of this item's text literally.
        if (item.id == 68 && !item.text.starts_with('[')) {
            std::string escaped;
            for (char ch : item.text) {
                if (ch == '[') escaped += "|+";
                else if (ch == ']') escaped += "-|";
                else escaped += ch;
            }
            item.text = std::move(escaped);
        }
        if (!item.text.starts_with('[')) item.text = Section(lang, item.text);
        items.push_back(std::move(item));
    }
    return items;
}

void WritePositionItems(ArchiveWriter& out, const SpecItemList& items, double version, int lang) {
    out.WriteInt32(static_cast<std::int32_t>(items.size()));
    for (const auto& item : items) {
        WriteItemText(out, item.text, version, lang);
        if (version >= 7.06) out.WriteText(item.code);
        out.WriteInt32(item.id);
    }
}

}  // namespace tarvik
