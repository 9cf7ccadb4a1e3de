// The fixed commands of the frame, by id.
#include <QApplication>

#include "shell/frame/frame_menus.h"
#include "shell/frame/frame_window.h"
#include "shell/frame/graphs_request.h"
#include "shell/frame/spss_commands.h"
#include "shell/dialogs/info_texts.h"
#include "shell/window/print_text.h"

namespace korvelan {

namespace {
using namespace menu_cmd;
constexpr int kCarriageReturn = 13;
}  // namespace

void FrameWindow::edit_initial_settings() {
    services_.dialogs.initial_settings(this, help_request(), services_.settings_path, host_.settings(), host_);
}

void FrameWindow::dispatch(int id) {
    if (id >= kFirstDynamic) {
        menus_->choose_dynamic(id);
        return;
    }
    if (dispatch_help_and_information(id) || dispatch_run_requests(id) || dispatch_spss(id)) return;
    dispatch_console(id);
}

bool FrameWindow::dispatch_help_and_information(int id) {
    switch (id) {
        case kHelp: services_.help.show(1); return true;
        case kBatchHelp: services_.help.show(6411); return true;
        case kOutputFilesHelp: services_.help.show(12); return true;
        case kAbout: services_.dialogs.information(this, kAboutDialog); return true;
        case kTableDescriptions: services_.dialogs.information(this, kTablesDialog); return true;
        case kBatchMode: services_.dialogs.information(this, kBatchDialog); return true;
        case kCompareFiles: services_.dialogs.information(this, kComparisonDialog); return true;
        default: return false;
    }
}

// Specification, Request Subtables and the graphs serve the finished run only.
bool FrameWindow::dispatch_run_requests(int id) {
    if (id == kSpecification) {
        if (!run_.rs.report_closed) return true;
        run_.rep.request.table = 0;
        services_.dialogs.specification(this, help_request(), run_);
        return true;
    }
    if (id == kRequestSubtables) {
        if (run_.rs.report_closed) services_.dialogs.request_subtables(this, help_request(), run_);
        return true;
    }
    if (id >= kFirstGraph && id <= kLastGraph) {
        if (run_.rs.report_closed) show_graphs(run_, graphs_, id - kFirstGraph + 1);
        return true;
    }
    return false;
}

// The conversions may make the control file a waiting prompt asks for: the prompt then gets
// its Enter.
bool FrameWindow::dispatch_spss(int id) {
    if (id < kSpssSelect || id > kSpssConvert) return false;
    SpssCommandServices s{run_, services_.launcher, services_.prompter, host_.window_line(),
                          [this](const std::string& text) { services_.dialogs.problem(this, text); },
                          [this](bool shown) { services_.dialogs.spss_progress(this, shown); }};
    switch (id) {
        case kSpssSelect:
            if (select_spss_file_and_variables(s)) menus_->spss_selection_made();
            break;
        case kSpssEdit: edit_spss_selection_file(s); break;
        case kSpssConstruct: build_control_file_from_spss_selection(s); break;
        default: convert_spss_to_tab_text(s); break;
    }
    host_.submit_pending_input();
    return true;
}

bool FrameWindow::dispatch_console(int id) {
    switch (id) {
        case kSave: text_.save(false); return true;
        case kSaveAs: text_.save(true); return true;
        case kPrint: print_text_store(this, store_); return true;
        case kExit: close(); return true;
        case kFinishIterating: set_finish_iterating(); return true;
        case kEnter: text_.type_char(kCarriageReturn); return true;
        case kOpenFile: host_.answer_with_file_dialog(); return true;
        case kCut: text_.cut_selection(); return true;
        case kCopy: text_.copy_selection(); return true;
        case kPaste: text_.paste_clipboard(); return true;
        case kDelete: text_.delete_selection(); return true;
        default: return false;
    }
}

}  // namespace korvelan
