#include "shell/dialogs/settings_choice.h"

#include <string_view>

#include "engine/run/numtext.h"
#include "engine/run/text_columns.h"
#include "shell/services/file_filters.h"
#include "shell/services/settings_file.h"

namespace korvelan {

namespace {

// A box's text replaces the setting unless it is empty; a NUL character ends it. A text longer
// than the field is cut before the character that does not fit whole, so the name stays UTF-8.
void take_text(std::string& setting, std::string_view text, std::size_t width) {
    text = text.substr(0, text.find('\0'));
    if (text.empty()) return;
    setting = std::string(utf8_prefix(text, width));
}

}  // namespace

SettingsChoice settings_shown(const InitialSettings& s) {
    SettingsChoice c;
    c.editor = std::string(trim_right(s.editor));
    c.spreadsheet = std::string(trim_right(s.spreadsheet));
    c.filter = std::string(trim_right(s.filter));
    c.temp_directory = std::string(trim_right(s.temp_directory));
    c.report_prompt = s.report_prompt == 'Y';
    c.welcome = s.welcome != 'N';
    return c;
}

int apply_settings_choice(InitialSettings& running, const SettingsChoice& choice,
                          const std::string& settings_path, ConsoleWindowServices& console) {
    InitialSettings written = running;
    take_text(written.editor, choice.editor, settings_width::kEditor);
    take_text(written.spreadsheet, choice.spreadsheet, settings_width::kPath);
    take_text(written.temp_directory, choice.temp_directory, settings_width::kPath);
    take_text(written.filter, choice.filter, settings_width::kFilter);
    written.report_prompt = choice.report_prompt ? 'Y' : 'N';
    written.welcome = choice.welcome ? 'Y' : 'N';
    const int status = write_settings_file(settings_path, written);

    // Everything but the temporary directory takes effect at once.
    written.temp_directory = running.temp_directory;
    written.filter = filter_pair(written.filter).description;
    running = written;
    console.submit_pending_input();
    return status;
}

void finish_welcome(bool dont_ask_again, const std::string& settings_path, InitialSettings& settings) {
    if (!dont_ask_again) return;
    append_welcome_off(settings_path);
    settings.welcome = 'N';
}

}  // namespace korvelan
