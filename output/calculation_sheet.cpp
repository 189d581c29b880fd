#include "output/calculation_sheet.hpp"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <initializer_list>

#include "data/lang_text.hpp"
#include "data/language.hpp"
#include "data/number_text.hpp"
#include "output/bitmap_file.hpp"
#include "output/cairo_canvas.hpp"
#include "output/drawing_viewer.hpp"
#include "output/position_drawing.hpp"
#include "project/session.hpp"
#include "units/unit_display.hpp"

namespace tarvik {

bool PositionHasDrawing(const ProjectDocument&, const ValvePosition& position) {
    const Session* session = ActiveSession();
    return session && !position.designation.empty() && !PositionDrawingFile(*session, position).empty();
}

std::vector<PrintPage> PlanPrintPages(const ProjectDocument& doc, const PrintOptions& options, bool preview) {
    std::vector<PrintPage> pages;
    const bool drawings = options.landscape && options.drawings && !preview;
    for (std::size_t i = 0; i < doc.positions.size(); ++i) {
        if (!doc.positions[i].printSelected) continue;
        pages.push_back({i, false});
        if (drawings && PositionHasDrawing(doc, doc.positions[i])) pages.push_back({i, true});
    }
    return pages;
}

namespace {

// The fixed distances of the layout are given in units of a 300-dpi printer and scaled to the
// device, so that the sheet keeps its proportions on screen, paper and PDF alike.
constexpr double kLayoutDpi = 300;

enum SheetLabel {
    kLabelMassFlow = 1, kLabelKvs = 19, kLabelGaugeP1 = 30, kLabelGaugeP2 = 31, kLabelStateBase = 49,
    kLabelTitle = 59, kLabelSubtitle = 60, kLabelCustomer = 61, kLabelProject = 62, kLabelProject3 = 63,
    kLabelMediumState = 64, kLabelTypeDesignation = 65, kLabelSeries = 66, kLabelTag = 67, kLabelNote = 68,
    kLabelInletSize = 69, kLabelOutletSize = 70, kLabelInletPipe = 71, kLabelOutletPipe = 72,
    kLabelInletWall = 73, kLabelOutletWall = 74, kLabelSaved = 75, kLabelCharacteristic = 76,
    kLabelValveKvs = 77, kLabelPipes = 78, kLabelUnit = 79, kLabelPoint = 80, kLabelCavitation = 81,
    kLabelStandards = 82, kLabelStandardsAnd = 83, kLabelEqualPercentage = 84, kLabelTurbulent = 85,
    kLabelChoked = 86, kLabelMedium = 87, kLabelPipeHeading = 88, kLabelInlet = 89, kLabelOutlet = 90,
    kLabelProcessData = 91, kLabelOutsideDiameter = 92, kLabelWall = 93, kLabelOnOff = 94,
    kLabelMaxPressure = 95, kLabelMaxTemperature = 96, kLabelPieces = 97, kLabelSpecification = 200,
    kLabelSpecDesignation = 201, kLabelNominalSize = 202, kLabelSeat = 203, kLabelFurther = 243,
    kLabelNote250 = 250
};

// The multilingual text's section in the print language.
std::string InPrintLanguage(std::string_view text, const PrintOptions& o) {
    return GetLangText(text, o.secondLanguage ? 2 : -1);
}

std::string Number(double v) { return std::isfinite(v) ? FormatNumber(v, 0) : " "; }

std::string SavedTime(std::uint32_t savedAt, const char* format) {
    char text[64] = "";
    const std::time_t t = savedAt;
    std::tm tm{};
    if (localtime_r(&t, &tm)) std::strftime(text, sizeof text, format, &tm);
    return text;
}

struct Row {
    std::string label, unit;
    std::array<std::string, kPointCount> values;
};

class SheetPainter {
public:
    SheetPainter(Canvas& canvas, const PageDevice& device, ProjectDocument& doc, ValvePosition& p,
                 const PrintOptions& options, std::vector<std::string>& messages)
        : c_(canvas), d_(device), doc_(doc), p_(p), o_(options), messages_(messages) {
        const double pt = d_.dpiY / 72.0;
        const bool land = o_.landscape;
        title_ = {"Arial", (land ? 12 : 20) * pt, true};
        subtitle_ = {"Arial", (land ? 8 : 12) * pt, !land};
        text_ = {"Arial", (land ? 8 : 10) * pt, false};
        bold_ = {"Arial", (land ? 8 : 10) * pt, true};
        stepI_ = d_.printable.height() / 500;
        c_.SetColour({0, 0, 0, 255});
        c_.SetLineWidth(0);
        c_.SetLineDash({});
        h_ = LineHeight(text_);
    }

    void Landscape();
    void Portrait();

private:
    double U(double n) const { return n * d_.dpiY / kLayoutDpi; }
    std::string Label(int n) const {
        // Text 62125 is the form's tooltip for copying point 1 to point 2, so the sheet's ΔLi
        // row takes the form's own label for it in the program language.
        if (n == 24 && !o_.secondLanguage) return GetText(62001 + 24);
        return GetText((o_.secondLanguage ? 62201 : 62101) + n);
    }
    std::string Unit(int slot) const;
    std::string Item(int id) const { return InPrintLanguage(SpecItemText(p_, id), o_); }
    std::string Mm(double v) const { return Number(v) + " mm"; }
    std::string MediumName() const {
        return o_.secondLanguage && !p_.mediumTag.empty() ? p_.mediumTag : p_.mediumName;
    }
    std::string Regime(const std::string& stored) const;

    double LineHeight(const FontSpec& f) {
        c_.SetFont(f);
        const TextExtent e = c_.MeasureText("CALCULATION");
        return e.ascent + e.descent;
    }
    double Width(const FontSpec& f, std::string_view s) {
        c_.SetFont(f);
        return c_.MeasureText(s).width;
    }
    void Put(const FontSpec& f, double x, double y, std::string_view s, HAlign h = HAlign::Left) {
        if (s.empty()) return;
        c_.SetFont(f);
        c_.Text({x, y}, s, 0, h, VAlign::Top);
    }
    void Rule(double x1, double y1, double x2, double y2) { c_.Line({x1, y1}, {x2, y2}); }

    std::vector<Row> ProcessRows() const;
    std::vector<Row> ResultRows() const;
    std::string StandardsText() const;
    // The colour logo of the program folder, else the black-and-white one; empty when neither reads.
    static RgbImage Logo();

    // The value table: columns measured from its rows, gaps spread over `width`.
    struct Table {
        double left = 0, labelX = 0, unitX = 0;
        std::array<double, kPointCount> valueCentre{};
        double right = 0;
    };
    // Measures the widest label, unit and value; 63001 when `available` cannot hold them.
    void Measure(const std::vector<Row>& rows, double available);
    Table Place(double left, double width) const;
    // Draws the rows from `y`; returns the y below the last.
    double DrawRows(const Table& t, double y, const std::vector<Row>& rows);
    double DrawPointHeading(const Table& t, double y);
    // The point heading, the process-data rows and the result rows, each closed by a rule.
    double DrawTableBody(const Table& t, double y, double left, double right, const std::vector<Row>& process,
                         const std::vector<Row>& results);

    Canvas& c_;
    const PageDevice& d_;
    ProjectDocument& doc_;
    ValvePosition& p_;
    const PrintOptions& o_;
    std::vector<std::string>& messages_;
    FontSpec title_, subtitle_, text_, bold_;
    double stepI_ = 1, h_ = 10;
    double labelW_ = 0, unitW_ = 0, valueW_ = 0;
};

std::string SheetPainter::Unit(int slot) const {
    const std::string& stored = p_.units[static_cast<std::size_t>(slot)];
    if (!stored.empty()) return UnitDisplayText(stored);
    // The result slots carry no unit of their own: they are in the units the form shows them in.
    const bool liquid = p_.mediumState < 2;
    switch (slot) {
        case 0: return UnitDisplayText("m3/h");
        case 27: return UnitDisplayText("%");
        case 26: return UnitDisplayText("m/s");
        case 16:
        case 24: return UnitDisplayText("dB(A)");
        case 29: return liquid ? UnitDisplayText("m/s") : " - ";
        default: return " - ";
    }
}

std::string SheetPainter::Regime(const std::string& stored) const {
    if (!stored.empty()) {
        if (stored == GetText(62182)) return Label(kLabelCavitation);
        if (stored == GetText(62186)) return Label(kLabelTurbulent);
        if (stored == GetText(62187)) return Label(kLabelChoked);
    }
    return stored;
}

std::vector<Row> SheetPainter::ProcessRows() const {
    std::vector<Row> rows;
    const std::string& list = p_.rowIdList;
    for (std::size_t at = 0; at < list.size();) {
        std::size_t end = list.find(';', at);
        if (end == std::string::npos) end = list.size();
        const std::string id = list.substr(at, end - at);
        at = end + 1;
        if (id.empty() || id.size() > 2 || !std::all_of(id.begin(), id.end(), [](char ch) { return ch >= '0' && ch <= '9'; }))
            continue;
        const int n = std::stoi(id);
        if (n >= kSlotCount) continue;
        const std::string& unit = p_.units[static_cast<std::size_t>(n)];
        int label = n;
        if (n == 2 && (unit == "kg/h" || unit == "kg/s")) label = kLabelMassFlow;
        if (p_.gaugePressures && n == 4) label = kLabelGaugeP1;
        if (p_.gaugePressures && n == 5) label = kLabelGaugeP2;
        Row r{Label(label), UnitDisplayText(unit), {}};
        for (std::size_t i = 0; i < kPointCount; ++i)
            r.values[i] = p_.pointEnabled[i] ? Number(p_.values[static_cast<std::size_t>(n)][i]) : " ";
        rows.push_back(std::move(r));
    }
    return rows;
}

std::vector<Row> SheetPainter::ResultRows() const {
    const bool liquid = p_.mediumState < 2;
    auto texts = [&](int resultRow, bool regime = false) {
        std::array<std::string, kPointCount> v;
        for (std::size_t i = 0; i < kPointCount; ++i) {
            const std::string& s = p_.resultTexts[static_cast<std::size_t>(resultRow)][i];
            v[i] = !p_.pointEnabled[i] ? " " : regime ? Regime(s) : s;
        }
        return v;
    };
    std::array<std::string, kPointCount> kvs;
    for (std::size_t i = 0; i < kPointCount; ++i) kvs[i] = p_.pointEnabled[i] ? Number(p_.valveData[kVdKvs]) : " ";
    const int velocity = liquid ? 26 : 29;
    return {
        {Label(0), Unit(0), texts(kResKv)},
        {Label(kLabelKvs), Unit(0), kvs},
        {Label(27), Unit(27), texts(kResOpening)},
        {Label(25), Unit(25), texts(kResRegime, true)},
        {Label(velocity), Unit(velocity), texts(kResVelocity)},
        {Label(24), Unit(24), texts(kResDLi)},
        {Label(16), Unit(16), texts(kResNoise)},
    };
}

std::string SheetPainter::StandardsText() const {
    const bool liquid = p_.mediumState < 2;
    return Label(kLabelStandards) + " IEC 60534-2-1:1998 " + Label(kLabelStandardsAnd) +
           (liquid ? " IEC 60534-8-4:1994" : " IEC 60534-8-3:2000");
}

RgbImage SheetPainter::Logo() {
    const Session* session = ActiveSession();
    const std::filesystem::path folder = session ? session->programDir() : std::filesystem::path{};
    RgbImage logo = LoadBitmapFile(folder / "TarB.tkd");
    if (logo.width == 0) logo = LoadBitmapFile(folder / "TarBW.tkd");
    return logo;
}

void SheetPainter::Measure(const std::vector<Row>& rows, double available) {
    labelW_ = unitW_ = valueW_ = 0;
    for (const Row& r : rows) {
        labelW_ = std::max(labelW_, Width(text_, r.label));
        unitW_ = std::max(unitW_, Width(text_, r.unit));
        for (const std::string& v : r.values) valueW_ = std::max(valueW_, Width(text_, v));
    }
    if (available < labelW_ + unitW_ + 3 * valueW_ + U(100)) messages_.push_back(GetText(63001));
    // The headings share the columns: keep them apart as well.
    unitW_ = std::max(unitW_, Width(text_, Label(kLabelUnit)));
    for (const char* roman : {"I", "II", "III"})
        valueW_ = std::max(valueW_, Width(text_, Label(kLabelPoint) + " " + roman));
}

SheetPainter::Table SheetPainter::Place(double left, double width) const {
    // Five equal gaps: half a gap before the labels, one and a half between labels and units,
    // three quarters before each value column and after the last.
    const double gap = std::max(0.0, (width - labelW_ - unitW_ - 3 * valueW_) / 5);
    Table t;
    t.left = left;
    t.right = left + width;
    t.labelX = left + gap * 0.5;
    t.unitX = t.labelX + labelW_ + gap * 1.5;
    double x = t.unitX + unitW_ + gap * 0.75;
    for (double& centre : t.valueCentre) {
        centre = x + valueW_ / 2;
        x += valueW_ + gap * 0.75;
    }
    return t;
}

double SheetPainter::DrawRows(const Table& t, double y, const std::vector<Row>& rows) {
    for (const Row& r : rows) {
        Put(text_, t.labelX, y, r.label);
        Put(text_, t.unitX + unitW_ / 2, y, r.unit, HAlign::Centre);
        for (std::size_t i = 0; i < kPointCount; ++i) Put(text_, t.valueCentre[i], y, r.values[i], HAlign::Centre);
        y += h_ + stepI_;
    }
    return y;
}

double SheetPainter::DrawPointHeading(const Table& t, double y) {
    Put(text_, t.unitX + unitW_ / 2, y, Label(kLabelUnit), HAlign::Centre);
    const char* roman[] = {"I", "II", "III"};
    for (std::size_t i = 0; i < kPointCount; ++i)
        Put(text_, t.valueCentre[i], y, Label(kLabelPoint) + " " + roman[i], HAlign::Centre);
    return y + h_ + stepI_;
}

double SheetPainter::DrawTableBody(const Table& t, double y, double left, double right,
                                   const std::vector<Row>& process, const std::vector<Row>& results) {
    y = DrawPointHeading(t, y);
    Rule(left, y, right, y);
    y += stepI_;
    y = DrawRows(t, y, process);
    Rule(left, y, right, y);
    y += stepI_;
    y = DrawRows(t, y, results);
    Rule(left, y, right, y);
    return y + stepI_ * 2;
}

void SheetPainter::Landscape() {
    const RectD& pr = d_.printable;
    const double L = pr.left + pr.width() / 50, R = pr.right - pr.width() / 50;
    const double T = pr.top + pr.height() / 50, B = pr.bottom - pr.height() / 50;
    const double W = pr.width();
    const PointD frame[] = {{L, T}, {R, T}, {R, B}, {L, B}};
    c_.Polygon(frame, false);

    // Header band: logo, title, the project column and the position column.
    const double band = 4 * h_ + U(30);
    const double logoH = band * 8 / 10;
    double logoW = logoH;
    {
        const RgbImage logo = Logo();
        if (logo.width > 0 && logo.height > 0) {
            logoW = logoH * logo.width / logo.height;
            c_.Image({L + logoW / 8, T + logoH / 8, L + logoW / 8 + logoW, T + logoH / 8 + logoH}, logo);
        }
    }
    const double titleLeft = L + logoW * 10 / 8;
    Rule(titleLeft, T, titleLeft, T + band);

    // The process table decides where the right part begins.
    const std::vector<Row> process = ProcessRows();
    const std::vector<Row> results = ResultRows();
    std::vector<Row> all = process;
    all.insert(all.end(), results.begin(), results.end());
    Measure(all, W / 2);
    const double tableW = std::min(std::max(W * 2 / 5, labelW_ + unitW_ + 3 * valueW_ + U(100)), (R - L) * 0.8);
    const Table t = Place(R - tableW, tableW);
    const double tableX = t.left;

    // Title and subtitle, centred between the rule and the project column.
    const int col1Labels[] = {kLabelCustomer, kLabelProject, kLabelProject3, kLabelSaved};
    const std::string col1Values[] = {doc_.customer, doc_.project, doc_.projectText3,
                                      SavedTime(p_.savedAt, "%d.%m.%Y / %H:%M")};
    double col1LabelW = 0, col1ValueW = 0;
    for (int n : col1Labels) col1LabelW = std::max(col1LabelW, Width(bold_, Label(n) + ":"));
    for (const std::string& v : col1Values) col1ValueW = std::max(col1ValueW, Width(text_, v));
    const double titleW = std::max(Width(title_, Label(kLabelTitle)), Width(subtitle_, Label(kLabelSubtitle)));
    double col1X = tableX - U(50) - col1LabelW - U(50) - col1ValueW;
    col1X = std::max(col1X, titleLeft + titleW + U(100));
    const double titleCentre = (titleLeft + col1X) / 2;
    const double titleH = LineHeight(title_), subH = LineHeight(subtitle_);
    const double titleTop = T + (band - titleH - subH - stepI_) / 2;
    Put(title_, titleCentre, titleTop, Label(kLabelTitle), HAlign::Centre);
    Put(subtitle_, titleCentre, titleTop + titleH + stepI_, Label(kLabelSubtitle), HAlign::Centre);

    for (int i = 0; i < 4; ++i) {
        const double y = T + U(10) + i * (h_ + U(5));
        Put(bold_, col1X, y, Label(col1Labels[i]) + ":");
        Put(text_, col1X + col1LabelW + U(50), y, col1Values[i]);
    }
    const int col2Labels[] = {kLabelTag, kLabelNote, kLabelPieces};
    const std::string col2Values[] = {p_.name, p_.note, p_.pieces};
    double col2LabelW = 0;
    for (int n : col2Labels) col2LabelW = std::max(col2LabelW, Width(bold_, Label(n) + ":"));
    for (int i = 0; i < 3; ++i) {
        const double y = T + U(10) + i * (h_ + U(5));
        Put(bold_, t.labelX, y, Label(col2Labels[i]) + ":");
        Put(text_, t.labelX + col2LabelW + U(50), y, col2Values[i]);
    }
    Rule(L, T + band, R, T + band);
    Rule(tableX, T, tableX, B);

    // Table heading: pipes, medium, operating points.
    const double row = h_ + stepI_;
    double y = T + band + stepI_ * 2;
    Put(bold_, t.labelX, y, Label(kLabelPipeHeading));
    Put(text_, t.valueCentre[0], y, Label(kLabelInlet), HAlign::Centre);
    Put(text_, t.valueCentre[1], y, Label(kLabelOutlet), HAlign::Centre);
    y += row;
    y = DrawRows(t, y, {{Label(kLabelOutsideDiameter), std::string("mm"),
                         {Number(p_.valveData[kVdInletPipeOD]), Number(p_.valveData[kVdOutletPipeOD]), ""}},
                        {Label(kLabelWall), std::string("mm"),
                         {Number(p_.valveData[kVdInletPipeWall]), Number(p_.valveData[kVdOutletPipeWall]), ""}}});
    Rule(tableX, y, R, y);
    y += stepI_;
    Put(bold_, t.labelX, y, Label(kLabelProcessData));
    y += row;
    const int state = std::clamp(p_.mediumState, 0, 3);
    Put(text_, t.labelX, y, Label(kLabelMediumState));
    Put(text_, t.unitX, y, Label(kLabelStateBase + state));
    y += row;
    Put(text_, t.labelX, y, Label(kLabelMedium));
    Put(text_, t.unitX, y, MediumName());
    y += row;
    y = DrawTableBody(t, y, tableX, R, process, results);

    // Standards, then the valve's limits.
    const double tableCentre = (tableX + R) / 2;
    Put(text_, tableCentre, y, StandardsText(), HAlign::Centre);
    y += row;
    Put(text_, tableCentre, y, Label(kLabelNote250), HAlign::Centre);
    y += row * 2;
    Put(text_, t.labelX, y, Label(kLabelMaxPressure));
    Put(text_, t.unitX, y, Number(p_.valveData[kVdMaxPressure]) + " " + p_.maxPressureUnit);
    y += row;
    Put(text_, t.labelX, y, Label(kLabelMaxTemperature));
    Put(text_, t.unitX, y, Number(p_.valveData[kVdMaxTemperature]) + " " + p_.maxTemperatureUnit);

    Put(text_, R - U(20), B - h_ - stepI_, DrawingProgramText(), HAlign::Right);

    // Specification block in the left part.
    const double specLeft = L + U(20);
    y = T + band + stepI_ * 2;
    Put(bold_, specLeft, y, Label(kLabelSpecification));
    y += row * 2;
    struct SpecRow {
        int label;  // -1: no label
        std::string value;
        bool heading = false;
        bool gapAfter = false;
    };
    const std::string item71 = Item(71);
    const std::vector<SpecRow> spec = {
        {kLabelSpecDesignation, item71.empty() ? PositionTypeDesignation(p_) : item71, false, true},
        {kLabelNominalSize, Label(kLabelInlet) + ": " + Number(p_.valveData[kVdInletSize]) + " " + Label(kLabelOutlet) +
                                ": " + Number(p_.valveData[kVdOutletSize])},
        {kLabelSeat, Item(54)},
        {kLabelKvs, Number(p_.valveData[kVdKvs])},
        // Each label names what the catalogue's choice list of that item holds.
        {212, Item(2)}, {210, Item(5)}, {207, Item(6)}, {216, Item(7)}, {217, Item(9)},
        {kLabelFurther, "", true},
        {209, Item(10)}, {205, Item(11)}, {218, Item(21)}, {219, Item(3)}, {206, Item(12)}, {211, Item(14)},
        {-1, Label(kLabelInlet) + ": " + Item(55) + "  " + Label(kLabelOutlet) + ": " + Item(56) + " " + Item(57)},
        {220, Item(22)},
    };
    double specLabelW = 0;
    for (const SpecRow& r : spec)
        if (!r.heading && r.label >= 0) specLabelW = std::max(specLabelW, Width(text_, Label(r.label)));
    const double labelRight = specLeft + specLabelW;
    for (const SpecRow& r : spec) {
        if (y + h_ > B - h_) break;  // the frame ends the block
        if (r.heading) {
            y += row / 2;
            Put(bold_, specLeft, y, Label(r.label));
        } else {
            // The unlabelled row of the two actuator pressures stays out while neither is given.
            if (r.label < 0 && Item(55).empty() && Item(56).empty()) continue;
            if (r.label >= 0) Put(text_, labelRight, y, Label(r.label), HAlign::Right);
            Put(text_, labelRight + U(20), y, r.value);
        }
        y += row + (r.gapAfter ? row : 0);
    }
}

void SheetPainter::Portrait() {
    const RectD& pr = d_.printable;
    const double L = pr.left + pr.width() / 15, R = pr.right - pr.width() / 15;
    const double T = pr.top + pr.height() / 40 + d_.dpiY * 2 / 5;
    const double W = R - L;
    const double row = h_ + stepI_;

    // Logo at the top right, 1.2 inch wide.
    const double logoW = d_.dpiX * 12 / 10;
    double logoH = logoW;
    {
        const RgbImage logo = Logo();
        if (logo.width > 0 && logo.height > 0) {
            logoH = logoW * logo.height / logo.width;
            c_.Image({R - logoW, T, R, T + logoH}, logo);
        }
    }
    const double titleH = LineHeight(title_);
    Put(title_, L, T, Label(kLabelTitle));
    double y = T + titleH + stepI_;
    Rule(L, y, R - logoW - 3 * stepI_, y);
    y += stepI_;
    Put(subtitle_, L, y, Label(kLabelSubtitle));
    y = std::max(y + LineHeight(subtitle_), T + logoH) + row;

    struct Line {
        int label;
        std::string value;
        bool bold = false;
        bool noColon = false;
        double gapBefore = 0;
    };
    const std::string characteristic = [&]() -> std::string {
        switch (p_.characteristic) {
            case 0: return GetText(63059);
            case 1: return Label(kLabelEqualPercentage);
            case 2: return GetText(63061);
            case 3: return Label(kLabelOnOff);
            default: return "";
        }
    }();
    const std::string item74 = Item(74);
    const std::vector<Line> lines = {
        {kLabelCustomer, doc_.customer},
        {kLabelProject, doc_.project},
        {kLabelProject3, doc_.projectText3},
        {kLabelSaved, SavedTime(p_.savedAt, "%d.%m.%Y / %H:%M")},
        {kLabelMediumState, Label(kLabelStateBase + std::clamp(p_.mediumState, 0, 3)), false, false, 5 * stepI_},
        {kLabelMedium, MediumName()},
        {kLabelTag, p_.name},
        {kLabelNote, p_.note},
        {kLabelPieces, p_.pieces},
        {kLabelTypeDesignation, PositionTypeDesignation(p_), true},
        {kLabelSeries, item74.empty() ? p_.designation : item74},
        {kLabelCharacteristic, characteristic},
        {kLabelInletSize, Mm(p_.valveData[kVdInletSize])},
        {kLabelOutletSize, Mm(p_.valveData[kVdOutletSize])},
        {kLabelValveKvs, Number(p_.valveData[kVdKvs]) + " " + Unit(0)},
        {kLabelPipes, "", true, true},
        {kLabelInletPipe, Mm(p_.valveData[kVdInletPipeOD])},
        {kLabelInletWall, Mm(p_.valveData[kVdInletPipeWall])},
        {kLabelOutletPipe, Mm(p_.valveData[kVdOutletPipeOD])},
        {kLabelOutletWall, Mm(p_.valveData[kVdOutletPipeWall])},
    };
    double labelW = 0;
    for (const Line& l : lines) labelW = std::max(labelW, Width(bold_, Label(l.label)));
    const double colonX = L + labelW + U(10);
    for (const Line& l : lines) {
        y += l.gapBefore;
        const FontSpec& f = l.bold ? bold_ : text_;
        Put(f, L, y, Label(l.label));
        if (!l.noColon) {
            Put(f, colonX, y, ":");
            Put(f, colonX + U(50), y, l.value);
        }
        y += row;
    }
    y += row;

    const std::vector<Row> process = ProcessRows();
    const std::vector<Row> results = ResultRows();
    std::vector<Row> all = process;
    all.insert(all.end(), results.begin(), results.end());
    Measure(all, W);
    const Table t = Place(L, W);
    y = DrawTableBody(t, y, L, R, process, results);

    const double centre = (pr.left + pr.right) / 2;
    Put(text_, centre, y, StandardsText(), HAlign::Centre);
    Put(text_, R, y, DrawingProgramText(), HAlign::Right);
    y += row;
    Put(text_, centre, y, Label(kLabelNote250), HAlign::Centre);
}

}  // namespace

void DrawPrintPage(Canvas& canvas, const PageDevice& device, ProjectDocument& doc, const PrintPage& page,
                   const PrintOptions& options, std::vector<std::string>& messages) {
    if (page.position >= doc.positions.size()) return;
    if (!(device.printable.width() > 0 && device.printable.height() > 0 && device.dpiX > 0 && device.dpiY > 0))
        return;
    ValvePosition& p = doc.positions[page.position];
    if (page.drawing) {
        Session* session = ActiveSession();
        DwfViewer viewer;
        std::string why;
        if (!session || !PrepareDrawingPage(*session, doc, p, viewer, why)) {
            if (!why.empty()) messages.push_back(why);
            return;
        }
        const RectD& r = device.printable;
        const RectD target{r.left + r.width() / 50, r.top + r.height() / 50, r.right - r.width() / 50,
                           r.bottom - r.height() / 50};
        DwfRenderOptions render;
        render.minLineWidth = 0.1 / 25.4 * device.dpiX;  // 0.1 mm, as printers draw their thinnest lines
        viewer.Draw(canvas, target, render);
        return;
    }
    SheetPainter painter(canvas, device, doc, p, options, messages);
    if (options.landscape)
        painter.Landscape();
    else
        painter.Portrait();
}

PageDevice PdfPageDevice(bool landscape) {
    const double w = landscape ? 842 : 595, h = landscape ? 595 : 842;
    const double inset = 0.5 / 2.54 * 72;  // a printer's unprintable edge
    return {{inset, inset, w - inset, h - inset}, 72, 72};
}

bool WritePrintPdf(const std::filesystem::path& file, ProjectDocument& doc, const std::vector<PrintPage>& pages,
                   const PrintOptions& options, std::vector<std::string>& messages, std::string& error) {
    if (pages.empty()) {
        error = "there are no pages to print";
        return false;
    }
    const PageDevice device = PdfPageDevice(options.landscape);
    PageSetup setup;
    setup.widthPt = options.landscape ? 842 : 595;
    setup.heightPt = options.landscape ? 595 : 842;
    return WritePagesFile(
        file, setup, pages.size(),
        [&](std::size_t index, Canvas& canvas) { DrawPrintPage(canvas, device, doc, pages[index], options, messages); },
        error);
}

}  // namespace tarvik
