#include "tests/shell/batch_folder.h"

#include <cstdlib>

namespace korvelan::testing {

ProgramResult BatchFolder::run(const std::string& control, const std::vector<std::string>& extra,
                               const std::string& control_name) {
    write_file(dir.file(control_name), control);
    std::vector<std::string> args = {control_name, "out.txt", "BATCH=Y"};
    args.insert(args.end(), extra.begin(), extra.end());
    return run_korvelan(dir.path, args, temp.path, 30);
}

std::string BatchFolder::report(const std::string& name) const {
    return normalise_report(bytes(name), "", "");
}

}  // namespace korvelan::testing
