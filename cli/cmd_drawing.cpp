// tarvik-cli drawing PROJECT --position NAME --out FILE [--layers SPEC]: the position's dimension
// drawing, filled with its title block and its layers set, as a PDF, PNG or SVG page.
#include <cstdio>

#include "cli/commands.hpp"
#include "cli/common.hpp"
#include "cli/project_cli.hpp"
#include "output/cairo_canvas.hpp"
#include "output/dimension_drawing.hpp"
#include "output/drawing_viewer.hpp"
#include "output/position_drawing.hpp"

namespace tarvik::cli {

int DrawingCommand(std::vector<std::string>& args) {
    const char* usage = "drawing PROJECT --position NAME --out FILE.pdf|.png|.svg [--layers SPEC]";
    std::string name, out, layers, error;
    const bool hasPosition = TakeOption(args, "--position", name, error);
    const bool hasOut = error.empty() && TakeOption(args, "--out", out, error);
    const bool hasLayers = error.empty() && TakeOption(args, "--layers", layers, error);
    if (!error.empty()) return ProjectUsage("drawing", error, usage);
    if (!hasPosition) return ProjectUsage("drawing", "--position NAME is required", usage);
    if (!hasOut || out.empty()) return ProjectUsage("drawing", "--out FILE is required", usage);
    if (!PageFormatOf(out)) return ProjectUsage("drawing", "the output file must end in .pdf, .png or .svg", usage);
    if (args.size() != 1)
        return ProjectUsage("drawing", args.empty() ? "no project given" : "unexpected argument '" + args[1] + "'", usage);

    ProjectDocument doc;
    if (!OpenProject("drawing", args[0], doc)) return kExitRefused;
    ValvePosition* p = doc.Find(name);
    if (!p) {
        std::fprintf(stderr, "tarvik-cli drawing: the project has no position '%s'\n", name.c_str());
        return kExitRefused;
    }
    // As a printed drawing page: the series' drawing with the filled title block, the position's
    // layers and its variant's layers.
    DwfViewer viewer;
    std::string why;
    if (!PrepareDrawingPage(CurrentSession(), doc, *p, viewer, why)) {
        std::fprintf(stderr, "tarvik-cli drawing: %s\n", why.c_str());
        return kExitRefused;
    }
    if (hasLayers) ApplyLayerSpecification(viewer, layers, false);
    for (const std::string& note : viewer.drawing().notes)
        std::fprintf(stderr, "tarvik-cli drawing: note: %s\n", note.c_str());

    const PageSetup page;  // A4 landscape
    const RectD target{page.widthPt / 50, page.heightPt / 50, page.widthPt * 49 / 50, page.heightPt * 49 / 50};
    DwfRenderOptions options;
    options.minLineWidth = 0.1 * 72 / 25.4;  // 0.1 mm
    if (!WritePageFile(out, page, [&](Canvas& c) { viewer.Draw(c, target, options); }, error)) {
        std::fprintf(stderr, "tarvik-cli drawing: %s\n", error.c_str());
        return kExitRefused;
    }
    return kExitOk;
}

}  // namespace tarvik::cli
