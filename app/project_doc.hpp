#pragma once
// The project document: one open project file, its ProjectDocument and the framework's
// path, title and modified flag.
#include <wx/docview.h>

#include "project/project_document.hpp"

namespace tarvik::app {

class ProjectDoc : public wxDocument {
public:
    ProjectDocument data;

    bool OnNewDocument() override;
    bool OnCloseDocument() override;
    bool IsModified() const override { return wxDocument::IsModified() || data.modified; }
    void Modify(bool modified) override;
    // The question uses the pack's text instead of the toolkit's.
    bool OnSaveModified() override;

protected:
    bool DoOpenDocument(const wxString& file) override;
    bool DoSaveDocument(const wxString& file) override;

private:
    wxDECLARE_DYNAMIC_CLASS(ProjectDoc);
};

}  // namespace tarvik::app
