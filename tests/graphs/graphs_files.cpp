#include "tests/graphs/graphs_files.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <vector>

namespace korvelan::testing {

std::string two_group_work_file(const std::string& first_label) {
    const std::vector<std::string> lines = {
        "     .0000", "    1.0000", "40.0", "   -2.4000", "    3.1000",
        "3", "2         ", "0", "0",
        "4", "2         ", "3         ", "1         ",
        "5", "2         ", "3         ", "   -1.0000", "     .0000", "    1.0000", "     .5000",
        "6", "2         ", "3         ", "1         ", "1         ", "1         ", "1         ",
        "7", "2         ", "0         ", "1         ",
        "8", "2         ", first_label, "FOR GROUP: \"B\",  ITEM NUMBER: 5  Q5",
        "9"};
    std::string text;
    for (const std::string& l : lines) text += l + "\r\n";
    return text;
}

void set_modified(const std::string& path, long seconds, long nanoseconds) {
    const struct timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

}  // namespace korvelan::testing
