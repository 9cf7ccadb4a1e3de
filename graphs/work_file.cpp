#include "graphs/work_file.h"

#include <sys/stat.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>

#include "engine/run/numtext.h"
#include "engine/run/text_lines.h"

namespace korvelan::graphs {

namespace {

constexpr const char* kSupportAddress = "support@korvelan.org";
// Counts of groups and categories are 16-bit values in the file's writer.
constexpr std::int32_t kLargestCount = 32767;
// korvelan writes the reals in fields of 10 characters, with fewer decimals for wider values.
// Measures, scale and steps beyond ten million user units are not from a real analysis; the
// limit also keeps the grid's integer arithmetic far from overflow.
constexpr double kLargestMagnitude = 1.0e7;

// The lines of the file, read one at a time as every text file of the program is read; the final
// line end does not start another line. A line is looked at ahead to see whether the file ends.
class Lines {
public:
    explicit Lines(TextLineFile& file) : file_(file) {}
    bool next(std::string& line) {
        if (ahead_held_) {
            ahead_held_ = false;
            line.swap(ahead_);
            ++number_;
            return true;
        }
        const bool got = read(line);
        if (got) ++number_;
        return got;
    }
    long number() const { return number_; }  // of the last line given out
    bool at_end() {
        if (!ahead_held_) ahead_held_ = read(ahead_);
        return !ahead_held_;
    }
    int status() const { return status_; }

private:
    bool read(std::string& line) {
        if (status_ != 0) return false;
        status_ = file_.next(line);
        return status_ == 0;
    }
    TextLineFile& file_;
    std::string ahead_;
    bool ahead_held_ = false;
    int status_ = 0;  // of the last read: 0, -1 at the end, else a failed or runaway line
    long number_ = 0;
};

// Thrown inside the reader for a file that ends early or whose counts do not fit.
struct BadData {};
// Thrown for a number line that cannot be read as one.
struct BadValue {
    UnreadableLine line;
};

class Reader {
public:
    explicit Reader(Lines& lines) : lines_(lines) {}
    std::string line() {
        std::string l;
        if (!lines_.next(l)) throw BadData{};
        return l;
    }
    void marker() { line(); }
    float real() {
        const std::string l = line();
        bool found = false;
        const double v = leading_number(l, &found);
        if (!found || !(std::fabs(v) <= kLargestMagnitude)) throw BadValue{{lines_.number(), l}};
        return static_cast<float>(v);
    }
    // A value that is only stored: any finite number.
    double finite() {
        const double v = leading_number(line());
        if (!std::isfinite(v)) throw BadData{};
        return v;
    }
    std::int32_t integer(std::int32_t lo, std::int32_t hi) {
        const std::string l = line();
        bool found = false;
        const double v = leading_number(l, &found);
        if (!found) throw BadValue{{lines_.number(), l}};
        if (!(v >= lo - 0.5 && v <= hi + 0.5)) throw BadData{};
        return round_half_even(v, lo, hi);
    }
    // The group count of a section: the same in every section.
    void count(std::size_t groups) {
        if (integer(1, kLargestCount) != static_cast<std::int32_t>(groups)) throw BadData{};
    }

private:
    Lines& lines_;
};

void read_sections(Reader& in, GraphsData& d) {
    d.origin = in.finite();
    d.scale = in.real();
    d.exponent_cap = in.real();
    // exp() of a single overflows a little above 88.
    if (!(d.exponent_cap > 0.0f && d.exponent_cap <= 80.0f)) throw BadData{};
    d.low_measure = in.real();
    d.high_measure = in.real();
    in.marker();
    const std::int32_t n = in.integer(1, kLargestCount);
    for (std::int32_t g = 0; g < n; ++g) {
        d.groups.emplace_back();
        d.groups.back().model_code = in.integer(-kLargestCount, kLargestCount);
    }
    in.marker();
    in.count(d.groups.size());
    for (GraphsGroup& g : d.groups) g.top = in.integer(1, kLargestCount);
    in.marker();
    in.count(d.groups.size());
    d.maximum_category = in.integer(1, kLargestCount);
    for (GraphsGroup& g : d.groups) {
        if (g.top > d.maximum_category) throw BadData{};
        g.steps.assign(1, 0.0f);
        for (std::int32_t k = 1; k <= g.top; ++k) g.steps.push_back(in.real());
    }
    in.marker();
    in.count(d.groups.size());
    if (in.integer(1, kLargestCount) != d.maximum_category) throw BadData{};
    for (GraphsGroup& g : d.groups) {
        g.status.assign(1, 0);
        for (std::int32_t k = 1; k <= g.top; ++k) g.status.push_back(in.integer(-kLargestCount, kLargestCount));
    }
    in.marker();
    in.count(d.groups.size());
    for (GraphsGroup& g : d.groups) g.bottom_value = in.integer(-kLargestCount, kLargestCount);
    in.marker();
    in.count(d.groups.size());
    for (GraphsGroup& g : d.groups) g.label = in.line();
    in.marker();  // the end marker "9"
}

}  // namespace

std::optional<FileStamp> file_stamp(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileStamp{static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
                     static_cast<std::int64_t>(st.st_size)};
}

ReadOutcome read_work_file(const std::string& path, GraphsData& data, UnreadableLine* unreadable) {
    TextLineFile file;
    if (!file.open(path)) return ReadOutcome::OpenFailed;
    Lines lines(file);
    GraphsData read;
    Reader in(lines);
    bool ended_early = false;
    std::optional<UnreadableLine> bad_value;
    try {
        read_sections(in, read);
    } catch (const BadData&) {
        ended_early = true;
    } catch (const BadValue& bad) {
        ended_early = true;
        bad_value = bad.line;
    }
    const bool more = !ended_early && !lines.at_end();
    // A line without end within reach is not a work file's line.
    if (lines.status() == kLineRunsOn) return ReadOutcome::TooMuchData;
    if (lines.status() > 0) return ReadOutcome::OpenFailed;
    if (bad_value) {
        if (unreadable) *unreadable = *bad_value;
        return ReadOutcome::UnreadableValue;
    }
    if (ended_early) return ReadOutcome::NotEnoughData;
    if (more) return ReadOutcome::TooMuchData;
    data = std::move(read);
    return ReadOutcome::Read;
}

std::string read_outcome_message(ReadOutcome outcome, const std::string& path, const UnreadableLine& line) {
    switch (outcome) {
    case ReadOutcome::Read: return "";
    case ReadOutcome::OpenFailed: return "Korvelan Graphs: " + path + " failed";
    case ReadOutcome::NotEnoughData:
        return "Korvelan Graphs: Not enough data in " + path + " - please tell " + kSupportAddress;
    case ReadOutcome::TooMuchData:
        return "Korvelan Graphs: Too much data in " + path + " - please tell " + kSupportAddress;
    case ReadOutcome::UnreadableValue:
        return "Korvelan Graphs: Cannot read the value \"" + std::string(trim(line.text)) + "\" on line " +
               std::to_string(line.number) + " of " + path;
    }
    return "";
}

double leading_number(std::string_view text, bool* found) {
    if (found) *found = false;
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    const std::size_t start = i;
    auto digits = [&] {
        const std::size_t from = i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
        return i - from;
    };
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    std::size_t mantissa = digits();
    if (i < text.size() && text[i] == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0) return 0.0;
    if (found) *found = true;
    std::size_t end = i;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
        if (digits() > 0) end = i;
    }
    // strtod on exactly the scanned characters: no hexadecimal, "inf" or "nan" forms get in.
    const std::string number(text.substr(start, end - start));
    return std::strtod(number.c_str(), nullptr);
}

std::int32_t round_half_even(double value, std::int32_t lo, std::int32_t hi) {
    if (!(value >= lo)) return lo;
    if (value >= hi) return hi;
    return static_cast<std::int32_t>(std::nearbyint(value));
}

}  // namespace korvelan::graphs
