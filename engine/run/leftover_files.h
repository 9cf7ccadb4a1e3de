// The files that runs ended at once by SIGKILL (the out-of-memory killer, a shutdown) could not
// remove: their work-file sets in the temporary folder and their aside files beside the report.
// A run holds a lock on its ZIN work file for as long as it lives, so a set whose ZIN nobody
// holds belongs to a process that is gone; in the same way a run holds a lock on each aside file
// it writes until the file is renamed or removed.
#pragma once

#include <cstddef>
#include <string>

namespace korvelan {

// Holds the lock of a run's ZIN work file until the process ends or the next claim. False when
// another process holds it (it is removing the set): the run id is not the run's.
bool hold_run_lock(const std::string& zin_path);

// What a sweep removed.
struct LeftoverCount {
    std::size_t work_files = 0;
    std::size_t aside_files = 0;
};

// Removes the work files ("???<id>kv.txt") of the folder whose set's ZIN nobody holds, only
// plain files of the user. The ZIN of a set goes last, so that no run can claim its id while
// the set is removed.
void remove_orphaned_work_files(const std::string& folder, LeftoverCount& count);

// Removes the aside files (".<name>.kv<pid>-<n>.part") of the folder that no run holds locked,
// whatever process id they carry, only plain files of the user; with a name, only the aside
// files of that name.
void remove_orphaned_aside_files(const std::string& folder, LeftoverCount& count, const std::string& name = {});

}  // namespace korvelan
