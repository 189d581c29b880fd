#pragma once
// What the online update says to the user and asks of them while it runs. No wx here: the
// desktop program puts its progress dialog and message boxes behind it, tarvik-cli prints to the
// terminal and answers the question from its command line.
#include <cstdint>
#include <string>

namespace tarvik {

class UpdateUi {
public:
    virtual ~UpdateUi() = default;

    // The progress window appears at the start of a run and goes at its end.
    virtual void ShowProgress() = 0;
    virtual void HideProgress() = 0;
    // Status line ("Connecting...", "file (2./5)").
    virtual void Status(const std::string& text) = 0;
    // Progress bar: total bytes of the planned files, then the running total after each file.
    virtual void SetRange(std::uint64_t total) = 0;
    virtual void SetPosition(std::uint64_t done) = 0;
    // The confirmation question with its numbered list; true means download.
    virtual bool Confirm(const std::string& question) = 0;
    // A message the user must see (a failed file, the closing messages).
    virtual void Tell(const std::string& message) = 0;
    // Asked between files: true when the user has cancelled the rest of the run.
    virtual bool Cancelled() = 0;
};

}  // namespace tarvik
