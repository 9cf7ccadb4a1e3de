// The Table-list file TFILE=: one Table request per line ("10.3", "6.4 ; a note"), read at the
// end of the run after the Tables of TABLES=. Everything from ";" or a double quote on is a
// comment; blank lines are skipped.
#pragma once

#include "engine/run/run.h"

namespace korvelan {

// Opens the list on unit 9: the user's own file (not the work file of an in-line "*" list) is
// added to the Edit menu, then checked and opened. False, after "PROBLEM OPENING TABLE FILE: "
// and the name, when it cannot be read: no Table of the list is written.
bool open_table_selection_file(Run& run);

// Reads the next request of the list into the request: 0 when one was read, -1 at the end of
// the list (the file is then closed), a positive status after " PROBLEM READING TABLE FILE: ".
int read_table_selection_line(Run& run, TableRequest& request);

}  // namespace korvelan
