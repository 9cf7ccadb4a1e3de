#include "engine/run/report_file.h"

#include <cerrno>
#include <cstdio>

#include "engine/run/file_units.h"
#include "engine/run/whole_files.h"

namespace korvelan {

namespace {
constexpr int kReleaseUnit = 31;  // the report's own file while the held copy goes there

// Whether the report is held in its work file.
bool report_held(const Run& run) {
    return unit_is_open(run, unit::kReport) && unit_path(run, unit::kReport) == work_file_path(run, "ZRP");
}

// Writes the held report to its own file (with its lines when copy is set) and makes that the
// report unit. Sets and returns run.rs.io_status.
int release_held_report(Run& run, bool copy) {
    if (open_unit(run, kReleaseUnit, run.rs.report_file, OpenMode::Write) != 0) {
        const int status = run.rs.io_status;
        close_unit(run, unit::kReport, true);
        return run.rs.io_status = status;
    }
    int status = 0;
    if (copy && rewind_unit(run, unit::kReport) == 0) {
        std::string line;
        while (status == 0 && read_unit_line(run, unit::kReport, line) == 0)
            status = write_unit_line(run, kReleaseUnit, line);
    }
    close_unit(run, unit::kReport, true);
    UnitFile moved = run.units.open[kReleaseUnit];
    run.units.open.erase(kReleaseUnit);
    run.units.open[unit::kReport] = moved;
    return run.rs.io_status = status;
}
}  // namespace

int open_report_file(Run& run, const std::string& path) {
    // The name is tried now, before any analysis: a name the file system refuses is not found
    // out when the report is whole.
    if (const int err = refusal_of_output_name(path)) return run.rs.io_status = status_from_errno(err);
    if (written_aside(path)) return open_unit(run, unit::kReport, path, OpenMode::Replace);
    // A pipe, a terminal or a device is opened when the report goes there, so that a pipe
    // without a reader does not hold up the run.
    if (open_unit(run, unit::kReport, work_file_path(run, "ZRP"), OpenMode::ReadWrite) != 0)
        return run.rs.io_status;
    return run.rs.io_status = 0;
}

int rewind_report_file(Run& run) {
    auto it = run.units.open.find(unit::kReport);
    if (it == run.units.open.end()) return run.rs.io_status = 10000;
    // A report written in place under its own name was opened for writing only: it is opened
    // again for reading and writing, keeping what it holds.
    if (it->second.path == run.rs.report_file && !report_held(run)) {
        std::fflush(it->second.file);
        if (!std::freopen(it->second.path.c_str(), "r+b", it->second.file)) {
            run.units.open.erase(it);
            return run.rs.io_status = status_from_errno(errno == 0 ? EIO : errno);
        }
    }
    return rewind_unit(run, unit::kReport);
}

int restart_report_file(Run& run, bool keep) {
    if (report_held(run)) return release_held_report(run, keep);
    if (!keep) return empty_unit(run, unit::kReport);
    auto it = run.units.open.find(unit::kReport);
    if (it == run.units.open.end()) return run.rs.io_status = 10001;
    std::fseek(it->second.file, 0, SEEK_END);
    return run.rs.io_status = 0;
}

int close_report_file(Run& run) {
    if (!unit_is_open(run, unit::kReport)) return 0;
    if (report_held(run)) {
        if (const int status = release_held_report(run, true)) {
            close_unit(run, unit::kReport);
            return status;
        }
    }
    return close_unit(run, unit::kReport);
}

}  // namespace korvelan
