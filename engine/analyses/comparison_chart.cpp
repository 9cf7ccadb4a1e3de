// The text chart of a comparison: a left, a difference and a right panel scaled together to 60
// characters, and the entry numbers and labels.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/analyses/measure_comparison.h"
#include "engine/run/report_line.h"

namespace korvelan {

namespace {

struct Range {
    double low = 0, high = 0;
    void widen(double v, bool first) {
        low = first ? v : std::min(low, v);
        high = first ? v : std::max(high, v);
    }
    void round_out() {
        const double l = nint(low), h = nint(high);
        low = l > low ? l - 1 : l;
        high = h < high ? h + 1 : h;
    }
    double span() const { return high - low; }
};

struct Panel {
    Range range;
    int width = 1;
    std::string title;
};

// The title centred in the field by screen columns, cut to it before a character that does not
// fit whole.
std::string centred(const std::string& title, int width) {
    const auto w = static_cast<std::size_t>(std::max(width, 0));
    const std::size_t lead = (w - std::min(display_width(title), w)) / 2;
    return pad_right(std::string(lead, ' ') + std::string(display_prefix(title, w - lead)), w);
}

int position(double v, double low, double scale) { return nint((v - low) * scale) + 1; }

void mark(std::string& field, int pos, char c) {
    pos = std::clamp(pos, 1, static_cast<int>(field.size()));
    field[static_cast<std::size_t>(pos - 1)] = c;
}

std::string scale_field(const Panel& p, bool mean_squares, double reference, double scale) {
    std::string field(static_cast<std::size_t>(p.width), ' ');
    const std::string low(trim(int_to_text_left(nint(p.range.low))));
    field.replace(0, std::min(low.size(), field.size()), low.substr(0, field.size()));
    const std::size_t blank = low.size() + 1;
    const std::string high(trim(int_to_text_left(nint(p.range.high))));
    if (field.size() > blank && field.size() - blank >= high.size())
        field.replace(field.size() - high.size(), high.size(), high);
    if (mean_squares && p.width >= 3) {
        const int pos = std::clamp(position(reference, p.range.low, scale), 2, p.width - 1);
        if (field.substr(static_cast<std::size_t>(pos - 2), 3) == "   ")
            field[static_cast<std::size_t>(pos - 1)] = reference == 0 ? '0' : '1';
    }
    return field;
}

std::string frame(char left, char middle, char right, const Panel (&p)[3], int label_width) {
    std::string line = " ";
    line += left;
    for (const Panel& panel : p) line += std::string(static_cast<std::size_t>(panel.width), box::kHorizontal) + middle;
    line += std::string(static_cast<std::size_t>(label_width), box::kHorizontal) + right;
    return line;
}

std::string row(const std::string (&fields)[4]) {
    const std::string v(1, box::kVertical);
    return " " + v + fields[0] + v + fields[1] + v + fields[2] + v + fields[3] + v;
}

}  // namespace

std::vector<std::string> comparison_chart(const std::vector<ComparedEntry>& entries, char column,
                                          const std::string& left_title, const std::string& right_title) {
    Panel p[3];
    std::size_t longest = 0;
    int last = 0;
    bool first = true;
    for (std::size_t e = 0; e < entries.size(); ++e) {
        const ComparedEntry& c = entries[e];
        if (!c.right) continue;
        p[0].range.widen(c.left_value, first);
        p[1].range.widen(static_cast<double>(c.right_value) - c.left_value, first);
        p[2].range.widen(c.right_value, first);
        first = false;
        last = static_cast<int>(e) + 1;
        longest = std::max(longest, display_width(c.label));
    }
    if (first) return {};
    double total = 0;
    for (Panel& panel : p) {
        panel.range.round_out();
        total += panel.range.span();
    }
    if (total <= 1) total = 1;
    const double scale = 60.0 / total;
    for (Panel& panel : p) panel.width = nint(panel.range.span() * scale) + 1;
    const int digits = static_cast<int>(trim(int_to_text_left(last)).size());
    const int label_width = std::min(60, std::max(11, digits + 4 + static_cast<int>(longest)));
    const bool mean_squares = column != 'M';
    p[0].title = left_title;
    p[1].title = column == 'M' ? "Measure Difference" : column == 'I' ? "Infit MnSq Difference" : "Outfit MnSq Difference";
    p[2].title = right_title;
    const double references[3] = {1, 0, 1};

    std::vector<std::string> lines;
    lines.push_back(frame(box::kDownRight, box::kDownHorizontal, box::kDownLeft, p, label_width));
    lines.push_back(row({centred(p[0].title, p[0].width), centred(p[1].title, p[1].width),
                         centred(p[2].title, p[2].width), pad_right(" File Comparison", static_cast<std::size_t>(label_width))}));
    std::string scales[4];
    for (int k = 0; k < 3; ++k) scales[k] = scale_field(p[k], mean_squares, references[k], scale);
    scales[3] = pad_right(" NUM  LABEL", static_cast<std::size_t>(label_width));
    lines.push_back(row(scales));
    lines.push_back(frame(box::kVerticalRight, box::kCross, box::kVerticalLeft, p, label_width));
    for (std::size_t e = 0; e < entries.size(); ++e) {
        const ComparedEntry& c = entries[e];
        if (!c.right) continue;
        std::string f[4];
        for (int k = 0; k < 3; ++k) {
            f[k].assign(static_cast<std::size_t>(p[k].width), ' ');
            if (mean_squares) mark(f[k], position(references[k], p[k].range.low, scale), '.');
            else mark(f[k], nint(p[k].range.span() * scale / 2) + 1, '.');
        }
        mark(f[0], position(c.left_value, p[0].range.low, scale), '*');
        mark(f[1], position(static_cast<double>(c.right_value) - c.left_value, p[1].range.low, scale), '*');
        mark(f[2], position(c.right_value, p[2].range.low, scale), '*');
        f[3] = pad_right(fmt_i(static_cast<std::int64_t>(e) + 1, digits + 1) + "  " + c.label,
                         static_cast<std::size_t>(label_width));
        lines.push_back(row(f));
    }
    lines.push_back(frame(box::kUpRight, box::kUpHorizontal, box::kUpLeft, p, label_width));
    return lines;
}

}  // namespace korvelan
