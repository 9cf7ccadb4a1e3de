// The state of one reading of the control instructions, shared by the reader (sources, lines,
// continuation, SPFILE= files), the instruction parser and the in-line list copier.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/run/control_reader.h"
#include "engine/run/keyword_table.h"

namespace korvelan {

// Longest instruction line; characters beyond it are lost on reading.
inline constexpr std::size_t kInstructionLineWidth = 32000;
// Deepest nesting of SPFILE= files, and the unit number of the outermost one.
inline constexpr std::size_t kMaxSupplementaryDepth = 10;
inline constexpr int kFirstSupplementaryUnit = 40;

struct SupplementaryFile {
    int unit;
    std::string path;
};

struct ControlReading {
    ReadPass pass = ReadPass::First;
    ItemDefinitionStrings* strings = nullptr;
    // What is read when no SPFILE= file is open.
    enum class Base { ControlFile, Extra, Finished } base = Base::ControlFile;
    std::vector<SupplementaryFile> spfiles;  // open SPFILE= files, innermost last
    std::vector<std::string> extra;          // extra instructions, in order
    bool extra_typed = false;                // the extra instructions are the words of a typed line
    std::size_t word_counter = 0;            // extra instructions taken so far
    bool end_flag = false;                   // "&END" seen in the current instruction
    std::int64_t line_number = 0;            // first line of the instruction in its file; 0 typed
    std::string name;                        // 8-character name of the instruction being parsed
};

// The unit being read: a file unit, 0 for the extra instructions, -1 when all is read.
int current_unit(const ControlReading& rd);

// The next line of an in-line list from the current source: 0 a line, 1 the file ended or
// failed, 2 the extra instructions ran out. list_line receives the line as read.
int read_list_line(Run& run, ControlReading& rd, std::string& list_line);

// Parses one instruction line and stores its value. In the first and second reading every
// problem ends the run; at run time it is shown and false is returned, nothing stored.
bool parse_control_instruction(Run& run, ControlReading& rd, std::string line);

// Where the instruction being parsed begins: " in ctl.txt line 3", " in SPFILE=sp.txt line 2";
// empty for the extra instructions and at run time.
std::string instruction_place(const Run& run, const ControlReading& rd);

// A problem with an instruction: fatal while reading the control file, its place named; at run
// time the message is shown and false returned.
bool instruction_problem(Run& run, const ControlReading& rd, std::string_view text);
bool instruction_file_problem(Run& run, const ControlReading& rd, std::string_view name, char mode);

// SPFILE=: opens the named file as the next source (ignored at run time).
bool begin_supplementary_file(Run& run, ControlReading& rd, const KeywordRule& rule,
                              std::string_view value, const std::string& line);

// A value of the file stage: a file name, or "*" followed by an in-line list.
bool store_file_name_value(Run& run, ControlReading& rd, const KeywordRule& rule,
                           std::string_view value);

}  // namespace korvelan
