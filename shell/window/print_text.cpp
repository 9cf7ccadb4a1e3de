#include "shell/window/print_text.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace korvelan {

namespace {

QFont print_font() { return QFontDatabase::systemFont(QFontDatabase::FixedFont); }

int line_height(QPrinter& printer) {
    return std::max(1, QFontMetrics(print_font(), &printer).lineSpacing());
}

// Cancel: the job is aborted. A print to a file that cannot be aborted (PDF) would still be
// ended as a document, so the unfinished file is removed instead.
void abort_job(QPrinter& printer, QPainter& painter) {
    if (printer.abort()) return;
    const QString file = printer.outputFileName();
    painter.end();
    if (!file.isEmpty()) QFile::remove(file);
}

}  // namespace

int lines_per_page(QPrinter& printer) {
    return std::max(1, static_cast<int>(printer.pageRect(QPrinter::DevicePixel).height()) / line_height(printer));
}

bool print_lines(QPrinter& printer, const TextStore& store, const std::vector<PrintPage>& pages,
                 const bool& go_on) {
    printer.setDocName(kPrintDocumentName);
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    painter.setFont(QFont(print_font(), &printer));
    const int height = line_height(printer);
    const int ascent = QFontMetrics(painter.font(), &printer).ascent();
    const int copies = std::max(1, printer.copyCount());
    bool first_page = true;
    for (int copy = 0; copy < copies; ++copy) {
        for (const PrintPage& page : pages) {
            if (!first_page && !printer.newPage()) return false;
            first_page = false;
            for (int line = page.first; line <= page.last; ++line) {
                const std::string_view text = store.line(line);
                painter.drawText(0, (line - page.first) * height + ascent,
                                 QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
                QCoreApplication::processEvents();
                if (!go_on) {
                    abort_job(printer, painter);
                    return false;
                }
            }
        }
    }
    return painter.end();
}

void print_text_store(QWidget* owner, const TextStore& store) {
    QPrinter printer;
    printer.setCollateCopies(true);
    printer.setFromTo(1, 1);
    QPrintDialog ask(&printer, owner);
    ask.setMinMax(1, 32767);
    if (ask.exec() != QDialog::Accepted) return;
    const bool range = printer.printRange() == QPrinter::PageRange;
    const auto pages = paginate(store.line_count(), lines_per_page(printer), range ? printer.fromPage() : 0,
                                range ? printer.toPage() : 0);
    bool go_on = true;
    QDialog printing(owner);
    printing.setWindowTitle("KORVELAN Printing");
    auto* layout = new QVBoxLayout(&printing);
    layout->addWidget(new QLabel("Printing...", &printing));
    auto* cancel = new QPushButton("Cancel", &printing);
    layout->addWidget(cancel);
    QObject::connect(cancel, &QPushButton::clicked, [&go_on] { go_on = false; });
    printing.show();
    if (owner) owner->setEnabled(false);
    print_lines(printer, store, pages, go_on);
    if (owner) owner->setEnabled(true);
}

}  // namespace korvelan
