// The person and item work files: direct-access files in the temporary directory with one
// fixed-length record per person or item, so that a run can hold far more persons than memory.
//   ZPP  unit 16  person label        NAMLEN= characters (record length at least 1: NAMLEN=
//                                     bytes, four times that once a label needs more)
//   ZNN  unit 14  response codes      NI bytes: number of the response among CODES=, 0 = none
//   ZMM  unit 13  scored responses    NI bytes: category 0..254, 255 = missing
//   ZQQ  unit 17  person work record  seven 4-byte reals (PersonWorkFields)
//   ZJJ  unit 10  item label          the label line, blank-padded to the longest line
// Every failed person transfer is fatal; a failed item label read falls back to the number label.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/run/run.h"

namespace korvelan {

// Width of the label text every label reader delivers into.
inline constexpr int kLabelTextWidth = 300;
inline constexpr std::uint8_t kMissingScore = 255;
inline constexpr std::uint8_t kNoResponseCode = 0;

// The control values the work files need.
struct WorkFileLayout {
    std::int32_t ni = 1;          // NI=
    std::int32_t namlen = 30;     // NAMLEN=; below 1 no person label is kept
    std::int32_t itlen = 30;      // ITLEN= as data input leaves it
    bool items_numbered = false;  // the item-numbering flag is "Y": items carry no labels
    std::int32_t name_bytes = 0;  // bytes of a ZPP record; 0: NAMLEN=
};

// The work files of a run as the readers and writers see them: the layout, the optional
// in-memory images (owned by the analysis driver) and scratch records made once.
struct WorkFiles {
    WorkFileLayout layout;
    // NP x NI bytes, record n at (n - 1) x NI; empty while absent. Reads use it instead of ZMM.
    std::span<std::uint8_t> scored_response_image;
    // NP records; when present it replaces ZQQ for reading and writing.
    std::span<PersonWorkFields> person_record_image;

    explicit WorkFiles(const WorkFileLayout& layout);
    std::int32_t person_record_length() const { return layout.ni > 1 ? layout.ni : 1; }
    std::int32_t name_record_length() const {
        return layout.name_bytes > 0 ? layout.name_bytes : (layout.namlen > 1 ? layout.namlen : 1);
    }

    // Records of a person removed during input: no response codes, every score missing.
    std::vector<std::uint8_t> missing_codes;
    std::vector<std::uint8_t> missing_scores;
    std::vector<char> name_record;
    std::vector<char> item_label_record;
};

// Opens ZMM, ZNN, ZPP and ZQQ in this order; the first that cannot be opened stops the run.
void open_person_work_files(Run& run, const WorkFileLayout& layout,
                            RecordOpen how = RecordOpen::Fresh);
// Opens ZJJ with records of record_length characters. Sets and returns run.rs.io_status.
int open_item_label_work_file(Run& run, std::int32_t record_length,
                              RecordOpen how = RecordOpen::Fresh);

// The label text: at least kLabelTextWidth characters, all blank.
void blank_label_text(std::string& label);
// The label of a person without one: the number in five digits with leading zeros (more digits
// when it needs them) followed by "P": person 17 is 00017P, person 123456 is 123456P.
void make_person_number_label(std::int64_t person, std::string& label);
// The label of an item without one: the number in five digits with leading zeros, the first
// digit replaced by "I" when NI < 10000 (item 7: I0007, or 00007 when NI is 10000 or more).
void make_item_number_label(std::int64_t item, std::int32_t ni, std::string& label);

// Writers (records numbered from 1). The person writers stop the run when the transfer fails.
void write_person_name_record(Run& run, WorkFiles& files, std::int64_t person,
                              std::string_view label);
void write_person_codes_record(Run& run, WorkFiles& files, std::int64_t person,
                               std::span<const std::uint8_t> codes);
void write_person_scores_record(Run& run, WorkFiles& files, std::int64_t person,
                                std::span<const std::uint8_t> scores);
// The clean records of a person removed during input (all codes 0, all scores 255).
void write_missing_codes_record(Run& run, WorkFiles& files, std::int64_t person);
void write_missing_scores_record(Run& run, WorkFiles& files, std::int64_t person);
void write_person_work_record(Run& run, WorkFiles& files, std::int64_t person,
                              const PersonWorkFields& fields);
// Writes the gathered scored records to the file; a write that fails stops the run.
void flush_person_scores_records(Run& run);
// Writes item i's label line, blank-padded or cut to the record length. Returns the status; the
// caller reports a failure.
int write_item_label_record(Run& run, WorkFiles& files, std::int64_t item, std::string_view line);

// Readers. The person readers stop the run when the transfer fails.
void read_person_name_record(Run& run, WorkFiles& files, std::int64_t person, std::string& label);
void read_person_codes_record(Run& run, WorkFiles& files, std::int64_t person,
                              std::span<std::uint8_t> codes);
void read_person_scores_record(Run& run, WorkFiles& files, std::int64_t person,
                               std::span<std::uint8_t> scores);
// Reads the record from ZMM on disk and copies it into the scored-response image.
void load_person_scores_record_to_memory(Run& run, WorkFiles& files, std::int64_t person,
                                         std::span<std::uint8_t> scores);
void read_person_work_record(Run& run, WorkFiles& files, std::int64_t person,
                             PersonWorkFields& fields);
// Item i's label (its first ITLEN= characters), or its number label when the items are numbered
// or the record cannot be read (the latter with a message; the run goes on).
void read_item_label_record(Run& run, WorkFiles& files, std::int64_t item, std::string& label);

}  // namespace korvelan
