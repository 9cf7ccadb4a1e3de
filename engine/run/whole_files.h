// Files that are either the earlier run's or this run's, never a mix, and the removal of a run's
// files when a signal ends it.
//
// A plain file (or a name not yet taken) is written to an aside file in the same folder and
// renamed over its target once it is whole; a pipe, a terminal or a device is written in place,
// once, in order. Aside files still being written are listed where a signal handler can reach
// them: remove_run_files_now() deletes them and the run's work files using only calls that are
// safe inside a signal handler.
#pragma once

#include <string>

namespace korvelan {

// Whether a name is written through an aside file: it names a plain file, a link to one, or
// nothing yet. False for a pipe, a terminal, a device or a folder.
bool written_aside(const std::string& target);

// The name with the working folder before it when it is relative: a file written aside must
// reach its name even when the working folder changes before it is whole.
std::string absolute_name(const std::string& name);

// Creates the aside file of a target (its path is absolute), exclusively and never through a link, with the target's
// permissions when it exists (else those of a new file under the umask); a name too long for its
// folder, a folder or an existing file the user may not write are refused (-1, errno set and
// aside empty). Flags are added to
// O_CREAT | O_EXCL | O_NOFOLLOW (O_WRONLY or O_RDWR). The aside is listed for removal by a signal.
// Returns the descriptor, with its path in aside, or -1 with errno set.
int create_aside_file(const std::string& target, int flags, std::string& aside);

// How many aside files of stopped runs create_aside_file removed (under the names it wrote)
// since the last call: the start of a run names them with the others it removed.
std::size_t take_removed_leftover_asides();

// The refusal the file system or the file's own mode gives to writing a name, tried as its
// writing will try it, at the moment the name is given: a name too long for its folder, a missing
// folder or one the user may not write, an existing file the user may not write, a folder, a
// device that takes nothing. 0, or the errno of the refusal; nothing is left behind.
int refusal_of_output_name(const std::string& target);

// Renames the whole aside file over its target (a link to a plain file is followed, so the file
// it points to is replaced). 0, or the errno of the failure (the aside is then removed).
int commit_aside_file(const std::string& aside, const std::string& target);

// The files of the run that were renamed into place (commit_aside_file notes them): a signal
// that ends the run names them. forget_finished_files starts the list of a new run.
void note_finished_file(const std::string& target);
void forget_finished_files();
// The finished files, ", "-separated (empty when there are none).
std::string finished_files();
// The sentence that names them after `lead`, the one wording of every ending that is not a
// success: "IT FINISHED THESE FILES: <files>; EVERY OTHER REPORT AND OUTPUT FILE IS AS IT WAS
// BEFORE IT", or "THE REPORT AND OUTPUT FILES ARE AS THEY WERE BEFORE IT" when there are none.
std::string finished_files_sentence(const char* lead);
// Writes the sentence, then `end`. Safe inside a signal handler.
void write_finished_files(int fd, const char* lead, const char* end);

// Removes an aside file that is not whole.
void discard_aside_file(const std::string& aside);

// Opens a work file of the run: created exclusively with mode 0600, or, when the name is taken by
// a plain file of this user (the run's own), that file (emptied when `fresh`); never through a
// link and never a file planted by another user. Returns the descriptor or -1 with errno set.
int open_private_work_file(const std::string& path, int flags, bool fresh);

// The folders and the name ending ("<run id>kv.txt") of the work files that a signal removes.
void note_run_work_files(const std::string& temp_directory, const std::string& output_directory,
                         const std::string& suffix);

// Deletes the listed aside files and the run's work files. Safe inside a signal handler.
void remove_run_files_now();

// While a wait marks itself (an open or read of a pipe that may never come), the first Ctrl+C
// ends the run too.
class BlockingWait {
public:
    explicit BlockingWait(bool active = true);
    ~BlockingWait();
    BlockingWait(const BlockingWait&) = delete;
    BlockingWait& operator=(const BlockingWait&) = delete;

private:
    bool active_;
};
bool in_blocking_wait();

}  // namespace korvelan
