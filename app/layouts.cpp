#include "app/layouts.hpp"

#include <fstream>
#include <memory>
#include <sstream>

#include <wx/mstream.h>
#include <wx/xml/xml.h>
#include <wx/xrc/xmlres.h>

#include "data/language.hpp"
#include "project/layout_texts.hpp"

namespace tarvik::app {

const std::vector<std::string>& LayoutFiles() {
    static const std::vector<std::string> files{"form.xrc", "menus.xrc", "dialogs.xrc", "catalogues.xrc",
                                                "valve_dialogs.xrc", "print.xrc", "drawing.xrc", "update.xrc", "spec.xrc"};
    return files;
}

bool LoadLayoutFile(const std::filesystem::path& programDir, int lang, const std::string& name,
                    std::vector<std::string>* problems) {
    wxXmlResource* res = wxXmlResource::Get();
    static bool handlers = false;
    if (!handlers) {
        res->InitAllHandlers();
        handlers = true;
    }
    const std::filesystem::path path = LayoutPath(programDir, lang, name);
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in) {
        if (problems) problems->push_back(path.string() + ": cannot be read");
        return false;
    }
    const ResolvedLayout resolved = ResolveLayoutTexts(text.str(), CurrentLanguage());
    if (problems)
        for (int n : resolved.missing) problems->push_back(path.string() + ": the pack lacks text " + std::to_string(n));
    wxMemoryInputStream stream(resolved.xml.data(), resolved.xml.size());
    auto doc = std::make_unique<wxXmlDocument>();
    if (!doc->Load(stream, "UTF-8")) {
        if (problems) problems->push_back(path.string() + ": not a valid layout");
        return false;
    }
    // Reloading (another language) replaces the earlier copy of the same file.
    res->Unload(name);
    if (!res->LoadDocument(doc.release(), name)) {
        if (problems) problems->push_back(path.string() + ": not a valid layout");
        return false;
    }
    return true;
}

bool LoadLayouts(const std::filesystem::path& programDir, int lang, std::vector<std::string>* problems) {
    bool ok = true;
    for (const std::string& name : LayoutFiles())
        if (!LoadLayoutFile(programDir, lang, name, problems)) ok = false;
    return ok;
}

}  // namespace tarvik::app
