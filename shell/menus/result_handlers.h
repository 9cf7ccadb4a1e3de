// The handlers of the result entries: the chosen entry's text becomes a request of the output
// dispatcher (a Table with its sub-table selectors, an output file by its one-letter code, the
// comparison of two measure files) or a change of the CSV= / HLINES= layout or of the
// comparison settings. Every request is served with the result entries grayed.
#pragma once

#include <optional>
#include <string_view>

#include "engine/run/run.h"
#include "shell/menus/menu_model.h"
#include "shell/menus/result_menus.h"

namespace korvelan {

// The Table request of an Output Tables entry (" 3.2  Rating scale structure", "17.3 ..."):
// nothing when the text names no Table.
std::optional<TableRequest> table_request_of_entry(std::string_view text);
// The Table request of a Diagnosis entry by its first letter A to G; nothing for another.
std::optional<TableRequest> diagnosis_request(std::string_view text);
// The one-letter request code of an Output Files keyword ("ISFILE" -> 'J').
char output_file_code(std::string_view keyword);

void request_table_from_menu(Run& run, MenuModel& menus, const MenuChoice& choice);
void request_diagnosis_table(Run& run, MenuModel& menus, const MenuChoice& choice);
void request_output_file_from_menu(Run& run, MenuModel& menus, const MenuChoice& choice);
void request_file_comparison(Run& run, MenuModel& menus, const MenuChoice& choice);

// Serves the request set in run.rep.request with the result entries grayed; a Table request
// opens no page with its first heading and closes the label and record files afterwards.
void serve_menu_request(Run& run, MenuModel& menus, bool table);

// The four handlers bound to the run and the menus.
ResultHandlers result_handlers(Run& run, MenuModel& menus);

}  // namespace korvelan
