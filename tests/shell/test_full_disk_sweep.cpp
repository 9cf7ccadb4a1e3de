// Runs that meet a full disk or a file-size limit at every point of their writing: each failure
// names the file it hit and why, each problem line is said at most twice (where it happens and
// in the closing list), and no failed write passes for a short read later.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>

#include "tests/shell/program_pool.h"
#include "tests/support/test_files.h"

using namespace korvelan::testing;

namespace {

// 3000 persons on 30 items coded 0-3: each person work file holds some 90 KB.
std::string data_set() {
    std::string text = "TITLE=Sweep\nNI=30\nITEM1=1\nNAME1=32\nCODES=0123\nPFILE=p.txt\nTABLES=1111111111\n&END\n";
    for (int i = 1; i <= 30; ++i) text += "Item" + std::to_string(i) + "\n";
    text += "END LABELS\n";
    unsigned state = 12345u;
    for (int p = 1; p <= 3000; ++p) {
        std::string record;
        for (int i = 1; i <= 30; ++i) {
            state = state * 1103515245u + 12345u;
            record += static_cast<char>('0' + std::clamp((static_cast<int>((state >> 16) % 7) + p % 5 - i % 6 / 2) / 2, 0, 3));
        }
        text += record + "  P" + std::to_string(p) + "\n";
    }
    return text;
}

// The problems of a failed run that are not honest: a line said more than twice, a failed write
// that shows only as a short read, a work-file failure without its path.
std::vector<std::string> dishonest(const JobResult& r, const std::string& temp) {
    std::vector<std::string> wrong;
    std::map<std::string, int> said;
    std::istringstream lines(r.screen);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("PROBLEM", 0) == 0 && ++said[line] == 3) wrong.push_back("said 3 times: " + line);
    if (r.screen.find("Unexpected end of file") != std::string::npos) wrong.push_back("a lost write read as a short file");
    if (r.screen.find("FILE WRITE FAILURE") != std::string::npos && r.screen.find(" Writing " + temp) == std::string::npos)
        wrong.push_back("a work file failed without its path");
    if (r.exit_status != 1) wrong.push_back("exit status " + std::to_string(r.exit_status));
    return wrong;
}

ProgramJob job_in(const std::string& folder, const std::string& temp) {
    std::filesystem::create_directories(folder);
    write_file(folder + "ctl.txt", data_set());
    ProgramJob job;
    job.folder = folder;
    job.temp_dir = temp;
    job.args = {"ctl.txt", "out.txt", "BATCH=Y"};
    return job;
}

}  // namespace

TEST(FullDiskSweep, AFileSizeLimitAtAnyPointIsNamedOnceWhereItHitsAndOnceAtTheEnd) {
    ScratchDir root;
    std::vector<ProgramJob> jobs;
    const std::int64_t limits[] = {40000, 88000, 150000, 400000, 1200000};
    for (const std::int64_t limit : limits) {
        const std::string n = std::to_string(limit);
        std::filesystem::create_directories(root.path + "tmp" + n);
        jobs.push_back(job_in(root.path + "run" + n + "/", root.path + "tmp" + n + "/"));
        jobs.back().file_size_limit = limit;
    }
    const std::vector<JobResult> results = run_jobs(jobs, 4);
    for (std::size_t k = 0; k < results.size(); ++k) {
        SCOPED_TRACE("file size limit " + std::to_string(limits[k]));
        EXPECT_EQ(dishonest(results[k], jobs[k].temp_dir), std::vector<std::string>{})
            << results[k].screen.substr(results[k].screen.size() > 3000 ? results[k].screen.size() - 3000 : 0);
        EXPECT_TRUE(list_dir(jobs[k].temp_dir).empty());
    }
}

// A temporary folder on a file system of its own, filled to leave little room. Mounting needs
// the administrator's rights: elsewhere the test is skipped.
TEST(FullDiskSweep, AFullTemporaryFolderNamesTheWorkFileAndItsDisk) {
    ScratchDir root;
    const std::string mount_point = root.path + "small/";
    std::filesystem::create_directories(mount_point);
    if (::mount("tmpfs", mount_point.c_str(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "a small file system cannot be mounted here";
    for (const std::int64_t free_bytes : {50000, 150000, 250000}) {
        SCOPED_TRACE(std::to_string(free_bytes) + " bytes free");
        for (const std::string& name : list_dir(mount_point)) std::filesystem::remove(mount_point + name);
        const auto space = std::filesystem::space(mount_point);
        write_file(mount_point + "filler", std::string(static_cast<std::size_t>(space.available) - free_bytes, '\0'));
        const ProgramJob job = job_in(root.path + "run" + std::to_string(free_bytes) + "/", mount_point);
        const JobResult r = run_jobs({job}, 1)[0];
        EXPECT_EQ(dishonest(r, mount_point), std::vector<std::string>{}) << r.screen;
        EXPECT_NE(r.screen.find("failed: no space left on the disk of " + mount_point + "\n"), std::string::npos)
            << r.screen;
        EXPECT_EQ(list_dir(mount_point), std::vector<std::string>{"filler"});
    }
    ::umount(mount_point.c_str());
}
