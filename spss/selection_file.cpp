#include "spss/selection_file.h"

#include "engine/run/numtext.h"
#include "spss/characters.h"
#include "spss/spss_file.h"
#include "spss/tab_text.h"

namespace korvelan::spss {

namespace {
struct FormatName {
    int code;
    const char* text;
    bool decimals;  // "w.d" rather than "w"
};
constexpr FormatName kFormatNames[] = {
    {1, "A", false},      {2, "Ahex", false},   {3, "Comma", true},      {4, "Dollar", true},
    {5, "F", true},       {6, "Ib", true},      {7, "Pibhex", true},     {8, "P", true},
    {9, "Pib", true},     {10, "Pk", true},     {11, "Rb", false},       {12, "Rbhex", false},
    {15, "Z", true},      {16, "N", true},      {20, "Date", false},     {21, "Time", true},
    {22, "Datetime", true}, {23, "Adate", false}, {24, "Jdate", false},  {25, "Dtime", true},
    {26, "Wkday", false}, {27, "Month", false}, {28, "Moyr", false},     {29, "Qyr", false},
    {30, "Wkyr", false},  {31, "Pct", true},    {32, "Dot", true},       {33, "Cca", true},
    {34, "Ccb", true},    {35, "Ccc", true},    {36, "Ccd", true},       {37, "Cce", true},
    {38, "Edate", false}, {39, "Sdate", false},
};
}  // namespace

std::string print_format_text(int code, int width, int decimals) {
    const std::string w = std::to_string(width);
    if (code == 17) return "E" + w + "." + std::to_string(width - 7);
    for (const FormatName& f : kFormatNames) {
        if (f.code == code) return f.text + w + (f.decimals ? "." + std::to_string(decimals) : "");
    }
    return "Unknown" + w + "." + std::to_string(decimals);
}

std::string selection_variable_line(const std::string& name, const std::string& format_text,
                                    const std::string& label, const std::string& missing_text) {
    std::string line = pad_columns_to_at_least(name, 10) + "; " + pad_characters(format_text, 10) + label;
    if (!missing_text.empty()) line += "  Missing values: " + missing_text;
    return line;
}

namespace {
std::string missing_number_text(double value) {
    if (value < -1e300) return "LO";
    if (value > 1e300) return "HI";
    double low = 0, high = 0;
    SpssFile::limits(low, high);
    return tab_number_text(value, low, high);
}
}  // namespace

std::string missing_values_text(const SpssFile::MissingValues& missing) {
    std::string text;
    auto add = [&](const std::string& item) { text += (text.empty() ? "" : ", ") + item; };
    for (std::size_t i = 0; i < missing.low.size(); ++i) {
        const std::string low = missing_number_text(missing.low[i]), high = missing_number_text(missing.high[i]);
        add(low == high ? low : low + " THRU " + high);
    }
    for (const std::string& value : missing.texts) {
        std::string quoted = "'";
        for (const char c : printable_value_text(value)) quoted += c == '\'' ? std::string("''") : std::string(1, c);
        add(quoted + "'");
    }
    return text;
}

Outcome write_spss_selection_file(const std::string& sav_path, const std::string& selection_path) {
    const std::string path(trim(sav_path));
    if (path.empty()) return Outcome{OutcomeKind::Cancelled, {}, {}, false};
    // The .sav file is read first: a selection file is never touched by a command that fails.
    SpssFile sav;
    if (const int status = sav.open(path, true); status != 0) return problem(cannot_open_message(path + " ", status));
    TextOutput out;
    if (!out.create(selection_path)) return work_file_failure("SPSS WORK FILE", "SP", 26);
    long cases = 0;
    int count = 0;
    sav.case_count(cases);
    sav.variable_count(count);
    for (const char* text : {"; Move SPSS variables under \"!Person Label Variables\"",
                             "; and \"!Item Response Variables\"",
                             "; SPSS variables can be placed in both sections.",
                             ";      Numeric variables are truncated to integers.",
                             ";      XWIDE= is set according to the biggest item response value.",
                             "; \"Save\" when completed", ""}) {
        out.line(text);
    }
    out.line("! SPSS File (do not delete this line): " + path);
    out.line(";      Number of Cases: " + std::to_string(cases));
    out.line(";      Number of SPSS Variables: " + std::to_string(count));
    for (const char* text : {"", "! Person Label Variables. (Do not delete this line)", "",
                             "! Item Response Variables. (Do not delete this line)", "",
                             "!Other SPSS Variables (ignored)", ";Variable   Format    Label"}) {
        out.line(text);
    }
    for (int i = 0; i < count; ++i) {
        std::string name, label;
        int type = 0, code = 0, decimals = 0, width = 0;
        sav.variable_name_and_type(i, name, type);
        sav.print_format(name, code, decimals, width);
        sav.variable_label(name, label);
        SpssFile::MissingValues missing;
        sav.missing_values(name, missing);
        out.line(selection_variable_line(name, print_format_text(code, width, decimals), printable_value_text(label),
                                         missing_values_text(missing)));
    }
    sav.close();
    if (!out.close()) return work_file_failure("SPSS WORK FILE", "SP", 26);
    return {};
}

}  // namespace korvelan::spss
