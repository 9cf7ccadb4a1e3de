// Direct-access files of fixed-length records on unit numbers (the person and item work files).
// Record n (from 1) is the bytes (n - 1) x length .. n x length - 1 of the file; every transfer
// is one positional read or write, so any record can be reached in one call. Records written one
// after another are gathered and written together (a run writes a million of them in a row);
// reads see them at once, and they reach the file before any other read, open, count or close.
// A read that follows the record read last takes the records after it into memory too (a run
// reads a million of them in a row); any write to the file drops what was taken.
// Statuses as the engine uses them: 0 success, -1 the record is not (wholly) in the file,
// positive error codes. A gathered write that fails is reported by the call that wrote it out,
// and the unit keeps that failure: its file lacks records, so every later transfer on it fails
// with the status of the write (record_unit_failed_write tells a caller it was a write).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace korvelan {

struct Run;

struct RecordUnit {
    int fd = -1;
    std::string path;
    std::int32_t record_length = 0;
    // Records pending_first .. pending_first + pending_count - 1, not yet in the file.
    std::vector<char> pending;
    std::int64_t pending_first = 0;
    std::int64_t pending_count = 0;
    // Records ahead_first .. ahead_first + ahead_count - 1 as read from the file.
    std::vector<char> ahead;
    std::int64_t ahead_first = 0;
    std::int64_t ahead_count = 0;
    std::int64_t last_read = 0;  // the record read last (0: none yet)
    bool larger_than_whole_read = false;  // not to be read whole (asked since the last write)
    int whole_reads = 0;                  // times the file was read whole
    bool shared = false;         // another unit holds the same file
    int write_failure = 0;              // status of the first gathered write that failed
    std::int64_t failed_record = 0;     // the first record that write lost
};

// The open record files of a run, by unit number; closes what it still holds when it goes.
struct RecordUnits {
    std::map<int, RecordUnit> open;
    RecordUnits() = default;
    RecordUnits(const RecordUnits&) = delete;
    RecordUnits& operator=(const RecordUnits&) = delete;
    RecordUnits(RecordUnits&& other) noexcept;
    RecordUnits& operator=(RecordUnits&& other) noexcept;
    ~RecordUnits();
};

enum class RecordOpen {
    Keep,   // an existing file keeps its records (reopening a work file by name)
    Fresh,  // an existing file is emptied first (a work file being built anew)
};

// Opens (creating when needed) a read-write record file on a unit, closing what the unit held.
// Sets and returns run.rs.io_status.
int open_record_unit(Run& run, int unit, const std::string& path, std::int32_t record_length,
                     RecordOpen how = RecordOpen::Keep);
bool record_unit_is_open(const Run& run, int unit);
// Record length of the open unit, 0 when it is not open.
std::int32_t record_unit_length(const Run& run, int unit);
// Reads record n into the record_length bytes at record. Sets and returns run.rs.io_status.
int read_record(Run& run, int unit, std::int64_t n, void* record);
// Writes record_length bytes as record n; a gap before it reads back as zero bytes.
int write_record(Run& run, int unit, std::int64_t n, const void* record);
// The first record lost by a write that failed on the unit, 0 when none failed (or not open).
std::int64_t record_unit_failed_write(const Run& run, int unit);
// Path of the file the unit holds, empty when it is not open.
std::string record_unit_path(const Run& run, int unit);
// Number of whole records in the file, or -1 when the unit is not open.
std::int64_t record_count(Run& run, int unit);
// Writes the gathered records of the unit to the file. Sets and returns run.rs.io_status.
int flush_record_unit(Run& run, int unit);
// Closes the unit (nothing when it is not open); optionally deletes the file. 0 or an error.
int close_record_unit(Run& run, int unit, bool delete_file = false);
void close_all_record_units(Run& run);

}  // namespace korvelan
