// Number reading: the numbers of control values, edit-file lines and Table requests.
#include "engine/run/numtext.h"

#include <algorithm>
#include <cstdlib>

namespace korvelan {

namespace {
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Keeps only "0123456789-." up to the given length; every other character becomes a blank.
void keep_number_characters(std::string& line, std::size_t upto) {
    for (std::size_t i = 0; i < upto && i < line.size(); ++i) {
        char c = line[i];
        if (!is_digit(c) && c != '-' && c != '.') line[i] = ' ';
    }
}
}  // namespace

void parse_first_integer(std::string_view text, int& pos, int& value) {
    value = 0;
    bool seen = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (is_digit(c)) {
            // Saturate rather than overflow on absurdly long digit runs.
            if (value < 214748364) value = value * 10 + (c - '0');
            seen = true;
        } else if (!seen) {
            continue;
        } else if (c == ' ') {
            continue;
        } else {
            pos = static_cast<int>(i) + 1;
            return;
        }
    }
    pos = seen ? static_cast<int>(text.size()) + 1 : -1;
}

namespace {
// Reads an unsigned decimal integer; blanks inside are ignored (as a formatted integer read
// does); anything else fails. Returns false on failure.
bool read_unsigned(std::string_view t, std::string& digits) {
    digits.clear();
    for (char c : t) {
        if (c == ' ') continue;
        if (!is_digit(c)) return false;
        digits.push_back(c);
    }
    return true;
}
}  // namespace

int parse_real_from_text(std::string_view text, float& value) {
    value = 0.0f;
    std::string_view t = trim(text);
    bool negative = false;
    if (!t.empty() && t.front() == '-') {
        negative = true;
        t.remove_prefix(1);
    }
    std::size_t p = t.find('.');
    std::string int_digits, frac_digits;
    if (!read_unsigned(t.substr(0, p == std::string_view::npos ? t.size() : p), int_digits))
        return kNumericInputError;
    if (p != std::string_view::npos && !read_unsigned(t.substr(p + 1), frac_digits))
        return kNumericInputError;
    // Trailing zeros of the fraction add nothing.
    while (!frac_digits.empty() && frac_digits.back() == '0') frac_digits.pop_back();
    std::size_t lead = int_digits.find_first_not_of('0');
    int_digits = lead == std::string::npos ? "" : int_digits.substr(lead);
    float v;
    if (int_digits.size() <= 9 && frac_digits.size() <= 9) {
        // Ordinary numbers: integer part plus fraction, both in single precision.
        float ip = int_digits.empty() ? 0.0f : static_cast<float>(std::atol(int_digits.c_str()));
        float fp = 0.0f;
        if (!frac_digits.empty()) {
            float k = static_cast<float>(std::atol(frac_digits.c_str()));
            float scale = 1.0f;
            for (std::size_t i = 0; i < frac_digits.size(); ++i) scale *= 10.0f;
            fp = k / scale;
        }
        v = ip + fp;
    } else {
        // Long numbers are converted with full precision.
        std::string s = (int_digits.empty() ? "0" : int_digits) + "." + frac_digits;
        v = static_cast<float>(std::strtod(s.c_str(), nullptr));
    }
    value = negative && v != 0.0f ? -v : v;
    return 0;
}

int parse_integer_from_text(std::string_view text, std::int64_t& value) {
    value = 0;
    std::string_view t = trim(text);
    bool negative = false;
    if (!t.empty() && t.front() == '-') {
        negative = true;
        t.remove_prefix(1);
    }
    std::string digits;
    if (!read_unsigned(t, digits)) return kNumericInputError;
    if (digits.size() > 18) return kNumericInputError;
    std::int64_t v = digits.empty() ? 0 : std::atoll(digits.c_str());
    value = negative ? -v : v;
    return 0;
}

namespace {
struct Field {
    std::size_t begin, end;  // [begin, end)
};

// Parses "a" or "a-b" (mark "-", or also "." when dot_is_mark) into first and last.
bool parse_entry_range(std::string_view f, bool dot_is_mark, int& first, int& last) {
    first = last = 0;
    bool after_mark = false, any_first = false, any_last = false;
    long long a = 0, b = 0;
    for (char c : f) {
        if (is_digit(c)) {
            long long& v = after_mark ? b : a;
            if (v < 100000000) v = v * 10 + (c - '0');
            (after_mark ? any_last : any_first) = true;
        } else if ((c == '-' || (dot_is_mark && c == '.')) && !after_mark) {
            after_mark = true;
        } else {
            return false;
        }
    }
    if (!any_first) return false;
    first = static_cast<int>(a);
    last = any_last ? static_cast<int>(b) : first;
    if (first > last) {
        first = last = 0;
        return false;
    }
    return true;
}
}  // namespace

void parse_numbers_in_line(std::string& line, int& first, float& value, int& status, int& last) {
    keep_number_characters(line, line.size());
    first = last = 0;
    value = 0.0f;
    status = -1;
    std::vector<Field> fields;
    std::size_t i = 0;
    while (i < line.size() && fields.size() < 2) {
        while (i < line.size() && (line[i] == ' ' || line[i] == ',')) ++i;
        if (i >= line.size()) break;
        std::size_t b = i;
        while (i < line.size() && line[i] != ' ' && line[i] != ',') ++i;
        fields.push_back({b, i});
    }
    if (fields.empty()) return;
    std::string_view f1(line.data() + fields[0].begin, fields[0].end - fields[0].begin);
    if (!parse_entry_range(f1, true, first, last)) {
        first = last = 0;
        return;
    }
    if (fields.size() < 2) return;
    std::string_view f2(line.data() + fields[1].begin, fields[1].end - fields[1].begin);
    float v;
    if (parse_real_from_text(f2, v) != 0) return;
    value = v;
    status = 0;
}

void split_entry_and_value(std::string& line, int& first, std::vector<float>& values, int& status,
                           std::string& rest, int& last) {
    keep_number_characters(line, line.size());
    first = last = 0;
    status = 0;
    rest.assign(line.size(), ' ');
    std::fill(values.begin(), values.end(), 0.0f);
    const std::size_t n = values.size();
    const std::size_t len = line.size();
    std::size_t i = 0;
    std::size_t f = 0;
    auto starts_field = [&](std::size_t k) {
        char c = line[k];
        if (is_digit(c)) return true;
        if (c == '.' || c == '-')
            return k + 1 < len && (is_digit(line[k + 1]) || line[k + 1] == '.' || line[k + 1] == '-');
        return false;
    };
    while (i < len) {
        if (!starts_field(i)) {
            ++i;
            continue;
        }
        std::size_t b = i;
        while (i < len && line[i] != ' ') ++i;
        std::string_view field(line.data() + b, i - b);
        ++f;
        if (f == 1) {
            if (!parse_entry_range(field, false, first, last)) {
                first = last = 0;
                status = -1;
                return;
            }
        } else {
            // More value fields than the array holds are not stored.
            if (f > n) return;
            float v;
            int st = parse_real_from_text(field, v);
            if (st != 0) {
                status = st;
                return;
            }
            values[f - 1] = v;
            if (f + 1 >= n) {
                std::string r = line.substr(i);
                left_justify_in_place(r);
                rest = pad_bytes(r, line.size());
                return;
            }
        }
    }
}

bool parse_entry_field(std::string_view field, bool dot_is_mark, int& first, int& last) {
    return parse_entry_range(field, dot_is_mark, first, last);
}

int parse_digit_string(std::string_view text) {
    int value = 0;
    for (char c : text) {
        if (!is_digit(c)) return -1;
        if (value < 214748364) value = value * 10 + (c - '0');
    }
    return value;
}

void parse_numeric_input_line(std::string& line, TableRequest& request) {
    std::size_t last = trim_right(line).size();
    keep_number_characters(line, last);
    request.letters.fill(' ');
    request.selectors.fill(0.0f);
    std::size_t i = 0;
    for (int k = 0; k < 8 && i < last; ++k) {
        while (i < last && line[i] == ' ') ++i;
        std::size_t b = i;
        while (i < last && line[i] != ' ' && line[i] != ',') ++i;
        std::string_view field(line.data() + b, i - b);
        if (i < last && line[i] == ',') ++i;
        if (field.empty() || field == "-") continue;
        float v = 0.0f;
        if (k == 0) {
            if (parse_real_from_text(field, v) == 0) request.table = static_cast<std::int32_t>(v);
            std::size_t p = field.find('.');
            if (p != std::string_view::npos) {
                float s = 0.0f;
                if (parse_real_from_text(field.substr(p + 1), s) == 0) {
                    request.selectors[0] = s;
                    if (s > 0.0f || (s == 0.0f && request.table == 1)) request.letters[0] = 'U';
                }
            }
        } else if (parse_real_from_text(field, v) == 0) {
            request.selectors[k] = v;
            request.letters[k] = 'U';
        } else {
            request.selectors[k] = 0.0f;
        }
    }
}

}  // namespace korvelan
