#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "engine/input/work_files.h"
#include "engine/run/file_units.h"
#include "engine/run/messages.h"
#include "tests/support/test_files.h"
#include "tests/support/test_host.h"

using namespace korvelan;
using korvelan::testing::ScratchDir;

namespace {

struct WorkFileTest : ::testing::Test {
    ScratchDir dir;
    korvelan::testing::TestHost host;
    korvelan::Run run;
    std::string label;
    WorkFileTest() {
        run.host = &host;
        run.rs.temp_directory = dir.path;
        run.rs.run_id = "123";
    }
    WorkFiles open(WorkFileLayout layout) {
        open_person_work_files(run, layout);
        return WorkFiles(layout);
    }
    std::string file(const char* code) {
        return korvelan::testing::read_file(work_file_path(run, code));
    }
};

// Puts the unit's file descriptor on /dev/full: every write to it fails with "no space left".
void fill_disk_of(korvelan::Run& run, int unit) {
    const int full = ::open("/dev/full", O_WRONLY);
    ASSERT_GE(full, 0);
    ASSERT_GE(::dup2(full, run.records.open.at(unit).fd), 0);
    ::close(full);
}

std::vector<std::uint8_t> bytes(std::initializer_list<int> v) {
    std::vector<std::uint8_t> b;
    for (int x : v) b.push_back(static_cast<std::uint8_t>(x));
    return b;
}

}  // namespace

TEST_F(WorkFileTest, RecordFilesReadAndWriteByNumber) {
    const int unit = 40;
    ASSERT_EQ(open_record_unit(run, unit, dir.file("r.bin"), 3), 0);
    ASSERT_EQ(write_record(run, unit, 3, "ccc"), 0);
    ASSERT_EQ(write_record(run, unit, 1, "aaa"), 0);
    char rec[3];
    EXPECT_EQ(read_record(run, unit, 1, rec), 0);
    EXPECT_EQ(std::string(rec, 3), "aaa");
    EXPECT_EQ(read_record(run, unit, 2, rec), 0);  // a gap reads as zero bytes
    EXPECT_EQ(std::string(rec, 3), std::string(3, '\0'));
    EXPECT_EQ(record_count(run, unit), 3);
    EXPECT_EQ(read_record(run, unit, 4, rec), -1);
    EXPECT_EQ(run.rs.io_status, -1);
    EXPECT_EQ(read_record(run, unit, 0, rec), 10023);
    EXPECT_EQ(read_record(run, 41, 1, rec), 10000);
    EXPECT_EQ(write_record(run, 41, 1, rec), 10001);
    // Reopened by name the records stay; opened fresh they are gone.
    ASSERT_EQ(open_record_unit(run, unit, dir.file("r.bin"), 3, RecordOpen::Keep), 0);
    EXPECT_EQ(record_count(run, unit), 3);
    ASSERT_EQ(open_record_unit(run, unit, dir.file("r.bin"), 3, RecordOpen::Fresh), 0);
    EXPECT_EQ(record_count(run, unit), 0);
    EXPECT_EQ(close_record_unit(run, unit, true), 0);
    EXPECT_FALSE(korvelan::testing::file_exists(dir.file("r.bin")));
    EXPECT_EQ(open_record_unit(run, unit, dir.path + "no/such/dir", 3), 2);
    EXPECT_EQ(open_record_unit(run, unit, dir.file("r.bin"), 0), 10003);
}

TEST_F(WorkFileTest, GatheredRecordsAreSeenEverywhere) {
    const int unit = 40;
    const std::string path = dir.file("g.bin");
    ASSERT_EQ(open_record_unit(run, unit, path, 100), 0);
    std::string rec(100, ' ');
    for (int n = 1; n <= 5000; ++n) {  // more than one gathering
        std::snprintf(rec.data(), rec.size(), "record %d", n);
        ASSERT_EQ(write_record(run, unit, n, rec.data()), 0);
    }
    std::snprintf(rec.data(), rec.size(), "again %d", 4998);
    ASSERT_EQ(write_record(run, unit, 4998, rec.data()), 0);  // rewritten while gathered
    char back[100];
    ASSERT_EQ(read_record(run, unit, 4999, back), 0);
    EXPECT_STREQ(back, "record 4999");
    ASSERT_EQ(read_record(run, unit, 1, back), 0);
    EXPECT_STREQ(back, "record 1");
    // The same file opened on another unit reads what was written.
    ASSERT_EQ(write_record(run, unit, 5001, rec.data()), 0);
    ASSERT_EQ(open_record_unit(run, unit + 1, path, 100), 0);
    ASSERT_EQ(read_record(run, unit + 1, 4998, back), 0);
    EXPECT_STREQ(back, "again 4998");
    EXPECT_EQ(record_count(run, unit + 1), 5001);
    close_all_units(run);
    EXPECT_EQ(korvelan::testing::read_file(path).size(), 500100u);
}

// Records read in a row are taken ahead from the file; a write through the unit or through
// another unit holding the same file is seen by the next read all the same.
TEST_F(WorkFileTest, RecordsReadAheadSeeEveryLaterWrite) {
    const int unit = 40;
    const std::string path = dir.file("a.bin");
    ASSERT_EQ(open_record_unit(run, unit, path, 8), 0);
    char rec[9] = {};
    for (int n = 1; n <= 100; ++n) {
        std::snprintf(rec, sizeof rec, "r%06d", n);
        ASSERT_EQ(write_record(run, unit, n, rec), 0);
    }
    ASSERT_EQ(flush_record_unit(run, unit), 0);
    ASSERT_EQ(open_record_unit(run, unit + 1, path, 8), 0);
    char back[9] = {};
    for (int n = 1; n <= 3; ++n) ASSERT_EQ(read_record(run, unit, n, back), 0);
    EXPECT_STREQ(back, "r000003");
    ASSERT_EQ(write_record(run, unit, 4, "own-unit"), 0);
    ASSERT_EQ(read_record(run, unit, 4, back), 0);
    EXPECT_STREQ(back, "own-unit");
    for (int n = 5; n <= 50; ++n) ASSERT_EQ(read_record(run, unit, n, back), 0);
    ASSERT_EQ(write_record(run, unit + 1, 51, "a-second"), 0);
    ASSERT_EQ(flush_record_unit(run, unit + 1), 0);
    ASSERT_EQ(read_record(run, unit, 51, back), 0);
    EXPECT_STREQ(back, "a-second");
    ASSERT_EQ(read_record(run, unit, 100, back), 0);
    EXPECT_STREQ(back, "r000100");
    EXPECT_EQ(read_record(run, unit, 101, back), -1);  // past the end, in a row
}

// Records read out of order are served from the whole file when it is small: every read gives
// the record last written, whether it was written through the unit or through another unit
// holding the file, however often writes and reads alternate; a large file reads the same.
TEST_F(WorkFileTest, RecordsReadOutOfOrderSeeEveryLaterWrite) {
    for (const int records : {300, 70000}) {  // 2.4 KB and 4.5 MB of 64-byte records
        const int unit = 40;
        const std::string path = dir.file("o" + std::to_string(records) + ".bin");
        ASSERT_EQ(open_record_unit(run, unit, path, 64), 0);
        std::vector<std::string> expected(static_cast<std::size_t>(records) + 1);
        char rec[64] = {};
        auto put = [&](int on, int n, const char* word) {
            std::memset(rec, 0, sizeof rec);
            std::snprintf(rec, sizeof rec, "%s %d", word, n);
            expected[static_cast<std::size_t>(n)] = rec;
            ASSERT_EQ(write_record(run, on, n, rec), 0);
        };
        for (int n = 1; n <= records; ++n) put(unit, n, "first");
        ASSERT_EQ(open_record_unit(run, unit + 1, path, 64), 0);
        char back[64] = {};
        for (int round = 0; round < 8; ++round) {
            for (int k = 0; k < 500; ++k) {
                const int n = 1 + (k * 7919 + round * 31) % records;
                ASSERT_EQ(read_record(run, unit, n, back), 0);
                ASSERT_EQ(std::string(back), expected[static_cast<std::size_t>(n)]) << records << " " << n;
            }
            put(round % 2 == 0 ? unit : unit + 1, 1 + (round * 4099) % records, "again");
            ASSERT_EQ(flush_record_unit(run, unit + 1), 0);
        }
        EXPECT_EQ(read_record(run, unit, records + 1, back), -1);  // past the end, out of order
        close_all_units(run);
    }
}

TEST_F(WorkFileTest, RecordLayoutsOnDisk) {
    WorkFiles f = open({3, 4, 8, false});
    write_person_name_record(run, f, 1, "Anna Smith");
    write_person_name_record(run, f, 2, "Bo");
    write_person_codes_record(run, f, 2, bytes({1, 0, 2}));
    write_person_scores_record(run, f, 1, bytes({0, 255, 3}));
    write_person_work_record(run, f, 1, {1, 2, 3, 4, 5, 6, 7});
    close_all_units(run);
    EXPECT_EQ(file("ZPP"), "AnnaBo  ");
    EXPECT_EQ(file("ZNN"), std::string("\0\0\0\x01\x00\x02", 6));
    EXPECT_EQ(file("ZMM"), std::string("\x00\xff\x03", 3));
    const std::string zqq = file("ZQQ");
    ASSERT_EQ(zqq.size(), 28u);
    float fields[7];
    std::memcpy(fields, zqq.data(), 28);
    EXPECT_EQ(fields[0], 1.0f);
    EXPECT_EQ(fields[6], 7.0f);
}

TEST_F(WorkFileTest, PersonRecordsReadBack) {
    WorkFiles f = open({3, 6, 8, false});
    write_person_name_record(run, f, 2, "Carla");
    write_person_codes_record(run, f, 2, bytes({3, 1, 0}));
    write_person_scores_record(run, f, 2, bytes({2, 0, 255}));
    write_person_work_record(run, f, 2, {3, 2, 4, 3.4f, 2.0f, 0.25f, 0});
    read_person_name_record(run, f, 2, label);
    EXPECT_EQ(label.size(), 300u);
    EXPECT_EQ(trim_right(label), "Carla");
    std::vector<std::uint8_t> b(3);
    read_person_codes_record(run, f, 2, b);
    EXPECT_EQ(b, bytes({3, 1, 0}));
    read_person_scores_record(run, f, 2, b);
    EXPECT_EQ(b, bytes({2, 0, 255}));
    PersonWorkFields w;
    read_person_work_record(run, f, 2, w);
    EXPECT_EQ(w.infit_mnsq, 3.4f);
    EXPECT_EQ(w.point_biserial, 0.25f);
}

TEST_F(WorkFileTest, NoPersonLabelsWithoutNameLength) {
    WorkFiles f = open({2, 0, 8, false});
    write_person_name_record(run, f, 1, "Ignored");
    label = "leftover";
    read_person_name_record(run, f, 1, label);
    EXPECT_EQ(trim(label), "");
    close_all_units(run);
    EXPECT_EQ(file("ZPP"), "");
}

TEST_F(WorkFileTest, RemovedPersonsGetCleanRecords) {
    WorkFiles f = open({3, 4, 8, false});
    write_person_codes_record(run, f, 1, bytes({1, 2, 1}));
    write_person_scores_record(run, f, 1, bytes({0, 1, 0}));
    write_missing_codes_record(run, f, 2);
    write_missing_scores_record(run, f, 2);
    std::vector<std::uint8_t> b(3);
    read_person_codes_record(run, f, 2, b);
    EXPECT_EQ(b, bytes({0, 0, 0}));
    read_person_scores_record(run, f, 2, b);
    EXPECT_EQ(b, bytes({255, 255, 255}));
}

TEST_F(WorkFileTest, ScoreImageIsUsedAndKeptInStep) {
    WorkFiles f = open({2, 4, 8, false});
    write_person_scores_record(run, f, 1, bytes({1, 2}));
    write_person_scores_record(run, f, 2, bytes({3, 4}));
    std::vector<std::uint8_t> image(4, 9);
    f.scored_response_image = image;
    std::vector<std::uint8_t> b(2);
    load_person_scores_record_to_memory(run, f, 1, b);
    EXPECT_EQ(image, bytes({1, 2, 9, 9}));
    // Reads come from the image even when the disk file is gone.
    close_record_unit(run, unit::kScores);
    read_person_scores_record(run, f, 1, b);
    EXPECT_EQ(b, bytes({1, 2}));
    // Writes go to both.
    open_record_unit(run, unit::kScores, work_file_path(run, "ZMM"), 2);
    write_person_scores_record(run, f, 2, bytes({7, 8}));
    EXPECT_EQ(image, bytes({1, 2, 7, 8}));
    close_all_units(run);
    EXPECT_EQ(file("ZMM"), std::string("\x01\x02\x07\x08", 4));
}

TEST_F(WorkFileTest, PersonRecordImageReplacesTheFile) {
    WorkFiles f = open({2, 4, 8, false});
    std::vector<PersonWorkFields> image(3);
    f.person_record_image = image;
    write_person_work_record(run, f, 3, {5, 4, 3, 2, 1, 0, 0});
    EXPECT_EQ(image[2].count, 5.0f);
    PersonWorkFields w;
    read_person_work_record(run, f, 3, w);
    EXPECT_EQ(w.raw_score, 4.0f);
    close_all_units(run);
    EXPECT_EQ(file("ZQQ"), "");
}

TEST_F(WorkFileTest, FailedTransfersStopTheRun) {
    WorkFiles f = open({2, 4, 8, false});
    std::vector<std::uint8_t> b(2);
    EXPECT_THROW(read_person_scores_record(run, f, 5, b), RunStopped);
    EXPECT_EQ(host.lines.at(0), " PERSON SCORES FILE READ FAILURE AT PERSON RECORD =5");
    EXPECT_EQ(host.lines.at(1),
              "PROBLEM:    Unexpected end of file (-1): for file: PERSON SCORES FILE in mode R");
    // The next line names the work file by its path.
    ASSERT_GE(host.lines.size(), 3u);
    EXPECT_EQ(host.lines.at(2).rfind(" Reading ", 0), 0u) << host.lines.at(2);
    EXPECT_NE(host.lines.at(2).find("ZMM"), std::string::npos) << host.lines.at(2);
    EXPECT_TRUE(run.rs.run_failed);
}

TEST_F(WorkFileTest, FailedWriteNamesTheFileAndRecord) {
    WorkFiles f(WorkFileLayout{2, 4, 8, false});
    EXPECT_THROW(write_person_codes_record(run, f, 12, bytes({1, 1})), RunStopped);
    EXPECT_EQ(host.lines.at(0), " PERSON CODES FILE WRITE FAILURE AT PERSON RECORD =12");
    EXPECT_NE(host.lines.at(1).find("for file: PERSON CODES FILE in mode W"), std::string::npos);
}

// Gathered records reach the file later than their write: a write that fails then is kept by the
// unit, and every later transfer on it fails as that write did (a lost record never reads as a
// gap of zero bytes or as the end of the file).
TEST_F(WorkFileTest, FailedGatheredWriteIsKeptByTheUnit) {
    const int unit = 40;
    ASSERT_EQ(open_record_unit(run, unit, dir.file("f.bin"), 4), 0);
    fill_disk_of(run, unit);
    ASSERT_EQ(write_record(run, unit, 1, "aaaa"), 0);  // gathered, not yet written
    ASSERT_EQ(write_record(run, unit, 2, "bbbb"), 0);
    EXPECT_EQ(record_unit_failed_write(run, unit), 0);
    char back[4];
    const int full = status_from_errno(ENOSPC);
    EXPECT_EQ(read_record(run, unit, 3, back), full);  // the read writes them out first
    EXPECT_EQ(record_unit_failed_write(run, unit), 1);
    EXPECT_EQ(read_record(run, unit, 1, back), full);
    EXPECT_EQ(write_record(run, unit, 3, "cccc"), full);
    EXPECT_EQ(flush_record_unit(run, unit), full);
    EXPECT_EQ(record_count(run, unit), -1);
    EXPECT_EQ(record_unit_path(run, unit), dir.file("f.bin"));
    EXPECT_EQ(close_record_unit(run, unit), full);
    EXPECT_EQ(record_unit_failed_write(run, unit), 0);
    EXPECT_EQ(record_unit_path(run, unit), "");
}

// A full disk under the scored file comes to light when its gathered records go out: at a write
// that is not the next record, at a read of a record not gathered, or at the end of the input.
// Each stops the run on the write that failed, naming the file, its path and the disk, never on
// an end of file.
TEST_F(WorkFileTest, FullDiskIsReportedAsTheWriteThatFailed) {
    const std::function<void(korvelan::Run&, WorkFiles&)> ends[] = {
        [](korvelan::Run& r, WorkFiles& f) { write_person_scores_record(r, f, 7, bytes({1, 1})); },
        [](korvelan::Run& r, WorkFiles& f) {
            std::vector<std::uint8_t> b(2);
            read_person_scores_record(r, f, 4, b);
        },
        [](korvelan::Run& r, WorkFiles&) { flush_person_scores_records(r); },
    };
    int id = 200;
    for (const auto& end : ends) {
        korvelan::Run full;
        full.host = &host;
        full.rs.temp_directory = dir.path;
        full.rs.run_id = std::to_string(++id);
        host.lines.clear();
        open_person_work_files(full, {2, 4, 8, false});
        WorkFiles f({2, 4, 8, false});
        fill_disk_of(full, unit::kScores);
        for (int n = 1; n <= 3; ++n) write_person_scores_record(full, f, n, bytes({1, 0}));
        EXPECT_EQ(full.rs.io_status, 0);  // gathered: the failure is not yet known
        EXPECT_THROW(end(full, f), RunStopped);
        ASSERT_GE(host.lines.size(), 3u);
        EXPECT_EQ(host.lines[0], " PERSON SCORED FILE WRITE FAILURE AT PERSON RECORD =1");
        EXPECT_EQ(host.lines[1],
                  "PROBLEM: The disk is full (39): for file: PERSON SCORED FILE in mode W");
        EXPECT_EQ(host.lines[2], " Writing " + work_file_path(full, "ZMM") +
                                     " failed: no space left on the disk of " + dir.path);
        EXPECT_TRUE(full.rs.run_failed);
    }
}

TEST(WriteFailureLine, NamesThePathAndWhy) {
    const int full = status_from_errno(ENOSPC);
    EXPECT_EQ(write_failure_line(full, "/tmp/work/ZMM123kv.txt"),
              " Writing /tmp/work/ZMM123kv.txt failed: no space left on the disk of /tmp/work/");
    EXPECT_EQ(write_failure_line(status_from_errno(EDQUOT), "out.txt"),
              " Writing out.txt failed: no space left on the disk of ./");
    EXPECT_EQ(write_failure_line(status_from_errno(EFBIG), "/w/ZNN1kv.txt"),
              " Writing /w/ZNN1kv.txt failed: File too large");
    EXPECT_EQ(write_failure_line(status_from_errno(EROFS), "/w/ZNN1kv.txt"),
              " Writing /w/ZNN1kv.txt failed: Media is write protected");
}

TEST_F(WorkFileTest, UnopenableWorkFileStopsTheRun) {
    run.rs.temp_directory = dir.path + "missing/";
    EXPECT_THROW(open_person_work_files(run, {2, 4, 8, false}), RunStopped);
    EXPECT_EQ(host.lines.at(0), "UNABLE TO OPEN WORK FILE.");
    EXPECT_EQ(
        host.lines.at(1),
        "PROBLEM: Unusable Output File Name (2): for file: PERSON SCORE RECORD: ZMM in mode O");
}

TEST_F(WorkFileTest, NumberLabels) {
    make_person_number_label(17, label);
    EXPECT_EQ(trim_right(label), "00017P");
    make_person_number_label(99999, label);
    EXPECT_EQ(trim_right(label), "99999P");
    make_person_number_label(123456, label);
    EXPECT_EQ(trim_right(label), "123456P");
    make_item_number_label(7, 9999, label);
    EXPECT_EQ(trim_right(label), "I0007");
    make_item_number_label(7, 10000, label);
    EXPECT_EQ(trim_right(label), "00007");
    make_item_number_label(10000, 10000, label);
    EXPECT_EQ(trim_right(label), "10000");
}

TEST_F(WorkFileTest, ItemLabelsWithFallbacks) {
    WorkFiles f(WorkFileLayout{12, 4, 6, false});
    ASSERT_EQ(open_item_label_work_file(run, 10), 0);
    ASSERT_EQ(write_item_label_record(run, f, 1, "Addition of fractions"), 0);
    ASSERT_EQ(write_item_label_record(run, f, 2, "Sub"), 0);
    read_item_label_record(run, f, 1, label);
    EXPECT_EQ(trim_right(label), "Additi");  // ITLEN= characters
    read_item_label_record(run, f, 2, label);
    EXPECT_EQ(trim_right(label), "Sub");
    EXPECT_TRUE(host.lines.empty());
    // A record that cannot be read: message, number label, and the run goes on.
    read_item_label_record(run, f, 7, label);
    EXPECT_EQ(trim_right(label), "I0007");
    EXPECT_EQ(host.lines.at(0), " ITEM WORK FILE READ FAILURE AT ITEM RECORD =7");
    EXPECT_FALSE(run.rs.run_failed);
    EXPECT_EQ(run.rs.io_status, 0);
    // Numbered items never read the file.
    host.lines.clear();
    f.layout.items_numbered = true;
    read_item_label_record(run, f, 1, label);
    EXPECT_EQ(trim_right(label), "I0001");
    EXPECT_TRUE(host.lines.empty());
    close_all_units(run);
    EXPECT_EQ(file("ZJJ"), "Addition oSub       ");
}
