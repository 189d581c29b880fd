#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <unistd.h>

#include "cli/catalogue_json.hpp"
#include "cli/catalogue_kinds.hpp"
#include "data/archive.hpp"
#include "data/media.hpp"
#include "data/pipes.hpp"
#include "data/settings.hpp"

namespace tarvik {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

class MediaJson : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = CurrentSettings();
        dir_ = fs::temp_directory_path() / ("tarvik_cli_media_" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        fs::remove_all(dir_);
        CurrentSettings() = saved_;
    }
    static std::string ReadWhole(const fs::path& p) {
        std::ifstream f(p, std::ios::binary);
        std::stringstream s;
        s << f.rdbuf();
        return s.str();
    }
    // Dumps the file, builds the dump and compares bytes; returns the dump.
    json RoundTrip(const fs::path& file) {
        const cli::CatalogueKind* kind = cli::CatalogueKindOfFile(file);
        EXPECT_NE(kind, nullptr) << file;
        if (!kind) return {};
        const json j = kind->dump(file);
        const fs::path again = dir_ / "again" / file.filename();
        fs::create_directories(again.parent_path());
        kind->build(json::parse(j.dump()), again);
        EXPECT_EQ(ReadWhole(again), ReadWhole(file)) << file;
        EXPECT_EQ(kind->dump(again), j);
        return j;
    }
    fs::path dir_;
    Settings saved_;
};

MediaFile Sample(MediaFileKind kind, double version) {
    MediaFile f{kind, version, {}};
    for (int i = 0; i < 2; ++i) {
        MediaFileRecord r;
        Medium& m = r.medium;
        m.name = "Líh " + std::to_string(i);
        m.name2 = "C2H5OH";
        m.phase = 1 - i;
        m.note = "žluťoučký";
        m.density = 789.3;
        m.viscosity = 1.52;
        m.auxValue2 = -0.0;
        m.soundSpeed = 1144.0 + 1e-9;
        m.number = 7 + i;
        if (HasMultilingualNames(kind, version)) r.names = "[0:Líh][1:Spirytus][2:C2H5OH]";
        if (!HasIntPhase(version)) r.phaseCode = i ? "G" : "K";
        f.records.push_back(r);
    }
    return f;
}

TEST_F(MediaJson, EveryVersionDumpsAndBuildsToTheSameBytes) {
    struct Case { MediaFileKind kind; double version; const char* file; };
    for (Case c : {Case{MediaFileKind::System, 8.03, "media.tkd"}, Case{MediaFileKind::System, 8.02, "media.tkd"},
                   Case{MediaFileKind::System, 1.29, "MEDIA.TKD"}, Case{MediaFileKind::User, 2.7, "mediau.tkd"},
                   Case{MediaFileKind::User, 1.0, "mediau.tkd"}}) {
        ArchiveWriter w;
        WriteMediaFile(w, Sample(c.kind, c.version));
        w.SaveAtomically(dir_ / c.file);
        const json j = RoundTrip(dir_ / c.file);
        EXPECT_EQ(j["version"], c.version);
        const json& r = j["records"][0];
        EXPECT_EQ(r.contains("names"), c.version >= 8.03 && c.kind == MediaFileKind::System);
        EXPECT_EQ(r.contains("phaseCode"), c.version < 1.3);
        EXPECT_EQ(r["note"], "žluťoučký");
    }
}

TEST_F(MediaJson, LoadedNamesFollowTheLanguage) {
    ArchiveWriter w;
    WriteMediaFile(w, Sample(MediaFileKind::System, 8.03));
    w.SaveAtomically(dir_ / "media.tkd");
    CurrentSettings().lang = 1;
    json j = cli::DumpSystemMedia(dir_ / "media.tkd");
    EXPECT_EQ(j["records"][0]["loaded"]["name"], "Spirytus");
    EXPECT_EQ(j["records"][0]["loaded"]["name2"], "C2H5OH");
    CurrentSettings().lang = 3;
    j = cli::DumpSystemMedia(dir_ / "media.tkd");
    EXPECT_EQ(j["records"][0]["loaded"]["name"], "Líh");
    // Build ignores what loading makes of a record.
    j["records"][0]["loaded"]["name"] = "anything";
    cli::BuildSystemMedia(j, dir_ / "again.tkd");
    EXPECT_EQ(ReadWhole(dir_ / "again.tkd"), ReadWhole(dir_ / "media.tkd"));
}

TEST_F(MediaJson, BadSourcesAreRefusedAndNothingIsWritten) {
    const fs::path out = dir_ / "out.tkd";
    const json record = {{"name", "a"}, {"name2", "b"}, {"phase", 1}};
    struct Case { json source; const char* where; };
    const Case cases[] = {
        {{{"version", 8.03}, {"records", {record}}}, "records[0].name"},                       // needs "names"
        {{{"version", 1.2}, {"records", {{{"name", "a"}, {"phase", 1}}}}}, "records[0].phase"},  // needs "phaseCode"
        {{{"version", 2.7}, {"records", {{{"names", "[0:a]"}}}}}, "records[0].names"},
        {{{"version", 2.7}, {"records", {{{"density", "1"}}}}}, "records[0].density"},
        {{{"version", 2.7}, {"records", {{{"number", 1e12}}}}}, "records[0].number"},
        {{{"version", 2.7}, {"records", {{{"densty", 1}}}}}, "records[0].densty"},
        {{{"version", 2.7}, {"records", {{{"name", "漢"}}}}}, "records[0].name"},
        {{{"version", "2.7"}}, "version"},
        {{{"kind", "potrubi"}}, "kind"},
        {{{"records", {1}}}, "records[0]"},
    };
    for (const Case& c : cases) {
        try {
            (c.source.contains("version") && c.source["version"] == 8.03 ? cli::BuildSystemMedia
                                                                          : cli::BuildUserMedia)(c.source, out);
            ADD_FAILURE() << c.source.dump();
        } catch (const cli::CatalogueJsonError& e) {
            EXPECT_NE(std::string(e.what()).find(c.where), std::string::npos) << e.what();
        }
        EXPECT_FALSE(fs::exists(out)) << c.source.dump();
    }
    // A damaged file is not dumped.
    std::ofstream(dir_ / "mediau.tkd", std::ios::binary) << std::string("\x9a\x99\x99\x99\x99\x99\x05\x40\x01", 9);
    EXPECT_THROW(cli::DumpUserMedia(dir_ / "mediau.tkd"), ArchiveError);
}

TEST_F(MediaJson, PipesRoundTripAndKindsByFileName) {
    ArchiveWriter w;
    WritePipes(w, {Pipe{"ČSN 42 5715", "DN 50", "S 2.9", 57, 2.9, 0}, Pipe{"ASME", "1.1/2", "Sch 40", 48.3, 3.68, 0}});
    w.SaveAtomically(dir_ / "POTRUBI.tkd");
    const json j = RoundTrip(dir_ / "POTRUBI.tkd");
    EXPECT_EQ(j["records"][0]["pipeKind"], "ČSN 42 5715");
    EXPECT_EQ(j["records"][1]["outsideDiameter"], 48.3);

    EXPECT_THROW(cli::BuildPipes({{"records", {{{"pipeKind", 1}}}}}, dir_ / "x.tkd"), cli::CatalogueJsonError);
    EXPECT_FALSE(fs::exists(dir_ / "x.tkd"));

    EXPECT_STREQ(cli::CatalogueKindOfFile("/d/media.tkd")->name, "media");
    EXPECT_STREQ(cli::CatalogueKindOfFile("/d/MediaU.TKD")->name, "mediau");
    EXPECT_STREQ(cli::CatalogueKindOfFile("potrubi.tkd")->name, "potrubi");
    EXPECT_EQ(cli::CatalogueKindOfFile("/d/media.tkd.bak"), nullptr);
}

}  // namespace
}  // namespace tarvik
