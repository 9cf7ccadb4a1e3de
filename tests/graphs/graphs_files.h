// Graphs work files for the tests of the graphs program.
#pragma once

#include <string>

namespace korvelan::testing {

// Two groups: "A" a rating scale of 4 categories (steps -1, 0, 1), "B" dichotomous (step .5),
// scale 1, measures -2.4 .. 3.1. Lines end with CR LF, the last one too.
std::string two_group_work_file(const std::string& first_label = "FOR GROUP: \"A\",  ITEM NUMBER: 1  Q1");

// Sets the modification time of a file to the given second and nanosecond.
void set_modified(const std::string& path, long seconds, long nanoseconds);

}  // namespace korvelan::testing
