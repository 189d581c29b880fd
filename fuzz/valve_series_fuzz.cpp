// Valve-series files: the whole file as input. What was read must write back, read again and
// write the same bytes.
#include <cstdint>
#include <vector>

#include "data/archive.hpp"
#include "data/valve_series.hpp"
#include "fuzz/fuzz_check.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvik;
    const SeriesTextOptions options{1, 4};
    ValveSeries series;
    try {
        ArchiveReader in(std::vector<std::uint8_t>(data, data + size), "fuzz.dbv");
        series = ReadValveSeries(in, "fuzz", options);
    } catch (const ArchiveError&) {
        return 0;
    }
    series.DisplayName();
    series.ChoiceList();
    const std::vector<std::uint8_t> written = ValveSeriesBytes(series);
    ArchiveReader again(written, "again.dbv");
    const ValveSeries reread = ReadValveSeries(again, "fuzz", options);  // must not throw
    TARVIK_FUZZ_CHECK(again.AtEnd());
    TARVIK_FUZZ_CHECK(reread.valves.size() == series.valves.size());
    TARVIK_FUZZ_CHECK(reread.choices.size() == series.choices.size());
    TARVIK_FUZZ_CHECK(ValveSeriesBytes(reread) == written);
    return 0;
}
