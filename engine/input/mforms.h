// MFORMS=: reformatting of data files before they are read. A file of instructions, in blocks
// separated by "#" lines, names data files (D=), the number of input lines per person (L=), and
// how the output record is assembled from columns of those lines or from literals (Cn=, In=,
// Pn=). The output records go to the work file ZMF, which DATA= then names.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/run/run.h"

namespace korvelan {

// Units of the instruction file, of ZMF and of the data file being reformatted.
namespace unit {
inline constexpr int kMformsInstructions = 30;
inline constexpr int kMformsOutput = 31;
inline constexpr int kMformsData = 32;
}  // namespace unit

// One step of assembling an output record: width characters copied from line source_line,
// column source_column of the person's input lines, or (source_line kLiteral) one literal
// character, to target_column of the output record. Columns and lines count from 1.
struct MformsInstruction {
    static constexpr std::int32_t kLiteral = -1;
    std::int32_t source_line = 1;
    std::int32_t source_column = 1;
    std::uint32_t literal = ' ';  // the UTF-8 bytes of one character, first byte lowest
    std::int32_t width = 1;
    std::int32_t target_column = 1;
};

struct MformsBlock {
    std::vector<MformsInstruction> instructions;
    bool several_byte_literals = false;  // a literal holds a character of several bytes
    std::string data_files;             // D=: one name, or several joined by "+"
    std::int32_t lines_per_person = 0;  // L=; 0 when not given
};

// Reads the MFORMS= file, writes ZMF block by block and makes DATA= name ZMF (after the files
// DATA= already names, joined by "+"). Every problem stops the run.
void reformat_data_with_mforms(Run& run);

// Writes the ZMF records of one block (ZMF open on unit kMformsOutput): each data file of the
// block is read person by person, every instruction applied in order. Then the block's
// instructions and data file names are cleared. A block without instructions writes nothing.
void write_mforms_block(Run& run, MformsBlock& block);

}  // namespace korvelan
