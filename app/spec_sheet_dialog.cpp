#include "app/spec_sheet_dialog.hpp"

#include <algorithm>
#include <optional>
#include <vector>

#include <wx/bookctrl.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/listbox.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>
#include <wx/treectrl.h>
#include <wx/xrc/xmlres.h>

#include "app/dialogs.hpp"
#include "app/drawing_window.hpp"
#include "app/layouts.hpp"
#include "app/list_grid.hpp"
#include "app/startup.hpp"
#include "app/user_dialogs.hpp"
#include "data/language.hpp"
#include "output/position_drawing.hpp"
#include "project/session.hpp"

namespace tarvik::app {
namespace {

wxString W(const std::string& s) { return wxString::FromUTF8(s); }
std::string U(const wxString& s) { return s.utf8_string(); }

constexpr int kPageCaptions[SpecificationSheet::kPageCount] = {64830, 64831, 64832, 64833, 64834, 64835};

// The control of each item, page by page (the pages reuse control numbers).
struct ItemControl {
    int item, control;
};
const std::vector<ItemControl>& PageControls(int page) {
    static const std::vector<ItemControl> pages[SpecificationSheet::kPageCount] = {
        {{2, 1179}, {5, 1180}, {6, 1181}, {7, 1182}, {9, 1183}, {11, 1184}, {21, 1185}, {3, 1186}, {12, 1187},
         {19, 1192}, {20, 1193}, {25, 1194}, {57, 1191}, {54, 1002}, {108, 1004}, {51, 1128}, {52, 1129},
         {53, 1126}, {55, 1124}, {56, 1125}, {59, 1005}},
        {{1, 1179}, {8, 1180}, {13, 1181}, {15, 1182}, {4, 1183}, {18, 1187}, {17, 1189}, {16, 1184}, {23, 1185},
         {24, 1186}},
        {{14, 1179}, {10, 1180}, {26, 1181}, {22, 1182}, {66, 1183}, {60, 1126}, {61, 1127}, {62, 1128}, {63, 1129},
         {64, 1130}, {65, 1131}, {109, 1132}, {110, 1133}, {70, 1134}, {72, 1124}, {73, 1125}},
        {},
        {{67, 1001}},
        {{69, 1124}, {75, 1125}},
    };
    static const std::vector<ItemControl> none;
    return page >= 1 && page <= SpecificationSheet::kPageCount ? pages[page - 1] : none;
}

int ItemOf(int page, int control) {
    for (const ItemControl& c : PageControls(page))
        if (c.control == control) return c.item;
    return 0;
}

int ControlOf(int page, int item) {
    for (const ItemControl& c : PageControls(page))
        if (c.item == item) return c.control;
    return 0;
}

std::vector<std::size_t> Selections(wxListBox* list) {
    std::vector<std::size_t> out;
    wxArrayInt selected;
    if (list) list->GetSelections(selected);
    for (int i : selected) out.push_back(static_cast<std::size_t>(i));
    return out;
}

void SetList(wxListBox* list, const std::vector<std::string>& entries) {
    if (!list) return;
    wxArrayString items;
    for (const std::string& e : entries) items.Add(W(e));
    list->Set(items);
}

// Holds a tree node's index in the tree control.
class NodeData : public wxTreeItemData {
public:
    explicit NodeData(std::size_t node) : node(node) {}
    std::size_t node;
};

// An accessory node as the tree shows it: its "_" are blanks, its lines joined.
wxString AccessoryLabel(const std::string& line) {
    std::string text = DecodeAccessory(line);
    std::replace(text.begin(), text.end(), '_', ' ');
    std::replace(text.begin(), text.end(), '\n', ' ');
    return W(text);
}

// Fills `tree` (hidden root) with the nodes, each under the last node one level up.
void FillTree(wxTreeCtrl& tree, const SpecTreeFile& file, bool accessories) {
    tree.DeleteAllItems();
    const wxTreeItemId root = tree.AddRoot("");
    std::vector<wxTreeItemId> parents{root};
    for (std::size_t i = 0; i < file.nodes.size(); ++i) {
        const SpecTreeNode& n = file.nodes[i];
        // A node deeper than one below its predecessor hangs under the deepest open level.
        const std::size_t level = std::min<std::size_t>(static_cast<std::size_t>(std::max(n.depth, 0)), parents.size() - 1);
        parents.resize(level + 1);
        const wxString label = accessories ? AccessoryLabel(n.line) : W(n.line);
        parents.push_back(tree.AppendItem(parents[level], label, -1, -1, new NodeData(i)));
    }
}

std::optional<std::size_t> NodeOf(const wxTreeCtrl& tree, const wxTreeItemId& item) {
    if (!item.IsOk()) return std::nullopt;
    auto* data = dynamic_cast<NodeData*>(tree.GetItemData(item));
    if (!data) return std::nullopt;
    return data->node;
}

}  // namespace

// ---- The connection tree dialog ----

std::string ChooseFromTree(wxWindow* parent, const SpecTreeFile& tree, const std::string& current) {
    wxDialog dialog;
    if (!wxXmlResource::Get()->LoadDialog(&dialog, parent, "SpecTreeDialog")) return {};
    auto* control = Control<wxTreeCtrl>(&dialog, 1000);
    if (!control) return {};
    FillTree(*control, tree, false);
    // The field's path, when it names a node, is where the choice starts.
    wxTreeItemIdValue cookie;
    std::vector<wxTreeItemId> open{control->GetRootItem()};
    while (!open.empty()) {
        const wxTreeItemId at = open.back();
        open.pop_back();
        for (wxTreeItemId c = control->GetFirstChild(at, cookie); c.IsOk(); c = control->GetNextChild(at, cookie)) {
            if (const auto node = NodeOf(*control, c); node && ConnectionNodePath(tree, *node) == current) {
                control->SelectItem(c);
                control->EnsureVisible(c);
                open.clear();
                break;
            }
            open.push_back(c);
        }
    }
    std::string chosen;
    const auto take = [&] {
        const auto node = NodeOf(*control, control->GetSelection());
        if (!node) return;
        chosen = ConnectionNodePath(tree, *node);
        CloseDialog(dialog, wxID_OK);
    };
    dialog.Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { take(); }, wxID_OK);
    dialog.Bind(wxEVT_TREE_ITEM_ACTIVATED, [&](wxTreeEvent&) { take(); });
    dialog.Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { CloseDialog(dialog, wxID_CANCEL); }, wxID_CANCEL);
    dialog.Fit();
    if (RunModal(dialog) != wxID_OK) return {};
    return chosen;
}

// ---- The sheet ----

SpecSheetDialog::SpecSheetDialog(wxWindow* parent, SpecificationSheet& sheet, ProjectDocument& doc)
    : sheet_(sheet), doc_(doc) {
    Create(parent, wxID_ANY, W(GetText(57344)), wxDefaultPosition, wxDefaultSize,
           wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER);
    CreateButtons(wxOK | wxCANCEL);
    wxBookCtrlBase* book = GetBookCtrl();
    for (int page = 1; page <= SpecificationSheet::kPageCount; ++page) {
        wxPanel* panel = wxXmlResource::Get()->LoadPanel(book, "SpecPage" + std::to_string(page));
        if (!panel) panel = new wxPanel(book);
        book->AddPage(panel, W(GetText(kPageCaptions[page - 1])));
        panel->Bind(wxEVT_CHOICE, [this, page](wxCommandEvent& e) { OnChoice(page, e); });
        panel->Bind(wxEVT_TEXT, [this, page](wxCommandEvent& e) { OnText(page, e); });
    }

    wxWindow* p1 = Page(1);
    p1->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ChooseConnection(51); }, 1042);
    p1->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ChooseConnection(52); }, 1043);
    p1->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ChooseConnection(53); }, 1044);

    wxWindow* p3 = Page(3);
    grid_ = new ListGrid(p3, 1135);
    grid_->SetMinSize(wxSize(560, 150));
    if (!wxXmlResource::Get()->AttachUnknownControl("1135", grid_, p3)) grid_->Hide();
    p3->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent& e) { sheet_.secondForce = e.IsChecked(); }, 1044);
    p3->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Size(); }, 1042);
    p3->Bind(EVT_LIST_ROW_SELECTED, [this](wxCommandEvent& e) {
        if (!filling_ && e.GetInt() >= 0 && sheet_.ChooseActuator(static_cast<std::size_t>(e.GetInt()))) Fill(3);
    });

    wxWindow* p4 = Page(4);
    accessoryTree_ = Control<wxTreeCtrl>(p4, 1194);
    for (int id : {1042, 1043, 1044, 1073, 1075, 1076})
        p4->Bind(wxEVT_BUTTON, [this, id](wxCommandEvent&) { AccessoryButton(id); }, id);
    // Selecting in one list clears the other's selection: the buttons act on one list at a time.
    for (int id : {1135, 1136})
        p4->Bind(wxEVT_LISTBOX, [this, id](wxCommandEvent&) {
            if (auto* other = Control<wxListBox>(Page(4), id == 1135 ? 1136 : 1135)) other->SetSelection(wxNOT_FOUND);
            UpdateAccessoryButtons();
        }, id);
    p4->Bind(wxEVT_TREE_SEL_CHANGED, [this](wxTreeEvent&) { UpdateAccessoryButtons(); });
    p4->Bind(wxEVT_TREE_ITEM_ACTIVATED, [this](wxTreeEvent&) { AccessoryButton(1042); });

    wxWindow* p6 = Page(6);
    p6->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ShowDrawing(); }, 1042);
    p6->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        if (!drawn_) return;
        sheet_.SetText(75, drawnLayers_);
        Fill(6);
    }, 1198);

    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { CloseDialog(*this, wxID_OK); }, wxID_OK);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { CloseDialog(*this, wxID_CANCEL); }, wxID_CANCEL);
    book->Bind(wxEVT_BOOKCTRL_PAGE_CHANGED, [this](wxBookCtrlEvent& e) {
        e.Skip();
        if (e.GetEventObject() == GetBookCtrl()) Switch(e.GetSelection() + 1);
    });
    // The first page filled before the sheet takes its size.
    Switch(1);
    LayoutDialog();
}

wxWindow* SpecSheetDialog::Page(int page) const {
    wxBookCtrlBase* book = GetBookCtrl();
    return book && page >= 1 && page <= static_cast<int>(book->GetPageCount()) ? book->GetPage(static_cast<size_t>(page - 1))
                                                                             : nullptr;
}

void SpecSheetDialog::SelectPage(int page) {
    if (!Page(page)) return;
    GetBookCtrl()->ChangeSelection(static_cast<size_t>(page - 1));
    Switch(page);
}

void SpecSheetDialog::Switch(int page) {
    if (page == current_ || !Page(page)) return;
    if (current_ != 0) sheet_.LeavePage(current_);
    current_ = page;
    sheet_.ShowPage(page);
    Fill(page);
}

void SpecSheetDialog::Fill(int page) {
    wxWindow* panel = Page(page);
    if (!panel) return;
    filling_ = true;
    for (const SpecField& f : sheet_.Fields(page)) {
        const int control = ControlOf(page, f.id);
        wxWindow* w = control ? panel->FindWindow(control) : nullptr;
        if (auto* c = dynamic_cast<wxChoice*>(w)) {
            wxArrayString entries;
            int selection = wxNOT_FOUND;
            for (const std::string& choice : f.choices) {
                if (choice == f.text) selection = static_cast<int>(entries.size());
                entries.Add(W(choice));
            }
            // A stored text the conditions no longer offer is still shown; it cannot be chosen again.
            if (selection == wxNOT_FOUND && !f.text.empty()) {
                selection = static_cast<int>(entries.size());
                entries.Add(W(f.text));
            }
            c->Set(entries);
            c->SetSelection(selection);
            c->Enable(!f.choices.empty());
            // The longest entry in full, where the sheet's size allows.
            c->InvalidateBestSize();
            c->SetMinSize(wxSize(std::max(c->GetMinSize().x, c->GetBestSize().x), -1));
        } else if (auto* t = dynamic_cast<wxTextCtrl*>(w)) {
            t->ChangeValue(W(f.text));
            t->SetEditable(f.kind != SpecFieldKind::ReadOnly);
        }
    }
    switch (page) {
    case 3:
        if (auto* kind = Control<wxChoice>(panel, 1000)) kind->SetSelection(sheet_.actuatorKind >= 0 ? sheet_.actuatorKind : wxNOT_FOUND);
        if (auto* check = Control<wxCheckBox>(panel, 1044)) check->SetValue(sheet_.secondForce);
        break;
    case 4: FillAccessories(); break;
    case 6:
        if (auto* b = Control<wxButton>(panel, 1042)) b->Enable(sheet_.context().drawingAvailable);
        if (auto* b = Control<wxButton>(panel, 1198)) b->Enable(drawn_);
        break;
    default: break;
    }
    filling_ = false;
}

void SpecSheetDialog::OnChoice(int page, wxCommandEvent& event) {
    if (filling_) return;
    auto* c = dynamic_cast<wxChoice*>(event.GetEventObject());
    if (page == 3 && event.GetId() == 1000) {
        sheet_.actuatorKind = event.GetSelection();
        return;
    }
    const int item = ItemOf(page, event.GetId());
    if (!c || item == 0) return;
    sheet_.SetText(item, U(c->GetStringSelection()));
    // The second page's first list decides what the page's other lists offer.
    if (page == 2 && event.GetId() == 1179) Fill(2);
}

void SpecSheetDialog::OnText(int page, wxCommandEvent& event) {
    if (filling_) return;
    auto* t = dynamic_cast<wxTextCtrl*>(event.GetEventObject());
    if (!t) return;
    if (page == 4 && event.GetId() == 1001) {
        sheet_.accessoryEdit = U(t->GetValue());
        UpdateAccessoryButtons();
        return;
    }
    if (const int item = ItemOf(page, event.GetId())) sheet_.SetText(item, U(t->GetValue()));
}

void SpecSheetDialog::ChooseConnection(int item) {
    const SpecTreeFile* tree = sheet_.ConnectionTree();  // a missing file has been reported
    if (!tree) return;
    const auto field = sheet_.Field(item);
    const std::string chosen = ChooseFromTree(this, *tree, field ? field->text : "");
    if (chosen.empty()) return;
    sheet_.ChooseConnection(item, chosen);
    Fill(1);
}

void SpecSheetDialog::Size() {
    // A refusal has been shown as its message and leaves the page as it was.
    if (sheet_.SizeActuator().refused) return;
    Fill(3);
    FillActuatorGrid();
}

void SpecSheetDialog::FillActuatorGrid() {
    if (!grid_) return;
    filling_ = true;
    std::vector<ListRow> rows;
    const auto& sizing = sheet_.sizing();
    if (sizing) {
        grid_->SetColumnFormat(sizing->columnFormat);
        for (std::size_t r = 0; r < sizing->candidates.size(); ++r)
            rows.push_back({sizing->candidates[r].columns, static_cast<int>(r)});
    }
    grid_->SetRows(rows);
    grid_->ClearSelection();
    grid_->AutoSizeColumns(false);
    filling_ = false;
}

void SpecSheetDialog::FillAccessories() {
    wxWindow* panel = Page(4);
    if (accessoryTree_ && accessoryTree_->IsEmpty())
        if (const SpecTreeFile* tree = sheet_.AccessoryTree()) FillTree(*accessoryTree_, *tree, true);
    SetList(Control<wxListBox>(panel, 1135), sheet_.accessories());
    SetList(Control<wxListBox>(panel, 1136), sheet_.secondList());
    if (auto* edit = Control<wxTextCtrl>(panel, 1001)) edit->ChangeValue(W(sheet_.accessoryEdit));
    UpdateAccessoryButtons();
}

void SpecSheetDialog::UpdateAccessoryButtons() {
    wxWindow* panel = Page(4);
    const auto enable = [&](int id, bool on) {
        if (auto* b = Control<wxButton>(panel, id)) b->Enable(on);
    };
    const bool first = !Selections(Control<wxListBox>(panel, 1135)).empty();
    const bool second = !Selections(Control<wxListBox>(panel, 1136)).empty();
    enable(1044, first);
    enable(1075, first);
    enable(1043, second);
    enable(1076, second);
    enable(1042, accessoryTree_ && NodeOf(*accessoryTree_, accessoryTree_->GetSelection()).has_value());
    enable(1073, !sheet_.accessoryEdit.empty());
}

void SpecSheetDialog::AccessoryButton(int id) {
    wxWindow* panel = Page(4);
    const auto first = Selections(Control<wxListBox>(panel, 1135));
    const auto second = Selections(Control<wxListBox>(panel, 1136));
    switch (id) {
    case 1042:
        if (!accessoryTree_) return;
        if (const auto node = NodeOf(*accessoryTree_, accessoryTree_->GetSelection())) sheet_.CopyTreeEntry(*node);
        break;
    case 1073: sheet_.AppendEdit(); break;
    case 1044: sheet_.CopyToSecond(first); break;
    case 1043: sheet_.CopyToFirst(second); break;
    case 1075: sheet_.DeleteAccessories(first); break;
    case 1076: sheet_.DeleteSecond(second); break;
    default: return;
    }
    filling_ = true;
    FillAccessories();
    filling_ = false;
}

void SpecSheetDialog::ShowDrawing() {
    if (!Core().session) return;
    // The drawing of the position as the pages hold it; the position itself stays as it is.
    ValvePosition shown = sheet_.DrawingPosition();
    wxDialog dialog(this, wxID_ANY, W(shown.name), wxDefaultPosition, wxSize(900, 640),
                    wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER);
    auto* panel = new DrawingPanel(&dialog);
    std::string why;
    if (!PrepareDrawingPage(*Core().session, doc_, shown, panel->viewer(), why)) {
        Tell(GetText(64716));
        return;
    }
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(panel, 1, wxEXPAND);
    sizer->Add(dialog.CreateStdDialogButtonSizer(wxOK), 0, wxALL | wxEXPAND, 8);
    dialog.SetSizer(sizer);
    dialog.Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { CloseDialog(dialog, wxID_OK); }, wxID_OK);
    panel->Reload();
    RunModal(dialog);
    // The layers as the user left them, for 1198 to take into the variant layers.
    drawnLayers_ = panel->LayerState();
    drawn_ = true;
    if (auto* b = Control<wxButton>(Page(6), 1198)) b->Enable(true);
}

bool RunSpecificationSheet(wxWindow* parent, PositionForm& form, ProjectDocument& doc) {
    if (!Core().session) return false;
    auto sheet = SpecificationSheet::Open(form, doc, SpecSheetEnvironmentOf(*Core().session));
    if (!sheet) return false;
    SpecSheetDialog dialog(parent, *sheet, doc);
    if (RunModal(dialog) != wxID_OK) {
        sheet->Cancel();
        return false;
    }
    sheet->Ok();  // the page still open is left first
    return true;
}

}  // namespace tarvik::app
