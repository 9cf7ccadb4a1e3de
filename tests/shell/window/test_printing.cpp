#include "shell/window/print_text.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QPrinter>
#include <QRegularExpression>

#include "tests/shell/window/qt_app.h"
#include "tests/support/test_files.h"

namespace korvelan {
namespace {

int pdf_pages(const std::string& path) {
    const QString pdf = QString::fromLatin1(testing::read_file(path));
    return static_cast<int>(pdf.count(QRegularExpression("/Type\\s*/Page[^s]")));
}

void fill(TextStore& store, int lines) {
    for (int i = 1; i <= lines; ++i) {
        store.start_new_line();
        store.append_to_last_line("line " + std::to_string(i));
    }
}

TEST(Printing, APdfPrintHasOnePagePerPageOfLines) {
    testing::qt_app();
    testing::ScratchDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(dir.file("io.pdf")));
    const int per_page = lines_per_page(printer);
    ASSERT_GT(per_page, 20);

    TextStore store;
    fill(store, 2 * per_page);  // an exact multiple: no empty page after it
    const bool go_on = true;
    ASSERT_TRUE(print_lines(printer, store, paginate(store.line_count(), per_page), go_on));
    EXPECT_EQ(pdf_pages(dir.file("io.pdf")), 2);

    printer.setOutputFileName(QString::fromStdString(dir.file("range.pdf")));
    fill(store, 3);  // pages 2..5 asked of 2 pages and 3 lines: pages 2 and 3 printed
    printer.setCopyCount(2);
    ASSERT_TRUE(print_lines(printer, store, paginate(store.line_count(), per_page, 2, 5), go_on));
    EXPECT_EQ(pdf_pages(dir.file("range.pdf")), 4);
}

TEST(Printing, CancelAbortsTheJob) {
    testing::qt_app();
    testing::ScratchDir dir;
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(dir.file("cancelled.pdf")));
    TextStore store;
    fill(store, 10);
    const bool go_on = false;
    EXPECT_FALSE(print_lines(printer, store, paginate(store.line_count(), 60), go_on));
    // The job is aborted, not ended: no document is left behind.
    EXPECT_FALSE(QFile::exists(QString::fromStdString(dir.file("cancelled.pdf"))));
}

}  // namespace
}  // namespace korvelan
