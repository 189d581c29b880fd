// Opening the media list with 5,000 media: the dialog with its grid, shaped and filled, as the
// program builds it before showing it. Prints the time (target 0.2 s); needs a display
// (xvfb-run build/app/media_list_timing).
#include <chrono>
#include <ctime>
#include <cstdio>
#include <string>

#include <wx/app.h>
#include <wx/init.h>

#include "app/assert_handler.hpp"
#include "app/catalogue_dialogs.hpp"
#include "app/layouts.hpp"
#include "data/language.hpp"

using namespace tarvik;

int main(int argc, char** argv) {
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "media_list_timing: no display\n");
        return 1;
    }
    app::InstallAssertHandler([](const std::string& text) { std::fprintf(stderr, "wx assert: %s\n", text.c_str()); });
    std::string error;
    if (!LoadLanguage(TARVIK_PROGRAM_DIR, 2, error) || !app::LoadLayouts(TARVIK_PROGRAM_DIR, 2)) {
        std::fprintf(stderr, "media_list_timing: %s\n", error.c_str());
        return 1;
    }
    std::vector<Medium> media(5000);
    for (int i = 0; i < 5000; ++i) {
        Medium& m = media[static_cast<std::size_t>(i)];
        m.name = "Médium " + std::to_string((i * 7919) % 5000);
        m.name2 = "C" + std::to_string(i);
        m.note = "Poznámka";
        m.source = i < 4000 ? "S" : "U";
        m.phase = i % 2;
        m.density = 800 + i;
        m.number = i + 1;
    }
    for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const std::clock_t cpu = std::clock();
        {
            app::CatalogueListDialog d(nullptr, "132", 139);
            app::ShapeMediaGrid(*d.grid());
            d.rows = [&] { return MediaListRows(media, -1); };
            d.Refill();
            d.Show();
            d.Update();
            const auto shown = std::chrono::steady_clock::now();
            std::printf("media list, 5000 media, opened in %.3f s (CPU %.3f s)\n", std::chrono::duration<double>(shown - start).count(),
                        static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC);
            d.Destroy();
        }
        wxTheApp->ProcessPendingEvents();
    }
    wxEntryCleanup();
    return 0;
}
