// Text files as users have them, run whole: a comma-separated data file named by each way of
// writing the comma, names longer than their fields, class files and label files that cannot be
// read, and text saved as UTF-16 without its mark.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/shell/measure_file.h"
#include "tests/support/run_binary.h"
#include "tests/support/test_files.h"

using namespace korvelan::testing;

namespace {

const std::string kLabels = "&END\nA\nB\nC\nD\nE\nF\nEND LABELS\n";

// Six rating items, the person's name first and the responses after it, separated.
std::string csv_data(char separator) {
    std::string data = "M Zo\xC3\xAB,1,2,3,4,3,2\nF Ann,0,1,2,3,2,1\nM Bob,2,2,1,0,1,3\nF Cy,3,4,4,2,1,0\n"
                       "M Dee,1,0,3,2,4,4\nF Eve,2,3,1,1,0,2\n";
    for (char& c : data)
        if (c == ',') c = separator;
    return data;
}

struct TextRun {
    ScratchDir dir, temp;
    ProgramResult result;
    // The control instructions (DATA=d.csv, comma-separated, unless they say otherwise).
    ProgramResult run(const std::string& instructions) {
        if (!std::filesystem::exists(dir.file("d.csv"))) write_file(dir.file("d.csv"), csv_data(','));
        write_file(dir.file("ctl.txt"), "NI=6\nITEM1=2\nNAME1=1\nCODES=01234\nPFILE=p.txt\n" + instructions + kLabels);
        std::filesystem::remove(dir.file("p.txt"));
        std::filesystem::remove(dir.file("out.txt"));
        return result = run_korvelan(dir.path, {"ctl.txt", "out.txt", "BATCH=Y"}, temp.path, 30);
    }
    bool shows(const std::string& text) const { return result.screen.find(text) != std::string::npos; }
    std::string report() const { return read_file(dir.file("out.txt")); }
};

// A name of the length that names the file: "./" repeated before it.
std::string name_of_length(const std::string& file, std::size_t length) {
    std::string name = (length - file.size()) % 2 ? ".//" : "";
    while (name.size() + file.size() < length) name += "./";
    return name + file;
}

}  // namespace

TEST(TextFileRuns, EveryWayOfNamingTheSeparatorReadsTheSameMeasures) {
    TextRun r;
    ASSERT_EQ(r.run("DELIMITER=Y\nDATA=d.csv\n").exit_status, 0) << r.result.screen;
    const std::string expected = read_file(r.dir.file("p.txt"));
    const std::vector<MeasureRecord> persons = read_measure_file(r.dir.file("p.txt"));
    ASSERT_EQ(persons.size(), 6u);
    EXPECT_EQ(persons[0].label, "M Zo\xC3\xAB");
    EXPECT_EQ(persons[0].score, 15);
    write_file(r.dir.file("s.csv"), csv_data(';'));
    write_file(r.dir.file("t.csv"), csv_data('\t'));
    // Bare or quoted, alone or before a comment, after blanks or a tab: the semicolon and the
    // tab twins of the data read as the commas do.
    for (const char* instruction :
         {"DELIMITER=,\nDATA=d.csv", "DELIMITER=\",\"\nDATA=d.csv", "SEPARATOR=, ; comma\nDATA=d.csv",
          "DELIMITER=\",\" ; x\nDATA=d.csv", "DELIMITER=;\nDATA=s.csv", "SEPARATOR=\";\"\nDATA=s.csv",
          "DELIMITER=;   ; semicolons\nDATA=s.csv", "DELIMITER=\";\" ; x\nDATA=s.csv", "SEPARATOR=; ; x\nDATA=s.csv",
          "DELIMITER=;\t; x\nDATA=s.csv", "DELIMITER=;;x\nDATA=s.csv", "DELIMITER=\t\nDATA=t.csv",
          "DELIMITER=\t ; tab\nDATA=t.csv", "DELIMITER=\"\t\" ; tab\nDATA=t.csv", "SEPARATOR='\t'\nDATA=t.csv",
          "DELIMITER=T ; tab\nDATA=t.csv"}) {
        ASSERT_EQ(r.run(std::string(instruction) + "\n").exit_status, 0)
            << instruction << "\n" << r.result.screen;
        EXPECT_EQ(read_file(r.dir.file("p.txt")).substr(expected.find("\n;ENTRY")),
                  expected.substr(expected.find("\n;ENTRY")))
            << instruction;
    }
    // A blank before the ";" makes it a comment: fixed columns, which these records do not fit.
    r.run("DELIMITER= ; note\nDATA=d.csv\n");
    EXPECT_TRUE(r.shows("\nM Zo\xC3\xAB,1,2,3,4,3,2\n^")) << r.result.screen;
    EXPECT_FALSE(std::filesystem::exists(r.dir.file("p.txt")) && read_file(r.dir.file("p.txt")) == expected);
}

TEST(TextFileRuns, ANameOneBeyondItsFieldIsRefused) {
    TextRun r;
    // DATA=: 1,000 characters name the file; one more is refused, not cut to another name.
    ASSERT_EQ(r.run("DELIMITER=,\nDATA=" + name_of_length("d.csv", 1000) + "\n").exit_status, 0) << r.result.screen;
    EXPECT_EQ(r.run("DELIMITER=,\nDATA=" + name_of_length("d.csv", 1001) + "\n").exit_status, 1);
    EXPECT_TRUE(r.shows(" FILE NAME TOO LONG: DATA= has 1001 bytes. At most 1000 can be used.")) << r.result.screen;
    EXPECT_FALSE(std::filesystem::exists(r.dir.file("p.txt")));

    // The data files of MFORMS=: a D= line holds at most 512 characters.
    write_file(r.dir.file("two.txt"), "012 P01\n210\n112 P02\n201\n221 P03\n100\n");
    const std::string forms = "L=2\nI1-3=1:1\nI4-6=2:1\nP1-3=1:5\n";
    write_file(r.dir.file("forms.txt"), "D=" + name_of_length("two.txt", 510) + "\n" + forms);
    ASSERT_EQ(r.run("MFORMS=forms.txt\n").exit_status, 0) << r.result.screen;
    // Every spelling of the keyword is the same line, refused by the name it is written with.
    for (const std::string keyword : {"D", "DATA", "data", "\tDat"}) {
        const std::string line = keyword + "=" + name_of_length("two.txt", 512 - keyword.size());
        write_file(r.dir.file("forms.txt"), line + " ; the data\n" + forms);
        EXPECT_EQ(r.run("MFORMS=forms.txt\n").exit_status, 1) << keyword;
        const std::string written = keyword[0] == '\t' ? keyword.substr(1) : keyword;
        EXPECT_TRUE(r.shows(" FILE NAME TOO LONG: " + written + "= has " + std::to_string(512 - keyword.size()) +
                            " bytes. At most " + std::to_string(511 - keyword.size()) + " can be used."))
            << r.result.screen;
    }
}

TEST(TextFileRuns, AClassFileThatCannotBeReadFailsTheRunAndTheOtherTablesAreWritten) {
    TextRun r;
    std::filesystem::create_directories(r.dir.file("folder"));
    write_file(r.dir.file("class.txt"), "$S1W1\n");
    write_file(r.dir.file("empty.txt"), "");
    write_file(r.dir.file("blank.txt"), "\xEF\xBB\xBF\r\n  \r\n");
    // Files that select nothing: a comment, a Ctrl-Z, lines without a column selection.
    write_file(r.dir.file("comment.txt"), "; the groups, one line each\r\n");
    write_file(r.dir.file("ctrlz.txt"), "\x1A");
    write_file(r.dir.file("words.txt"), "gender\nage group\n");
    const std::string tables = "TFILE=*\n1\n27\n28\n30\n31\n*\n";
    const std::string good = "ISUBTOTAL=class.txt\nPSUBTOTAL=class.txt\nDIF=class.txt\nDPF=class.txt\n";
    ASSERT_EQ(r.run("DELIMITER=,\nDATA=d.csv\n" + good + tables).exit_status, 0) << r.result.screen;
    for (const char* table : {"TABLE 1.", "TABLE 27.", "TABLE 28.", "TABLE 30.", "TABLE 31."})
        ASSERT_NE(r.report().find(table), std::string::npos) << table;

    const std::pair<std::string, std::string> keywords[] = {
        {"ISUBTOTAL=", "TABLE 27."}, {"PSUBTOTAL=", "TABLE 28."}, {"DIF=", "TABLE 30."}, {"DPF=", "TABLE 31."}};
    for (const auto& [keyword, lost] : keywords) {
        for (const std::string file : {"nosuch.txt", "folder", "/dev/zero", "empty.txt", "blank.txt", "comment.txt",
                                       "ctrlz.txt", "words.txt"}) {
            std::string instructions = good;
            instructions.replace(instructions.find(keyword + "class.txt"), keyword.size() + 9, keyword + file);
            EXPECT_EQ(r.run("DELIMITER=,\nDATA=d.csv\n" + instructions + tables).exit_status, 1) << keyword << file;
            EXPECT_TRUE(r.shows("OUTPUT FILES NOT WRITTEN IN FULL")) << keyword << file;
            const bool empty = file != "nosuch.txt" && file != "folder" && file != "/dev/zero";
            const std::string why = file == "/dev/zero" ? " LINE TOO LONG: line 1 of /dev/zero"
                                    : empty             ? " FILE HOLDS NO SELECTION: " + file
                                                        : " FILE: " + file;
            EXPECT_TRUE(r.shows(why)) << keyword << file << "\n" << r.result.screen;
            const std::string report = r.report();
            for (const auto& [other, table] : keywords)
                EXPECT_EQ(report.find(table) != std::string::npos, table != lost) << keyword << file << " " << table;
            EXPECT_NE(report.find("TABLE 1."), std::string::npos);
            EXPECT_EQ(read_measure_file(r.dir.file("p.txt")).size(), 6u);
        }
    }
}

TEST(TextFileRuns, LabelFilesAndDataThatAreNotTextStopTheRunNamingTheFile) {
    TextRun r;
    // Saved as UTF-16 without its mark: a NUL after every character.
    std::string no_mark;
    for (char c : std::string("0 Never\n1 Always\n")) no_mark += std::string{c, '\0'};
    write_file(r.dir.file("nul.txt"), no_mark);
    const std::pair<std::string, std::string> cases[] = {
        {"CFILE=/dev/zero", " LINE TOO LONG: line 1 of /dev/zero runs on for more than 1 MB without a line end"},
        {"CLFILE=/dev/zero", " LINE TOO LONG: line 1 of /dev/zero"},
        {"CFILE=nul.txt", " NUL BYTES IN TEXT: line 1 of nul.txt holds NUL bytes."},
        {"CLFILE=nul.txt", " NUL BYTES IN TEXT: line 1 of nul.txt"}};
    for (const auto& [instruction, message] : cases) {
        EXPECT_EQ(r.run("DELIMITER=,\nDATA=d.csv\n" + instruction + "\n").exit_status, 1) << instruction;
        EXPECT_TRUE(r.shows(message)) << instruction << "\n" << r.result.screen;
    }
    write_file(r.dir.file("d16.csv"), [] {
        std::string bytes;
        for (char c : csv_data(',')) bytes += std::string{c, '\0'};
        return bytes;
    }());
    EXPECT_EQ(r.run("DELIMITER=,\nDATA=d16.csv\n").exit_status, 1);
    EXPECT_TRUE(r.shows(" NUL BYTES IN TEXT: line 1 of d16.csv holds NUL bytes. Save the file as UTF-8, or as UTF-16 "
                        "with its byte-order mark (\"Unicode\")."))
        << r.result.screen;
    // A data file, or a control file, without a record says where none was found.
    write_file(r.dir.file("none.csv"), "\xEF\xBB\xBF");
    EXPECT_EQ(r.run("DELIMITER=,\nDATA=none.csv\n").exit_status, 1);
    EXPECT_TRUE(r.shows(" NO DATA RECORDS: no PERSON record was found in none.csv\nOops!")) << r.result.screen;
    EXPECT_EQ(r.run("DELIMITER=,\n").exit_status, 1);
    EXPECT_TRUE(r.shows(" NO DATA RECORDS: no PERSON record was found in " + r.dir.file("ctl.txt"))) << r.result.screen;
}
