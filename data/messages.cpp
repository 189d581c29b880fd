#include "data/messages.hpp"

#include <cstdio>

#include "data/language.hpp"

namespace tarvik {
namespace {
MessageSink& Sink() {
    static MessageSink sink;
    return sink;
}
}  // namespace

MessageSink SetMessageSink(MessageSink sink) {
    MessageSink previous = std::move(Sink());
    Sink() = std::move(sink);
    return previous;
}

void ShowMessage(int number, const std::string& arg) {
    Message m{number, FormatText(number, arg)};
    if (Sink()) {
        Sink()(m);
    } else {
        std::fprintf(stderr, "%s\n", m.text.empty() ? ("message " + std::to_string(number)).c_str() : m.text.c_str());
    }
}

}  // namespace tarvik
