#include "app/update_dialog.hpp"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/stattext.h>
#include <wx/xrc/xmlres.h>

#include "app/layouts.hpp"
#include "app/user_dialogs.hpp"
#include "data/language.hpp"

namespace tarvik::app {
namespace {

constexpr int kStatusText = 1000, kProgressBar = 1001;
// The bar counts in thousandths: the byte totals exceed what a gauge holds.
constexpr int kBarSteps = 1000;

}  // namespace

UpdateDialogUi::UpdateDialogUi(wxWindow* parent) : parent_(parent) {}

UpdateDialogUi::~UpdateDialogUi() {
    if (dialog_) dialog_->Destroy();
}

void UpdateDialogUi::ShowProgress() {
    if (!dialog_) {
        dialog_ = wxXmlResource::Get()->LoadDialog(parent_, "166");
        if (!dialog_) return;  // no layout: the run goes on without its window
        dialog_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Cancel(); }, wxID_CANCEL);
        // Closing the window means the same as its button; the window itself stays for the run.
        dialog_->Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& e) {
            if (e.CanVeto()) e.Veto();
            Cancel();
        });
        dialog_->Fit();
        dialog_->CentreOnScreen();
    }
    dialog_->Show();
    Pump();
}

void UpdateDialogUi::HideProgress() {
    if (!dialog_) return;
    dialog_->Destroy();
    dialog_ = nullptr;
    Pump();
}

void UpdateDialogUi::Status(const std::string& text) {
    if (auto* status = Control<wxStaticText>(dialog_, kStatusText)) status->SetLabel(wxString::FromUTF8(text));
    Pump();
}

void UpdateDialogUi::SetRange(std::uint64_t total) {
    total_ = total;
    SetPosition(0);
}

void UpdateDialogUi::SetPosition(std::uint64_t done) {
    auto* bar = Control<wxGauge>(dialog_, kProgressBar);
    if (!bar) return;
    if (bar->GetRange() != kBarSteps) bar->SetRange(kBarSteps);
    const std::uint64_t clipped = done < total_ ? done : total_;
    const int steps = total_ == 0 ? 0 : static_cast<int>(static_cast<long double>(clipped) * kBarSteps / total_);
    bar->SetValue(steps);
    Pump();
}

bool UpdateDialogUi::Confirm(const std::string& question) { return Ask(question) == Answer::Yes; }

void UpdateDialogUi::Tell(const std::string& message) { app::Tell(message); }

bool UpdateDialogUi::Cancelled() {
    Pump();
    return cancelled_;
}

void UpdateDialogUi::Cancel() {
    if (cancelled_) return;
    cancelled_ = true;
    if (!dialog_) return;
    if (auto* button = Control<wxButton>(dialog_, wxID_CANCEL)) button->Disable();
    if (auto* status = Control<wxStaticText>(dialog_, kStatusText))
        status->SetLabel(wxString::FromUTF8(GetText(64802)));
}

void UpdateDialogUi::Pump() {
    if (dialog_) dialog_->Update();
    if (wxTheApp) wxTheApp->Yield(true);
}

}  // namespace tarvik::app
