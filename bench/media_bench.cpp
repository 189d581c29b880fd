// Loading the media database at start: a system file of 5,000 records with multilingual names
// and a small user file (target: 50 ms).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "data/archive.hpp"
#include "data/media.hpp"
#include "data/pipes.hpp"
#include "project/catalogue_lists.hpp"

namespace {

namespace fs = std::filesystem;
using namespace tarvik;

fs::path MediaFolder(int records) {
    const fs::path dir = fs::temp_directory_path() / ("tarvik_media_bench_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    MediaFile system{MediaFileKind::System, 8.03, {}};
    for (int i = 0; i < records; ++i) {
        MediaFileRecord r;
        const std::string n = std::to_string(i);
        r.names = "[0:Médium " + n + "][1:Medium " + n + "][2:C" + n + "H" + n + "][3:Medium " + n + "]";
        r.medium.phase = i % 2;
        r.medium.note = "Poznámka k médiu " + n;
        r.medium.density = 800 + i;
        r.medium.viscosity = 1.5;
        r.medium.molarMass = 28.96;
        r.medium.number = i + 1;
        system.records.push_back(r);
    }
    ArchiveWriter out;
    WriteMediaFile(out, system);
    out.SaveAtomically(dir / kSystemMediaFileName);
    MediaFile user{MediaFileKind::User, kUserMediaVersion, {}};
    for (int i = 0; i < 20; ++i) {
        MediaFileRecord r;
        r.medium.name = "Uživatel " + std::to_string(i);
        r.medium.number = records + i + 1;
        user.records.push_back(r);
    }
    ArchiveWriter userOut;
    WriteMediaFile(userOut, user);
    userOut.SaveAtomically(dir / kUserMediaFileName);
    return dir;
}

void BM_LoadMedia5000(benchmark::State& state) {
    const fs::path dir = MediaFolder(5000);
    for (auto _ : state) {
        MediaCatalogue c = LoadMedia(dir);
        benchmark::DoNotOptimize(c.media.data());
        if (c.media.size() != 5020) state.SkipWithError("wrong record count");
    }
    fs::remove_all(dir);
}
BENCHMARK(BM_LoadMedia5000)->Unit(benchmark::kMillisecond);

}  // namespace

// The rows of the media list for 5,000 media, sorted by name (part of opening the list; the
// whole opening is timed by app/timing/media_list_timing.cpp).
void BM_MediaListRows5000(benchmark::State& state) {
    std::vector<Medium> media(5000);
    for (int i = 0; i < 5000; ++i) {
        media[static_cast<std::size_t>(i)].name = "Médium " + std::to_string((i * 7919) % 5000);
        media[static_cast<std::size_t>(i)].source = i < 4000 ? "S" : "U";
        media[static_cast<std::size_t>(i)].number = i + 1;
    }
    for (auto _ : state) {
        auto rows = MediaListRows(media, -1);
        benchmark::DoNotOptimize(rows.data());
    }
}
BENCHMARK(BM_MediaListRows5000)->Unit(benchmark::kMillisecond);
