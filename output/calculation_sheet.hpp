#pragma once
// The printed calculation sheet: one page per position selected for printing, in the landscape
// or the portrait layout, and the position's dimension drawing on the page after a landscape
// sheet. The same pages go to the printer, the print preview and PDF files.
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "output/canvas.hpp"
#include "project/project_document.hpp"

namespace tarvik {

// The choices of the print dialog (held by the document while printing, never stored).
struct PrintOptions {
    bool landscape = false;       // the orientation switch
    bool drawings = false;        // a drawing page after each landscape sheet whose series has one
    bool secondLanguage = false;  // labels 62201+n, items and medium name in the second language
};

struct PrintPage {
    std::size_t position = 0;  // index into the document's positions
    bool drawing = false;      // the position's drawing page rather than its sheet
};

// True when the position's valve series is in the catalogue and has a drawing.
bool PositionHasDrawing(const ProjectDocument& doc, const ValvePosition& position);

// The pages of the positions marked for printing (`printSelected`), in project order: each
// position's sheet and, when `options.landscape && options.drawings` and not for a preview, its
// drawing page right after the sheet when it has a drawing.
std::vector<PrintPage> PlanPrintPages(const ProjectDocument& doc, const PrintOptions& options, bool preview);

// What the sheet needs to know of the device it is drawn on.
struct PageDevice {
    RectD printable;     // the printable rectangle in device units (Y down)
    double dpiX = 72;    // device units per inch
    double dpiY = 72;
};

// Draws one page. The position's title block may gain the default entries a drawing page stores.
// Texts of messages to show (63001 when the table is too wide) are appended to `messages`.
void DrawPrintPage(Canvas& canvas, const PageDevice& device, ProjectDocument& doc, const PrintPage& page,
                   const PrintOptions& options, std::vector<std::string>& messages);

// An A4 PDF page in the orientation, in points (72 per inch), with a printer's unprintable edge
// of 0.5 cm as its printable rectangle.
PageDevice PdfPageDevice(bool landscape);

// Writes the pages to a PDF file (A4 in the chosen orientation) through a temporary file and a
// rename: a failure leaves no half-written file and an existing file untouched. False with `error`
// set when nothing could be written, when there are no pages, or on a write failure.
bool WritePrintPdf(const std::filesystem::path& file, ProjectDocument& doc, const std::vector<PrintPage>& pages,
                   const PrintOptions& options, std::vector<std::string>& messages, std::string& error);

}  // namespace tarvik
