#pragma once
// Messages the core shows to the user. The GUI installs a sink that opens a message box;
// the command-line program collects them. Routines report by text number (and an argument
// for "%1"), so that the wording stays in the language packs.
#include <functional>
#include <string>

namespace tarvik {

struct Message {
    int number = 0;       // text number in the language pack
    std::string text;     // the formatted text in the current language
};

using MessageSink = std::function<void(const Message&)>;

// Installs the sink; returns the previous one. Without a sink, messages go to stderr.
MessageSink SetMessageSink(MessageSink sink);
void ShowMessage(int number, const std::string& arg = "");

// Installs a sink for the lifetime of the object (tests, one command of the CLI).
class ScopedMessageSink {
public:
    explicit ScopedMessageSink(MessageSink sink) : previous_(SetMessageSink(std::move(sink))) {}
    ~ScopedMessageSink() { SetMessageSink(std::move(previous_)); }
    ScopedMessageSink(const ScopedMessageSink&) = delete;
    ScopedMessageSink& operator=(const ScopedMessageSink&) = delete;

private:
    MessageSink previous_;
};

}  // namespace tarvik
