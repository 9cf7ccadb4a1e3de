// The SPSS conversion: the bytes are a .sav file. Its variable-selection file is written, the
// first variable is moved under the person-label marker and the others (up to 30) under the
// item marker, the control-and-data file is built from that, and the tab-separated text is
// written: every reading of the file the converter does, all in a scratch folder.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "spss/control_file.h"
#include "spss/outcome.h"
#include "spss/selection_file.h"
#include "spss/tab_text.h"
#include "tests/support/test_files.h"

namespace {

using namespace korvelan::spss;

constexpr std::size_t kMostItems = 30;

// The selection file with the listed variables placed under the two markers.
std::string placed_selection(const std::string& selection_path) {
    std::vector<std::string> lines, names;
    if (!read_text_lines(selection_path, lines)) return {};
    const auto sav_line = std::find_if(lines.begin(), lines.end(),
                                       [](const std::string& l) { return l.rfind("! SPSS File", 0) == 0; });
    if (sav_line == lines.end()) return {};
    if (!section_names(lines, "OTHER SPSS", static_cast<int>(sav_line - lines.begin()), names) ||
        names.empty())
        return {};
    std::string text = *sav_line + "\r\n! Person Label Variables\r\n" + names[0] +
                       "\r\n! Item Response Variables\r\n";
    const std::size_t first_item = names.size() > 1 ? 1 : 0;
    for (std::size_t i = first_item; i < std::min(names.size(), first_item + kMostItems); ++i)
        text += names[i] + "\r\n";
    return text + "!Other SPSS Variables (ignored)\r\n";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvelan::testing::ScratchDir dir;
    const std::string sav = dir.file("in.sav");
    korvelan::testing::write_file(sav, std::string(reinterpret_cast<const char*>(data), size));
    if (write_spss_selection_file(sav, dir.file("select.txt")).kind == OutcomeKind::Done) {
        const std::string placed = placed_selection(dir.file("select.txt"));
        if (!placed.empty()) {
            korvelan::testing::write_file(dir.file("placed.txt"), placed);
            build_control_file_from_spss_selection(dir.file("placed.txt"), dir.file("control.txt"));
        }
    }
    convert_spss_to_tab_text(sav, dir.file("cases.tsv"));
    return 0;
}
