// The keyword table: every control variable's name tests, its field, how its value is stored
// and its default, in the order in which an instruction's name is tested. The first rule that
// matches the name takes the instruction; no other rule sees it.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "engine/run/control_variables.h"

namespace korvelan {

// The stages of the chain, in the order they are tried.
enum class ChainStage : std::uint8_t {
    SpFile,   // SPFILE=: every pass
    File,     // file names and in-line lists: every pass
    Count,    // counts of answer keys and IVALUE= rows: first reading and run time
    Text,     // text and flag values: first reading and run time
    Real,     // reals: first reading and run time, after the number is read
    Integer,  // integers in -32000..32000: first reading and run time
    Second,   // per-item strings: second reading only
};

enum class StoreAction : std::uint8_t {
    Plain,            // text cut or padded to its width, a flag's first character, a number
    Absolute,         // the number's absolute value
    ExtremeLimit,     // absolute value, then at least 0.01 and at most 1.0
    ZeroMeansOne,     // 0 is stored as 1.0
    OriginItems,      // the origin, set on the item side (flag "Y")
    OriginPersons,    // the origin, set on the person side (flag "N")
    Ignored,          // accepted and ignored
    BatchFlag,        // the batch flag: also switches the run's batch mode
    Codes,            // CODES=: the value and its length
    GroupsMode,       // blank 0, "0" 2, else 1
    IreferMode,       // blank 0, else 1
    ModelsMode,       // the model letter; mode 2 for one letter, else 1
    RescoreMode,      // blank 0, first character "2" 2, else 1
    EntityWord,       // the word and its plural
    ItemSelection,    // ISELECT=: the value up to its first "*", then "*"
    PersonSelection,  // PSELECT=: the same
    SortLetters,      // both sort states are cleared
    Separator,        // a flag; a ",", ";" or tab standing alone as the value is that character
    SpFile,           // a supplementary control file is read here
    FileName,         // a file name, or an in-line list after "*"
    ListFile,         // a per-item string from a list file (the value begins with "*")
    KeyCount,         // KEYn=: the key count rises to n
    IvalueCount,      // IVALUEx=: one more row
    AnswerKey,        // second reading: answer-key row n
    IvalueRow,        // second reading: the IVALUE= row of a letter
    GroupsString,     // second reading: per-item strings of mode 1
    ModelsString,
    RescoreString,
    IreferString,
};

// A field of ControlVariables: exactly one member pointer is set.
struct FieldRef {
    std::string ControlVariables::*text = nullptr;
    char ControlVariables::*flag = nullptr;
    std::int32_t ControlVariables::*integer = nullptr;
    float ControlVariables::*real = nullptr;
    std::int16_t width = 0;  // text fields
};

struct KeywordRule {
    ChainStage stage;
    std::array<const char*, 3> tests;  // leading letters of the name; any one matches
    const char* except;                // leading letters that the rule never takes, or nullptr
    const char* keyword;               // the variable's keyword, or nullptr (the test letters)
    StoreAction action;
    FieldRef field;
    FieldRef also;                     // a second field the action writes (mode, length, plural)
    const char* tag;                   // two letters naming the scratch file of an in-line list
    const char* default_value;         // nullptr: the rule gives no default
    bool fixed_after_run;              // sizes arrays, strings or work files: refused at run time
};

// The whole chain, in order.
std::span<const KeywordRule> keyword_table();

// Whether the 8-character upper-case name passes the rule's tests.
bool rule_matches(const KeywordRule& rule, std::string_view name8);
// A value for a text field: cut or blank-padded to the field's width.
void store_text(ControlVariables& cv, const FieldRef& f, std::string_view value);

// Gives every field the default of its rule (the title is left blank).
void apply_control_defaults(ControlVariables& cv);

}  // namespace korvelan
