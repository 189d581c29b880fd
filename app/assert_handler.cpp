#include "app/assert_handler.hpp"

#include <cstdio>

#include <wx/debug.h>
#include <wx/string.h>

namespace tarvik::app {
namespace {

std::function<void(const std::string&)>& Reporter() {
    static std::function<void(const std::string&)> report;
    return report;
}

void OnAssert(const wxString& file, int line, const wxString& func, const wxString& cond, const wxString& msg) {
    const std::string text = (file + ":" + wxString::Format("%d", line) + " " + func + ": " + cond + " " + msg).utf8_string();
    if (Reporter()) Reporter()(text);
}

}  // namespace

void InstallAssertHandler(std::function<void(const std::string&)> report) {
    Reporter() = std::move(report);
    wxSetAssertHandler(OnAssert);
}

void InstallProgramAssertHandler() {
    InstallAssertHandler([](const std::string& text) { std::fprintf(stderr, "tarvik: wx assert %s\n", text.c_str()); });
}

}  // namespace tarvik::app
