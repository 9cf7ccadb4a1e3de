// A frame window for tests: a recording launcher, answered dialogs, scripted file prompts, help pages
// recorded instead of opened, scratch folders for the files and work files of its run, and a
// way to run an analysis in it with steps taken while the engine idles after the run.
#pragma once

// The engine's headers come before Qt's, whose keyword macros would clash with their names.
#include "engine/run/run.h"
#include "shell/dialogs/text_dialogs.h"
#include "shell/frame/desktop_dialogs.h"
#include "shell/frame/frame_menus.h"
#include "shell/frame/frame_window.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <gtest/gtest.h>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/shell/services/recording_launcher.h"
#include "tests/shell/window/qt_app.h"
#include "tests/support/test_files.h"

namespace korvelan::testing {

// The desktop dialogs answered without a modal loop: each dialog that opens is recorded by its
// title (the problem dialog with its text) and handed to the next answer, which works its
// controls and closes it; with no answer left it is cancelled. Yes/No questions are recorded
// and answered with `yes`. The SPSS progress dialog is shown, and recorded as it comes and goes.
struct AnsweringDialogs : DesktopDialogs {
    std::vector<std::string> shown;
    std::deque<std::function<void(QDialog&)>> answers;
    bool yes = false;
    std::vector<std::string> questions;  // caption, then text

    int modal(QDialog& dialog) override {
        std::string title = dialog.windowTitle().toStdString();
        if (const auto* problem = dynamic_cast<const ProblemDialog*>(&dialog)) title += ": " + problem->text();
        shown.push_back(title);
        if (answers.empty()) {
            dialog.reject();
        } else {
            const auto answer = std::move(answers.front());
            answers.pop_front();
            answer(dialog);
        }
        return dialog.result();
    }
    void spss_progress(QWidget* owner, bool on) override {
        DesktopDialogs::spss_progress(owner, on);
        shown.emplace_back(on ? "progress" : "progress gone");
    }
    bool ask_yes_no(QWidget*, std::string_view text, std::string_view caption) override {
        questions.emplace_back(caption);
        questions.emplace_back(text);
        return yes;
    }
};

// An answer for a dialog of class D: `work` sets its controls through its accessors, then OK.
template <class D, class Work>
std::function<void(QDialog&)> answer_ok(Work work) {
    return [work](QDialog& dialog) {
        auto* d = dynamic_cast<D*>(&dialog);
        if (!d) {
            ADD_FAILURE() << "another dialog opened: " << dialog.windowTitle().toStdString();
            dialog.reject();
            return;
        }
        work(*d);
        d->accept();
    };
}

// Answers each file prompt with the next name (relative to the prompt's folder); an empty name
// or none: cancelled.
struct ScriptedPrompter : FilePrompter {
    std::deque<std::string> answers;
    std::vector<FilePromptRequest> requests;
    std::optional<std::string> choose(const FilePromptRequest& request) override {
        requests.push_back(request);
        if (answers.empty()) return std::nullopt;
        std::string next = answers.front();
        answers.pop_front();
        if (next.empty()) return std::nullopt;
        return next;
    }
};

inline constexpr const char* kProgramDir = "/opt/korvelan/";

struct Frame {
    QApplication& app = qt_app();
    ScratchDir dir;
    ScratchDir temp;
    CwdGuard cwd;
    RecordingLauncher launcher;
    AnsweringDialogs dialogs;
    ScriptedPrompter prompter;
    std::vector<std::string> help_pages;
    Run run;
    std::unique_ptr<FrameWindow> window;
    int ended = -1;  // the status the frame ended the process with

    explicit Frame(const std::string& help_dir = KORVELAN_SOURCE_DIR "/shell/",
                   const std::string& program_path = std::string(kProgramDir) + "korvelan") {
        HelpViewer help(help_dir, [this](const std::string& page) {
            help_pages.push_back(page);
            return true;
        });
        window = std::make_unique<FrameWindow>(
            run, FrameServices{launcher, dialogs, prompter, help, kProgramDir, program_path, dir.file("korvelan.ini")});
        window->end_process = [this](int status) { ended = status; };
        InitialSettings& settings = window->host().settings();
        settings.editor = "/usr/bin/editor";
        settings.temp_directory = temp.path;
        settings.welcome = 'N';
        window->resize(900, 600);
        window->show();
    }

    std::vector<std::string> lines() const {
        const TextStore& store = window->text_window().store();
        std::vector<std::string> all;
        for (int i = 1; i <= store.line_count(); ++i) all.emplace_back(store.line(i));
        return all;
    }
    bool shows(const std::string& text) const {
        for (const std::string& line : lines())
            if (line.find(text) != std::string::npos) return true;
        return false;
    }
    QAction* action(int id) const { return window->menus().action(id); }

    // Runs the analysis of the arguments; each step runs when the engine waits (a typed answer
    // or the idle loop after the run); after the last the window closes. The run's exit status.
    int analyse(const std::vector<std::string>& args, std::vector<std::function<void()>> steps) {
        run.args = args;
        auto* timer = new QTimer(window.get());
        auto next = std::make_shared<std::size_t>(0);
        auto busy = std::make_shared<bool>(false);  // a step that pumps events is not re-entered
        QObject::connect(timer, &QTimer::timeout, [this, timer, next, busy, steps] {
            FrameHost& host = window->host();
            if (*busy || (!host.idling() && !host.read_waiting())) return;
            if (*next < steps.size()) {
                *busy = true;
                steps[(*next)++]();
                *busy = false;
            } else {
                timer->stop();
                window->close();
            }
        });
        timer->start(5);
        return window->run_engine();
    }
};

}  // namespace korvelan::testing
