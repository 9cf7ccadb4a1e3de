// Files by pattern: wildcard tests, deletion of a run's work files, the recursive search.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>

#include "shell/services/file_patterns.h"
#include "tests/support/test_files.h"

using namespace korvelan;
using namespace korvelan::testing;

TEST(FilePatterns, WildcardsMatchOneCharacterOrAnyRun) {
    EXPECT_TRUE(wildcard_matches("???123kv.txt", "ZMM123kv.txt"));
    EXPECT_TRUE(wildcard_matches("???123kv.txt", "03-123kv.txt"));
    EXPECT_FALSE(wildcard_matches("???123kv.txt", "ZM123kv.txt"));
    EXPECT_FALSE(wildcard_matches("???123kv.txt", "ZMM124kv.txt"));
    EXPECT_TRUE(wildcard_matches("*.con", "exam.con"));
    EXPECT_TRUE(wildcard_matches("*.*", "a.b"));
    EXPECT_FALSE(wildcard_matches("*.con", "exam.con.bak"));
    EXPECT_TRUE(wildcard_matches("a*b*c", "aXbYbZc"));
}

TEST(FilePatterns, ExistsAndDeletesOnlyTheRunsFiles) {
    ScratchDir dir;
    for (const char* name : {"ZIN123kv.txt", "ZMM123kv.txt", "03-123kv.txt", "ZMM124kv.txt", "keep.txt"})
        write_file(dir.file(name), "x");
    ::mkdir(dir.file("sub").c_str(), 0700);
    EXPECT_TRUE(korvelan::file_exists(dir.file("???123kv.txt")));
    EXPECT_TRUE(korvelan::file_exists(dir.file("su?")));  // a directory counts
    EXPECT_FALSE(korvelan::file_exists(dir.file("???125kv.txt")));
    EXPECT_FALSE(korvelan::file_exists(dir.file("nofolder/???123kv.txt")));

    EXPECT_EQ(delete_matching_files(dir.file("???123kv.txt")), 3);
    std::vector<std::string> left = list_dir(dir.path);
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"ZMM124kv.txt", "keep.txt", "sub"}));
    EXPECT_FALSE(korvelan::file_exists(dir.file("???123kv.txt")));
}

TEST(FilePatterns, RecursiveSearchGoesDepthFirstIgnoringCaseAndDotFolders) {
    ScratchDir dir;
    for (const char* d : {"a", "a/b", "a/b/c", ".hidden"}) ::mkdir(dir.file(d).c_str(), 0700);
    write_file(dir.file(".hidden/WordPad.exe"), "");
    write_file(dir.file("a/b/c/WordPad.exe"), "");
    write_file(dir.file("a/notes.txt"), "");
    EXPECT_EQ(find_file_recursive(dir.path, "WORDPAD.EXE"), dir.file("a/b/c/WordPad.exe"));
    EXPECT_EQ(find_file_recursive(dir.path.substr(0, dir.path.size() - 1), "notes.TXT"), dir.file("a/notes.txt"));
    EXPECT_EQ(find_file_recursive(dir.path, "EXCEL.EXE"), "");
}
