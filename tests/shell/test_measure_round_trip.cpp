// Measure files read back as anchor files, in every layout: a run with a deleted item, deleted
// persons, an item nobody answered and a title of numbers writes its IFILE= and PFILE= in the
// fixed, comma- and tab-separated layouts, with and without heading lines; a second run (without
// the deletions) anchored with any of them gives the same measures, and the entries that had no
// measure stay free, whether their lines carry a ";" flag or not.
#include <gtest/gtest.h>

#include "tests/shell/batch_folder.h"
#include "tests/support/chain_data.h"

using namespace korvelan::testing;

namespace {

constexpr int kItems = 10, kPersons = 40;
constexpr std::size_t kDeletedItem = 4, kUnansweredItem = 9;
const std::vector<std::size_t> kDeletedPersons = {2, 5};
// CSV= and HLINES= of each layout.
const std::vector<std::string> kLayouts = {"NY", "NN", "YY", "YN", "TY", "TN"};

// Dichotomous responses simulated with a fixed seed; nobody answers item 9. The title "7 8" is
// what a file of entries and values could hold.
std::string control(const std::string& settings) {
    static const std::vector<std::vector<int>> rows =
        simulate_responses({{'R', {0.0, 0.0}, {-1.6, -1.2, -.8, -.4, 0, .2, .5, .9, 0, 1.4}}},
                           kPersons, 6868686868ull);
    std::string c = "TITLE=7 8\nNI=" + std::to_string(kItems) +
                    "\nITEM1=1\nNAME1=" + std::to_string(kItems + 2) +
                    "\nCODES=01\nLCONV=.0001\nRCONV=.0001\n" + settings + "&END\n";
    for (int i = 1; i <= kItems; ++i) c += "I" + std::to_string(i) + "\n";
    c += "END LABELS\n";
    for (std::size_t n = 0; n < rows.size(); ++n) {
        std::string record;
        for (std::size_t i = 0; i < rows[n].size(); ++i)
            record += i + 1 == kUnansweredItem ? ' ' : char('0' + rows[n][i]);
        // No person is extreme: a file with headings flags an extreme entry as a comment, one
        // without anchors it at its measure, and anchored extreme persons count for the items.
        if (record.find('0') == std::string::npos || record.find('1') == std::string::npos)
            record[0] = record[0] == '0' ? '1' : '0';
        c += record + " P" + std::to_string(n + 1) + "\n";
    }
    return c;
}

struct RoundTrip : ::testing::Test {
    BatchFolder f;
    ProgramResult run(const std::string& settings) {
        ProgramResult r = f.run(control(settings));
        EXPECT_EQ(r.exit_status, 0) << r.screen;
        return r;
    }
    std::vector<MeasureRecord> records(const std::string& name, bool items) {
        return read_measure_records(f.lines(name), items);
    }
};

}  // namespace

TEST_F(RoundTrip, MeasureFilesOfEveryLayoutAnchorTheMeasuredEntriesOnly) {
    const std::string deletions = "IDFILE=*\n" + std::to_string(kDeletedItem) + "\n*\nPDFILE=*\n" +
                                  std::to_string(kDeletedPersons[0]) + "\n" +
                                  std::to_string(kDeletedPersons[1]) + "\n*\n";
    for (const std::string& l : kLayouts)
        run(deletions + "IFILE=i" + l + ".txt\nPFILE=p" + l + ".txt\nCSV=" + l[0] +
            "\nHLINES=" + l[1] + "\n");
    const std::vector<MeasureRecord> first_items = records("iNY.txt", true),
                                     first_persons = records("pNY.txt", false);
    ASSERT_EQ(first_items.size(), std::size_t{kItems});
    ASSERT_EQ(first_items[kDeletedItem - 1].status, -3);
    ASSERT_EQ(first_items[kUnansweredItem - 1].status, -2);

    for (const std::string& l : kLayouts) {
        // Items anchored, persons measured: item 4 is free again; every person as with the
        // fixed file with headings.
        ProgramResult r =
            run("IAFILE=i" + l + ".txt\nIFILE=ia" + l + ".txt\nPFILE=pa" + l + ".txt\n");
        EXPECT_NE(r.screen.find(" 2 ITEMS WITHOUT A MEASURE LEFT OUT OF: i" + l + ".txt\n"),
                  std::string::npos)
            << r.screen;
        const std::vector<MeasureRecord> items = records("ia" + l + ".txt", true);
        ASSERT_EQ(items.size(), std::size_t{kItems}) << l;
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (first_items[i].status >= 1) {
                EXPECT_EQ(items[i].status, 2) << l << " item " << i + 1;
                EXPECT_EQ(items[i].measure, first_items[i].measure) << l << " item " << i + 1;
            } else if (first_items[i].status < -1) {
                EXPECT_LT(items[i].status, 2) << l << " item " << i + 1;
            }
        }
        EXPECT_EQ(items[kDeletedItem - 1].status, 1) << l;
        EXPECT_EQ(measure_file_body(f.dir.file("pa" + l + ".txt")),
                  measure_file_body(f.dir.file("paNY.txt")))
            << l;

        // Persons anchored, items measured: the deleted persons are free again.
        r = run("PAFILE=p" + l + ".txt\nPFILE=pp" + l + ".txt\nIFILE=ip" + l + ".txt\n");
        EXPECT_NE(r.screen.find(" 2 PERSONS WITHOUT A MEASURE LEFT OUT OF: p" + l + ".txt\n"),
                  std::string::npos)
            << r.screen;
        const std::vector<MeasureRecord> persons = records("pp" + l + ".txt", false);
        ASSERT_EQ(persons.size(), std::size_t{kPersons}) << l;
        for (std::size_t n : kDeletedPersons)
            EXPECT_LT(persons[n - 1].status, 2) << l << " person " << n;
        for (std::size_t n = 0; n < persons.size(); ++n) {
            if (first_persons[n].status < 1) continue;
            EXPECT_EQ(persons[n].measure, first_persons[n].measure) << l << " person " << n + 1;
        }
        EXPECT_EQ(measure_file_body(f.dir.file("ip" + l + ".txt")),
                  measure_file_body(f.dir.file("ipNY.txt")))
            << l;
    }
}
