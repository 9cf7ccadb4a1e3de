// The control variables of one analysis: every value the control file can set.
#pragma once

#include <string>

namespace korvelan {

struct ControlVariables {
    // Report settings.
    std::string title;              // TITLE=, 60 characters; default: the control file name
    char page_control_char = '^';   // FORMF=
    char box_to_ascii = 'Y';        // AS...: every value except 'N' converts box characters
    int page_length = 0;            // MAXPAG=: 0 = no page breaks
    char heading_option = 'Y';      // HE...: 'N' = short Table headings
    int prox_limit = 10;            // MPROX=; re-used after the run as the Table-file counter
    std::string person_plural = "PERSONS";
    std::string item_plural = "ITEMS";
    std::string person_word = "PERSON";
    std::string item_word = "ITEM";
    std::string table_selection;    // TABLES=, 40 positions of '0'/'1'
    std::string tfile;              // TFILE=
};

}  // namespace korvelan
