#include "spss/tab_text.h"

#include <cmath>
#include <vector>

#include "engine/run/numtext.h"
#include "spss/characters.h"
#include "spss/number_text.h"
#include "spss/spss_file.h"

namespace korvelan::spss {

std::string tab_number_text(double value, double low, double high) {
    const double a = std::fabs(value);
    if (is_system_missing(value) || a >= high) return ".";
    if (a <= low || value == 0.0) return "0";
    std::string text = fixed_number_text(value, 30, 8);
    if (text.empty() || text[0] == '*') return ".";
    if (text.find('.') != std::string::npos) {
        while (!text.empty() && text.back() == '0') text.pop_back();
        if (!text.empty() && text.back() == '.') text.pop_back();
    }
    return text;
}

Outcome convert_spss_to_tab_text(const std::string& sav_path, const std::string& output_path) {
    double low = 0, high = 0;
    SpssFile::limits(low, high);
    const std::string path(trim(sav_path));
    if (path.empty()) return Outcome{OutcomeKind::Cancelled, {}, {}, false};
    TextOutput out;
    if (!out.create(output_path)) return work_file_failure("SPSS WORK FILE", "SX", 26);
    SpssFile sav;  // closed on every return
    if (const int status = sav.open(path); status != 0) return problem(cannot_open_message(path, status));
    out.line("To transfer to EXCEL: \"Select all\", \"Copy\", then in EXCEL \"Paste\"");
    int count = 0;
    sav.variable_count(count);
    std::vector<double> handles(static_cast<std::size_t>(count));
    std::vector<int> types(static_cast<std::size_t>(count));
    std::string record;
    for (int i = 0; i < count; ++i) {
        std::string name;
        sav.variable_name_and_type(i, name, types[static_cast<std::size_t>(i)]);
        if (sav.variable_handle(name, handles[static_cast<std::size_t>(i)]) != 0) {
            return problem("Unknown SPSS variable name: " + name);
        }
        record += pad_characters_to_at_least(name, 20) + "\t";
    }
    out.line(record);
    Outcome done;
    while (sav.read_next_case() == 0) {
        record.clear();
        for (std::size_t i = 0; i < handles.size(); ++i) {
            std::string text;
            double value = 0;
            // A value its variable declares missing is written as a missing one: a number as the
            // system-missing value, a string as an empty field.
            const bool declared = sav.declared_missing(handles[i]);
            if (declared) ++done.declared_missing_written;
            if (types[i] > 0) {
                if (sav.string_value(handles[i], text) != 0) return problem("Unknown SPSS variable value");
                text = declared ? std::string() : std::string(trim(printable_value_text(text)));
            } else {
                if (sav.numeric_value(handles[i], value) != 0) return problem("Unknown SPSS variable value");
                text = tab_number_text(declared ? kSystemMissing : value, low, high);
            }
            // Each field follows the last non-blank character of the record.
            record = std::string(trim_right(record)) + text + "\t";
        }
        out.line(record);
    }
    if (!out.close()) return work_file_failure("SPSS WORK FILE", "SX", 26);
    return done;
}

}  // namespace korvelan::spss
