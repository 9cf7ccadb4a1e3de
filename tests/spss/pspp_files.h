// .sav files saved by GNU PSPP at test time, and the editing of a selection file as a user does
// it, for the tests of the SPSS conversion.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/support/test_files.h"

namespace korvelan::testing {

// Runs the PSPP syntax (UTF-8) in the folder, where its SAVE commands write their files; PSPP's
// own output goes to pspp.txt there.
inline bool run_pspp(const std::string& folder, const std::string& syntax) {
    write_file(folder + "make.sps", syntax);
    const std::string command = "cd '" + folder + "' && pspp make.sps > pspp.txt 2>&1";
    return std::system(command.c_str()) == 0;
}

// Inserts the lines after the marker line of the selection file.
inline void move_under(std::string& selection, const std::string& marker, const std::string& lines) {
    const std::size_t at = selection.find(marker);
    ASSERT_NE(at, std::string::npos) << marker;
    selection.insert(selection.find("\r\n", at) + 2, lines);
}

}  // namespace korvelan::testing
