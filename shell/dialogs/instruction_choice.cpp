#include "shell/dialogs/instruction_choice.h"

#include "engine/driver/runtime_change.h"
#include "engine/run/numtext.h"

namespace korvelan {

namespace {

// The instruction buffer of the run-time parser.
constexpr std::size_t kInstructionWidth = 32000;

const std::string* grouping_setting(const ControlVariables& cv, int table) {
    switch (table) {
        case 27: return &cv.isubtotal;
        case 28: return &cv.psubtotal;
        case 30: return &cv.dif;
        case 31: return &cv.dpf;
        default: return nullptr;
    }
}

}  // namespace

std::optional<GroupingLabels> grouping_labels(int table) {
    switch (table) {
        case 27: return GroupingLabels{"ISUBTOTAL", "ISUBTOTAL =", "ISUBTOTAL = $S..W.. in Item Label for Table 27"};
        case 28: return GroupingLabels{"PSUBTOTAL", "PSUBTOTAL =", "PSUBTOTAL = $S..W.. in Person Label for Table 28"};
        case 30: return GroupingLabels{"DIF", "DIF =", "DIF = $S..W.. in Person Label for Table 30"};
        case 31: return GroupingLabels{"DPF", "DPF =", "DPF = $S..W.. for in Item Label Table 31"};
        default: return std::nullopt;
    }
}

std::string specification_shown(const ControlVariables& cv, int table) {
    const std::string* setting = grouping_setting(cv, table);
    if (!setting) return {};
    const std::string_view shown = trim_right(*setting);
    return shown.empty() ? "$S1W1" : std::string(shown);
}

std::string specification_instruction(int table, std::string_view text) {
    text = text.substr(0, std::min(text.size(), kInstructionWidth));
    const std::optional<GroupingLabels> grouping = grouping_labels(table);
    if (grouping && !text.empty() && text.find('=') == std::string_view::npos)
        return grouping->keyword + "=" + std::string(text);
    return std::string(text);
}

void apply_specification(Run& run, std::string_view text) {
    apply_runtime_specification(run, specification_instruction(run.rep.request.table, text));
}

}  // namespace korvelan
