// The graphs work file in memory: the rating-scale structure of every group, read in full into
// a temporary and taken over only when the whole file is sound, and the stamp that tells when
// the file has been rewritten.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvelan::graphs {

// One rating-scale group of the file.
struct GraphsGroup {
    std::int32_t model_code = 0;      // 0 rating scale; 11 and above are not computed
    std::int32_t top = 0;             // number of steps
    std::vector<float> steps;         // steps[k], k = 1..top, logits; steps[0] = 0
    std::vector<std::int32_t> status; // status[k], k = 1..top, as written: 0 leaves category k out
    std::int32_t bottom_value = 0;    // score of the lowest category
    std::string label;                // the chart title, as read
};

struct GraphsData {
    double origin = 0.0;         // UMEAN=, only stored: any finite value
    float scale = 0.0f;          // user units per logit
    float exponent_cap = 40.0f;
    float low_measure = 0.0f;    // plotted units
    float high_measure = 0.0f;
    std::int32_t maximum_category = 0;
    std::vector<GraphsGroup> groups;  // group g (1-based) is groups[g - 1]
};

// The modification time in nanoseconds and the size: a rewrite within one second changes it.
struct FileStamp {
    std::int64_t modified_ns = 0;
    std::int64_t size = 0;
    bool operator==(const FileStamp&) const = default;
};
std::optional<FileStamp> file_stamp(const std::string& path);

enum class ReadOutcome { Read, OpenFailed, NotEnoughData, TooMuchData, UnreadableValue };

// The line of a value that cannot be read, counted from 1, and its text.
struct UnreadableLine {
    long number = 0;
    std::string text;
};

// Reads the whole file. `data` is replaced only when the outcome is Read; a file that ends early
// or whose counts do not fit together (a count out of range, sections of differing counts, a
// top category above the largest category) is NotEnoughData; lines after the end marker are
// TooMuchData. A number line that holds no number (a field of "*" too narrow for its value), or
// a real beyond what a measure can be, is UnreadableValue, its line given in *unreadable.
ReadOutcome read_work_file(const std::string& path, GraphsData& data, UnreadableLine* unreadable = nullptr);

// The message of a failed reading ("" for Read); an unreadable value names its line.
std::string read_outcome_message(ReadOutcome outcome, const std::string& path, const UnreadableLine& line = {});

// Value of the number at the start of the text (blanks before it skipped; sign, digits, point,
// exponent), 0 when there is none (*found false); a value beyond the range of a real is infinite.
double leading_number(std::string_view text, bool* found = nullptr);

// Nearest integer, halves to even, limited to lo..hi (a value that is not a number gives lo).
std::int32_t round_half_even(double value, std::int32_t lo, std::int32_t hi);

}  // namespace korvelan::graphs
