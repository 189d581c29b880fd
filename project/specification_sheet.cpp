#include "project/specification_sheet.hpp"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>

#include "data/cp1250.hpp"
#include "data/lang_text.hpp"
#include "data/messages.hpp"
#include "data/number_text.hpp"
#include "data/program_version.hpp"
#include "data/spec_catalogue.hpp"
#include "data/text_lines.hpp"
#include "data/type_designation.hpp"
#include "project/condition_values.hpp"
#include "project/position_form.hpp"
#include "project/session.hpp"

namespace tarvik {
namespace {

void ReplaceAll(std::string& s, std::string_view what, std::string_view with) {
    if (what.empty()) return;
    for (std::size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + with.size()))
        s.replace(at, what.size(), with);
}

std::string TrimTrailingBlanks(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return std::string(s);
}

// The text between the first `open` and the next `close` after it.
std::optional<std::string> Between(std::string_view line, char open, char close) {
    const std::size_t a = line.find(open);
    if (a == std::string_view::npos) return std::nullopt;
    const std::size_t b = line.find(close, a + 1);
    if (b == std::string_view::npos) return std::nullopt;
    return std::string(line.substr(a + 1, b - a - 1));
}

std::vector<std::string> SplitPath(std::string_view path) {
    std::vector<std::string> levels;
    for (;;) {
        const std::size_t at = path.find("/ ");
        levels.emplace_back(path.substr(0, at));
        if (at == std::string_view::npos) break;
        path.remove_prefix(at + 2);
    }
    return levels;
}

std::string CurrentText(const std::string& text) { return GetLangText(text, -1); }

// The code of the first choice `id` whose current-language text is `text`.
std::string ChoiceCode(int id, const std::string& text, const SpecItemList& choices) {
    for (const SpecItem& c : choices)
        if (c.id == id && CurrentText(c.text) == text) return c.code;
    return {};
}

// The first character of a UTF-8 text, with all its bytes.
std::string FirstCharacter(const std::string& s) {
    if (s.empty()) return {};
    std::size_t n = 1;
    while (n < s.size() && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) ++n;
    return s.substr(0, n);
}

// Page controls in the order their page stores them.
const std::vector<int> kPage1Choices{2, 5, 6, 7, 9, 11, 19, 20, 21, 25, 3, 12};
const std::vector<int> kPage1Texts{51, 52, 53, 54, 55, 56, 57, 25, 59, 108};

}  // namespace

std::string DrawingProgramText() {
    char text[64];
    std::snprintf(text, sizeof text, "Tarvik %.1f", kProgramVersion);
    std::string s = text;
    ReplaceAll(s, ",", ".");  // whatever the locale's separator
    return s;
}

void SetDialogTitleBlock(const ProjectDocument& doc, ValvePosition& p) {
    char date[32] = "";
    const std::time_t t = p.savedAt;
    std::tm tm{};
    if (localtime_r(&t, &tm)) std::strftime(date, sizeof date, "%d.%m.%Y", &tm);
    SetKeyValue("zakaznik", doc.customer, p.titleBlock, true);
    SetKeyValue("akce", doc.project, p.titleBlock, true);
    SetKeyValue("kks", p.name, p.titleBlock, true);
    SetKeyValue("kreslil", DrawingProgramText(), p.titleBlock, true);
    SetKeyValue("datum", date, p.titleBlock, true);
}

// ---- Tree files -------------------------------------------------------------------------------

SpecTreeFile ParseSpecTree(std::string_view bytes) {
    SpecTreeFile tree;
    bool inTree = true;
    for (const std::string& line : SplitDataLines(bytes)) {
        if (inTree && line.starts_with("[")) inTree = false;
        if (inTree) {
            std::size_t tabs = 0;
            while (tabs < line.size() && line[tabs] == '\t') ++tabs;
            if (tabs == line.size()) continue;  // tabs only: an empty line
            tree.nodes.push_back({static_cast<int>(tabs), line.substr(tabs)});
            continue;
        }
        const std::size_t open = line.find('[');
        if (open == std::string::npos) continue;
        const std::size_t close = line.find(']', open + 1);
        std::string text = TrimTrailingBlanks(std::string_view(line).substr(0, open));
        if (close == std::string::npos || text.empty()) continue;
        tree.substitutions.push_back({std::move(text), line.substr(open + 1, close - open - 1)});
    }
    return tree;
}

std::optional<SpecTreeFile> LoadSpecTree(const std::filesystem::path& file) {
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec)) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return std::nullopt;
    return ParseSpecTree(bytes);
}

std::string ConnectionNodeText(std::string_view line) { return TrimTrailingBlanks(line.substr(0, line.find('['))); }

std::string ConnectionNodePath(const SpecTreeFile& tree, std::size_t index) {
    if (index >= tree.nodes.size()) return {};
    std::vector<std::string> levels{ConnectionNodeText(tree.nodes[index].line)};
    int depth = tree.nodes[index].depth;
    for (std::size_t i = index; i-- > 0 && depth > 0;) {
        if (tree.nodes[i].depth >= depth) continue;
        depth = tree.nodes[i].depth;
        levels.push_back(ConnectionNodeText(tree.nodes[i].line));
    }
    std::string path;
    for (auto it = levels.rbegin(); it != levels.rend(); ++it) path += (path.empty() ? "" : "/ ") + *it;
    return path;
}

std::optional<ConnectionLookup> LookupConnection(const SpecTreeFile& tree, std::string_view path) {
    if (path.empty()) return std::nullopt;
    const std::vector<std::string> levels = SplitPath(path);
    std::size_t matched = 0;
    const SpecTreeNode* found = nullptr;
    for (const SpecTreeNode& node : tree.nodes) {
        // Leaving the branch of the levels matched so far ends the search; lines indented deeper
        // than the next level belong to branches not taken.
        if (matched > 0 && node.depth < static_cast<int>(matched)) break;
        if (node.depth != static_cast<int>(matched) || ConnectionNodeText(node.line) != levels[matched]) continue;
        if (++matched == levels.size()) {
            found = &node;
            break;
        }
    }
    if (!found) return std::nullopt;
    ConnectionLookup r;
    const std::string_view line = found->line;
    auto substituted = [&](std::optional<std::string> s) {
        if (s) *s = ApplySubstitutions(std::move(*s), tree.substitutions);
        return s;
    };
    r.connection = substituted(Between(line, '[', ']'));
    r.replacement = substituted(Between(line, '|', '|'));
    r.rating = substituted(Between(line, '*', '*'));
    return r;
}

std::string ApplySubstitutions(std::string text, const std::vector<TextSubstitution>& substitutions) {
    for (const TextSubstitution& s : substitutions) {
        if (s.text.empty() || s.text == s.value) continue;
        std::string out;
        std::size_t at = 0;
        while (at < text.size()) {
            // Occurrences of the value are copied as they stand, so a value holding the text is
            // not substituted again.
            if (!s.value.empty() && text.compare(at, s.value.size(), s.value) == 0) {
                out += s.value;
                at += s.value.size();
            } else if (text.compare(at, s.text.size(), s.text) == 0) {
                out += s.value;
                at += s.text.size();
            } else {
                out += text[at++];
            }
        }
        text = std::move(out);
    }
    return text;
}

std::string EncodeAccessory(std::string_view text) {
    std::vector<std::string> lines;
    for (;;) {
        const std::size_t at = text.find('\n');
        std::string line(text.substr(0, at));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        ReplaceAll(line, "\t", "     ");
        lines.push_back(std::move(line));
        if (at == std::string_view::npos) break;
        text.remove_prefix(at + 1);
    }
    while (lines.size() > 1 && lines.back().empty()) lines.pop_back();  // a final line break
    std::string entry = lines[0];
    if (lines.size() > 1) {
        entry += "|+";
        for (std::size_t i = 1; i < lines.size(); ++i) entry += (i > 1 ? "-||+" : "") + lines[i];
        entry += "-|";
    }
    return entry;
}

std::string DecodeAccessory(std::string_view entry) {
    std::string s(entry);
    ReplaceAll(s, "|+", "\n");
    ReplaceAll(s, "-|", "");
    return s;
}

std::string AccessoryNodeText(const SpecTreeFile& tree, std::size_t index) {
    if (index >= tree.nodes.size()) return {};
    std::string text = tree.nodes[index].line;
    if (text.find('_') != std::string::npos) {
        int depth = tree.nodes[index].depth;
        for (std::size_t i = index; i-- > 0 && depth > 0;) {
            if (tree.nodes[i].depth >= depth) continue;
            depth = tree.nodes[i].depth;
            if (tree.nodes[i].line.find('_') != std::string::npos) text = tree.nodes[i].line + text;
        }
        std::replace(text.begin(), text.end(), '_', ' ');
    }
    return text;
}

// ---- The sheet --------------------------------------------------------------------------------

SpecSheetEnvironment SpecSheetEnvironmentOf(Session& session) {
    SpecSheetEnvironment env;
    env.programDir = session.programDir();
    env.variables = &session.conditionVariables();
    env.catalogue = &session.specCatalogue();
    env.admin = session.settings().admin;
    env.tables = [&session]() -> const SpecTables& { return session.specTables(); };
    return env;  // this catalogue stores no default title block
}

const std::vector<int>& SpecificationSheet::PageItems(int page) {
    static const std::vector<int> pages[kPageCount] = {
        {2, 5, 6, 7, 9, 11, 21, 3, 12, 19, 20, 25, 57, 54, 108, 51, 52, 53, 55, 56, 59},
        {1, 8, 13, 15, 4, 18, 17, 16, 23, 24},
        {14, 10, 60, 26, 61, 22, 109, 62, 65, 66, 64, 63, 110, 70, 72, 73},
        {68},
        {67},
        {69, 75},
    };
    static const std::vector<int> none;
    return page >= 1 && page <= kPageCount ? pages[page - 1] : none;
}

int SpecificationSheet::PageOf(int id) {
    for (int page = 1; page <= kPageCount; ++page) {
        const auto& items = PageItems(page);
        if (std::find(items.begin(), items.end(), id) != items.end()) return page;
    }
    return 0;
}

SpecFieldKind SpecificationSheet::KindOf(int id, bool admin) {
    switch (id) {
    case 54: case 108: return admin ? SpecFieldKind::Text : SpecFieldKind::ReadOnly;
    case 51: case 52: case 53: case 55: case 56: case 59: case 67: case 68: case 69: case 75:
        return SpecFieldKind::Text;
    // The actuator's data come from the chosen catalogue row only.
    case 60: case 61: case 62: case 63: case 64: case 65: case 70: case 72: case 73: case 109: case 110:
        return SpecFieldKind::ReadOnly;
    default: return SpecFieldKind::Choice;
    }
}

SpecificationSheet::SpecificationSheet(ProjectDocument& doc, std::size_t positionIndex, SpecSheetEnvironment env)
    : doc_(doc), positionIndex_(positionIndex), env_(std::move(env)) {}

std::unique_ptr<SpecificationSheet> SpecificationSheet::Open(PositionForm& form, ProjectDocument& doc,
                                                             SpecSheetEnvironment env) {
    const SeriesValve* valve = form.Candidate();
    if (!valve || !doc.Current()) return nullptr;
    if (!form.StorePosition(doc).ok()) return nullptr;
    std::unique_ptr<SpecificationSheet> sheet(
        new SpecificationSheet(doc, static_cast<std::size_t>(doc.currentPosition), std::move(env)));
    ConditionVariableList*& vars = sheet->env_.variables;
    if (!vars) vars = &sheet->ownVariables_;
    if (vars->empty()) LoadConditionVariables(sheet->env_.programDir / "specpodm.tkd", *vars);
    ValvePosition& p = sheet->position();

    // Maxima still unset come from the inlet rows of the enabled points, in those rows' units.
    const std::vector<int> slots = ParseRowIdList(p.rowIdList);
    auto largest = [&](int row, int valueIndex, std::string& unit) {
        if (p.valveData[valueIndex] != 0 || row >= static_cast<int>(slots.size())) return;
        const int slot = slots[static_cast<std::size_t>(row)];
        if (slot < 0 || slot >= kSlotCount) return;
        std::optional<double> best;
        for (int k = 0; k < kPointCount; ++k)
            if (p.pointEnabled[k] && (!best || p.values[slot][k] > *best)) best = p.values[slot][k];
        if (!best) return;
        p.valveData[valueIndex] = *best;
        unit = p.units[slot];
    };
    largest(kRowP1, kVdMaxPressure, p.maxPressureUnit);
    largest(kRowT1, kVdMaxTemperature, p.maxTemperatureUnit);

    UpdateConditionValues(*sheet->env_.variables, p);
    if (p.specItems.empty()) p.specItems.push_back({});
    if (p.specPairs.empty()) p.specPairs.push_back({});
    sheet->choices_ = form.series->ChoiceList();
    for (SpecItem& item : p.specItems) item.typeCode = ChoiceTypeCode(item.id, CurrentText(item.text), sheet->choices_);
    SetDialogTitleBlock(doc, p);
    sheet->items_ = p.specItems;
    sheet->titleBlock_ = p.titleBlock;

    SpecSheetContext& c = sheet->context_;
    c.d = FormatNumber(p.valveData[kVdInletSize], 0);
    c.D = FormatNumber(p.valveData[kVdOutletSize], 0);
    c.characteristic = p.characteristic;
    c.manualValve = p.manualValve != 0;
    c.maxPressure = FormatNumber(p.valveData[kVdMaxPressure], 0);
    c.maxPressureUnit = p.maxPressureUnit;
    c.valveTexts = {valve->specText, valve->specTexts[0], valve->specTexts[1]};
    c.valveNumbers = {valve->item54, valve->item108, valve->specNumbers[0], valve->specNumbers[1]};
    c.mediumState = p.mediumState;
    c.seriesTexts = form.series->texts713;
    c.designation = p.designation;
    c.seriesValue = p.seriesValue;
    c.specSheetText = doc.specSheetText;
    c.drawingAvailable = form.series->hasDrawing();
    sheet->secondTemplate_ = form.series->secondDesignationTemplate;
    sheet->Kvs_ = p.valveData[kVdKvs];
    sheet->DN_ = valve->dn;
    return sheet;
}

std::string& SpecificationSheet::TextOf(int id) {
    for (auto& [key, text] : texts_)
        if (key == id) return text;
    texts_.emplace_back(id, std::string());
    return texts_.back().second;
}

void SpecificationSheet::ShowPage(int page) {
    if (!Valid(page)) return;
    Page& state = pages_[page - 1];
    state.changed = false;
    state.pending = true;
    if (state.shown) return;
    state.shown = true;
    if (page == 4) {
        const std::string list = ItemText(68, items_);
        for (std::size_t at = 0; at < list.size();) {
            const std::size_t end = std::min(list.find('\n', at), list.size());
            if (end > at) accessories_.push_back(list.substr(at, end - at));
            at = end + 1;
        }
        return;
    }
    for (int id : PageItems(page)) TextOf(id) = ShowItemText(id, items_, choices_, *env_.variables);
}

void SpecificationSheet::Touch(int page) {
    if (!Valid(page)) return;
    // Reading or working on a page is no activation: its changed flag stays as it is.
    if (!pages_[page - 1].shown) ShowPage(page);
    pages_[page - 1].pending = true;
}

std::optional<SpecField> SpecificationSheet::Field(int id) {
    const int page = PageOf(id);
    if (page == 0 || id == 68) return std::nullopt;
    Touch(page);
    SpecField f;
    f.id = id;
    f.kind = KindOf(id, env_.admin);
    if (id == 66) {
        // The options of the chosen actuator; before a choice, whatever the item holds.
        f.choices = {""};
        if (selection_) f.choices.insert(f.choices.end(), selection_->options.begin(), selection_->options.end());
        else if (!TextOf(66).empty()) f.choices.push_back(TextOf(66));
    } else if (f.kind == SpecFieldKind::Choice) {
        f.choices = FillChoiceCombo(id, choices_, *env_.variables).entries;
    }
    f.text = TextOf(id);
    return f;
}

std::vector<SpecField> SpecificationSheet::Fields(int page) {
    std::vector<SpecField> fields;
    for (int id : PageItems(page))
        if (auto f = Field(id)) fields.push_back(std::move(*f));
    return fields;
}

bool SpecificationSheet::SetText(int id, const std::string& text) {
    const auto f = Field(id);
    if (!f || f->kind == SpecFieldKind::ReadOnly) return false;
    if (f->kind == SpecFieldKind::Choice && std::find(f->choices.begin(), f->choices.end(), text) == f->choices.end())
        return false;
    TextOf(id) = text;
    pages_[PageOf(id) - 1].changed = true;
    return true;
}

void SpecificationSheet::Store(int id) {
    StoreItemText(id, items_, &choices_, TextOf(id));
}

std::optional<SpecTreeFile> SpecificationSheet::LoadTree(const char* file, int message) {
    const std::filesystem::path path = env_.programDir / file;
    auto tree = LoadSpecTree(path);
    if (!tree) ShowMessage(message, path.string());
    return tree;
}

const SpecTreeFile* SpecificationSheet::ConnectionTree() {
    if (!connectionTree_ || !*connectionTree_) connectionTree_ = LoadTree("specprip.tkd", kMsgDataFileMissing);
    return *connectionTree_ ? &**connectionTree_ : nullptr;
}

const SpecTreeFile* SpecificationSheet::AccessoryTree() {
    if (!accessoryTree_ || !*accessoryTree_) accessoryTree_ = LoadTree("specprisl.tkd", kMsgSpecFileMissing);
    return *accessoryTree_ ? &**accessoryTree_ : nullptr;
}

bool SpecificationSheet::ChooseConnection(int id, const std::string& text) {
    if (id != 51 && id != 52 && id != 53) return false;
    Touch(1);
    TextOf(id) = text;
    if (id == 51 && TextOf(52).empty()) TextOf(52) = text;
    pages_[0].changed = true;
    return true;
}

void SpecificationSheet::LookupConnections() {
    // The file is read at every deactivation, as the user may have edited it meanwhile.
    connectionTree_.reset();
    const SpecTreeFile* tree = ConnectionTree();
    if (!tree) return;  // 105, 106, 107 and 111 keep their values
    SpecItemList& items = items_;
    auto store = [&](int side, int connectionId, int ratingId) {
        const auto found = LookupConnection(*tree, TextOf(side));
        if (!found) return;
        if (found->connection)
            StoreItemText(connectionId, items, &choices_, *found->connection, {}, found->replacement.value_or(""));
        if (found->rating) StoreItemText(ratingId, items, &choices_, *found->rating);
    };
    store(51, 105, 106);
    store(52, 111, 107);
}

void SpecificationSheet::StoreAccessories() {
    std::string list;
    for (const std::string& entry : accessories_) list += (list.empty() ? "" : "\n") + entry;
    accessoryTree_.reset();
    if (const SpecTreeFile* tree = AccessoryTree()) list = ApplySubstitutions(std::move(list), tree->substitutions);
    StoreItemText(68, items_, &choices_, list);
}

void SpecificationSheet::LeavePage(int page) {
    if (!Valid(page) || !pages_[page - 1].shown) return;
    pages_[page - 1].pending = false;
    SpecItemList& items = items_;
    switch (page) {
    case 1: {
        for (int id : kPage1Choices) Store(id);
        auto storeCode = [&](int target, std::string code) {
            if (!code.empty()) StoreItemText(target, items, nullptr, code);
        };
        storeCode(101, ChoiceCode(21, TextOf(21), choices_));
        storeCode(102, ChoiceCode(6, TextOf(6), choices_));
        storeCode(104, FirstCharacter(ChoiceCode(5, TextOf(5), choices_)));
        LookupConnections();
        // 59 and 108 are stored too: an edit the user can change must not be dropped.
        for (int id : kPage1Texts) Store(id);
        break;
    }
    case 2:
        for (int id : {16, 23, 24, 1, 8, 13, 15, 4, 18, 17}) Store(id);
        break;
    case 3: StoreActuator(); break;
    case 4: StoreAccessories(); break;
    case 5: Store(67); break;
    case 6: Store(69); Store(75); break;
    default: break;
    }
}

void SpecificationSheet::CopyTreeEntry(std::size_t node) {
    const SpecTreeFile* tree = AccessoryTree();
    if (!tree || node >= tree->nodes.size()) return;
    accessoryEdit = DecodeAccessory(AccessoryNodeText(*tree, node));
}

void SpecificationSheet::AppendEdit() {
    Touch(4);
    if (accessoryEdit.empty()) return;
    accessories_.push_back(EncodeAccessory(accessoryEdit));
    accessoryEdit.clear();
    pages_[3].changed = true;
}

namespace {

void CopySelected(const std::vector<std::string>& from, const std::vector<std::size_t>& selected,
                  std::vector<std::string>& to) {
    for (std::size_t i : selected)
        if (i < from.size()) to.push_back(from[i]);
}

void DeleteSelected(std::vector<std::string>& list, std::vector<std::size_t> selected) {
    std::sort(selected.begin(), selected.end());
    selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
    for (auto it = selected.rbegin(); it != selected.rend(); ++it)
        if (*it < list.size()) list.erase(list.begin() + static_cast<std::ptrdiff_t>(*it));
}

}  // namespace

void SpecificationSheet::CopyToSecond(const std::vector<std::size_t>& selected) {
    Touch(4);
    CopySelected(accessories_, selected, secondList_);
}

void SpecificationSheet::CopyToFirst(const std::vector<std::size_t>& selected) {
    Touch(4);
    CopySelected(secondList_, selected, accessories_);
    pages_[3].changed = true;
}

void SpecificationSheet::DeleteAccessories(const std::vector<std::size_t>& selected) {
    Touch(4);
    DeleteSelected(accessories_, selected);
    pages_[3].changed = true;
}

void SpecificationSheet::DeleteSecond(const std::vector<std::size_t>& selected) { DeleteSelected(secondList_, selected); }

void SpecificationSheet::Ok() {
    for (int page = 1; page <= kPageCount; ++page)
        if (Valid(page) && pages_[page - 1].pending) LeavePage(page);
    ValvePosition& p = position();
    p.specItems = items_;
    p.titleBlock = titleBlock_;
    doc_.modified = true;
    doc_.specSheetText = context_.specSheetText;
    if (ItemCode(70, p.specItems).empty())
        for (const auto& [key, value] : env_.defaultTitleBlock.pairs) SetKeyValue(key, value, p.titleBlock, true);

    const double d = p.valveData[kVdInletSize], D = p.valveData[kVdOutletSize];
    std::string orderCode;
    for (const SpecItem& item : p.specItems)
        if (item.id != 69) orderCode += item.code;
    orderCode += context_.seriesTexts[d != D ? 0 : 1];
    StoreItemText(69, p.specItems, nullptr, orderCode);

    SpecCatalogue noCatalogue;
    SpecCatalogue& catalogue = env_.catalogue ? *env_.catalogue : noCatalogue;
    DesignationInputs in{orderCode, Kvs_, d, D};
    ComposeTypeDesignation(in, p.specItems, p.titleBlock, p.designation, catalogue);
    in.templateText = secondTemplate_;
    ComposeSecondDesignation(in, p.specItems, p.pieces, catalogue);

    StoreItemText(201, p.specItems, nullptr, NominalSizeText(ItemText(106, p.specItems), d));
    StoreItemText(202, p.specItems, nullptr, NominalSizeText(ItemText(107, p.specItems), D));
    StoreItemText(203, p.specItems, nullptr,
                  NominalSizeText(ItemText(111, p.specItems), ParseNumber(ItemText(25, p.specItems))));
    items_ = p.specItems;
    titleBlock_ = p.titleBlock;
}

ValvePosition SpecificationSheet::DrawingPosition() {
    ValvePosition copy = position();
    copy.specItems = items_;
    copy.titleBlock = titleBlock_;
    if (PageShown(6))
        for (int id : PageItems(6)) StoreItemText(id, copy.specItems, &choices_, TextOf(id));
    return copy;
}

ActuatorSizing SpecificationSheet::SizeActuator() {
    Touch(3);
    ActuatorPageChoices page;
    page.packingText = TextOf(14);
    TakeValveTypeChoice(TextOf(10), choices_, page);
    // The series' table value is its valves' type code; anything but a small number means none.
    const double seriesCode = ParseNumber(context_.seriesValue);
    page.defaultTypeCode = seriesCode >= 0 && seriesCode < 100 ? static_cast<int>(seriesCode) : 0;
    page.kind = actuatorKind;
    page.secondForce = secondForce;
    page.X = context_.valveNumbers[2];
    page.Y = context_.valveNumbers[3];
    page.DN = DN_;
    const ActuatorInputs in = ReadActuatorInputs(items_, page);

    static const SpecCatalogue noCatalogue;
    static const SpecTables noTables;
    ActuatorSizing s = tarvik::SizeActuator(in, env_.catalogue ? *env_.catalogue : noCatalogue,
                                            env_.tables ? env_.tables() : noTables);
    if (s.message != 0) ShowMessage(s.message);
    if (s.refused) return s;  // the page keeps its last sizing and choice
    sizedInputs_ = in;
    sizing_ = s;
    selection_.reset();
    chosenRow_.reset();
    for (int id : {60, 61, 62, 63, 64, 65, 66, 70, 109, 110}) TextOf(id).clear();
    TextOf(72) = sizing_->outputs[0];
    TextOf(73) = sizing_->outputs[1];
    pages_[2].changed = true;
    return s;
}

bool SpecificationSheet::ChooseActuator(std::size_t row) {
    if (!sizing_ || sizing_->refused) return false;
    const SpecCatalogue noCatalogue;
    ActuatorSelection sel = SelectActuator(*sizing_, row, sizedInputs_, env_.catalogue ? *env_.catalogue : noCatalogue);
    if (sel.actuator.empty()) return false;
    Touch(3);
    // The same texts StoreActuatorSelection gives the items, shown in the page's fields.
    SpecItemList shown;
    StoreActuatorSelection(sel, "", shown);
    for (int id : {60, 61, 62, 63, 64, 65, 66, 70, 72, 73, 109, 110}) TextOf(id) = ItemText(id, shown);
    selection_ = std::move(sel);
    chosenRow_ = row;
    pages_[2].changed = true;
    return true;
}

void SpecificationSheet::StoreActuator() {
    for (int id : PageItems(3)) {
        if (id != 70) {
            Store(id);
            continue;
        }
        // The chosen actuator's code marks that the series' default title block is not wanted.
        const std::string code = selection_ ? selection_->wholeCode : TextOf(70).empty() ? "" : ItemCode(70, items_);
        StoreItemText(70, items_, nullptr, TextOf(70), {}, code);
    }
    if (selection_) WriteActuatorTitleBlock(*selection_, !TextOf(66).empty(), titleBlock_);
}

}  // namespace tarvik
