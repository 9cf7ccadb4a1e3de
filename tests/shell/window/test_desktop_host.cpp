// The engine's headers come before Qt's, whose keyword macros would clash with their names.
#include "engine/driver/run_analysis.h"
#include "engine/run/message_texts.h"
#include "engine/run/run.h"
#include "shell/window/desktop_host.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QDir>
#include <QImage>
#include <QKeyEvent>
#include <QTimer>
#include <functional>
#include <vector>

#include "tests/shell/window/qt_app.h"
#include "tests/support/data_sets.h"
#include "tests/support/test_files.h"

namespace korvelan {
namespace {

using testing::qt_app;

struct Desktop {
    QApplication& app = qt_app();
    TextStore store;
    TextWindow window{store};
    DesktopHost host{window};
    Desktop() { window.resize(640, 400); }
    std::vector<std::string> lines() const {
        std::vector<std::string> all;
        for (int i = 1; i <= store.line_count(); ++i) all.emplace_back(store.line(i));
        return all;
    }
    // Runs the steps one by one, each when a console read waits.
    void answer_reads(std::vector<std::function<void()>> steps) {
        auto* timer = new QTimer(&window);
        auto next = std::make_shared<std::size_t>(0);
        QObject::connect(timer, &QTimer::timeout, [this, timer, next, steps] {
            if (host.read_waiting() && *next < steps.size()) steps[(*next)++]();
            if (host.idling() && *next == steps.size()) {
                timer->stop();
                host.quit();
            }
        });
        timer->start(5);
    }
    void key(int code, const QString& text = {}) {
        QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
        QCoreApplication::sendEvent(&window, &press);
    }
};

TEST(ConsoleHooks, WritesLoseTheirLineEndsAndBlankMessagesAddEmptyLines) {
    Desktop d;
    d.host.console_write_line("abc\r\n");
    d.host.console_write_line("abc");
    d.host.console_write_line("\n");
    d.host.write_text_window_line("   ");
    d.host.write_text_window_line(" trimmed   ");
    EXPECT_EQ(d.lines(), (std::vector<std::string>{"abc", "abc", "", "", " trimmed"}));
    d.host.send_char_to_text_window('x');
    d.host.send_char_to_text_window('y');
    d.host.send_char_to_text_window('\r');
    EXPECT_EQ(d.lines().back(), "xy");
    EXPECT_TRUE(d.window.line_finished());
}

TEST(ConsoleHooks, AReadPlacesWhatFitsThenCrLf) {
    Desktop d;
    d.answer_reads({[&] { d.window.type_text("abcdefghijklmnopqrst\r"); }});
    char buffer[10] = {};
    EXPECT_EQ(d.host.console_read_line(buffer, 10), 10);
    EXPECT_EQ(std::string(buffer, 10), "abcdefgh\r\n");
}

TEST(ConsoleHooks, PendingInputIsSubmittedOnlyWhileAReadWaits) {
    Desktop d;
    d.window.type_text("early");
    d.host.submit_pending_input();  // no read waits: nothing
    EXPECT_FALSE(d.window.line_finished());
    d.answer_reads({[&] { d.host.submit_pending_input(); }});
    EXPECT_EQ(d.host.console_read_line(), "early");
    EXPECT_EQ(d.host.console_answer(), ConsoleAnswer::MenuCommand);  // a command, not the user's Enter
    // Open File ends the read with an empty line that asks for the dialog; Enter is an answer.
    d.answer_reads({[&] {
        d.window.type_text("half");
        d.host.answer_with_file_dialog();
    }});
    EXPECT_EQ(d.host.console_read_line(), "");
    EXPECT_EQ(d.host.console_answer(), ConsoleAnswer::OpenFile);
    d.answer_reads({[&] { d.window.type_text("typed\r"); }});
    EXPECT_EQ(d.host.console_read_line(), "typed");
    EXPECT_EQ(d.host.console_answer(), ConsoleAnswer::Typed);
    // Finish iterating can be asked while the engine computes: the pump serves the request.
    QTimer::singleShot(0, [&] { d.host.request_finish_iterating(); });
    EXPECT_FALSE(d.host.finish_iterating_requested());
    d.host.pump_messages();
    EXPECT_TRUE(d.host.finish_iterating_requested());
    d.host.clear_finish_iterating();
    EXPECT_FALSE(d.host.finish_iterating_requested());
}

TEST(ConsoleHooks, ManyLongLinesPassThroughTheWindow) {
    Desktop d;
    for (int i = 0; i < 999; ++i) d.host.write_text_window_line(std::string(499, 'a' + i % 26) + "|");
    EXPECT_LE(d.store.used(), TextStore::kCapacity);
    EXPECT_EQ(d.store.last_line(), std::string(499, 'a' + 998 % 26) + "|");
    EXPECT_EQ(d.store.widest_line(), 500);
}

TEST(DesktopHost, AnAnalysisRunsInTheWindowAndTakesTypedAnswers) {
    Desktop d;
    testing::ScratchDir dir;
    testing::ScratchDir temp;
    testing::CwdGuard cwd;
    testing::write_file(dir.file("ctl.txt"), testing::dichotomous_set("TITLE=Window run"));
    korvelan::Run run;
    run.host = &d.host;
    d.host.settings().temp_directory = temp.path;
    run.args = {dir.file("ctl.txt")};
    run.input.stop_before_estimation = true;
    // The report name is pasted with a CR LF and one character more; the extra
    // specifications are answered with the Enter key.
    d.answer_reads({[&] {
                        QApplication::clipboard()->setText(QString::fromStdString(dir.file("out.txt") + "\r\nb"));
                        d.window.paste_clipboard();
                    },
                    [&] { d.key(Qt::Key_Return); }});
    run_analysis(run);

    const std::vector<std::string> shown = d.lines();
    auto at = [&](const std::string& text) {
        return std::find(shown.begin(), shown.end(), text) - shown.begin();
    };
    const auto report_prompt = at(std::string(msg::kReportPrompt1) + msg::kReportPrompt2);
    ASSERT_LT(report_prompt, static_cast<long>(shown.size()));
    EXPECT_EQ(shown[report_prompt + 1], dir.file("out.txt"));
    EXPECT_EQ(shown[report_prompt + 2], "b");
    EXPECT_EQ(shown[report_prompt + 3], "");  // every prompt follows an empty line
    EXPECT_EQ(shown[report_prompt + 4], std::string(msg::kExtraSpecifications));
    EXPECT_EQ(shown[report_prompt + 5], "");
    for (const std::string& line : shown) EXPECT_EQ(line.find('\n'), std::string::npos) << line;
    EXPECT_EQ(run.rs.report_file, dir.file("out.txt"));
    EXPECT_NE(testing::read_file(dir.file("out.txt")).find("Window run"), std::string::npos);
}

}  // namespace
}  // namespace korvelan
