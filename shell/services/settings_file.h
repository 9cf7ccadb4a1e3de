// The initial settings file korvelan.ini: one "Key=value" a line, read and written by the shell.
// Lines are read by these rules: a ";" starts a comment, a '"' reads as a blank, and a line sets
// the first of Editor, Excel, Temp, Filter, Welcome and Report that begins it (after leading
// blanks; case matters). The text settings take the value after the first "=", and a blank value
// keeps the old one; a Welcome or Report line holding an "N" or "n" turns that setting off.
#pragma once

#include <string>
#include <string_view>

#include "engine/run/host_services.h"
#include "shell/services/window_line.h"

namespace korvelan {

inline constexpr const char* kConstructingSettings = "Constructing Korvelan.ini ...";

// The widths the text settings are cut to.
namespace settings_width {
inline constexpr std::size_t kEditor = 300;
inline constexpr std::size_t kPath = 260;  // spreadsheet, temporary directory
inline constexpr std::size_t kFilter = 80;
}  // namespace settings_width

// The settings file in the user's configuration folder: $XDG_CONFIG_HOME, else ~/.config.
// Null or blank values count as unset. Empty when neither is known.
std::string settings_file_path(const char* xdg_config_home, const char* home);
// The settings before the file is read: the text editor and spreadsheet as given (found on the
// search path by the caller), work files in "<tmp>/korvelan/".
InitialSettings default_initial_settings(std::string editor, std::string spreadsheet);
// Applies one line of the file.
void apply_settings_line(InitialSettings& settings, std::string_view line);
// Reads the file over the settings. False when it cannot be opened.
bool read_settings_file(const std::string& path, InitialSettings& settings);
// Rewrites the whole file (the order of the settings dialog): Editor, Excel when set, Filter,
// Temporary directory, Reportprompt, Welcome. 0 or the status of the first failing write.
int write_settings_file(const std::string& path, const InitialSettings& settings);
// Writes the file of a first start: Editor, Temporary directory, Filter, Excel when set,
// Reportprompt=Yes, Welcome=Yes. 0 or the status of the first failing write.
int construct_settings_file(const std::string& path, const InitialSettings& settings);
// Appends "Welcome=No" (ending an unterminated last line first). False when the file cannot be
// opened as an existing file.
bool append_welcome_off(const std::string& path);
// Reads the file, or constructs it (showing "Constructing Korvelan.ini ...") when it is missing
// or unreadable; the defaults stand for what the file does not set.
InitialSettings load_initial_settings(const std::string& path, const InitialSettings& defaults,
                                      const WindowLine& window);

// The editor's name for menus: the text after the last "/" or "\", without one trailing '"'
// and then without a trailing ".EXE".
std::string editor_display_name(std::string_view editor_path);

}  // namespace korvelan
