// The dialogs the frame opens, behind one interface. Each shows its dialog modally with the frame
// as owner and leaves the decision where the dialog's OK puts it: in the run, in the settings
// and the settings file, or in a served request. Help buttons ask `help` for the topic of their
// context number.
#pragma once

#include <string>
#include <string_view>

#include "engine/run/run.h"
#include "shell/dialogs/dialog_help.h"

class QWidget;

namespace korvelan {

class FrameDialogs {
public:
    virtual ~FrameDialogs() = default;
    // About, Table Descriptions, Batch mode or File Comparison, by dialog number (info_texts.h).
    virtual void information(QWidget* owner, int dialog) = 0;
    // Start-up's Welcome: "Don't ask again" turns the Welcome setting off, in the file too.
    virtual void welcome(QWidget* owner, const HelpRequest& help, const std::string& settings_path,
                         InitialSettings& settings) = 0;
    // OK changes the running settings, rewrites the settings file and gives a waiting prompt
    // its Enter.
    virtual void initial_settings(QWidget* owner, const HelpRequest& help, const std::string& settings_path,
                                  InitialSettings& running, ConsoleWindowServices& console) = 0;
    // How the reports treat the weights: OK changes the statuses of the entries.
    virtual void weights(QWidget* owner, const HelpRequest& help, Run& run) = 0;
    // The fields of the XFILE= file, left in run.rs.xfile_fields; false when cancelled.
    virtual bool xfile_fields(QWidget* owner, const HelpRequest& help, Run& run) = 0;
    // One control instruction (run.rep.request.table 0) or the grouping of Table 27, 28, 30 or
    // 31, applied on OK; false when cancelled (the Table number is then -1).
    virtual bool specification(QWidget* owner, const HelpRequest& help, Run& run) = 0;
    // "Table.Subtable": OK serves the Table.
    virtual void request_subtables(QWidget* owner, const HelpRequest& help, Run& run) = 0;
    // The problem dialog of the SPSS conversions: one message and OK.
    virtual void problem(QWidget* owner, const std::string& text) = 0;
    // The modeless "Processing SPSS File ..." while a conversion reads its file.
    virtual void spss_progress(QWidget* owner, bool shown) = 0;
    // A Yes/No question with No as the default; true for Yes.
    virtual bool ask_yes_no(QWidget* owner, std::string_view text, std::string_view caption) = 0;
};

}  // namespace korvelan
