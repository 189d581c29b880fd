#pragma once
// How the windows tell and ask the user: message boxes in the program; tests install answers, so
// no modal box ever waits for a click there.
#include <functional>
#include <string>

namespace tarvik::app {

enum class Answer { Yes, No, Cancel };

struct UserDialogs {
    std::function<void(const std::string& text)> tell;
    std::function<Answer(const std::string& text, bool withCancel)> ask;  // No is the default button
};

UserDialogs& User();
// Message boxes over the active window; also routes the core's messages (ShowMessage) to tell.
void InstallMessageBoxes();
// The core's messages (ShowMessage) go to tell.
void RouteCoreMessages();

void Tell(const std::string& text);
Answer Ask(const std::string& text, bool withCancel = false);

}  // namespace tarvik::app
