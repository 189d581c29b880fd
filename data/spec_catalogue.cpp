#include "data/spec_catalogue.hpp"

#include <optional>

#include "data/archive.hpp"
#include "data/messages.hpp"
#include "data/program_dir.hpp"
#include "data/valve_series.hpp"

namespace tarvik {
namespace {

constexpr std::size_t kMinValueItemBytes = 1 + 8 + 1;

std::int32_t Count(ArchiveReader& in, std::size_t minRecordBytes) {
    const std::int32_t n = in.ReadInt32();
    in.CheckCount(n, minRecordBytes);
    return n;
}

template <class T>
void WriteCount(ArchiveWriter& out, const std::vector<T>& list) {
    out.WriteInt32(static_cast<std::int32_t>(list.size()));
}

SpecValueItem ReadValueItem(ArchiveReader& in) {
    SpecValueItem v;
    v.name = in.ReadText();
    v.value = in.ReadFiniteDouble();
    v.extra = in.ReadText();
    return v;
}

void WriteValueItem(ArchiveWriter& out, const SpecValueItem& v) {
    out.WriteText(v.name);
    out.WriteDouble(v.value);
    out.WriteText(v.extra);
}

// List a. `withText` and `withText2` say which of the two texts the version and section store.
SpecSizeItem ReadSize(ArchiveReader& in, bool withText, bool withText2, std::int32_t valueCount) {
    SpecSizeItem s;
    s.name = in.ReadText();
    s.value = in.ReadFiniteDouble();
    if (withText) s.text = in.ReadText();
    if (withText2) s.text2 = in.ReadText();
    for (std::int32_t i = 0; i < valueCount; ++i) s.values.push_back(ReadValueItem(in));
    return s;
}

void WriteSize(ArchiveWriter& out, const SpecSizeItem& s, bool withText, bool withText2, std::int32_t valueCount) {
    out.WriteText(s.name);
    out.WriteDouble(s.value);
    if (withText) out.WriteText(s.text);
    if (withText2) out.WriteText(s.text2);
    // The count is the file's, not the entry's: pad or cut so that the file stays readable.
    for (std::int32_t i = 0; i < valueCount; ++i)
        WriteValueItem(out, static_cast<std::size_t>(i) < s.values.size() ? s.values[static_cast<std::size_t>(i)] : SpecValueItem{});
}

std::vector<SpecSizeItem> ReadSizes(ArchiveReader& in, bool withText, bool withText2, std::int32_t valueCount) {
    std::vector<SpecSizeItem> list;
    const std::int32_t n = Count(in, 1 + 8);
    for (std::int32_t i = 0; i < n; ++i) list.push_back(ReadSize(in, withText, withText2, valueCount));
    return list;
}

void WriteSizes(ArchiveWriter& out, const std::vector<SpecSizeItem>& list, bool withText, bool withText2,
                std::int32_t valueCount) {
    WriteCount(out, list);
    for (const auto& s : list) WriteSize(out, s, withText, withText2, valueCount);
}

std::vector<SpecChoiceItem> ReadChoices(ArchiveReader& in, bool withFourth) {
    std::vector<SpecChoiceItem> list;
    const std::int32_t n = Count(in, 3);
    for (std::int32_t i = 0; i < n; ++i) {
        SpecChoiceItem c;
        for (int k = 0; k < 3; ++k) c.texts[k] = in.ReadText();
        if (withFourth) c.texts[3] = in.ReadText();
        list.push_back(std::move(c));
    }
    return list;
}

void WriteChoices(ArchiveWriter& out, const std::vector<SpecChoiceItem>& list, bool withFourth) {
    WriteCount(out, list);
    for (const auto& c : list) {
        for (int k = 0; k < 3; ++k) out.WriteText(c.texts[k]);
        if (withFourth) out.WriteText(c.texts[3]);
    }
}

std::int32_t ReadValueCount(ArchiveReader& in, std::int32_t version) {
    if (version < 2) return 0;
    const std::int32_t n = in.ReadInt32();
    if (n < 0) in.Fail("negative value-item count " + std::to_string(n));
    return n;
}

// Section 3 and the catalogue's own value list (v > 2).
void ReadSection3(ArchiveReader& in, SpecCatalogue& c) {
    const std::int32_t n = Count(in, 1 + 1 + 4);
    c.valueCount3 = in.ReadInt32();
    if (c.valueCount3 < 0) in.Fail("negative value-item count " + std::to_string(c.valueCount3));
    for (std::int32_t i = 0; i < n; ++i) {
        SpecSection3Entry e;
        e.name = in.ReadText();
        e.second = in.ReadText();
        e.a = ReadSizes(in, true, false, c.valueCount3);
        c.section3.push_back(std::move(e));
    }
    const std::int32_t finalCount = in.ReadInt32();
    c.valueListText = in.ReadText();
    in.CheckCount(finalCount, kMinValueItemBytes);
    for (std::int32_t i = 0; i < finalCount; ++i) c.valueList.push_back(ReadValueItem(in));
}

template <class T>
void ReadList(ArchiveReader& in, std::vector<T>& list, std::size_t minBytes, T (*read)(ArchiveReader&, std::int32_t),
              std::int32_t version) {
    const std::int32_t n = Count(in, minBytes);
    for (std::int32_t i = 0; i < n; ++i) list.push_back(read(in, version));
}

SpecRangeItem ReadSpring(ArchiveReader& in, std::int32_t v) {
    SpecRangeItem r;
    r.from = in.ReadFiniteDouble();
    r.to = in.ReadFiniteDouble();
    r.text = in.ReadText();
    if (v >= 4) r.code = in.ReadText();
    return r;
}

SpecSupplyItem ReadSupply(ArchiveReader& in, std::int32_t v) {
    SpecSupplyItem s;
    s.value = in.ReadFiniteDouble();
    s.text = in.ReadText();
    if (v > 5) s.text2 = in.ReadText();
    return s;
}

SpecRangeItem ReadRange2(ArchiveReader& in, std::int32_t) {
    SpecRangeItem r;
    r.from = in.ReadFiniteDouble();
    r.to = in.ReadFiniteDouble();
    r.text = in.ReadText();
    return r;
}

SpecTextPair ReadPair(ArchiveReader& in, std::int32_t) {
    SpecTextPair p;
    p.first = in.ReadText();
    p.second = in.ReadText();
    return p;
}

}  // namespace

std::string SizeCode(const SpecSizeItem& item, std::int32_t version) {
    if (version > 5) return item.text2;
    if (version > 2) return item.text;
    return item.name;
}

std::string SupplyCode(const SpecSupplyItem& item, std::int32_t version) {
    return version > 5 ? item.text2 : item.text;
}

const SpecActuator* SpecCatalogue::FindActuator(const std::string& actuatorName) const {
    for (const auto& a : section1)
        if (a.name == actuatorName) return &a;
    return nullptr;
}

SpecCatalogue ReadSpecCatalogue(ArchiveReader& in) {
    SpecCatalogue c;
    const std::int32_t v = c.version = in.ReadInt32();
    if (v == 4 || v == 5)
        for (auto& code : c.catalogueCodes) code = in.ReadText();

    std::int32_t n = Count(in, 2 + 4 * 4);
    c.valueCount1 = ReadValueCount(in, v);
    for (std::int32_t i = 0; i < n; ++i) {
        SpecActuator a;
        a.name = in.ReadText();
        a.second = in.ReadText();
        if (v > 4) a.kind = in.ReadText();
        if (v > 5)
            for (auto& code : a.codes) code = in.ReadText();
        a.sizes = ReadSizes(in, v > 2, v > 5, c.valueCount1);
        ReadList(in, a.springs, 8 + 8 + 1, ReadSpring, v);
        ReadList(in, a.supplies, 8 + 1, ReadSupply, v);
        a.options = ReadChoices(in, v > 5);
        c.section1.push_back(std::move(a));
    }
    if (v >= 4) c.codeE = in.ReadText();

    n = Count(in, 2 + 4 * 4);
    c.valueCount2 = ReadValueCount(in, v);
    for (std::int32_t i = 0; i < n; ++i) {
        SpecSection2Entry e;
        e.name = in.ReadText();
        e.second = in.ReadText();
        e.a = ReadSizes(in, v > 2, false, c.valueCount2);
        ReadList(in, e.b, 8 + 8 + 1, ReadRange2, v);
        ReadList(in, e.c, 2, ReadPair, v);
        e.d = ReadChoices(in, false);
        c.section2.push_back(std::move(e));
    }
    if (v > 2) {
        if (v >= 4) c.codeF = in.ReadText();
        ReadSection3(in, c);
    }
    return c;
}

void WriteSpecCatalogue(ArchiveWriter& out, const SpecCatalogue& c) {
    const std::int32_t v = c.version;
    out.WriteInt32(v);
    if (v == 4 || v == 5)
        for (const auto& code : c.catalogueCodes) out.WriteText(code);

    WriteCount(out, c.section1);
    if (v >= 2) out.WriteInt32(c.valueCount1);
    const std::int32_t count1 = v >= 2 ? c.valueCount1 : 0;
    for (const auto& a : c.section1) {
        out.WriteText(a.name);
        out.WriteText(a.second);
        if (v > 4) out.WriteText(a.kind);
        if (v > 5)
            for (const auto& code : a.codes) out.WriteText(code);
        WriteSizes(out, a.sizes, v > 2, v > 5, count1);
        WriteCount(out, a.springs);
        for (const auto& r : a.springs) {
            out.WriteDouble(r.from);
            out.WriteDouble(r.to);
            out.WriteText(r.text);
            if (v >= 4) out.WriteText(r.code);
        }
        WriteCount(out, a.supplies);
        for (const auto& s : a.supplies) {
            out.WriteDouble(s.value);
            out.WriteText(s.text);
            if (v > 5) out.WriteText(s.text2);
        }
        WriteChoices(out, a.options, v > 5);
    }
    if (v >= 4) out.WriteText(c.codeE);

    WriteCount(out, c.section2);
    if (v >= 2) out.WriteInt32(c.valueCount2);
    const std::int32_t count2 = v >= 2 ? c.valueCount2 : 0;
    for (const auto& e : c.section2) {
        out.WriteText(e.name);
        out.WriteText(e.second);
        WriteSizes(out, e.a, v > 2, false, count2);
        WriteCount(out, e.b);
        for (const auto& r : e.b) {
            out.WriteDouble(r.from);
            out.WriteDouble(r.to);
            out.WriteText(r.text);
        }
        WriteCount(out, e.c);
        for (const auto& p : e.c) {
            out.WriteText(p.first);
            out.WriteText(p.second);
        }
        WriteChoices(out, e.d, false);
    }
    if (v > 2) {
        if (v >= 4) out.WriteText(c.codeF);
        WriteCount(out, c.section3);
        out.WriteInt32(c.valueCount3);
        for (const auto& e : c.section3) {
            out.WriteText(e.name);
            out.WriteText(e.second);
            WriteSizes(out, e.a, true, false, c.valueCount3);
        }
        WriteCount(out, c.valueList);
        out.WriteText(c.valueListText);
        for (const auto& item : c.valueList) WriteValueItem(out, item);
    }
}

SpecCurveTable ReadSpecCurveTable(ArchiveReader& in) {
    SpecCurveTable t;
    t.version = in.ReadInt32();
    const std::int32_t n = Count(in, 12);
    for (std::int32_t i = 0; i < n; ++i) {
        SpecCurveEntry e;
        e.key1 = in.ReadInt32();
        e.key2 = in.ReadInt32();
        const std::int32_t k = Count(in, 12);
        for (std::int32_t r = 0; r < k; ++r) {
            SpecCurveRow row;
            row.x = in.ReadFiniteDouble();
            const std::int32_t j = Count(in, 16);
            for (std::int32_t p = 0; p < j; ++p) {
                const double a = in.ReadFiniteDouble();
                row.points.push_back({a, in.ReadFiniteDouble()});
            }
            e.rows.push_back(std::move(row));
        }
        t.entries.push_back(std::move(e));
    }
    return t;
}

void WriteSpecCurveTable(ArchiveWriter& out, const SpecCurveTable& t) {
    out.WriteInt32(t.version);
    WriteCount(out, t.entries);
    for (const auto& e : t.entries) {
        out.WriteInt32(e.key1);
        out.WriteInt32(e.key2);
        WriteCount(out, e.rows);
        for (const auto& row : e.rows) {
            out.WriteDouble(row.x);
            WriteCount(out, row.points);
            for (const auto& p : row.points) {
                out.WriteDouble(p[0]);
                out.WriteDouble(p[1]);
            }
        }
    }
}

SpecTable06a ReadSpecTable06a(ArchiveReader& in) {
    SpecTable06a t;
    t.version = in.ReadInt32();
    const std::int32_t n = Count(in, 5);
    for (std::int32_t i = 0; i < n; ++i) {
        SpecTable06aEntry e;
        e.name = in.ReadText();
        const std::int32_t k = Count(in, 12);
        for (std::int32_t r = 0; r < k; ++r) {
            SpecTable06aRow row;
            row.x = in.ReadFiniteDouble();
            const std::int32_t j = Count(in, 24);
            for (std::int32_t p = 0; p < j; ++p) {
                std::array<double, 3> point{};
                for (double& d : point) d = in.ReadFiniteDouble();
                row.points.push_back(point);
            }
            e.rows.push_back(std::move(row));
        }
        t.entries.push_back(std::move(e));
    }
    const std::int32_t m = Count(in, 40);
    for (std::int32_t i = 0; i < m; ++i) {
        std::array<double, 5> r{};
        for (double& d : r) d = in.ReadFiniteDouble();
        t.records.push_back(r);
    }
    return t;
}

void WriteSpecTable06a(ArchiveWriter& out, const SpecTable06a& t) {
    out.WriteInt32(t.version);
    WriteCount(out, t.entries);
    for (const auto& e : t.entries) {
        out.WriteText(e.name);
        WriteCount(out, e.rows);
        for (const auto& row : e.rows) {
            out.WriteDouble(row.x);
            WriteCount(out, row.points);
            for (const auto& p : row.points)
                for (double d : p) out.WriteDouble(d);
        }
    }
    WriteCount(out, t.records);
    for (const auto& r : t.records)
        for (double d : r) out.WriteDouble(d);
}

SpecTable06b ReadSpecTable06b(ArchiveReader& in) {
    SpecTable06b t;
    t.version = in.ReadInt32();
    const std::int32_t n = Count(in, 8 * 4 + 4 + 2);
    for (std::int32_t i = 0; i < n; ++i) {
        SpecTable06bRecord r;
        r.a = in.ReadFiniteDouble();
        r.b = in.ReadFiniteDouble();
        r.c = in.ReadInt32();
        r.d = in.ReadText();
        r.e = in.ReadFiniteDouble();
        r.f = in.ReadText();
        r.g = in.ReadFiniteDouble();
        t.records.push_back(std::move(r));
    }
    return t;
}

void WriteSpecTable06b(ArchiveWriter& out, const SpecTable06b& t) {
    out.WriteInt32(t.version);
    WriteCount(out, t.records);
    for (const auto& r : t.records) {
        out.WriteDouble(r.a);
        out.WriteDouble(r.b);
        out.WriteInt32(r.c);
        out.WriteText(r.d);
        out.WriteDouble(r.e);
        out.WriteText(r.f);
        out.WriteDouble(r.g);
    }
}

namespace {

// Opens and reads one file; a missing file shows 63002, a damaged one the damaged-file message.
template <class T>
bool LoadOne(const std::filesystem::path& path, T& target, T (*read)(ArchiveReader&)) {
    target = T{};
    try {
        std::optional<ArchiveReader> in = ArchiveReader::OpenIfPresent(path);
        if (!in) {
            ShowMessage(kMsgCannotOpenSpecFile, path.string());
            return false;
        }
        target = read(*in);
        return true;
    } catch (const ArchiveError& e) {
        target = T{};
        ShowMessage(kMsgDamagedFile, e.what());
        return false;
    }
}

}  // namespace

bool LoadSpecCatalogue(const std::filesystem::path& path, SpecCatalogue& catalogue) {
    return LoadOne(path, catalogue, ReadSpecCatalogue);
}

bool LoadSpecCatalogue(SpecCatalogue& catalogue) { return LoadSpecCatalogue(ProgramDir() / "specpoh.tkd", catalogue); }

bool LoadSpecTables(const std::filesystem::path& folder, SpecTables& tables) {
    bool ok = LoadOne(folder / "specpoh06a.tkd", tables.t06a, ReadSpecTable06a);
    ok = LoadOne(folder / "specpoh06b.tkd", tables.t06b, ReadSpecTable06b) && ok;
    ok = LoadOne(folder / "specpoh07.tkd", tables.t07, ReadSpecCurveTable) && ok;
    ok = LoadOne(folder / "specpoh09.tkd", tables.t09, ReadSpecCurveTable) && ok;
    ok = LoadOne(folder / "specpoh10.tkd", tables.t10, ReadSpecCurveTable) && ok;
    return ok;
}

bool LoadSpecTables(SpecTables& tables) { return LoadSpecTables(ProgramDir(), tables); }

void FreeSpecCatalogue(SpecCatalogue& catalogue, SpecTables& tables) {
    catalogue = SpecCatalogue{};
    tables = SpecTables{};
}

}  // namespace tarvik
