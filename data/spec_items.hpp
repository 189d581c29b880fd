#pragma once
// Specification item lists. The same record serves as a choice entry (the admissible texts of a
// specification field, with a condition) and as a chosen item of a valve position.
//
// The control-bound operations are GUI-free here: the views put the returned texts into their
// controls and pass the control's text in.
#include <string>
#include <string_view>
#include <vector>

#include "data/conditions.hpp"

namespace tarvik {

class ArchiveReader;
class ArchiveWriter;

struct SpecItem {
    int id = 0;              // the specification field
    std::string text;        // multilingual
    std::string condition;   // choice entries: when the entry is admissible ("" = always)
    std::string attribute;
    std::string code;
    std::string typeCode;    // what the choice contributes to the type designation

    bool operator==(const SpecItem&) const = default;
};

using SpecItemList = std::vector<SpecItem>;

struct ChoiceComboFill {
    std::vector<std::string> entries;  // to append, in list order
    bool enabled = false;              // false: the combo box holds no entry and is disabled
};

// The current-language texts of the admissible, non-empty choices for `id`. `entriesAlready` is
// the number of entries the combo box holds before.
ChoiceComboFill FillChoiceCombo(int id, const SpecItemList& choices, const ConditionVariableList& vars,
                                std::size_t entriesAlready = 0);
ChoiceComboFill FillChoiceCombo(int id, const SpecItemList& choices, std::size_t entriesAlready = 0);

// The text a control for `id` shows: the chosen item, else the first admissible choice.
// "" means: leave the control as it is.
std::string ShowItemText(int id, const SpecItemList& items, const SpecItemList& choices,
                         const ConditionVariableList& vars);
std::string ShowItemText(int id, const SpecItemList& items, const SpecItemList& choices);

// Stores `text` as the item `id`. A text that is the current-language text of a choice for `id`
// takes that choice's whole multilingual text, attribute, code and type code; any other text is
// stored in every language (section 2 = `second` when given) with `code`. An empty text
// overwrites an existing item but never adds one. `choices` may be null (no choice list).
void StoreItemText(int id, SpecItemList& items, const SpecItemList* choices, std::string_view text,
                   std::string_view second = {}, std::string_view code = {});

// The text of the first item `id` in language `lang` (-1 = current); "" when there is none.
std::string ItemText(int id, const SpecItemList& items, int lang = -1);
std::string ItemCode(int id, const SpecItemList& items);
// Type code of the first choice for `id` whose current-language text is `text`.
std::string ChoiceTypeCode(int id, std::string_view text, const SpecItemList& choices);

// ---- File forms --------------------------------------------------------------------------
// `version` is the file's version as a number (7.01, 8.0, 8.03, ...); `lang` the language index
// that plain texts of older versions belong to.

// The item text in its version form: below 8 a plain text, from 7.01 followed by the text of
// section 2; exactly 8 a count and (index, text) pairs; above 8 the multilingual text whole.
std::string ReadItemText(ArchiveReader& in, double version, int lang);
void WriteItemText(ArchiveWriter& out, std::string_view text, double version, int lang);

// A choice list of a valve series (versions from 7): count, then per entry Id, text (completed
// from section `lang` up to `langCount`), condition, attribute (from 7.05), code (from 7.07) and
// type code (from 7.13).
SpecItemList ReadChoiceList(ArchiveReader& in, double version, int lang, int langCount);
void WriteChoiceList(ArchiveWriter& out, const SpecItemList& choices, double version, int lang);

// The chosen items of a project position (versions from 7): count, then per item text, code
// (from 7.06) and Id. Condition, attribute and type code are not stored.
SpecItemList ReadPositionItems(ArchiveReader& in, double version, int lang);
void WritePositionItems(ArchiveWriter& out, const SpecItemList& items, double version, int lang);

}  // namespace tarvik
