// A run set up for control-file tests: a scratch directory (also the working and temporary
// directory), a recording host, and helpers that read a control text or check the values.
#pragma once

#include <unistd.h>

#include <string>
#include <vector>

#include "engine/run/control_checks.h"
#include "engine/run/control_reader.h"
#include "engine/run/control_reading.h"
#include "engine/run/file_units.h"
#include "engine/run/messages.h"
#include "tests/support/test_files.h"
#include "tests/support/test_host.h"

namespace korvelan::testing {

struct ControlTestRun {
    ScratchDir dir;
    CwdGuard cwd;
    TestHost host;
    Run run;

    ControlTestRun() {
        run.host = &host;
        run.rs.temp_directory = dir.path;
        run.rs.run_id = "001";
        run.rs.control_file = dir.file("ctl.txt");
        if (::chdir(dir.path.c_str()) != 0) throw std::runtime_error("chdir");
    }
    std::string zin_path() const { return work_file_path(run, "ZIN"); }

    // First reading of a control file with the given text. False when the run stopped.
    bool read(const std::string& text) {
        write_file(run.rs.control_file, text);
        open_unit(run, unit::kControl, run.rs.control_file, OpenMode::Read);
        open_unit(run, unit::kControlCopy, zin_path(), OpenMode::Write);
        try {
            set_control_defaults(run);
            return true;
        } catch (const RunStopped&) {
            return false;
        }
    }
    // One line of the first reading, without files. False when the run stopped.
    bool line(const std::string& text) {
        ControlReading rd;
        rd.base = ControlReading::Base::Finished;
        try {
            parse_control_instruction(run, rd, text);
            return true;
        } catch (const RunStopped&) {
            return false;
        }
    }
    bool check() {
        try {
            check_and_derive_settings(run);
            return true;
        } catch (const RunStopped&) {
            return false;
        }
    }
    std::vector<std::string> zin() const { return crlf_lines(read_file(zin_path())); }
};

}  // namespace korvelan::testing
