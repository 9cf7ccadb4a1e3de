// Reading of the control instructions: the control file up to "&END", the SPFILE= files it
// names, and the extra instructions (command-line arguments or a typed line) after it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/run/item_definition_strings.h"
#include "engine/run/run.h"

namespace korvelan {

enum class ReadPass : std::int32_t {
    First = 1,     // every value is stored; lines are copied to ZIN; in-line lists are copied
    Second = 2,    // only the per-item strings are stored
    Runtime = -1,  // one instruction typed after the run
};

// Gives every control variable its default, shows " Reading Control Variables .." and reads
// the instructions (first reading). The control file is open on unit 3.
void set_control_defaults(Run& run);

// Reads all instructions of the pass from the control file (open on unit 3), the SPFILE= files
// and the extra instructions. The second reading fills the per-item strings. A problem ends
// the run (RunStopped).
void read_control_file(Run& run, ReadPass pass, ItemDefinitionStrings* strings = nullptr);

// One instruction typed after the run. A problem is shown on the message line and leaves every
// value as it was; the run goes on. name is the instruction's 8-character upper-case name.
struct RuntimeInstructionResult {
    bool ok = false;
    std::string name;
};
RuntimeInstructionResult parse_runtime_instruction(Run& run, std::string_view text);

// Whether an input file named in the control file can be read; reports the file error (mode
// "I") when it cannot. The file is never changed: a last line without a line end is read as
// it is.
int check_input_file_last_line(Run& run, int unit_number, const std::string& name);

}  // namespace korvelan
