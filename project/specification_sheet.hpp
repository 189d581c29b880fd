#pragma once
// The specification sheet of a valve position, free of any GUI: its pages as data (the item each
// control edits, the admissible choices and the current text), what leaving a page stores and
// derives, and what OK and Cancel do. The view shows the fields, passes the user's choices in and
// calls LeavePage when a page is left; tarvik-cli runs the same sheet over the stored items.
//
// The connection tree (specprip.tkd) and the accessory tree (specprisl.tkd) are line files of
// the program folder; their grammar is described in catalogue/README.md.
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/conditions.hpp"
#include "data/key_value_list.hpp"
#include "data/spec_items.hpp"
#include "project/actuator_sizing.hpp"
#include "project/project_document.hpp"

namespace tarvik {

class PositionForm;
class Session;

// "Tarvik 2.7": the drawing's "drawn by" entry.
std::string DrawingProgramText();

// The entries the specification sheet stores, overwriting: customer, project, tag, program and
// the position's last-saved date ("%d.%m.%Y", local time).
void SetDialogTitleBlock(const ProjectDocument& doc, ValvePosition& position);

// ---- The two tree files ---------------------------------------------------------------------

struct TextSubstitution {
    std::string text;   // trailing blanks removed
    std::string value;
};

struct SpecTreeNode {
    int depth = 0;       // leading tabs
    std::string line;    // the line without its leading tabs
};

struct SpecTreeFile {
    std::vector<SpecTreeNode> nodes;               // the tree, in file order
    std::vector<TextSubstitution> substitutions;   // the lines after the tree
};

// Reads the bytes of a tree file (code page 1250). The tree ends at the first line starting with
// "["; every later line "text [value]" is a substitution. Never fails: odd lines are kept as
// nodes or skipped.
SpecTreeFile ParseSpecTree(std::string_view bytes);
// nullopt when the file cannot be opened.
std::optional<SpecTreeFile> LoadSpecTree(const std::filesystem::path& file);

// The text a connection-tree node is matched by: what stands before its first "[", without
// trailing blanks.
std::string ConnectionNodeText(std::string_view line);
// The path of node `index`: its ancestors' node texts and its own, joined by "/ ".
std::string ConnectionNodePath(const SpecTreeFile& tree, std::size_t index);

struct ConnectionLookup {
    std::optional<std::string> connection;   // "[text]"
    std::optional<std::string> replacement;  // "|text|"
    std::optional<std::string> rating;       // "*text*"
};
// Follows `path` ("A/ B/ C") level by level; nullopt when a level is missing. The three texts of
// the matching line have the file's substitutions applied.
std::optional<ConnectionLookup> LookupConnection(const SpecTreeFile& tree, std::string_view path);

// Replaces every occurrence of each substitution's text by its value, in file order. Text that
// already stands inside an occurrence of the value is left alone, so applying the substitutions
// again changes nothing ("NAMUR" -> "NAMUR (EN 60947-5-6)" does not grow).
std::string ApplySubstitutions(std::string text, const std::vector<TextSubstitution>& substitutions);

// An accessory of several lines as one list entry: "A\nB\nC" -> "A|+B-||+C-|"; tabs become five
// blanks. DecodeAccessory is the edit's form of an entry ("|+" a line break, "-|" removed).
std::string EncodeAccessory(std::string_view text);
std::string DecodeAccessory(std::string_view entry);
// The edit text for accessory-tree node `index`: when its text holds "_", the texts of its
// ancestors that hold "_" come first; every "_" becomes a blank.
std::string AccessoryNodeText(const SpecTreeFile& tree, std::size_t index);

// ---- The sheet ------------------------------------------------------------------------------

enum SpecSheetMessage {
    kMsgSpecFileMissing = 63002,   // specprisl.tkd
    kMsgDataFileMissing = 63020,   // specprip.tkd
};

// What the sheet needs from the running program.
struct SpecSheetEnvironment {
    std::filesystem::path programDir;               // where specprip.tkd and specprisl.tkd lie
    ConditionVariableList* variables = nullptr;     // loaded from programDir when empty
    SpecCatalogue* catalogue = nullptr;             // for the actuator placeholders; may be null
    // The actuator sizing's tables, asked for only when the actuator is sized (they are loaded on
    // first use); empty: no tables.
    std::function<const SpecTables&()> tables;
    bool admin = false;                             // items 54 and 108 editable
    KeyValueList defaultTitleBlock;                 // the series' default title-block pairs
};
SpecSheetEnvironment SpecSheetEnvironmentOf(Session& session);

// The values handed to the pages.
struct SpecSheetContext {
    std::string d, D;                     // inlet and outlet size, number texts
    int characteristic = 0;
    bool manualValve = false;
    std::string maxPressure, maxPressureUnit;
    std::array<std::string, 3> valveTexts{};
    std::array<double, 4> valveNumbers{};
    int mediumState = 0;
    std::array<std::string, 2> seriesTexts{};  // the order-code endings: [0] d != D, [1] equal
    std::string designation;
    std::string seriesValue;
    std::string specSheetText;
    bool drawingAvailable = false;  // page 6's drawing button: the series carries a drawing
};

enum class SpecFieldKind { Choice, Text, ReadOnly };

struct SpecField {
    int id = 0;
    SpecFieldKind kind = SpecFieldKind::Text;
    std::vector<std::string> choices;  // admissible texts of a choice list, in list order
    std::string text;                  // what the control holds
};

class SpecificationSheet {
public:
    static constexpr int kPageCount = 6;

    // Opens the sheet on the form's current position (the form is stored into it first). Null
    // when the form has no catalogue valve selected: then nothing has changed.
    static std::unique_ptr<SpecificationSheet> Open(PositionForm& form, ProjectDocument& doc,
                                                     SpecSheetEnvironment env);

    const SpecSheetContext& context() const { return context_; }
    SpecSheetContext& context() { return context_; }
    ValvePosition& position() { return doc_.positions[positionIndex_]; }
    const SpecItemList& choiceList() const { return choices_; }
    // The items as the pages have stored them so far.
    const SpecItemList& items() const { return items_; }

    // The item ids of a page (1 to 6) in control order.
    static const std::vector<int>& PageItems(int page);

    // Activation: the page's controls are filled on first showing; the changed flag clears.
    void ShowPage(int page);
    bool PageShown(int page) const { return Valid(page) && pages_[page - 1].shown; }
    bool PageChanged(int page) const { return Valid(page) && pages_[page - 1].changed; }
    // The page's fields as its controls show them (the page is shown first when it was not).
    std::vector<SpecField> Fields(int page);
    std::optional<SpecField> Field(int id);
    // The user's entry in the control of item `id`. A choice list takes only one of its choices
    // (false otherwise); a read-only text takes nothing. Shows the page first when needed.
    bool SetText(int id, const std::string& text);
    // Deactivation: stores the page's controls into the sheet's items and derives the dependent
    // items. A page never shown stores nothing. The position gets the items on OK.
    void LeavePage(int page);

    // Page 1 tree buttons (1042, 1043, 1044): the connection tree and the chosen text for item
    // 51, 52 or 53 (51 is copied to 52 while 52 is empty). Null when specprip.tkd is missing.
    const SpecTreeFile* ConnectionTree();
    bool ChooseConnection(int id, const std::string& text);

    // Page 4: the accessory tree (null when specprisl.tkd is missing), the edit, the position's
    // list (1135) and the second list (1136, kept while the sheet is open).
    const SpecTreeFile* AccessoryTree();
    std::string accessoryEdit;
    const std::vector<std::string>& accessories() { Touch(4); return accessories_; }
    const std::vector<std::string>& secondList() const { return secondList_; }
    void CopyTreeEntry(std::size_t node);                    // 1042
    void AppendEdit();                                       // 1073
    void CopyToSecond(const std::vector<std::size_t>& selected);   // 1044
    void CopyToFirst(const std::vector<std::size_t>& selected);    // 1043
    void DeleteAccessories(const std::vector<std::size_t>& selected);  // 1075
    void DeleteSecond(const std::vector<std::size_t>& selected);       // 1076

    // Page 3, the actuator: its kind (kKindNone or 0 to 3) and the check box comparing the spring
    // range's second force are the page's own; the packing (14) and valve type (10) are its lists.
    int actuatorKind = kKindNone;
    bool secondForce = false;
    // The sizing button: sizes from the sheet's items and the page's choices. A refusal (shown as
    // its message) leaves the page as it was; otherwise the outputs are shown, the actuator fields
    // cleared and the candidates listed.
    ActuatorSizing SizeActuator();
    // The last sizing that was not refused.
    const std::optional<ActuatorSizing>& sizing() const { return sizing_; }
    // Chooses candidate `row` of the last sizing into the page's fields; false when there is no
    // such selectable row.
    bool ChooseActuator(std::size_t row);
    const std::optional<ActuatorSelection>& selection() const { return selection_; }
    std::optional<std::size_t> chosenRow() const { return chosenRow_; }
    // The title block as the pages have written it so far; the position gets it on OK.
    const KeyValueList& titleBlock() const { return titleBlock_; }

    // Page 6's drawing: a copy of the position with the items and title block as the pages hold
    // them now, the order code and variant layers (69, 75) as the page's controls show them. The
    // position itself is untouched, so looking at the drawing before Cancel changes nothing.
    ValvePosition DrawingPosition();

    // OK: the page still open is left, the items go to the position, then the order code, the
    // designations and the size texts are composed and the document is marked modified. Cancel:
    // the position keeps its items (opening has refreshed the title block and the type codes).
    void Ok();
    void Cancel() {}

private:
    struct Page {
        bool shown = false;
        bool changed = false;
        bool pending = false;  // shown and not left since
    };
    SpecificationSheet(ProjectDocument& doc, std::size_t positionIndex, SpecSheetEnvironment env);
    static bool Valid(int page) { return page >= 1 && page <= kPageCount; }
    // Shows the page when it never was; the page is then left again on OK.
    void Touch(int page);
    static int PageOf(int id);
    static SpecFieldKind KindOf(int id, bool admin);
    void Store(int id);
    void LookupConnections();
    void StoreAccessories();
    void StoreActuator();
    std::optional<SpecTreeFile> LoadTree(const char* file, int message);

    ProjectDocument& doc_;
    std::size_t positionIndex_;
    SpecSheetEnvironment env_;
    SpecSheetContext context_;
    SpecItemList choices_;
    SpecItemList items_;  // the pages' work, given to the position on OK
    ConditionVariableList ownVariables_;  // when the environment brings none
    std::string secondTemplate_;
    double Kvs_ = 0;
    double DN_ = 0;
    KeyValueList titleBlock_;  // the pages' title block, given to the position on OK
    std::optional<ActuatorSizing> sizing_;
    ActuatorInputs sizedInputs_;
    std::optional<ActuatorSelection> selection_;
    std::optional<std::size_t> chosenRow_;
    std::array<Page, kPageCount> pages_{};
    std::vector<std::pair<int, std::string>> texts_;  // the controls' texts by item id
    std::optional<std::optional<SpecTreeFile>> connectionTree_, accessoryTree_;
    std::vector<std::string> accessories_, secondList_;

    std::string& TextOf(int id);
};

}  // namespace tarvik
