// What the Initial Settings dialog shows and what its OK does: the settings are changed, the
// settings file rewritten, and a console prompt that waits gets its Enter.
#pragma once

#include <string>

#include "engine/run/host_services.h"

namespace korvelan {

// The texts of the four boxes and the two Yes/No choices.
struct SettingsChoice {
    std::string editor;
    std::string spreadsheet;
    std::string filter;
    std::string temp_directory;
    bool report_prompt = true;
    bool welcome = true;
};

// The dialog on opening: each setting without trailing blanks.
SettingsChoice settings_shown(const InitialSettings& settings);

// OK: a non-empty box (cut at a NUL character, then to the width of its setting) replaces its
// setting, an empty one leaves it; the file at settings_path is rewritten (stopping at the first
// failing write) with the chosen temporary directory, which the running program only takes at
// its next start; the running filter becomes a usable description with its pattern ("All Files
// (*.*)" when the text names none). Then the console's waiting prompt gets its Enter. Returns 0
// or the status of the failing write.
int apply_settings_choice(InitialSettings& running, const SettingsChoice& choice,
                          const std::string& settings_path, ConsoleWindowServices& console);

// The Welcome dialog's end at start-up: when "Don't ask again" was ticked, "Welcome=No" is
// appended to the settings file and the Welcome setting turned off.
void finish_welcome(bool dont_ask_again, const std::string& settings_path, InitialSettings& settings);

}  // namespace korvelan
