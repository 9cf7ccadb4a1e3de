// The dialogs the frame's fixed commands open, behind one interface: each function shows its
// dialog and returns what the user decided. The plain message-box versions stand until the
// full dialog classes are plugged in; tests script the answers.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "engine/run/run.h"

class QWidget;

namespace korvelan {

// The Welcome dialog's answer: "Yes Please!" asks for the help on setting up an analysis; the
// "Don't ask again" box turns the dialog off for later starts.
struct WelcomeAnswer {
    bool help_wanted = false;
    bool dont_ask_again = false;
};

class FrameDialogs {
public:
    virtual ~FrameDialogs() = default;
    // The information dialogs: About, Table Descriptions, Batch mode, File Comparison.
    virtual void about(QWidget* owner) = 0;
    virtual void table_descriptions(QWidget* owner) = 0;
    virtual void batch_mode(QWidget* owner) = 0;
    virtual void file_comparison(QWidget* owner) = 0;
    virtual WelcomeAnswer welcome(QWidget* owner) = 0;
    // The initial settings, changed in place; true for OK (the settings file is then rewritten).
    virtual bool initial_settings(QWidget* owner, InitialSettings& settings) = 0;
    // The dialogs of run-time entries: how weights are reported, the fields of the XFILE= file
    // (false when cancelled; the fields go to run.rs.xfile_fields), the grouping of Table 27, 28,
    // 30 or 31 (false when cancelled).
    virtual void select_weights(QWidget* owner, Run& run) = 0;
    virtual bool choose_xfile_fields(QWidget* owner, Run& run) = 0;
    virtual bool choose_grouping(QWidget* owner, Run& run, int table) = 0;
    // One "Variable=Value" instruction for the finished run; nullopt when cancelled.
    virtual std::optional<std::string> specification(QWidget* owner) = 0;
    // "Table.Subtable" as typed; nullopt when cancelled.
    virtual std::optional<std::string> request_subtables(QWidget* owner) = 0;
    // The problem dialog of the SPSS conversions: one message and OK.
    virtual void problem(QWidget* owner, std::string_view text) = 0;
    // A Yes/No question with No as the default; true for Yes.
    virtual bool ask_yes_no(QWidget* owner, std::string_view text, std::string_view caption) = 0;
};

// Message boxes and one-line input dialogs.
class PlainFrameDialogs : public FrameDialogs {
public:
    // `edit_settings` opens the settings file for "Edit initial settings".
    explicit PlainFrameDialogs(std::function<void()> edit_settings = {}) : edit_settings_(std::move(edit_settings)) {}
    void about(QWidget* owner) override;
    void table_descriptions(QWidget* owner) override;
    void batch_mode(QWidget* owner) override;
    void file_comparison(QWidget* owner) override;
    WelcomeAnswer welcome(QWidget* owner) override;
    // The settings file opened in the text editor: nothing to rewrite.
    bool initial_settings(QWidget* owner, InitialSettings& settings) override;
    // Weights are reported as they are, every XFILE= field chosen so far is kept, and a
    // grouped Table takes its current setting.
    void select_weights(QWidget*, Run&) override {}
    bool choose_xfile_fields(QWidget*, Run&) override { return true; }
    bool choose_grouping(QWidget*, Run&, int) override { return true; }
    std::optional<std::string> specification(QWidget* owner) override;
    std::optional<std::string> request_subtables(QWidget* owner) override;
    void problem(QWidget* owner, std::string_view text) override;
    bool ask_yes_no(QWidget* owner, std::string_view text, std::string_view caption) override;

private:
    std::function<void()> edit_settings_;
};

}  // namespace korvelan
