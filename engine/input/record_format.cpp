#include "engine/input/record_format.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>

#include "engine/run/message_texts.h"
#include "engine/run/messages.h"

namespace korvelan {

// ---- compiling ---------------------------------------------------------------------------------

namespace {

using Op = RecordFormat::Op;
namespace fe = format_error;

constexpr int kMaxDepth = 16;
constexpr std::int64_t kMaxValue = 32766;

struct Compiler {
    std::string s;  // upper-cased, without blanks
    std::size_t i = 0;
    RecordFormat& out;
    int depth = 0;
    std::int32_t last_top_group = 0;

    bool more() const { return i < s.size(); }
    bool digit() const { return more() && s[i] >= '0' && s[i] <= '9'; }

    int number(std::int32_t& value) {
        std::int64_t v = 0;
        while (digit()) {
            v = std::min<std::int64_t>(v * 10 + (s[i] - '0'), kMaxValue + 1);
            ++i;
        }
        if (v > kMaxValue) return fe::kValueTooLarge;
        value = static_cast<std::int32_t>(v);
        return 0;
    }
    // A number that must follow a letter and be positive.
    int positive(std::int32_t& value) {
        if (!digit()) return fe::kIntegerExpected;
        if (int st = number(value)) return st;
        return value == 0 ? fe::kPositiveRequired : 0;
    }
    void emit(Op op, std::int32_t count, std::int32_t value) {
        out.steps.push_back({op, count, value});
    }

    // I, F, E, D, G, L: their widths are checked; they read nothing into text fields.
    int other_data(char letter, std::int32_t count) {
        std::int32_t w = 0;
        if (int st = positive(w)) return st;
        if (letter == 'F' || letter == 'D' || letter == 'E' || letter == 'G') {
            if (!more() || s[i] != '.') return fe::kDecimalPointNeeded;
            ++i;
            if (!digit()) return fe::kIntegerExpected;
            if (int st = number(w)) return st;
            if ((letter == 'E' || letter == 'G') && more() && s[i] == 'E' && i + 1 < s.size() &&
                s[i + 1] >= '0' && s[i + 1] <= '9') {
                ++i;
                if (int st = number(w)) return st;
            }
        } else if (letter == 'I' && more() && s[i] == '.') {
            ++i;
            if (!digit()) return fe::kIntegerExpected;
            if (int st = number(w)) return st;
        }
        emit(Op::OtherData, count, 0);
        return 0;
    }

    // One edit descriptor (with its repeat count) or a nested group.
    int item() {
        bool has_count = digit();
        std::int32_t n = 1;
        if (has_count) {
            if (int st = number(n)) return st;
            if (!more()) return fe::kNotEnoughClose;
        }
        const char c = s[i];
        const bool zero_repeat = has_count && n == 0;
        auto no_count = [&](int code_if_counted) { return has_count ? code_if_counted : 0; };
        switch (c) {
            case '(': {
                if (zero_repeat) return fe::kRepeatNotPositive;
                std::int32_t begin = static_cast<std::int32_t>(out.steps.size());
                if (int st = group(n)) return st;
                if (depth == 1) last_top_group = begin;
                return 0;
            }
            case 'A': {
                ++i;
                if (zero_repeat) return fe::kRepeatNotPositive;
                std::int32_t w = 0;
                if (digit()) {
                    if (int st = number(w)) return st;
                    if (w == 0) return fe::kPositiveRequired;
                }
                emit(Op::ReadA, n, w);
                return 0;
            }
            case 'X':
                ++i;
                if (!has_count) return fe::kIntegerBeforeX;
                if (n == 0) return fe::kPositiveRequired;
                emit(Op::Skip, 1, n);
                return 0;
            case '/':
                ++i;
                if (zero_repeat) return fe::kRepeatNotPositive;
                emit(Op::NextLine, n, 0);
                return 0;
            case 'P':  // scale factor: no effect on text fields
                ++i;
                return has_count ? 0 : fe::kIntegerExpected;
            case 'I':
            case 'L':
            case 'F':
            case 'D':
            case 'E':
            case 'G':
                ++i;
                if (zero_repeat) return fe::kRepeatNotPositive;
                return other_data(c, n);
            case '*':
                return fe::kMultipleRepeat;
            case 'T': {
                if (int st = no_count(fe::kInvalidRepeat)) return st;
                ++i;
                Op op = Op::Tab;
                if (more() && s[i] == 'L') {
                    op = Op::TabLeft;
                    ++i;
                } else if (more() && s[i] == 'R') {
                    op = Op::Skip;
                    ++i;
                }
                std::int32_t v = 0;
                if (int st = positive(v)) return st;
                emit(op, 1, v);
                return 0;
            }
            case 'B':
                if (int st = no_count(fe::kInvalidRepeat)) return st;
                ++i;
                if (!more() || (s[i] != 'N' && s[i] != 'Z')) return fe::kBNotNOrZ;
                ++i;
                return 0;
            case 'S':
                if (int st = no_count(fe::kInvalidRepeat)) return st;
                ++i;
                if (more() && (s[i] == 'P' || s[i] == 'S')) ++i;
                return 0;
            case ':':
                if (int st = no_count(fe::kInvalidRepeat)) return st;
                ++i;
                emit(Op::Colon, 1, 0);
                return 0;
            default:
                return has_count ? fe::kInvalidNumber : fe::kUnknownCharacter;
        }
    }

    // A group from its "(" to its ")".
    int group(std::int32_t repeat) {
        if (++depth > kMaxDepth) return fe::kTooDeep;
        const auto begin = static_cast<std::int32_t>(out.steps.size());
        emit(Op::GroupBegin, repeat, 0);
        ++i;
        for (;;) {
            while (more() && s[i] == ',') ++i;
            if (!more()) return fe::kNotEnoughClose;
            if (s[i] == ')') {
                ++i;
                emit(Op::GroupEnd, 0, begin);
                --depth;
                return 0;
            }
            const std::size_t at = i;
            if (int st = item()) return st;
            // Descriptors are separated by commas; "/", ":" and a scale factor need none.
            const char kind = s[at + std::strspn(s.c_str() + at, "0123456789")];
            if (kind == '/' || kind == ':' || kind == 'P' || !more()) continue;
            const char next = s[i];
            if (next != ',' && next != ')' && next != '/' && next != ':') {
                const char last = s[i - 1];
                return last >= '0' && last <= '9' ? fe::kIntegerExpected : fe::kUnknownCharacter;
            }
        }
    }
};

}  // namespace

int compile_record_format(std::string_view text, RecordFormat& out) {
    out.steps.clear();
    out.reversion_start = 0;
    out.reversion_reads = false;
    Compiler c{std::string(), 0, out};
    for (char ch : text) {
        if (ch == ' ' || ch == '\t') continue;
        c.s.push_back(ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch);
    }
    if (c.s.empty() || c.s[0] != '(') return fe::kMustStartWithParen;
    if (int st = c.group(1)) {
        out.steps.clear();
        return st;
    }
    out.reversion_start = c.last_top_group;
    for (std::size_t k = static_cast<std::size_t>(out.reversion_start); k < out.steps.size(); ++k)
        if (out.steps[k].op == Op::ReadA) out.reversion_reads = true;
    return 0;
}

// ---- reading -----------------------------------------------------------------------------------

int read_formatted_record(const RecordFormat& format, RecordLineSource& lines,
                          std::int32_t field_width, std::int32_t field_count, char* out,
                          std::uint32_t* out_cells, bool* multibyte) {
    if (format.steps.empty()) return fe::kMustStartWithParen;
    std::string_view line;
    if (int st = lines.next_line(line)) return st;

    constexpr std::int64_t kPositionCap = std::int64_t{1} << 40;
    const std::int64_t width = std::max(field_width, 1);
    std::int64_t pos = 0;      // column of the line, from 0
    std::int32_t items = 0;    // fields read
    std::int64_t pending = 0;  // lines to go on to before the next field is read
    struct Frame {
        std::int32_t begin;
        std::int32_t left;
    };
    std::array<Frame, kMaxDepth + 1> stack;
    int depth = 0;

    auto go_on_to_pending_line = [&]() -> int {
        for (; pending > 0; --pending)
            if (int st = lines.next_line(line)) return st;
        return 0;
    };
    // The record is complete: lines still to be passed over are consumed; the end of the source
    // there is no fault.
    auto finish = [&]() -> int {
        int st = go_on_to_pending_line();
        return st == -1 ? 0 : st;
    };

    std::size_t pc = 0;
    for (;;) {
        const RecordFormat::Step& s = format.steps[pc];
        switch (s.op) {
            case Op::GroupBegin:
                stack[static_cast<std::size_t>(depth++)] = {static_cast<std::int32_t>(pc), s.count};
                ++pc;
                break;
            case Op::GroupEnd: {
                Frame& f = stack[static_cast<std::size_t>(depth - 1)];
                if (--f.left > 0) {
                    pc = static_cast<std::size_t>(f.begin) + 1;
                    break;
                }
                if (--depth > 0) {
                    ++pc;
                    break;
                }
                if (items >= field_count) return finish();
                if (!format.reversion_reads) return fe::kNotAField;
                // Format used up before the fields: a new line, from the reversion point.
                ++pending;
                pos = 0;
                stack[0] = {0, 1};
                depth = 1;
                pc = format.reversion_start == 0 ? 1
                                                 : static_cast<std::size_t>(format.reversion_start);
                break;
            }
            case Op::ReadA:
                for (std::int32_t r = 0; r < s.count; ++r) {
                    if (items >= field_count) return finish();
                    if (int st = go_on_to_pending_line()) return st;
                    const std::int64_t w = s.value > 0 ? s.value : width;
                    const std::int64_t from = w >= width ? pos + (w - width) : pos;
                    const std::int64_t take = std::min(w, width);
                    char* dest = out + static_cast<std::int64_t>(items) * width;
                    const std::uint32_t* cells = out_cells ? lines.cells() : nullptr;
                    if (cells && multibyte) *multibyte = true;
                    for (std::int64_t k = 0; k < width; ++k) {
                        const std::int64_t col = from + k;
                        const bool in_line =
                            k < take && col < static_cast<std::int64_t>(line.size());
                        dest[k] = in_line ? line[static_cast<std::size_t>(col)] : ' ';
                        if (out_cells)
                            out_cells[static_cast<std::int64_t>(items) * width + k] =
                                in_line && cells ? cells[col] : static_cast<unsigned char>(dest[k]);
                    }
                    pos = std::min(pos + w, kPositionCap);
                    ++items;
                }
                ++pc;
                break;
            case Op::OtherData:
                if (items >= field_count) return finish();
                return fe::kNotAField;
            case Op::Colon:
                if (items >= field_count) return finish();
                ++pc;
                break;
            case Op::Skip:
                pos = std::min(pos + s.value, kPositionCap);
                ++pc;
                break;
            case Op::Tab:
                pos = s.value - 1;
                ++pc;
                break;
            case Op::TabLeft:
                pos = std::max<std::int64_t>(pos - s.value, 0);
                ++pc;
                break;
            case Op::NextLine:
                pending += s.count;
                pos = 0;
                ++pc;
                break;
        }
    }
}

}  // namespace korvelan
