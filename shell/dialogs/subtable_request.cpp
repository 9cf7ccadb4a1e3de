#include "shell/dialogs/subtable_request.h"

#include "engine/driver/output_dispatch.h"
#include "engine/run/numtext.h"

namespace korvelan {

namespace {
constexpr std::size_t kRequestWidth = 80;
constexpr int kMenusGrayed = 3;
constexpr int kMenusEnabled = 0;
}  // namespace

std::string subtable_request_line(std::string_view text) {
    std::string line = pad_bytes(text, kRequestWidth);
    const std::size_t cut = line.find_first_of(std::string_view(";\"\0", 3));
    if (cut != std::string::npos) line.replace(cut, std::string::npos, kRequestWidth - cut, ' ');
    return line;
}

bool parse_subtable_request(std::string_view text, TableRequest& request) {
    std::string line = subtable_request_line(text);
    request = TableRequest{};
    if (trim(line).empty()) return false;
    parse_numeric_input_line(line, request);
    if (request.table >= 1 && request.table <= 40) return true;
    request = TableRequest{};
    return false;
}

bool serve_subtable_request(Run& run, std::string_view text) {
    if (!parse_subtable_request(text, run.rep.request)) return false;
    run.host->set_result_menus_enabled(kMenusGrayed);
    serve_table_request_after_run(run);
    run.host->set_result_menus_enabled(kMenusEnabled);
    return true;
}

}  // namespace korvelan
