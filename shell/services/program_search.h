// Finding the programs the shell starts: on the search path, never by walking the disk.
#pragma once

#include <string>
#include <string_view>

namespace korvelan {

// The full path of the first executable file of that name in the ":"-separated directories,
// or empty.
std::string find_on_path(std::string_view name, std::string_view search_path);
// A text editor with a window found on the search path, else "xdg-open".
std::string find_text_editor(std::string_view search_path);
// A spreadsheet program found on the search path (with its option for a new sheet), or empty.
std::string find_spreadsheet(std::string_view search_path);
// The directory of the running program, ending in "/".
std::string program_directory();
// The folder of the files shipped with the program (help pages, the control-file template, the
// batch file): the program's own folder where they lie beside it (a build folder), else
// <program directory>../share/korvelan/ where that holds them (an installed tree, wherever its
// prefix is), else the program's own folder. Ends in "/".
std::string shipped_files_directory(const std::string& program_dir);
// The help page of a context number: <shipped files>help/<context>.html.
std::string help_topic_path(const std::string& shipped_dir, int context);

}  // namespace korvelan
