#include "app/user_dialogs.hpp"

#include <wx/msgdlg.h>
#include <wx/app.h>

#include "data/language.hpp"
#include "data/messages.hpp"

namespace tarvik::app {

UserDialogs& User() {
    static UserDialogs dialogs;
    return dialogs;
}

void InstallMessageBoxes() {
    User().tell = [](const std::string& text) {
        wxMessageBox(wxString::FromUTF8(text), wxString::FromUTF8(GetText(57344)), wxOK | wxICON_INFORMATION,
                     wxTheApp ? wxTheApp->GetTopWindow() : nullptr);
    };
    User().ask = [](const std::string& text, bool withCancel) {
        const int r = wxMessageBox(wxString::FromUTF8(text), wxString::FromUTF8(GetText(57344)),
                                   (withCancel ? wxYES_NO | wxCANCEL : wxYES_NO) | wxNO_DEFAULT | wxICON_QUESTION,
                                   wxTheApp ? wxTheApp->GetTopWindow() : nullptr);
        return r == wxYES ? Answer::Yes : r == wxNO ? Answer::No : Answer::Cancel;
    };
    RouteCoreMessages();
}

void RouteCoreMessages() {
    SetMessageSink([](const Message& m) { Tell(m.text.empty() ? std::to_string(m.number) : m.text); });
}

void Tell(const std::string& text) {
    if (User().tell) User().tell(text);
}

Answer Ask(const std::string& text, bool withCancel) {
    return User().ask ? User().ask(text, withCancel) : (withCancel ? Answer::Cancel : Answer::No);
}

}  // namespace tarvik::app
