// Window layouts with text numbers: any bytes resolve without a crash, every missing number is
// listed once, and numbers the pack has are never listed.
#include <algorithm>
#include <cstdint>
#include <string>

#include "data/language.hpp"
#include "fuzz/fuzz_check.hpp"
#include "project/layout_texts.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvik;
    static LanguagePack pack = [] {
        LanguagePack p;
        p.Set(62001, "Flow <Q> & _x_ \\n");
        p.Set(64001, "Position");
        return p;
    }();
    const std::string xml(reinterpret_cast<const char*>(data), size);
    const ResolvedLayout r = ResolveLayoutTexts(xml, pack);
    for (std::size_t i = 0; i < r.missing.size(); ++i) {
        TARVIK_FUZZ_CHECK(std::count(r.missing.begin(), r.missing.end(), r.missing[i]) == 1);
        TARVIK_FUZZ_CHECK(pack.Text(r.missing[i]).empty());
    }
    return 0;
}
