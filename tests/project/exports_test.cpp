#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>
#include <unistd.h>

#include "data/messages.hpp"
#include "support/lang_fixture.hpp"
#include "support/numeric_locale.hpp"
#include "project/exports.hpp"

namespace tarvik {
namespace {

namespace fs = std::filesystem;

SpecItem Item(int id, const std::string& text) {
    SpecItem item;
    item.id = id;
    item.text = text;
    return item;
}

ValvePosition Position(const std::string& name, const std::string& item71, const std::string& inletRating,
                       const std::string& outletRating, double inletSize, double outletSize, double Kvs) {
    ValvePosition p;
    p.name = name;
    p.specItems = {Item(71, item71), Item(106, inletRating), Item(107, outletRating)};
    p.valveData[kVdInletSize] = inletSize;
    p.valveData[kVdOutletSize] = outletSize;
    p.valveData[kVdKvs] = Kvs;
    return p;
}

std::string ReadWhole(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

TEST(ExportPath, KeepsTheBaseNameAndItsDot) {
    EXPECT_EQ(ExportPath("/plants/a.b/Boiler.tkp", ExportKind::Summary), fs::path("/plants/a.b/Boiler.tke.txt"));
    EXPECT_EQ(ExportPath("/plants/a.b/Boiler.tkp", ExportKind::Specification), fs::path("/plants/a.b/Boiler.tkep.txt"));
    EXPECT_EQ(ExportPath("x.v2.tkp", ExportKind::Summary), fs::path("x.v2.tke.txt"));
    // Without a dot in the file name the export must still not replace the project itself.
    EXPECT_EQ(ExportPath("/plants/a.b/Boiler", ExportKind::Summary), fs::path("/plants/a.b/Boiler.tke.txt"));
}

TEST(ExportText, SummaryAndSpecificationLines) {
    test::NumericLocale c("C");
    test::UseLanguage(2);
    ProjectDocument doc;
    doc.positions.push_back(Position("FV101", "V-1 globe", "PN 40", "PN 40", 50, 50, 6.3));
    doc.positions.push_back(Position("FV102", "V-2", "ANSI 300", "ANSI 150", 50, 80, 40));
    // Sizes differ but ratings agree; the rating is not repeated.
    doc.positions.push_back(Position("FV103", "", "PN 16", "PN 16", 25, 40, 0.25));
    doc.positions[0].specItems.push_back(Item(74, "[0:Regulační ventil][2:Control valve\nDN50]"));
    doc.positions[2].name = "FV\n103";

    EXPECT_EQ(SummaryText(doc),
              "FV101;V-1 globe;DN50;PN 40;Kvs 6.3\n"
              "FV102;V-2;2\"/3\";ANSI 300/ANSI 150;Kvs 40\n"
              "FV 103;;DN25/DN40;PN 16;Kvs 0.25\n");
    EXPECT_EQ(SpecificationText(doc), "Control valve DN50\n\n\n");
    EXPECT_EQ(SpecificationText(doc, 0), "Regulační ventil\n\n\n");
    EXPECT_EQ(SummaryText(ProjectDocument{}), "");
}

TEST(ExportFile, WritesBesideTheProjectAndReports) {
    test::NumericLocale c("C");
    test::UseLanguage(2);
    const fs::path dir = fs::temp_directory_path() / ("tarvik_exports_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    ProjectDocument doc;
    doc.positions.push_back(Position("A", "V-1", "PN 40", "PN 40", 50, 50, 6.3));

    std::vector<Message> shown;
    ScopedMessageSink sink([&](const Message& m) { shown.push_back(m); });
    std::ofstream(dir / "Plant.tke.txt") << "an older, longer export that must disappear entirely\n";
    ExportResult r = ExportProject(doc, dir / "Plant.tkp", ExportKind::Summary);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.path, dir / "Plant.tke.txt");
    EXPECT_EQ(ReadWhole(r.path), "A;V-1;DN50;PN 40;Kvs 6.3\r\n");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].number, kMsgExportWritten);
    EXPECT_NE(shown[0].text.find(r.path.string()), std::string::npos) << shown[0].text;

    // A folder that does not exist: the failure is returned, nothing is shown or written.
    shown.clear();
    r = ExportProject(doc, dir / "missing" / "Plant.tkp", ExportKind::Specification);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.empty());
    EXPECT_TRUE(shown.empty());
    EXPECT_FALSE(fs::exists(dir / "missing"));
    fs::remove_all(dir);
}

TEST(ExportFile, CodePage1250WithCrLfUnlessUtf8IsChosen) {
    test::NumericLocale c("C");
    test::UseLanguage(2);
    const fs::path dir = fs::temp_directory_path() / ("tarvik_exports_cp_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    ProjectDocument doc;
    doc.positions.push_back(Position("PV Žatec", "V-1", "PN 40", "PN 40", 50, 50, 6.3));
    doc.positions[0].specItems.push_back(Item(74, "[2:Ventil ř]"));
    std::vector<Message> shown;
    ScopedMessageSink sink([&](const Message& m) { shown.push_back(m); });

    struct Case {
        ExportKind kind;
        ExportEncoding encoding;
        std::string bytes;
    };
    const Case written[] = {
        {ExportKind::Summary, ExportEncoding::Cp1250, "PV \x8E" "atec;V-1;DN50;PN 40;Kvs 6.3\r\n"},
        {ExportKind::Summary, ExportEncoding::Utf8, "PV Žatec;V-1;DN50;PN 40;Kvs 6.3\r\n"},
        {ExportKind::Specification, ExportEncoding::Cp1250, "Ventil \xF8\r\n"},
        {ExportKind::Specification, ExportEncoding::Utf8, "Ventil ř\r\n"},
    };
    for (const auto& w : written) {
        const ExportResult r = ExportProject(doc, dir / "Plant.tkp", w.kind, w.encoding);
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_EQ(ReadWhole(r.path), w.bytes);
    }

    // A text without a code page 1250 form: refused by position and field, the old export whole.
    struct Refusal {
        ExportKind kind;
        const char* name;
        int item;
        const char* text;
        const char* named;
    };
    const Refusal refusals[] = {
        {ExportKind::Summary, "PV ³", 71, "V-1", "#1, name: ³ (U+00B3)"},
        {ExportKind::Summary, "PV", 106, "PN ⁴⁰", "\"PV\", item 106: ⁴ (U+2074)"},
        {ExportKind::Specification, "PV", 74, "[2:Ventil ν]", "\"PV\", item 74: ν (U+03BD)"},
    };
    for (const auto& f : refusals) {
        ProjectDocument bad = doc;
        bad.positions[0].name = f.name;
        for (auto& item : bad.positions[0].specItems)
            if (item.id == f.item) item.text = f.text;
        const std::string before = ReadWhole(ExportPath(dir / "Plant.tkp", f.kind));
        shown.clear();
        const ExportResult r = ExportProject(bad, dir / "Plant.tkp", f.kind);
        EXPECT_FALSE(r.ok);
        ASSERT_TRUE(r.problem.has_value());
        EXPECT_EQ(DescribeTextProblem(*r.problem), f.named);
        EXPECT_NE(r.error.find(f.named), std::string::npos) << r.error;
        EXPECT_TRUE(shown.empty());
        EXPECT_EQ(ReadWhole(r.path), before);
        EXPECT_TRUE(ExportProject(bad, dir / "Plant.tkp", f.kind, ExportEncoding::Utf8).ok);
    }
    fs::remove_all(dir);
}

}  // namespace
}  // namespace tarvik
