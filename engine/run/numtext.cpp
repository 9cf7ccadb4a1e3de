// Text helpers and number-to-text routines: trimming, padding and case of text fields, the
// fixed-point texts, and the column formats of report lines and output-file records.
#include "engine/run/numtext.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace korvelan {

namespace {
constexpr double kTwoTo31 = 2147483648.0;

bool is_digit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

// ---- text helpers ---------------------------------------------------------------------------

std::string_view trim_right(std::string_view s) {
    std::size_t n = s.size();
    while (n > 0 && (s[n - 1] == ' ' || s[n - 1] == '\0')) --n;
    return s.substr(0, n);
}

std::string_view trim_left(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    return s.substr(i);
}

std::string_view trim(std::string_view s) { return trim_left(trim_right(s)); }

static char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

bool iequals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upper(a[i]) != upper(b[i])) return false;
    return true;
}

bool istarts_with(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && iequals(s.substr(0, prefix.size()), prefix);
}

void left_justify_in_place(std::string& text) {
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos || first == 0) return;
    std::size_t last = text.find_last_not_of(' ');
    std::size_t len = last - first + 1;
    std::memmove(text.data(), text.data() + first, len);
    std::fill(text.begin() + static_cast<std::ptrdiff_t>(len),
              text.begin() + static_cast<std::ptrdiff_t>(last + 1), ' ');
}

void uppercase_string(std::string& text, int n) {
    std::size_t m = std::min<std::size_t>(text.size(), n < 0 ? 0 : static_cast<std::size_t>(n));
    for (std::size_t i = 0; i < m; ++i) text[i] = upper(text[i]);
}

void uppercase_whole_string(std::string& text) {
    uppercase_string(text, static_cast<int>(text.size()));
}

// ---- fixed-point routines --------------------------------------------------------------------

void int_to_text_right(std::int64_t n, std::string& field) {
    std::fill(field.begin(), field.end(), ' ');
    const std::size_t len = field.size();
    if (len == 0) return;
    std::uint64_t mag = n < 0 ? static_cast<std::uint64_t>(-(n + 1)) + 1 : static_cast<std::uint64_t>(n);
    std::size_t pos = len;  // next position to fill, counted from 1
    do {
        field[pos - 1] = static_cast<char>('0' + mag % 10);
        mag /= 10;
        --pos;
    } while (mag != 0 && pos > 0);
    if (n < 0) field[pos > 0 ? pos - 1 : 0] = '-';
}

std::string int_to_text10(std::int64_t n) {
    std::string f(10, ' ');
    int_to_text_right(n, f);
    return f;
}

std::string int_to_text_left(std::int64_t n) {
    std::string f = int_to_text10(n);
    left_justify_in_place(f);
    return f;
}

int decimals_of_format(std::string_view format) {
    std::size_t p = format.find('.');
    if (p == std::string_view::npos || p + 1 >= format.size() || !is_digit(format[p + 1])) return 0;
    return format[p + 1] - '0';
}

void real_to_fixed_text(float x, std::string& field, std::string_view format) {
    const std::size_t len = field.size();
    if (len == 0) return;
    if (!std::isfinite(x) || std::fabs(static_cast<double>(x)) > kTwoTo31) {
        std::fill(field.begin(), field.end(), '*');
        return;
    }
    const int d = decimals_of_format(format);
    if (d == 0) {
        int_to_text_right(nint(x), field);
        return;
    }
    float y = x;
    for (int i = 0; i < d; ++i) y = static_cast<float>(y * 10.0f);
    if (std::fabs(static_cast<double>(y)) >= kTwoTo31) {
        // Beyond the 32-bit range the digits cannot be placed: a field of "*".
        std::fill(field.begin(), field.end(), '*');
        return;
    }
    const std::int32_t k = nint(y);
    std::string head(len - 1, ' ');
    int_to_text_right(k < 0 ? -static_cast<std::int64_t>(k) : k, head);
    std::fill(field.begin(), field.end(), ' ');
    std::copy(head.begin(), head.end(), field.begin());
    for (int i = 1; i <= d && static_cast<std::size_t>(i) < len; ++i) {
        char c = field[len - i - 1];
        field[len - i] = (c == ' ') ? '0' : c;
    }
    if (static_cast<std::size_t>(d) < len) field[len - d - 1] = '.';
    if (k < 0) {
        for (std::size_t i = 1; i < len; ++i) {
            if (field[i] != ' ') {
                field[i - 1] = '-';
                break;
            }
        }
    }
}

std::string real_to_text10(float x, std::string_view format) {
    std::string f(10, ' ');
    real_to_fixed_text(x, f, format);
    return f;
}

std::string real_to_text_left(float x, std::string_view format) {
    std::string f = real_to_text10(x, format);
    left_justify_in_place(f);
    return f;
}

std::string format_count_text(float x, std::string_view format) {
    std::string f = real_to_text_left(x, format);
    std::size_t cut = f.find(".000 ");
    if (cut == std::string::npos) cut = f.find(".00 ");
    if (cut != std::string::npos) std::fill(f.begin() + static_cast<std::ptrdiff_t>(cut), f.end(), ' ');
    if (trim(f).empty()) f[0] = '0';
    return f;
}

void double_to_fixed_text(double x, std::string& field, std::string_view format) {
    std::fill(field.begin(), field.end(), ' ');
    if (!std::isfinite(x) || std::fabs(x) > kTwoTo31) {
        std::fill(field.begin(), field.end(), '*');
        return;
    }
    const int d = decimals_of_format(format);
    const double a = std::fabs(x);
    std::string text = x < 0 ? "-" : "";
    if (d == 0) {
        text += std::to_string(static_cast<long long>(a + 0.499));
    } else {
        long long i = static_cast<long long>(a);
        double scale = std::pow(10.0, d);
        long long r = static_cast<long long>(std::floor((a - static_cast<double>(i)) * scale + 0.5));
        if (r >= static_cast<long long>(scale)) {
            ++i;
            r = 0;
        }
        std::string decimals = std::to_string(r);
        text += std::to_string(i) + "." + std::string(d - decimals.size(), '0') + decimals;
    }
    if (text.size() > field.size()) {
        std::fill(field.begin(), field.end(), '*');
        return;
    }
    std::copy(text.begin(), text.end(), field.begin());
}

std::string double_to_text30(double x, std::string_view format) {
    std::string f(30, ' ');
    double_to_fixed_text(x, f, format);
    return f;
}

// ---- formatted output ------------------------------------------------------------------------

std::int32_t nint(double x) {
    double r = std::round(x);  // halves away from zero
    if (r >= 2147483647.0) return 2147483647;
    if (r <= -2147483648.0) return -2147483647 - 1;
    return static_cast<std::int32_t>(r);
}

std::string fmt_i(std::int64_t n, int w) {
    std::string digits = std::to_string(n);
    if (w <= 0) return {};
    if (static_cast<int>(digits.size()) > w) return std::string(w, '*');
    return std::string(w - digits.size(), ' ') + digits;
}

namespace {

// The rule for a number in a fixed field of w columns. text_at(k, own) gives the number's text at
// k decimals without blanks (empty when it cannot be written so); `own` is true for the text at
// the field's own decimals. The text at the own decimals where it fits; else at fewer decimals,
// down to the whole number without a point; w "*" only where even that does not fit. So no
// number is lost to stars while a narrower form of it fits, and a fitting number is unchanged.
template <class TextAt>
std::string fitted_number(int w, int d, TextAt text_at) {
    const auto width = static_cast<std::size_t>(w);
    for (int k = d; k >= 0; --k) {
        const std::string text = text_at(k, k == d);
        if (!text.empty() && text.size() <= width) return std::string(width - text.size(), ' ') + text;
        if (k == 0 && d == 0) {
            const std::string whole = text_at(0, false);
            if (!whole.empty() && whole.size() <= width) return std::string(width - whole.size(), ' ') + whole;
        }
    }
    return std::string(width, '*');
}

// The rounded text from the full decimal expansion of |x|: exact for every value, and slow
// (a long printf), so it serves only the values rounded_magnitude cannot decide.
std::string fmt_f_expanded(double x, int d, bool point) {
    // Exact-enough decimal expansion of the magnitude, then rounding half away from zero.
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", d + 25, std::fabs(x));
    std::string s(buf);
    std::size_t at = s.find('.');
    std::string ip = s.substr(0, at);
    std::string fp = s.substr(at + 1, d);
    bool up = s[at + 1 + d] >= '5';
    if (up) {
        // Add one unit in the last kept place.
        std::string all = ip + fp;
        int i = static_cast<int>(all.size()) - 1;
        while (i >= 0) {
            if (all[i] == '9') {
                all[i] = '0';
                --i;
            } else {
                ++all[i];
                break;
            }
        }
        if (i < 0) all.insert(all.begin(), '1');
        ip = all.substr(0, all.size() - d);
        fp = all.substr(all.size() - d);
    }
    bool zero = ip.find_first_not_of('0') == std::string::npos &&
                fp.find_first_not_of('0') == std::string::npos;
    std::string text;
    if (x < 0 && !zero) text = "-";
    if (d == 0) {
        text += ip;
        if (point) text += ".";
    } else {
        if (ip != "0") text += ip;
        text += "." + fp;
    }
    return text;
}

// |x| x 10^d rounded half away from zero into `rounded`, when one multiplication decides it.
// Below 2^52 every whole number and every half is a double, and rounding the product is
// monotonic, so the product lies on the same side of each as the exact value, or on it: only a
// product that is a whole number or a half leaves the question open. False then, or when the
// product is too large, for fmt_f_expanded.
bool rounded_magnitude(double a, int d, std::uint64_t& rounded) {
    static constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12,
                                         1e13, 1e14, 1e15};
    if (d > 15) return false;
    const double s = a * kPowers[d];
    if (!(s < 1e15)) return false;
    const double whole = std::floor(s), fraction = s - whole;
    if (fraction == 0.0 || fraction == 0.5) return false;
    rounded = static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
    return true;
}

// The text of x at d decimals without blanks; at no decimals a point follows the digits when
// `point` is set.
std::string fixed_text(double x, int d, bool point) {
    std::uint64_t n = 0;
    if (!rounded_magnitude(std::fabs(x), d, n)) return fmt_f_expanded(x, d, point);
    // Digits from the last decimal back: d decimals, the point, then the whole part, whose "0"
    // is left out unless there are no decimals.
    char buf[40];
    char* p = buf + sizeof buf;
    const bool negative = x < 0 && n != 0;
    for (int k = 0; k < d; ++k, n /= 10) *--p = static_cast<char>('0' + n % 10);
    if (d > 0 || point) *--p = '.';
    if (n == 0 && d == 0) *--p = '0';
    for (; n != 0; n /= 10) *--p = static_cast<char>('0' + n % 10);
    if (negative) *--p = '-';
    return std::string(p, static_cast<std::size_t>(buf + sizeof buf - p));
}

}  // namespace

std::string fmt_f(double x, int w, int d) {
    if (w <= 0) return {};
    if (!std::isfinite(x) || std::fabs(x) >= 1e300) return std::string(w, '*');
    if (d < 0) d = 0;
    return fitted_number(w, d, [x](int k, bool own) { return fixed_text(x, k, own); });
}

std::string fmt_f_left(double x, int w, int d) { return std::string(trim_left(fmt_f(x, w, d))); }

namespace {
// Whether a number appended to the line would run into its last character. Line-drawing
// characters are single bytes above 0x7F until the line is written.
bool needs_blank(const std::string& line) {
    if (line.empty()) return false;
    const auto c = static_cast<unsigned char>(line.back());
    return c > ' ' && c < 0x7F;
}
}  // namespace

void append_table_number(std::string& line, double x, int w, int d) {
    if (w <= 0) return;
    if (w > 1 && needs_blank(line)) line += ' ' + fmt_f(x, w - 1, d);
    else line += fmt_f(x, w, d);
}

std::string with_table_number(std::string text, double x, int w, int d) {
    append_table_number(text, x, w, d);
    return text;
}

void append_table_integer(std::string& line, std::int64_t n, int w) {
    if (w <= 0) return;
    if (w > 1 && needs_blank(line)) line += ' ' + fmt_i(n, w - 1);
    else line += fmt_i(n, w);
}

// ---- fixed-point fields of output-file records -------------------------------------------------

namespace {

// The text real_to_fixed_text gives for x at k decimals, without blanks; empty where it cannot
// place the digits (beyond the 32-bit range).
std::string real_text_at(float x, int k) {
    // Fourteen columns hold every text real_to_fixed_text can make below 2^31 (ten digits, the
    // point and the sign) and stay inside the string's own small buffer.
    std::string field(14, ' ');
    char format[] = "(F.0)";
    format[3] = static_cast<char>('0' + std::clamp(k, 0, 9));
    real_to_fixed_text(x, field, format);
    if (field[0] == '*') return {};
    return std::string(trim_left(field));
}

constexpr int kFullNumberWidth = 14;

}  // namespace

void append_fixed_field(std::string& line, float x, int w, int d) {
    if (w <= 0) return;
    if (!std::isfinite(x)) {
        line.append(static_cast<std::size_t>(w), '*');
        return;
    }
    d = std::clamp(d, 0, 9);
    line += fitted_number(w, d, [x](int k, bool) { return real_text_at(x, k); });
}

void append_full_number(std::string& line, float x, int d) {
    if (!std::isfinite(x)) {
        line += '*';
        return;
    }
    d = std::clamp(d, 0, 9);
    const std::string text = fitted_number(kFullNumberWidth, d, [x](int k, bool) { return real_text_at(x, k); });
    line += text[0] == '*' ? std::string_view("*") : trim_left(text);
}

}  // namespace korvelan
