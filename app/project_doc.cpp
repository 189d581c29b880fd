#include "app/project_doc.hpp"

#include <filesystem>

#include "app/form_view.hpp"
#include "app/startup.hpp"
#include "app/user_dialogs.hpp"
#include "data/language.hpp"
#include "data/text_check.hpp"
#include "project/project_file.hpp"
#include "units/unit_files.hpp"

namespace tarvik::app {

wxIMPLEMENT_DYNAMIC_CLASS(ProjectDoc, wxDocument);

bool ProjectDoc::OnNewDocument() {
    if (!wxDocument::OnNewDocument()) return false;
    const DefaultUnits& units = DefaultUnitNames();
    data = NewProjectDocument(units.flow, units.temperature, units.pressure);
    UpdateAllViews();
    return true;
}

bool ProjectDoc::OnCloseDocument() {
    // The calculation log belongs to the open project.
    std::error_code ec;
    std::filesystem::remove(CalculationLogPath(), ec);
    return wxDocument::OnCloseDocument();
}

void ProjectDoc::Modify(bool modified) {
    if (!modified) data.modified = false;
    wxDocument::Modify(modified);
}

bool ProjectDoc::OnSaveModified() {
    if (!IsModified()) return true;
    switch (Ask(FormatText(64404, GetUserReadableName().utf8_string()), true)) {
    case Answer::Yes: return Save();
    case Answer::No: Modify(false); return true;
    case Answer::Cancel: return false;
    }
    return false;
}

bool ProjectDoc::DoOpenDocument(const wxString& file) {
    try {
        ProjectDocument loaded = LoadProject(std::filesystem::path(file.utf8_string()), LoadContext());
        loaded.currentPosition = -1;
        loaded.modified = false;
        data = std::move(loaded);
        return true;
    } catch (const std::exception&) {
        Tell(FormatText(64402, file.utf8_string()));
        return false;
    }
}

bool ProjectDoc::DoSaveDocument(const wxString& file) {
    // The form holds what the user typed; it goes into the position first.
    StoreForms(*this);
    try {
        SaveProject(data, std::filesystem::path(file.utf8_string()), Core().settings.lang);
        data.modified = false;
        return true;
    } catch (const TextNotStorable& e) {
        // A text the file cannot hold: say which, the old file stays as it was.
        Tell(TextProblemMessage(e.problem()));
        return false;
    } catch (const std::exception&) {
        Tell(FormatText(64401, file.utf8_string()));
        return false;
    }
}

}  // namespace tarvik::app
