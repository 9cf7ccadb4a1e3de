// Printing the Input/Output window's text: the print dialog, then the lines page by page in
// the printer's font, with a Printing dialog whose Cancel aborts the job.
#pragma once

#include <QPrinter>

#include "shell/window/text_store.h"

class QWidget;

namespace korvelan {

inline constexpr const char* kPrintDocumentName = "KORVELAN Input/Output";

// Prints the pages of every copy on a printer that is set up. `go_on` is read after every line
// (events are served meanwhile); when it turns false the job is aborted. False when the job
// failed or was aborted.
bool print_lines(QPrinter& printer, const TextStore& store, const std::vector<PrintPage>& pages,
                 const bool& go_on);

// Lines that fit on one page of the printer.
int lines_per_page(QPrinter& printer);

// The Print command: asks with the print dialog and prints; the owner is disabled meanwhile.
void print_text_store(QWidget* owner, const TextStore& store);

}  // namespace korvelan
