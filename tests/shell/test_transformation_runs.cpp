// MAKEKEY=, MFORMS= and EDFILE= in batch runs of the program: each transformation must give the
// measures of the same data given directly.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/shell/measure_file.h"
#include "tests/support/run_binary.h"
#include "tests/support/test_files.h"

using namespace korvelan::testing;

namespace {

struct TransformRuns : ::testing::Test {
    ScratchDir dir;
    ScratchDir temp;
    ProgramResult run(const std::string& control, const std::string& report = "out.txt") {
        write_file(dir.file("ctl.txt"), control);
        return run_korvelan(dir.path, {"ctl.txt", report, "BATCH=Y"}, temp.path, 30);
    }
    std::vector<std::string> body(const std::string& file) {
        return measure_file_body(dir.file(file));
    }
    static bool has(const std::string& text, const std::string& part) {
        return text.find(part) != std::string::npos;
    }
};

// The most frequent code of each item column; ties go to the code listed first.
std::string most_frequent_codes(const std::vector<std::string>& records, std::size_t items,
                                const std::string& codes) {
    std::string key;
    for (std::size_t i = 0; i < items; ++i) {
        std::size_t best = 0;
        int best_count = -1;
        for (std::size_t c = 0; c < codes.size(); ++c) {
            int n = 0;
            for (const std::string& r : records) n += r[i] == codes[c];
            if (n > best_count) best = c, best_count = n;
        }
        key += codes[best];
    }
    return key;
}

// The lines of Table 0.3 that follow "MAKEKEY=Y constructed key follows:".
std::vector<std::string> key_lines(const std::string& report) {
    std::vector<std::string> lines = crlf_lines(report);
    std::vector<std::string> out;
    bool after = false;
    for (const std::string& l : lines) {
        if (after && (l.rfind("KEY1=", 0) == 0 || l.rfind(" +", 0) == 0))
            out.push_back(l);
        else if (after)
            break;
        after = after || l == "MAKEKEY=Y constructed key follows:";
    }
    return out;
}

const std::string kLabels = "&END\nA\nB\nC\nD\nEND LABELS\n";

}  // namespace

TEST_F(TransformRuns, MakekeyKeyIsShownInTable03AndScoresAsTheSameKeyGivenDirectly) {
    // Item 1: C four times. Item 2: A five times. Item 3: A, B and C twice each, A listed first.
    // Item 4: D five times.
    const std::vector<std::string> records{"CABD", "CBAA", "DAAD", "AACD", "CA D", "BBBB", "CACD"};
    std::string data;
    const char* names[] = {"Ann", "Bob", "Cid", "Dee", "Eve", "Fay", "Gus"};
    for (std::size_t k = 0; k < records.size(); ++k) data += records[k] + " " + names[k] + "\n";
    ASSERT_EQ(most_frequent_codes(records, 4, "ABCD"), "CAAD");

    const std::string head = "TITLE=Key\nNI=4\nITEM1=1\nNAME1=6\nCODES=ABCD\nPFILE=persons.txt\n";
    ProgramResult made = run(head + "MAKEKEY=Y\n" + kLabels + data);
    ASSERT_EQ(made.exit_status, 0) << made.screen;
    EXPECT_TRUE(
        has(made.screen, "\nMAKEKEY=  constructed.  See Table 0.3 in Report Output File.\n"))
        << made.screen;
    const std::string report = read_file(dir.file("out.txt"));
    const std::size_t table = report.find("\fTABLE 0.3 ");
    ASSERT_NE(table, std::string::npos);
    EXPECT_NE(report.find("\r\nMAKEKEY=Y constructed key follows:\r\nKEY1=\"CAAD\"\r\n", table),
              std::string::npos);
    const std::vector<std::string> with_made_key = body("persons.txt");
    ASSERT_EQ(with_made_key.size(), 7u);

    ProgramResult given = run(head + "KEY1=CAAD\n" + kLabels + data);
    ASSERT_EQ(given.exit_status, 0) << given.screen;
    EXPECT_EQ(body("persons.txt"), with_made_key);
    const std::vector<MeasureRecord> keyed = read_measure_file(dir.file("persons.txt"));

    // The made key is the only key: a KEY2= of the control file no longer scores (Cid's D on
    // item 1 would score 2).
    ProgramResult replaced = run(head + "KEY2=DDDD\nMAKEKEY=Y\n" + kLabels + data);
    ASSERT_EQ(replaced.exit_status, 0) << replaced.screen;
    const std::vector<MeasureRecord> rows = read_measure_file(dir.file("persons.txt"));
    ASSERT_EQ(rows.size(), keyed.size());
    for (std::size_t k = 0; k < rows.size(); ++k) {
        EXPECT_EQ(rows[k].score, keyed[k].score) << rows[k].label;
        EXPECT_EQ(rows[k].count, keyed[k].count) << rows[k].label;
        EXPECT_NEAR(rows[k].measure, keyed[k].measure, 0.02) << rows[k].label;
    }
}

// A key of 75 items goes into Table 0.3 as a first line ending in "+" and a continuation line;
// those lines, pasted into a control file, are the same key.
TEST_F(TransformRuns, LongMadeKeyLinesReadBackAsTheSameKey) {
    constexpr std::size_t kItems = 75;
    const std::string codes = "ABCD";
    std::uint32_t seed = 12345;
    auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
    std::string truth;
    for (std::size_t i = 0; i < kItems; ++i) truth += codes[next() % 4];
    std::vector<std::string> records;
    std::string data;
    for (int p = 0; p < 12; ++p) {
        std::string r;
        for (std::size_t i = 0; i < kItems; ++i)
            r += next() % 100 < static_cast<unsigned>(30 + 5 * p) ? truth[i] : codes[next() % 4];
        records.push_back(r);
        data += r + " P" + std::to_string(10 + p) + "\n";
    }
    const std::string key = most_frequent_codes(records, kItems, codes);

    const std::string head =
        "TITLE=Long key\nNI=75\nITEM1=1\nNAME1=77\nCODES=ABCD\nINUMB=Y\n"
        "PFILE=persons.txt\n";
    ProgramResult made = run(head + "MAKEKEY=Y\n&END\n" + data);
    ASSERT_EQ(made.exit_status, 0) << made.screen;
    const std::vector<std::string> lines = key_lines(read_file(dir.file("out.txt")));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "KEY1=\"" + key.substr(0, 70) + "+");
    EXPECT_EQ(lines[1], " +" + key.substr(70) + "\"");
    const std::vector<std::string> with_made_key = body("persons.txt");
    ASSERT_EQ(with_made_key.size(), 12u);

    ProgramResult given = run(head + lines[0] + "\n" + lines[1] + "\n&END\n" + data);
    ASSERT_EQ(given.exit_status, 0) << given.screen;
    EXPECT_EQ(body("persons.txt"), with_made_key);
}

// MFORMS= joins two input lines per person (items 1-2 from the first, 3-4 from the second, the
// label after the first line's items) into the records of one line per person. A last person
// without a second line has blanks there: missing responses.
TEST_F(TransformRuns, MformsJoinedRecordsMeasureAsTheOneLineRecords) {
    const std::string head =
        "TITLE=Forms\nNI=4\nITEM1=1\nNAME1=6\nPFILE=persons.txt\n"
        "IFILE=items.txt\n";
    ProgramResult direct = run(head + kLabels +
                               "1100 Ann\n1000 Bob\n1110 Cid\n0100 Dee\n1010 Eve\n1101 Fay\n"
                               "0110 Gus\n01   Hal\n");
    ASSERT_EQ(direct.exit_status, 0) << direct.screen;
    const std::vector<std::string> persons = body("persons.txt");
    const std::vector<std::string> items = body("items.txt");
    ASSERT_EQ(persons.size(), 8u);

    write_file(dir.file("two.txt"),
               "11 Ann\n00\n10 Bob\n00\n11 Cid\n10\n01 Dee\n00\n10 Eve\n10\n11 Fay\n01\n"
               "01 Gus\n10\n01 Hal\n");
    write_file(dir.file("forms.txt"),
               "; two lines a person\nD=two.txt\nL=2\nI1-2=1:1\nI3-4=2:1\nP1-3=1:4\n");
    ProgramResult joined = run(head + "MFORMS=forms.txt\n" + kLabels);
    ASSERT_EQ(joined.exit_status, 0) << joined.screen;
    EXPECT_TRUE(has(joined.screen, "\nRecords processed: 8\n")) << joined.screen;
    EXPECT_TRUE(has(joined.screen, "\n       8 PERSON       Records Input.\n"));
    EXPECT_EQ(body("persons.txt"), persons);
    EXPECT_EQ(body("items.txt"), items);
}

// EDFILE= changes exactly the responses it names: the run gives the measures of the data edited
// by hand, which differ from those of the data as read.
TEST_F(TransformRuns, EditedResponsesMeasureAsTheDataEditedByHand) {
    const std::string head =
        "TITLE=Edits\nNI=4\nITEM1=1\nNAME1=6\nPFILE=persons.txt\n"
        "IFILE=items.txt\n";
    const std::string data =
        "1100 Ann\n1000 Bob\n1110 Cid\n0100 Dee\n1010 Eve\n1101 Fay\n"
        "0110 Gus\n";
    ProgramResult as_read = run(head + kLabels + data);
    ASSERT_EQ(as_read.exit_status, 0) << as_read.screen;
    const std::vector<std::string> unedited = body("persons.txt");

    // Persons 3-5 item 2 become 0, person 1 item 4 becomes 1, person 7 item 1 stays 0, person 2
    // item 3 becomes a response that is no code (missing), and persons beyond 7 do not exist.
    const std::string edited =
        "1101 Ann\n10 0 Bob\n1010 Cid\n0000 Dee\n1010 Eve\n1101 Fay\n"
        "0110 Gus\n";
    ProgramResult by_hand = run(head + kLabels + edited);
    ASSERT_EQ(by_hand.exit_status, 0) << by_hand.screen;
    const std::vector<std::string> persons = body("persons.txt");
    const std::vector<std::string> items = body("items.txt");
    ASSERT_NE(persons, unedited);

    write_file(dir.file("edits.txt"),
               "; persons items value\n3-5 2 0\n1 4 1 ; comment\n7,1,\"0\"\n2 3-3 x\n9-12 1 1\n");
    ProgramResult edits = run(head + "EDFILE=edits.txt\n" + kLabels + data);
    ASSERT_EQ(edits.exit_status, 0) << edits.screen;
    EXPECT_TRUE(has(edits.screen, "\n Processing EDFILE= data edit from: edits.txt\n"))
        << edits.screen;
    EXPECT_EQ(body("persons.txt"), persons);
    EXPECT_EQ(body("items.txt"), items);
}
