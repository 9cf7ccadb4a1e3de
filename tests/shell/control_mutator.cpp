#include "tests/shell/control_mutator.h"

#include <cctype>
#include <utility>

#include "engine/run/keyword_table.h"

namespace korvelan::testing {

namespace {

std::vector<std::string> split_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t end = text.find('\n', from);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(from, end - from));
        from = end + 1;
    }
    return lines;
}

std::string join_lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& l : lines) text += l + "\n";
    return text;
}

// Index of the "&END" line, or the line count when there is none.
std::size_t end_of_instructions(const std::vector<std::string>& lines) {
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].rfind("&END", 0) == 0) return i;
    return lines.size();
}

// Bytes that mean something to the reader; a folder separator is never among them.
constexpr char kTellingBytes[] = {'\0', '\r', '=', '*', '"', ';', '+', '$', '&', '\xff',
                                  '\x80', ' ', '\t', '9', '-', '.', '\'', '\x1a', ',', '('};

const char* const kExtremeNumbers[] = {"0",  "-1",   "32000",      "32001", "-32000",
                                       "2147483648", "99999999999999999999", "1E38",
                                       "0.0000001",  "-0", "1E", "."};

const char* const kOddValues[] = {
    "",         "0",        "-1",         "1",         "32000",     "-32000",    "32001",
    "99999999999", "1E38",  "-1E38",      "1E-38",     "NaN",       "inf",       "Y",
    "N",        "X",        "?",          "\"",        "\"\"",      "'",         "(",
    ")",        "$S1W99",   "$S0W0",      "$S9999E1",  "{",         "*Z",        ";",
    "+",        "(A1,T99999,4A1)", "(1000A1)", "( I1 )", "0123456789ABCDEF", ".5",
    "1.2.3",    " 7 ",      "\t",         "nofile.txt", "(4A1,/)"};

const char* const kListLines[] = {"1 2", "3 4", "-1 99999", "A", "0-0", "1-99999 5", "", "2 +",
                                  "99999999999 1", "$S1W1"};

}  // namespace

ControlMutator::ControlMutator(std::vector<std::string> bases, std::string control_name,
                               std::string report_name, std::uint32_t seed)
    : bases_(std::move(bases)),
      control_name_(std::move(control_name)),
      report_name_(std::move(report_name)),
      state_(seed) {}

std::uint32_t ControlMutator::pick(std::uint32_t n) {
    // splitmix64: the same numbers with every compiler and library.
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return n == 0 ? 0 : static_cast<std::uint32_t>(z % n);
}

std::string ControlMutator::odd_value() {
    const std::uint32_t n = sizeof kOddValues / sizeof *kOddValues;
    const std::uint32_t k = pick(n + 4);
    if (k < n) return kOddValues[k];
    if (k == n) return std::string(300, 'A');
    if (k == n + 1) return control_name_;
    if (k == n + 2) return report_name_;
    return "*";  // an in-line list follows
}

void ControlMutator::flip_byte(std::string& text) {
    if (text.empty()) return;
    char& c = text[pick(static_cast<std::uint32_t>(text.size()))];
    if (pick(2) == 0) c = static_cast<char>(c ^ (1 << pick(8)));
    else c = kTellingBytes[pick(sizeof kTellingBytes)];
    if (c == '/') c = '_';
}

void ControlMutator::change_lines(std::vector<std::string>& lines) {
    if (lines.empty()) return;
    const auto n = static_cast<std::uint32_t>(lines.size());
    const std::size_t at = pick(n);
    switch (pick(3)) {
        case 0: lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at)); break;
        case 1: lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(pick(n + 1)), lines[at]); break;
        default: std::swap(lines[at], lines[pick(n)]); break;
    }
}

void ControlMutator::make_number_extreme(std::string& text) {
    std::vector<std::pair<std::size_t, std::size_t>> runs;  // start, length of each digit run
    for (std::size_t i = 0; i < text.size();) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) ++j;
        runs.emplace_back(i, j - i);
        i = j;
    }
    if (runs.empty()) return;
    const auto [start, length] = runs[pick(static_cast<std::uint32_t>(runs.size()))];
    text.replace(start, length, kExtremeNumbers[pick(sizeof kExtremeNumbers / sizeof *kExtremeNumbers)]);
}

void ControlMutator::add_odd_instruction(std::vector<std::string>& lines) {
    const auto rules = keyword_table();
    const KeywordRule& rule = rules[pick(static_cast<std::uint32_t>(rules.size()))];
    const std::string name = rule.keyword ? std::string(rule.keyword) : std::string(rule.tests[0]) + "=";
    const std::string value = odd_value();
    std::vector<std::string> added{name + value};
    if (value == "*") {
        for (std::uint32_t k = pick(4); k > 0; --k) added.push_back(kListLines[pick(sizeof kListLines / sizeof *kListLines)]);
        if (pick(6) != 0) added.push_back("*");  // now and then the list is never closed
    }
    const std::size_t at = pick(static_cast<std::uint32_t>(end_of_instructions(lines)) + 1);
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), added.begin(), added.end());
}

std::string ControlMutator::next() {
    std::string text = bases_[pick(static_cast<std::uint32_t>(bases_.size()))];
    for (std::uint32_t changes = 1 + pick(3); changes > 0; --changes) {
        std::vector<std::string> lines = split_lines(text);
        switch (pick(6)) {
            case 0: flip_byte(text); continue;
            case 1: change_lines(lines); break;
            case 2: make_number_extreme(text); continue;
            case 3:
            case 4: add_odd_instruction(lines); break;
            default: text.resize(pick(static_cast<std::uint32_t>(text.size()) + 1)); continue;
        }
        text = join_lines(lines);
    }
    return text;
}

}  // namespace korvelan::testing
