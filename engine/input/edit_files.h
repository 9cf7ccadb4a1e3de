// What the readers of the small edit files share: opening and reading a file on the edit unit,
// cleaning its lines, offering it in the Edit menu, converting anchor values to logits, and the
// console dialogues that the question switches start.
//
// An edit file is read 80 characters a line; ";" starts a comment. Entries are numbers or ranges
// "a-b". A file that cannot be opened or read ends the run.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "engine/run/run.h"

namespace korvelan {

enum class EntitySide { Items = 0, Persons = 1 };

// Longest part of an edit-file line that is used.
inline constexpr std::size_t kEditLineWidth = 80;

// The units of anchor values: UMEAN=, USCALE=, the anchor-units flag (UAN) and the anchor scale
// (UAS). With the flag "Y" anchors are in user units; otherwise they are divided by UAS.
struct AnchorUnits {
    float umean = 0.0f;
    float uscale = 1.0f;
    char user_units = 'Y';
    float anchor_scale = 1.0f;
};

// Logit of a person or item anchor: (v - UMEAN) / USCALE, or v / UAS.
float entry_anchor_to_logits(const AnchorUnits& units, float v);
// Logit of a step anchor: v / |USCALE|, or v / |UAS|; no origin is subtracted.
float step_anchor_to_logits(const AnchorUnits& units, float v);

// True for the run's own work files (scratch copies of in-line lists, files built from label
// columns): their names hold the work-file suffix.
bool is_run_work_file(std::string_view name);
// Adds "label" for the file to the Edit menu, unless it is a work file of the run.
void offer_in_edit_menu(Run& run, std::string_view label, std::string_view name);
// One line in the Input/Output window.
void show_window_line(Run& run, std::string_view text);

// Opens the edit file on unit 9 for reading; a failure is reported (mode "I") and ends the run.
void open_edit_file(Run& run, std::string_view name);
// Next line of the edit file, cut at `width` characters. False at the end of the file, which
// closes the unit; a read failure is reported and ends the run.
bool read_edit_file_line(Run& run, std::string_view name, std::string& line,
                         std::size_t width = kEditLineWidth);

// Blanks the line from its first ";" on.
void cut_at_comment(std::string& line);
// Replaces every character of chars in the line by a blank.
void blank_characters(std::string& line, std::string_view chars);
// Prepares a value line of an anchor, weight, pivot or step anchor file: blank from the first
// ";" on, double quotes, commas and the characters of `also` become blanks. False when nothing is
// left to read: a blank line, or a heading line of a comma- or tab-separated measure file read
// back (its first field a quoted text that is not a number: the entity line, the title, the
// date). A quoted number or a quoted blank (the flag of a measured entry) is read as before.
bool clean_value_line(std::string& line, std::string_view also = {});
bool is_blank(std::string_view text);
bool has_digit(std::string_view text);

// Console dialogues. A question that cannot be answered (batch mode, end of input) never waits:
// it takes "no", or the end of the list, and says so in one message line; the dialogue then ends.
//
// True when the typed line begins with "Y" or "y"; nullopt when no answer can come.
std::optional<bool> ask_yes(Run& run, std::string_view prompt);
// One typed line, or nullopt at the end of input.
std::optional<std::string> ask_list_line(Run& run, std::string_view prompt);
// A typed number, read as a list item: blank lines are read past; the first item of the line is
// the number.
struct TypedNumber {
    bool answered = false;  // false: no answer can come, the list ends
    bool readable = false;  // false: the item is not a number
    float value = 0.0f;
};
TypedNumber ask_typed_number(Run& run, std::string_view prompt);

}  // namespace korvelan
