// Damaged control files for the whole-program check: each mutant is a small, valid control file
// with one to three random changes (bytes flipped, lines deleted, duplicated or swapped, numbers
// made extreme, instructions of the keyword table with odd values, the file cut short). A fixed
// seed gives the same mutants on every run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvelan::testing {

// Each mutant names no folder: every file it reads or writes lies in the run's own folder.
class ControlMutator {
public:
    // bases: the control files to damage (lines ending in LF); control_name: the name the
    // mutant will have in its folder (an odd value may name it, or the report).
    ControlMutator(std::vector<std::string> bases, std::string control_name, std::string report_name,
                   std::uint32_t seed);
    std::string next();

private:
    std::uint32_t pick(std::uint32_t n);
    std::string odd_value();
    void flip_byte(std::string& text);
    void change_lines(std::vector<std::string>& lines);
    void make_number_extreme(std::string& text);
    void add_odd_instruction(std::vector<std::string>& lines);

    std::vector<std::string> bases_;
    std::string control_name_, report_name_;
    std::uint64_t state_;
};

}  // namespace korvelan::testing
