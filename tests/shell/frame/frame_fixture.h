// A frame window for tests: a recording launcher, scripted dialogs and file prompts, help pages
// recorded instead of opened, scratch folders for the files and work files of its run, and a
// way to run an analysis in it with steps taken while the engine idles after the run.
#pragma once

// The engine's headers come before Qt's, whose keyword macros would clash with their names.
#include "engine/run/run.h"
#include "shell/frame/frame_menus.h"
#include "shell/frame/frame_window.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/shell/services/recording_launcher.h"
#include "tests/shell/window/qt_app.h"
#include "tests/support/test_files.h"

namespace korvelan::testing {

struct ScriptedDialogs : FrameDialogs {
    std::vector<std::string> shown;  // the dialogs in the order they opened
    WelcomeAnswer welcome_answer;
    std::optional<std::string> specification_answer, subtables_answer;
    bool yes = false;
    std::vector<std::string> questions;  // caption, then text

    void about(QWidget*) override { shown.push_back("about"); }
    void table_descriptions(QWidget*) override { shown.push_back("tables"); }
    void batch_mode(QWidget*) override { shown.push_back("batch"); }
    void file_comparison(QWidget*) override { shown.push_back("comparison"); }
    WelcomeAnswer welcome(QWidget*) override {
        shown.push_back("welcome");
        return welcome_answer;
    }
    bool initial_settings(QWidget*, InitialSettings&) override {
        shown.push_back("initial settings");
        return false;
    }
    void select_weights(QWidget*, Run&) override { shown.push_back("weights"); }
    bool choose_xfile_fields(QWidget*, Run&) override {
        shown.push_back("xfile");
        return true;
    }
    bool choose_grouping(QWidget*, Run&, int table) override {
        shown.push_back("grouping " + std::to_string(table));
        return true;
    }
    std::optional<std::string> specification(QWidget*) override {
        shown.push_back("specification");
        return specification_answer;
    }
    std::optional<std::string> request_subtables(QWidget*) override {
        shown.push_back("subtables");
        return subtables_answer;
    }
    void problem(QWidget*, std::string_view text) override { shown.push_back("problem: " + std::string(text)); }
    bool ask_yes_no(QWidget*, std::string_view text, std::string_view caption) override {
        questions.emplace_back(caption);
        questions.emplace_back(text);
        return yes;
    }
};

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
    ScriptedDialogs dialogs;
    ScriptedPrompter prompter;
    std::vector<std::string> help_pages;
    Run run;
    std::unique_ptr<FrameWindow> window;
    int ended = -1;  // the status the frame ended the process with

    explicit Frame(const std::string& help_dir = KORVELAN_SOURCE_DIR "/shell/") {
        HelpViewer help(help_dir, [this](const std::string& page) {
            help_pages.push_back(page);
            return true;
        });
        window = std::make_unique<FrameWindow>(
            run, FrameServices{launcher, dialogs, prompter, help, kProgramDir, std::string(kProgramDir) + "korvelan",
                               dir.file("korvelan.ini")});
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
        QObject::connect(timer, &QTimer::timeout, [this, timer, next, steps] {
            FrameHost& host = window->host();
            if (!host.idling() && !host.read_waiting()) return;
            if (*next < steps.size()) {
                steps[(*next)++]();
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
