#pragma once
// 166: the online update's progress window, and the desktop program's side of UpdateUi: the
// window shows status and bar, questions and messages are message boxes.
#include <cstdint>
#include <string>

#include <wx/dialog.h>

#include "project/update_ui.hpp"

namespace tarvik::app {

class UpdateDialogUi : public UpdateUi {
public:
    explicit UpdateDialogUi(wxWindow* parent = nullptr);
    ~UpdateDialogUi() override;
    UpdateDialogUi(const UpdateDialogUi&) = delete;
    UpdateDialogUi& operator=(const UpdateDialogUi&) = delete;

    void ShowProgress() override;
    void HideProgress() override;
    void Status(const std::string& text) override;
    void SetRange(std::uint64_t total) override;
    void SetPosition(std::uint64_t done) override;
    bool Confirm(const std::string& question) override;
    void Tell(const std::string& message) override;
    bool Cancelled() override;

    // The window while the run shows it (null before and after), for tests and pictures.
    wxDialog* Window() const { return dialog_; }

private:
    void Cancel();
    // The update runs on the start-up thread: the window paints and its button is heard only
    // when the run lets the events through.
    void Pump();

    wxWindow* parent_;
    wxDialog* dialog_ = nullptr;
    bool cancelled_ = false;
    std::uint64_t total_ = 0;
};

}  // namespace tarvik::app
