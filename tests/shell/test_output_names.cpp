// Output names tried when they are given: a report name the file system refuses stops a batch run
// before its analysis, and a file the user made read-only is refused and kept as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "tests/support/run_binary.h"
#include "tests/support/test_files.h"

using namespace korvelan::testing;

namespace {

const char* const kControl = "TITLE=Names\nNI=3\nITEM1=1\nNAME1=5\nCODES=01\n&END\nA\nB\nC\nEND LABELS\n"
                             "011 a\n101 b\n110 c\n001 d\n100 e\n010 f\n";

// A name of `bytes` bytes ending in ".txt", of one-byte or two-byte characters.
std::string name_of(std::size_t bytes, bool two_byte) {
    std::string name;
    const std::size_t stem = bytes - 4;
    if (two_byte) {
        for (std::size_t i = 0; i + 1 < stem; i += 2) name += "\xC3\xA9";
        if (stem % 2 == 1) name += "e";
    } else {
        name.assign(stem, 'a');
    }
    return name + ".txt";
}

struct Folder {
    ScratchDir dir, temp;
    Folder() { write_file(dir.file("ctl.txt"), kControl); }
    ProgramResult run(const std::string& report, const std::vector<std::string>& extra = {}) {
        std::vector<std::string> args{"ctl.txt", report, "BATCH=Y"};
        args.insert(args.end(), extra.begin(), extra.end());
        return run_korvelan(dir.path, args, temp.path);
    }
};

}  // namespace

TEST(OutputNames, ReportNamesUpToTheLimitAreWrittenAndLongerOnesRefusedBeforeTheAnalysis) {
    Folder f;
    for (const bool two_byte : {false, true}) {
        for (const std::size_t bytes : {5u, 200u, 250u, 255u}) {
            const std::string name = name_of(bytes, two_byte);
            SCOPED_TRACE(std::to_string(bytes) + (two_byte ? " bytes of two-byte characters" : " bytes"));
            ASSERT_EQ(name.size(), bytes);
            const ProgramResult r = f.run(name);
            EXPECT_EQ(r.exit_status, 0) << r.screen;
            EXPECT_NE(r.screen.find(" Output written to " + f.dir.path + name + "\n"), std::string::npos);
            EXPECT_TRUE(file_exists(f.dir.file(name)));
            std::filesystem::remove(f.dir.file(name));
        }
    }
    std::filesystem::create_directory(f.dir.file("ro"));
    ::chmod(f.dir.file("ro").c_str(), 0555);
    const std::pair<std::string, std::string> refused[] = {
        {name_of(256, false), "File name too long"}, {name_of(256, true), "File name too long"},
        {name_of(304, false), "File name too long"}, {"ro/out.txt", "Access denied"},
        {"none/out.txt", "Unusable Output File Name"}, {"/dev/full", "The disk is full"}};
    for (const auto& [name, why] : refused) {
        SCOPED_TRACE(name.substr(0, 40));
        const ProgramResult r = f.run(name);
        EXPECT_EQ(r.exit_status, 1);
        EXPECT_NE(r.screen.find("PROBLEM: " + why), std::string::npos) << r.screen;
        EXPECT_NE(r.screen.find(" in mode O\n"), std::string::npos) << r.screen;
        EXPECT_EQ(r.screen.find("Input in process"), std::string::npos) << "the analysis ran";
        EXPECT_EQ(r.screen.find("PROX"), std::string::npos) << "the estimation ran";
        EXPECT_EQ(r.screen.find(" Output written to"), std::string::npos);
    }
    ::chmod(f.dir.file("ro").c_str(), 0755);
    EXPECT_TRUE(list_dir(f.dir.file("ro")).empty());
    std::vector<std::string> left = list_dir(f.dir.path);
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"ctl.txt", "ro"}));
    EXPECT_TRUE(list_dir(f.temp.path).empty());
}

TEST(OutputNames, AReadOnlyOutputFileIsRefusedAndKeptWhileTheOthersAreWritten) {
    Folder f;
    const std::vector<std::string> files{"PFILE=p.txt", "IFILE=i.txt"};
    ASSERT_EQ(f.run("out.txt", files).exit_status, 0);
    for (const char* kept : {"p.txt", "i.txt"}) {
        SCOPED_TRACE(kept);
        for (const char* name : {"out.txt", "p.txt", "i.txt"}) write_file(f.dir.file(name), "earlier\r\n");
        ::chmod(f.dir.file(kept).c_str(), 0444);
        const ProgramResult r = f.run("out.txt", files);
        EXPECT_EQ(r.exit_status, 1);
        EXPECT_NE(r.screen.find(" OUTPUT FILES NOT WRITTEN IN FULL:\nPROBLEM: Access denied (5): for file: "),
                  std::string::npos)
            << r.screen;
        EXPECT_NE(r.screen.find(std::string(kept) + " in mode O\n"), std::string::npos) << r.screen;
        EXPECT_EQ(read_file(f.dir.file(kept)), "earlier\r\n");
        struct stat st {};
        ::stat(f.dir.file(kept).c_str(), &st);
        EXPECT_EQ(st.st_mode & 07777, 0444u);
        for (const char* name : {"out.txt", "p.txt", "i.txt"})
            if (std::string(name) != kept) {
                EXPECT_NE(read_file(f.dir.file(name)), "earlier\r\n") << name;
            }
        ::chmod(f.dir.file(kept).c_str(), 0644);
    }
    // A read-only report is refused when it is named.
    write_file(f.dir.file("out.txt"), "earlier\r\n");
    ::chmod(f.dir.file("out.txt").c_str(), 0444);
    const ProgramResult r = f.run("out.txt");
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_NE(r.screen.find("PROBLEM: Access denied (5): for file: " + f.dir.path + "out.txt in mode O\n"),
              std::string::npos)
        << r.screen;
    EXPECT_EQ(read_file(f.dir.file("out.txt")), "earlier\r\n");
    EXPECT_TRUE(list_dir(f.temp.path).empty());
}
