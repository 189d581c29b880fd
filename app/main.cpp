// tarvik: the desktop program.
#include <clocale>

#include <wx/app.h>

#include "app/assert_handler.hpp"
#include "app/startup.hpp"
#include "app/tarvik_app.hpp"

int main(int argc, char** argv) {
    tarvik::app::InstallProgramAssertHandler();
    wxApp::SetInstance(new tarvik::app::TarvikApp);
    const int rc = wxEntry(argc, argv);
    // After a program download the process becomes tarvik-update, which starts the new program.
    tarvik::app::HandOverIfUpdated();
    return rc;
}
