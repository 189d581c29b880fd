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

namespace {

// A button label in the pack's language; the English word when the pack lacks it.
wxString PackLabel(int number, const char* fallback) {
    const std::string& text = GetText(number);
    return wxString::FromUTF8(text.empty() ? fallback : text);
}

}  // namespace

void InstallMessageBoxes() {
    User().tell = [](const std::string& text) {
        wxMessageDialog box(wxTheApp ? wxTheApp->GetTopWindow() : nullptr, wxString::FromUTF8(text),
                            wxString::FromUTF8(GetText(57344)), wxOK | wxICON_INFORMATION);
        box.SetOKLabel(PackLabel(64410, "OK"));
        box.ShowModal();
    };
    User().ask = [](const std::string& text, bool withCancel) {
        wxMessageDialog box(wxTheApp ? wxTheApp->GetTopWindow() : nullptr, wxString::FromUTF8(text),
                            wxString::FromUTF8(GetText(57344)),
                            (withCancel ? wxYES_NO | wxCANCEL : wxYES_NO) | wxNO_DEFAULT | wxICON_QUESTION);
        if (withCancel)
            box.SetYesNoCancelLabels(PackLabel(64412, "Yes"), PackLabel(64413, "No"), PackLabel(64411, "Cancel"));
        else
            box.SetYesNoLabels(PackLabel(64412, "Yes"), PackLabel(64413, "No"));
        const int r = box.ShowModal();
        return r == wxID_YES ? Answer::Yes : r == wxID_NO ? Answer::No : Answer::Cancel;
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
