// Item lists of the valve series (choice lists) and of the project files (position items). The
// first byte selects the version and the kind; the rest is the list. What was read must write
// back in the same version and read again.
#include <cstdint>
#include <vector>

#include "data/archive.hpp"
#include "data/lang_text.hpp"
#include "data/spec_items.hpp"
#include "fuzz/fuzz_check.hpp"

namespace {

constexpr double kVersions[] = {7.0, 7.01, 7.05, 7.06, 7.07, 7.13, 8.0, 8.03};
constexpr int kVersionCount = sizeof kVersions / sizeof kVersions[0];
constexpr int kLang = 1;
constexpr int kLangCount = 4;

tarvik::SpecItemList Read(tarvik::ArchiveReader& r, bool choices, double version) {
    return choices ? tarvik::ReadChoiceList(r, version, kLang, kLangCount)
                   : tarvik::ReadPositionItems(r, version, kLang);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvik;
    if (size == 0) return 0;
    const double version = kVersions[data[0] % kVersionCount];
    const bool choices = (data[0] / kVersionCount) % 2 == 0;
    ArchiveReader r(std::vector<std::uint8_t>(data + 1, data + size), "fuzz.dbv");
    SpecItemList list;
    try {
        list = Read(r, choices, version);
    } catch (const ArchiveError&) {
        return 0;
    }
    for (const auto& item : list) {
        GetLangText(item.text, "-1");
        EvalConditions(item.condition, ConditionVariableList{});
    }

    ArchiveWriter w;
    if (choices) {
        WriteChoiceList(w, list, version, kLang);
    } else {
        WritePositionItems(w, list, version, kLang);
    }
    ArchiveReader again(w.bytes(), "again.dbv");
    const SpecItemList reread = Read(again, choices, version);  // must not throw
    TARVIK_FUZZ_CHECK(again.AtEnd());
    TARVIK_FUZZ_CHECK(reread.size() == list.size());
    for (std::size_t k = 0; k < list.size(); ++k) {
        TARVIK_FUZZ_CHECK(reread[k].id == list[k].id);
        TARVIK_FUZZ_CHECK(reread[k].code == list[k].code);
        TARVIK_FUZZ_CHECK(reread[k].condition == list[k].condition);
        TARVIK_FUZZ_CHECK(reread[k].attribute == list[k].attribute);
        TARVIK_FUZZ_CHECK(reread[k].typeCode == list[k].typeCode);
        if (!choices && version > 8.0) TARVIK_FUZZ_CHECK(reread[k].text == list[k].text);
    }
    return 0;
}
