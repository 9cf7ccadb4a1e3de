// The korvelan program when the machine is against it: many runs at once in one temporary
// folder, folders it may not write, a disk that fills, too little memory. Each run must end by
// itself, say what went wrong, claim no success it did not have, and leave no work file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "tests/shell/measure_file.h"
#include "tests/shell/program_pool.h"
#include "tests/support/data_sets.h"
#include "tests/support/test_files.h"

using namespace korvelan::testing;

namespace {

constexpr const char* kSuccess = "Measures constructed";
constexpr const char* kFailure = "\nOops! Use \"Edit\" menu";

// A dichotomous data set of its own for each seed: eight items, twenty persons whose answers
// follow their ability, with a little noise.
std::string own_data_set(int seed, const std::string& settings) {
    std::string text = "TITLE=Run " + std::to_string(seed) + "\nNI=8\nITEM1=1\nNAME1=10\nCODES=01\n" + settings +
                       "&END\nI1\nI2\nI3\nI4\nI5\nI6\nI7\nI8\nEND LABELS\n";
    unsigned state = 2654435761u * static_cast<unsigned>(seed + 1);
    for (int p = 1; p <= 20; ++p) {
        std::string record;
        for (int i = 1; i <= 8; ++i) {
            state = state * 1103515245u + 12345u;
            const int noise = static_cast<int>((state >> 16) % 5) - 2;
            record += (p % 9) - i + noise + 1 > 0 ? '1' : '0';
        }
        text += record + "  P" + std::to_string(p) + "\n";
    }
    return text;
}

// A folder every user may write (the unprivileged runs write there too).
std::string open_folder(const std::string& path) {
    std::filesystem::create_directories(path);
    ::chmod(path.c_str(), 0777);
    return path;
}

ProgramJob batch_job(const std::string& folder, const std::string& temp, const std::string& control,
                     const std::string& report) {
    ProgramJob job;
    job.folder = folder;
    job.temp_dir = temp;
    job.args = {control, report, "BATCH=Y"};
    return job;
}

std::string tail(const std::string& s) { return s.substr(s.size() > 2500 ? s.size() - 2500 : 0); }

}  // namespace

TEST(MachineFaults, SixteenRunsAtOnceInOneTempFolderKeepTheirOwnResults) {
    constexpr int kRuns = 16;
    ScratchDir root;
    const std::string together = open_folder(root.path + "together/");
    const std::string shared_temp = open_folder(root.path + "together-tmp/");
    std::vector<ProgramJob> at_once, alone;
    for (int k = 0; k < kRuns; ++k) {
        const std::string n = std::to_string(k);
        write_file(together + "ctl" + n + ".txt", own_data_set(k, "PFILE=p" + n + ".txt\nIFILE=i" + n + ".txt\n"));
        at_once.push_back(batch_job(together, shared_temp, "ctl" + n + ".txt", "out" + n + ".txt"));
        const std::string own = open_folder(root.path + "alone" + n + "/");
        write_file(own + "ctl" + n + ".txt", own_data_set(k, "PFILE=p" + n + ".txt\nIFILE=i" + n + ".txt\n"));
        alone.push_back(batch_job(own, open_folder(own + "tmp/"), "ctl" + n + ".txt", "out" + n + ".txt"));
    }
    const std::vector<JobResult> mixed = run_jobs(at_once, kRuns);
    const std::vector<JobResult> single = run_jobs(alone, 1);
    for (int k = 0; k < kRuns; ++k) {
        const std::string n = std::to_string(k);
        ASSERT_EQ(mixed[k].exit_status, 0) << tail(mixed[k].screen);
        ASSERT_EQ(single[k].exit_status, 0) << tail(single[k].screen);
        const std::vector<std::string> persons = measure_file_body(together + "p" + n + ".txt");
        EXPECT_EQ(persons.size(), 20u);
        EXPECT_EQ(persons, measure_file_body(alone[k].folder + "p" + n + ".txt")) << "run " << k;
        EXPECT_EQ(measure_file_body(together + "i" + n + ".txt"), measure_file_body(alone[k].folder + "i" + n + ".txt"));
        EXPECT_NE(read_file(together + "out" + n + ".txt").find("TITLE= Run " + n + "\r\n"), std::string::npos);
    }
    // The runs' data differ, so equal files are not a coincidence of equal data.
    EXPECT_NE(measure_file_body(together + "p0.txt"), measure_file_body(together + "p1.txt"));
    EXPECT_TRUE(list_dir(shared_temp).empty());
}

TEST(MachineFaults, FoldersThatMayNotBeWrittenAreNamedAndTheRunsFail) {
    ScratchDir root;
    ::chmod(root.path.c_str(), 0755);
    const std::string folder = open_folder(root.path + "run/");
    const std::string temp = open_folder(root.path + "tmp/");
    std::filesystem::create_directories(folder + "locked");
    ::chmod((folder + "locked").c_str(), 0555);
    write_file(folder + "ctl.txt", dichotomous_set("PFILE=locked/p.txt\nIFILE=i.txt\n"));
    std::vector<ProgramJob> jobs{batch_job(folder, temp, "ctl.txt", "out.txt"),
                                 batch_job(folder, temp, "ctl.txt", "locked/out.txt")};
    for (ProgramJob& job : jobs) job.unprivileged = true;  // root would write there all the same
    const std::vector<JobResult> r = run_jobs(jobs, 1);

    // An output file in the locked folder: the rest of the run is done, the file named at the end.
    const std::string problem = "PROBLEM: Access denied (5): for file: locked/p.txt in mode O";
    EXPECT_EQ(r[0].exit_status, 1) << tail(r[0].screen);
    EXPECT_NE(r[0].screen.find(" OUTPUT FILES NOT WRITTEN IN FULL:\n" + problem + std::string(kFailure)),
              std::string::npos)
        << tail(r[0].screen);
    EXPECT_EQ(r[0].screen.find(kSuccess), std::string::npos);
    const std::string report = read_file(folder + "out.txt");
    const std::string end = " OUTPUT FILES NOT WRITTEN IN FULL:\r\n" + problem + "\r\n";
    ASSERT_GT(report.size(), end.size());
    EXPECT_EQ(report.substr(report.size() - end.size()), end);
    EXPECT_EQ(read_measure_file(folder + "i.txt").size(), 8u);

    // The report in the locked folder: the run cannot start.
    EXPECT_EQ(r[1].exit_status, 1) << tail(r[1].screen);
    EXPECT_NE(r[1].screen.find("PROBLEM: Access denied (5): for file: "), std::string::npos) << tail(r[1].screen);
    EXPECT_NE(r[1].screen.find("locked/out.txt in mode O\n"), std::string::npos);
    EXPECT_NE(r[1].screen.find(kFailure), std::string::npos);
    EXPECT_EQ(r[1].screen.find(kSuccess), std::string::npos);

    EXPECT_TRUE(list_dir(folder + "locked").empty());
    EXPECT_TRUE(list_dir(temp).empty());
}

TEST(MachineFaults, ADiskThatFillsEndsTheRunAsFailedWithoutLeftovers) {
    // Every file may grow to 16 KB only, as under "ulimit -f 16": the report outgrows it.
    constexpr std::int64_t kLimit = 16384;
    ScratchDir root;
    const std::string folder = open_folder(root.path + "run/");
    const std::string temp = open_folder(root.path + "tmp/");
    write_file(folder + "ctl.txt", rating_scale_set("TABLES=1111111111111111111111\nPFILE=p.txt\n"));
    ProgramJob job = batch_job(folder, temp, "ctl.txt", "out.txt");
    job.file_size_limit = kLimit;
    const JobResult r = run_jobs({job}, 1)[0];
    EXPECT_EQ(r.signal, 0);
    EXPECT_EQ(r.exit_status, 1) << tail(r.screen);
    // The report is named where it failed and once more at the end of the screen.
    const std::string problem = "PROBLEM: File too large (20027): for file: " + folder + "out.txt in mode W\n";
    EXPECT_NE(r.screen.find(problem + " FAILED TO WRITE:\n"), std::string::npos) << tail(r.screen);
    EXPECT_NE(r.screen.find(" OUTPUT FILES NOT WRITTEN IN FULL:\n" + problem + "Oops! "), std::string::npos)
        << tail(r.screen);
    EXPECT_EQ(r.screen.find(kSuccess), std::string::npos);
    // A report not written in full does not take the name: there was none before.
    EXPECT_FALSE(file_exists(folder + "out.txt"));
    std::vector<std::string> names = list_dir(folder);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"ctl.txt", "p.txt"}));
    // The measure file is small: it is whole.
    EXPECT_EQ(read_measure_file(folder + "p.txt").size(), 16u);
    EXPECT_TRUE(list_dir(temp).empty());
}

TEST(MachineFaults, AWorkFileThatCannotGrowIsNamedAtTheWriteThatFailed) {
    // 6000 persons of 50 items need 300 KB of response codes; files may grow to 200 KB only.
    // The report stays small and whole.
    ScratchDir root;
    const std::string folder = open_folder(root.path + "run/");
    const std::string temp = open_folder(root.path + "tmp/");
    std::string control = "NI=50\nITEM1=1\nNAME1=52\nNAMLEN=6\nCODES=01\n&END\n";
    for (int i = 1; i <= 50; ++i) control += "I" + std::to_string(i) + "\n";
    control += "END LABELS\n";
    for (int p = 0; p < 6000; ++p) {
        for (int i = 0; i < 50; ++i) control += (p * 7 + i * 3) % 5 < 2 ? '1' : '0';
        control += " P" + std::to_string(p) + "\n";
    }
    write_file(folder + "ctl.txt", control);
    ProgramJob job = batch_job(folder, temp, "ctl.txt", "out.txt");
    job.file_size_limit = 200 * 1024;
    const JobResult r = run_jobs({job}, 1)[0];
    EXPECT_EQ(r.signal, 0);
    EXPECT_EQ(r.exit_status, 1) << tail(r.screen);
    // The first record that did not fit, the file as the run knows it, its path and why.
    const std::string named = " PERSON CODES FILE WRITE FAILURE AT PERSON RECORD =4097\n"
                              "PROBLEM: File too large (20027): for file: PERSON CODES FILE in mode W\n"
                              " Writing " + temp + "ZNN";
    EXPECT_NE(r.screen.find(named), std::string::npos) << tail(r.screen);
    EXPECT_NE(r.screen.find("kv.txt failed: File too large\nOops! "), std::string::npos) << tail(r.screen);
    EXPECT_EQ(r.screen.find("READ FAILURE"), std::string::npos) << tail(r.screen);
    EXPECT_EQ(r.screen.find(kSuccess), std::string::npos);
    EXPECT_TRUE(list_dir(temp).empty());

    // With room for the codes, the residuals of Table 23 (600 KB) are the first that do not fit:
    // their write's own error and the file's path, not a general input/output error.
    job.file_size_limit = 400 * 1024;
    job.args.push_back("TABLES=00000000000000000000001");
    const JobResult residuals = run_jobs({job}, 1)[0];
    EXPECT_EQ(residuals.exit_status, 1) << tail(residuals.screen);
    EXPECT_NE(residuals.screen.find("PROBLEM: File too large (20027): for file: STANDARDIZED RESIDUAL WORK FILE in "
                                    "mode W\n Writing " + temp + "ZUU"),
              std::string::npos)
        << tail(residuals.screen);
    EXPECT_EQ(residuals.screen.find("Input/output error"), std::string::npos);
    EXPECT_TRUE(list_dir(temp).empty());
}

// The smallest address-space limit, in MB, under which the program analyses a tiny data set:
// what the program and its shared libraries take before any array of the data.
int address_space_to_start(const std::string& root) {
    const std::string folder = open_folder(root + "tiny/");
    write_file(folder + "ctl.txt", "NI=2\nITEM1=1\nNAME1=4\nCODES=01\n&END\nA\nB\nEND LABELS\n"
                                   "01 a\n10 b\n11 c\n00 d\n01 e\n");
    // The lowest limit of a list under which the tiny run succeeds, 0 where none does.
    auto lowest_start = [&](int from, int to, int step) {
        std::vector<ProgramJob> jobs;
        for (int mb = from; mb <= to; mb += step) {
            ProgramJob job = batch_job(folder, open_folder(root + "tiny" + std::to_string(mb) + "/"), "ctl.txt",
                                       "out" + std::to_string(mb) + ".txt");
            job.address_space_limit = std::int64_t{mb} << 20;
            job.environment = {"KORVELAN_THREADS=1"};
            jobs.push_back(job);
        }
        const std::vector<JobResult> results = run_jobs(jobs, 4);
        for (std::size_t j = 0; j < jobs.size(); ++j) {
            if (results[j].exit_status == 0) return static_cast<int>(jobs[j].address_space_limit >> 20);
        }
        return 0;
    };
    // Coarse steps first, then the megabyte: the window in which the engine falls back to fewer
    // persons lies a few megabytes above the start and must not fall between two steps.
    const int coarse = lowest_start(8, 1024, 8);
    if (coarse <= 8) return coarse;
    const int fine = lowest_start(coarse - 7, coarse - 1, 1);
    return fine > 0 ? fine : coarse;
}

TEST(MachineFaults, TooLittleMemoryEndsWithTheMemoryMessageNeverACrash) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer cannot run under an address-space limit";
#endif
    // 200,000 persons: the per-person arrays need megabytes. Under address-space limits from
    // too little to enough, with one worker thread and with eight, every run ends by itself.
    ScratchDir root;
    const std::string folder = open_folder(root.path + "run/");
    std::string control = "TITLE=Many\nNI=4\nITEM1=1\nNAME1=6\nCODES=01\n&END\nA\nB\nC\nD\nEND LABELS\n";
    unsigned state = 7;
    for (int p = 0; p < 200000; ++p) {
        for (int i = 0; i < 4; ++i) {
            state = state * 1103515245u + 12345u;
            control += ((state >> 16) % 4) > static_cast<unsigned>(i) ? '1' : '0';
        }
        control += " x\n";
    }
    write_file(folder + "ctl.txt", control);
    // The sweep starts at what the program needs to start at all (its shared libraries differ
    // from machine to machine; below it the loader refuses the program before it runs) and goes
    // up to where the data fit.
    const int base = address_space_to_start(root.path);
    ASSERT_GT(base, 0) << "the program did not start under any limit up to 1 GB";
    std::vector<ProgramJob> jobs;
    for (int threads : {1, 8}) {
        for (int mb = base; mb <= base + 64; mb += 2) {
            const std::string n = std::to_string(threads) + "-" + std::to_string(mb);
            ProgramJob job = batch_job(folder, open_folder(root.path + "tmp" + n + "/"), "ctl.txt", "out" + n + ".txt");
            job.address_space_limit = std::int64_t{mb} << 20;
            job.environment = {"KORVELAN_THREADS=" + std::to_string(threads)};
            jobs.push_back(job);
        }
    }
    const std::vector<JobResult> results = run_jobs(jobs, 4);
    int succeeded = 0, bisected = 0;
    for (std::size_t j = 0; j < jobs.size(); ++j) {
        const JobResult& r = results[j];
        const std::string limit = jobs[j].environment[0] + ", " + std::to_string(jobs[j].address_space_limit >> 20) + " MB";
        ASSERT_TRUE(r.exit_status == 0 || r.exit_status == 1) << limit << ": status " << r.exit_status
                                                              << ", signal " << r.signal << "\n" << tail(r.screen);
        succeeded += r.exit_status == 0;
        bisected += r.screen.find(" bytes of memory not available. Complete analysis not done.") != std::string::npos;
        if (r.exit_status == 1) {
            const bool memory_message = r.screen.find(" bytes of memory not available") != std::string::npos ||
                                        r.screen.find(" NOT ENOUGH MEMORY") != std::string::npos;
            EXPECT_TRUE(memory_message) << limit << "\n" << tail(r.screen);
            EXPECT_EQ(r.screen.find(kSuccess), std::string::npos) << limit;
        }
        EXPECT_TRUE(list_dir(jobs[j].temp_dir).empty()) << limit;
    }
    EXPECT_GT(succeeded, 0);
    EXPECT_GT(bisected, 0);  // the engine's own fall-back to fewer persons was reached
    EXPECT_LT(succeeded, static_cast<int>(jobs.size()));
}
