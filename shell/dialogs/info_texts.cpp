#include "shell/dialogs/info_texts.h"

#include "engine/run/numtext.h"
#include "engine/run/run.h"

namespace korvelan {

namespace {

constexpr std::size_t kProblemWidth = 501;

InfoText about_text() {
    return {"About KORVELAN",
            {"KORVELAN Rasch Measurement",
             "Version " + std::string(trim(fmt_f(kVersionNumber, 10, 2))) + "  " + kVersionDateText,
             "For Linux desktops", "Questions and reports: the korvelan project pages"}};
}

}  // namespace

InfoText info_text(int dialog) {
    switch (dialog) {
        case kAboutDialog: return about_text();
        case kTablesDialog:
            return {"KORVELAN Tables",
                    {"KORVELAN Tables", "This menu becomes available", "when processing is completed.",
                     "Select Table with mouse.", "It is written to a temporary file",
                     "and displayed on the screen.", "Use \"Save As\" option to keep in", "permanent file."}};
        case kBatchDialog:
            return {"KORVELAN in Batch mode",
                    {"KORVELAN in Batch Mode", "To do multiple KORVELAN runs one after another:",
                     "First,  Edit Taskroll.bat", "You can put Extra specifications on each line.",
                     "Then,   Run Taskroll.bat", "KORVELAN will run in background mode.",
                     "If Taskroll.bat is damaged, renew it from Help",
                     "Change KORVELAN into KORVELAN in Taskroll.bat"}};
        case kComparisonDialog:
            return {"File Comparison",
                    {"This produces a simple chart", "comparing the left and right files",
                     "Select left and right files to compare.", "These must be in KORVELAN format,",
                     "PFILE= or IFILE= format.", "Select column on which to compare them."}};
        default: return {};
    }
}

std::string problem_text(const std::string& message) {
    return std::string(trim_right(std::string_view(message).substr(0, std::min(message.size(), kProblemWidth))));
}

}  // namespace korvelan
