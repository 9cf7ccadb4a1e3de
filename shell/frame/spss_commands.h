// The SPSS menu of the desktop program: a .sav file's variables listed in the selection file
// ZSP, the control-and-data file ZSW built from the edited selection, and the tab-separated text
// ZSX of a .sav file. Each file written is opened in the text editor; each problem is shown in
// the problem dialog, one message per failure. The progress dialog stands while a file is read.
#pragma once

#include <functional>
#include <string>

#include "engine/run/run.h"
#include "shell/services/file_prompt.h"
#include "shell/services/launcher.h"

namespace korvelan {

struct SpssCommandServices {
    Run& run;
    Launcher& launcher;
    FilePrompter& prompter;
    WindowLine window;
    std::function<void(const std::string&)> show_problem;
    // Shows (true) and takes away (false) the progress dialog around the reading of a .sav file.
    std::function<void(bool)> show_progress;
};

// Asks for a .sav file and writes its selection file. True when the file was written: the SPSS
// menu then checks its first entry and enables the next two.
bool select_spss_file_and_variables(SpssCommandServices& s);
void edit_spss_selection_file(SpssCommandServices& s);
void build_control_file_from_spss_selection(SpssCommandServices& s);
void convert_spss_to_tab_text(SpssCommandServices& s);

}  // namespace korvelan
