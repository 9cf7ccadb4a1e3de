// The frame's dialogs on the dialog classes of shell/dialogs/. Every modal dialog goes through
// modal(), which shows it with exec(); tests answer the dialogs there through their accessors.
#pragma once

#include <memory>

#include "shell/frame/frame_dialogs.h"

class QDialog;

namespace korvelan {

class SpssProgressDialog;

class DesktopDialogs : public FrameDialogs {
public:
    DesktopDialogs();
    ~DesktopDialogs() override;

    void information(QWidget* owner, int dialog) override;
    void welcome(QWidget* owner, const HelpRequest& help, const std::string& settings_path,
                 InitialSettings& settings) override;
    void initial_settings(QWidget* owner, const HelpRequest& help, const std::string& settings_path,
                          InitialSettings& running, ConsoleWindowServices& console) override;
    void weights(QWidget* owner, const HelpRequest& help, Run& run) override;
    bool xfile_fields(QWidget* owner, const HelpRequest& help, Run& run) override;
    bool specification(QWidget* owner, const HelpRequest& help, Run& run) override;
    void request_subtables(QWidget* owner, const HelpRequest& help, Run& run) override;
    void problem(QWidget* owner, const std::string& text) override;
    void spss_progress(QWidget* owner, bool shown) override;
    bool ask_yes_no(QWidget* owner, std::string_view text, std::string_view caption) override;

    // Shows the dialog modally; its result (QDialog::Accepted or Rejected).
    virtual int modal(QDialog& dialog);

private:
    std::unique_ptr<SpssProgressDialog> progress_;
};

}  // namespace korvelan
