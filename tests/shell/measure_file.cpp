#include "tests/shell/measure_file.h"

#include <cstdlib>

#include "tests/support/test_files.h"

namespace korvelan::testing {

std::vector<std::string> measure_file_body(const std::string& path) {
    std::vector<std::string> lines = crlf_lines(read_file(path));
    std::vector<std::string> body;
    bool heading_seen = false;
    for (const std::string& line : lines) {
        if (heading_seen)
            body.push_back(line);
        else
            heading_seen = line.rfind(";ENTRY", 0) == 0;
    }
    return body;
}

std::vector<MeasureRecord> read_measure_file(const std::string& path) {
    std::vector<std::string> lines = crlf_lines(read_file(path));
    for (std::size_t n = 0; n < lines.size(); ++n) {
        if (lines[n].rfind(";ENTRY", 0) != 0) continue;
        const bool items = lines[n].find(" G M ") != std::string::npos;
        return read_measure_records(lines, items, n + 1);
    }
    return {};
}

std::string columns(const std::string& line, std::size_t first, std::size_t last) {
    if (first > line.size()) return "";
    std::string s = line.substr(first - 1, last - first + 1);
    const std::size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return "";
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

std::vector<MeasureRecord> read_measure_records(const std::vector<std::string>& lines, bool items,
                                                std::size_t headings) {
    std::vector<MeasureRecord> out;
    for (std::size_t n = headings; n < lines.size(); ++n) {
        const std::string& l = lines[n];
        MeasureRecord r;
        r.flag = l.empty() ? ' ' : l[0];
        r.commented = r.flag == ';';
        r.entry = std::atoi(columns(l, 2, 6).c_str());
        r.measure = std::atof(columns(l, 7, 14).c_str());
        r.status = std::atoi(columns(l, 15, 17).c_str());
        r.count = std::atof(columns(l, 18, 25).c_str());
        r.score = std::atof(columns(l, 26, 34).c_str());
        r.error = std::atof(columns(l, 35, 41).c_str());
        for (std::size_t c = 42; c < 91; c += 7) r.fit.push_back(std::atof(columns(l, c, c + 6).c_str()));
        if (items) {
            r.group = l.size() >= 92 ? l[91] : ' ';
            r.model = l.size() >= 94 ? l[93] : ' ';
            r.label = l.size() >= 96 ? l.substr(95) : "";
        } else {
            r.label = l.size() >= 92 ? l.substr(91) : "";
        }
        out.push_back(r);
    }
    return out;
}

std::vector<std::string> split_fields(const std::string& line, char separator) {
    std::vector<std::string> fields(1);
    bool inside = false;
    for (char c : line) {
        if (c == '"') {
            inside = !inside;
        } else if (c == separator && !inside) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

}  // namespace korvelan::testing
