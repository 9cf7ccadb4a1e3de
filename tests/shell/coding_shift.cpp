#include "tests/shell/coding_shift.h"

#include <cmath>
#include <cstdlib>
#include <regex>

#include "tests/support/test_files.h"

namespace korvelan::testing {

namespace {

std::vector<std::string> tokens(const std::string& line) {
    std::vector<std::string> out;
    std::string t;
    for (char c : line) {
        if (c == ' ' || c == '|') {
            if (!t.empty()) out.push_back(t);
            t.clear();
        } else {
            t += c;
        }
    }
    if (!t.empty()) out.push_back(t);
    return out;
}

// The value of a token that is a plain number ("12", "-.50", "3.1"), and its decimals.
bool number_of(const std::string& t, double& v, int& decimals) {
    static const std::regex kNumber(R"(-?(\d+\.?\d*|\.\d+))");
    if (!std::regex_match(t, kNumber)) return false;
    v = std::strtod(t.c_str(), nullptr);
    const std::size_t point = t.find('.');
    decimals = point == std::string::npos ? 0 : static_cast<int>(t.size() - point - 1);
    return true;
}

// Every character the same, or a digit (or its out-of-zone letter) raised by the shift.
bool code_string_moved(const std::string& a, const std::string& b, int shift) {
    if (a.size() != b.size() || a == b) return false;
    for (std::size_t k = 0; k < a.size(); ++k) {
        if (a[k] == b[k]) continue;
        const bool digits = a[k] >= '0' && a[k] <= '9' && b[k] >= '0' && b[k] <= '9';
        const bool letters = a[k] >= '@' && a[k] <= 'I' && b[k] >= '@' && b[k] <= 'I';
        if (!(digits || letters) || b[k] - a[k] != shift) return false;
    }
    return true;
}

bool holds_label(const std::string& line, const std::vector<std::string>& labels) {
    for (const std::string& l : labels)
        if (line.find(l) != std::string::npos) return true;
    return false;
}

FieldMove explain(const std::string& a, const std::string& b, const std::vector<std::string>& line_a,
                  const std::vector<std::string>& line_b, int shift, const std::vector<int>& counts) {
    // "UMEAN=11.943": the number after a name that stays.
    const std::size_t eq = a.find('=');
    if (eq != std::string::npos && eq + 1 < a.size() && b.compare(0, eq + 1, a, 0, eq + 1) == 0)
        return explain(a.substr(eq + 1), b.substr(eq + 1), line_a, line_b, shift, counts);
    double x = 0.0, y = 0.0;
    int da = 0, db = 0;
    if (number_of(a, x, da) && number_of(b, y, db)) {
        const double unit = std::pow(10.0, -std::max(da, db));
        const double diff = y - x;
        if (std::fabs(diff - shift) <= 1.01 * unit) return FieldMove::Value;
        // A row of plotted codes reads as a number too.
        if (a.size() > 1 && code_string_moved(a, b, shift)) return FieldMove::Code;
        for (const auto* line : {&line_a, &line_b})
            for (const std::string& t : *line) {
                double m = 0.0;
                int dm = 0;
                if (!number_of(t, m, dm) || m <= 1.0) continue;
                const double tolerance = 1.01 * unit + shift * 0.51 * std::pow(10.0, -dm);
                if (std::fabs(diff - shift * m) <= tolerance) return FieldMove::Score;
            }
        for (int m : counts)
            if (std::fabs(diff - shift * m) <= 1.01 * unit) return FieldMove::Score;
    }
    return code_string_moved(a, b, shift) ? FieldMove::Code : FieldMove::Same;
}

}  // namespace

std::set<std::string> ShiftComparison::sections(FieldMove move) const {
    std::set<std::string> s;
    for (const MovedField& f : moved)
        if (f.move == move) s.insert(f.section);
    return s;
}

std::vector<std::string> comparable_lines(const std::string& bytes, const std::string& path) {
    static const std::regex kDate(R"([A-Z][a-z][a-z] [ 0-9]\d +\d+:\d\d \d{4})");
    std::vector<std::string> lines = crlf_lines(bytes);
    for (std::string& l : lines) {
        l = std::regex_replace(l, kDate, "<date>");
        for (std::size_t at = path.empty() ? std::string::npos : l.find(path); at != std::string::npos;
             at = l.find(path, at))
            l.replace(at, path.size(), "<dir>/");
    }
    return lines;
}

std::map<std::string, std::vector<std::string>> report_tables(const std::vector<std::string>& lines) {
    static const std::regex kTable(R"(^\f?TABLE (\d+\.\d+) )");
    std::map<std::string, std::vector<std::string>> out;
    std::string current = "0";
    for (const std::string& l : lines) {
        std::smatch m;
        if (std::regex_search(l, m, kTable)) current = m[1];
        out[current].push_back(l);
    }
    return out;
}

void compare_shifted(const std::string& section, const std::vector<std::string>& before,
                     const std::vector<std::string>& after, int shift, const ShiftRules& rules,
                     ShiftComparison& out) {
    if (before.size() != after.size()) {
        out.unexplained.push_back(section + ": " + std::to_string(before.size()) + " lines against " +
                                  std::to_string(after.size()));
        return;
    }
    for (std::size_t n = 0; n < before.size(); ++n) {
        if (before[n] == after[n]) continue;
        const std::vector<std::string> a = tokens(before[n]), b = tokens(after[n]);
        if (a.size() != b.size()) {
            out.unexplained.push_back(section + ": [" + before[n] + "] against [" + after[n] + "]");
            continue;
        }
        for (std::size_t k = 0; k < a.size(); ++k) {
            if (a[k] == b[k]) continue;
            double x = 0.0;
            int d = 0;
            const FieldMove move = holds_label(before[n], rules.spread_labels) && number_of(a[k], x, d)
                                       ? FieldMove::Spread
                                       : explain(a[k], b[k], a, b, shift, rules.counts);
            if (move == FieldMove::Same)
                out.unexplained.push_back(section + ": " + a[k] + " -> " + b[k] + " in [" + before[n] +
                                          "] against [" + after[n] + "]");
            else
                out.moved.push_back(MovedField{section, move, a[k], b[k], before[n]});
        }
    }
}

}  // namespace korvelan::testing
