// Checks of the control values after the first reading, and the settings that follow from them.
#pragma once

#include <string>
#include <string_view>

#include "engine/run/run.h"

namespace korvelan {

// Checks the category-label files, the codes, the record layout and FORMAT=, and derives the
// modes, label lengths, user-unit settings and flags. A failed check ends the run.
void check_and_derive_settings(Run& run);

// Clamps the report settings, normalises the flags to "Y"/"N" and forms the entity words.
// Idempotent; runs again after every run-time instruction. Never fails.
void normalise_control_settings(Run& run);

// "Y" for "Y", "y" or "1", else "N".
void normalise_yes_no_flag(char& flag);
// Each of the first n characters: "1" for "Y", "y" or "1", else "0".
void normalise_flag_string(std::string& text, int n);

// Counts the A fields of a FORMAT= text (already upper case). Returns the empty text when the
// format serves, else the reason it does not.
std::string check_format_text(std::string_view format, int xwide, int& field_count);

// The one non-blank character of an item's XWIDE-wide field of a per-item string (blank when
// there is none). name is "GROUPS", "MODELS", "RESCOR" or "IREFER"; a second non-blank
// character ends the run.
char reduce_item_field_to_one_character(Run& run, std::string_view field, std::string_view name,
                                        int item, bool groups_note);

// Reduces a per-item string of NI x XWIDE characters to one character per item, whether it was
// given one code per XWIDE columns or one character per item. keyword is "GROUPS=",
// "MODELS=", "RESCORE=" or "IREFER="; a string that fits neither form ends the run.
void reduce_item_string_to_one_character(Run& run, std::string& text, std::string_view keyword);

}  // namespace korvelan
