// Every way a run can end: stopped by SIGTERM, by two Ctrl+C or by a closed screen pipe in any
// phase, a report that is a pipe or a device, a data file that is a pipe without a writer, a
// report lost at its close, two output files of one name. Nothing is left in the temporary
// folder, and every output file and report is either the earlier run's or a whole run's.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "tests/support/run_binary.h"
#include "tests/support/test_files.h"

using namespace korvelan::testing;

namespace {

enum class Stop { None, Term, Kill, TwoInterrupts, OneInterrupt, ClosedScreen };

struct Ended {
    int status = -1;  // exit status, or -1 when a signal ended the run
    int signal = 0;
    bool timed_out = false;
    std::string screen;
};

// Runs the program in the folder (through the launcher's command, when one is given); once the
// screen shows the marker, stops it as asked.
Ended run_and_stop(const std::string& folder, const std::string& temp, const std::vector<std::string>& args,
                   Stop stop = Stop::None, const std::string& marker = "", std::int64_t file_limit = 0,
                   const std::vector<std::string>& launcher = {}) {
    int out[2];
    if (::pipe(out) != 0) return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, STDIN_FILENO);
        // A closed screen pipe must break the screen only.
        ::dup2(stop == Stop::ClosedScreen ? null : out[1], STDERR_FILENO);
        ::close(out[0]);
        if (file_limit > 0) {
            rlimit limit{static_cast<rlim_t>(file_limit), static_cast<rlim_t>(file_limit)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (::chdir(folder.c_str()) != 0) ::_exit(127);
        ::setenv("TMPDIR", temp.c_str(), 1);
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        ::unsetenv("QT_QPA_PLATFORM");
        std::vector<char*> argv;
        for (const std::string& a : launcher) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(const_cast<char*>(KORVELAN_BINARY));
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    Ended e;
    bool stopped = stop == Stop::None;
    int fd = out[0];
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (fd >= 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            e.timed_out = true;
            break;
        }
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        char buf[4096];
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n <= 0) break;
        e.screen.append(buf, static_cast<std::size_t>(n));
        if (stopped || e.screen.find(marker) == std::string::npos) continue;
        stopped = true;
        switch (stop) {
            case Stop::Term: ::kill(pid, SIGTERM); break;
            case Stop::Kill: ::kill(pid, SIGKILL); break;
            case Stop::OneInterrupt:
                // The user presses Ctrl+C while the run waits.
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                ::kill(pid, SIGINT);
                break;
            case Stop::TwoInterrupts:
                ::kill(pid, SIGINT);
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                ::kill(pid, SIGINT);
                break;
            case Stop::ClosedScreen:
                ::close(fd);
                fd = -1;
                break;
            case Stop::None: break;
        }
    }
    if (fd >= 0) ::close(fd);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFEXITED(status)) e.status = WEXITSTATUS(status);
    else if (WIFSIGNALED(status)) e.signal = WTERMSIG(status);
    return e;
}

// The folder of a run and its temporary folder, removed afterwards.
struct RunFolders {
    ScratchDir root;
    std::string folder = root.path + "run/", temp = root.path + "tmp/";
    RunFolders() {
        std::filesystem::create_directories(folder);
        std::filesystem::create_directories(temp);
    }
};

// A rating-scale data set large enough that each phase lasts a moment: 3000 persons, 30 items.
std::string larger_data_set() {
    std::string text = "TITLE=Endings\nNI=30\nITEM1=1\nNAME1=32\nCODES=0123\nPFILE=p.txt\nIFILE=i.txt\n"
                       "TABLES=1111111111\n&END\n";
    for (int i = 1; i <= 30; ++i) text += "Item" + std::to_string(i) + "\n";
    text += "END LABELS\n";
    unsigned state = 12345u;
    for (int p = 1; p <= 3000; ++p) {
        std::string record;
        for (int i = 1; i <= 30; ++i) {
            state = state * 1103515245u + 12345u;
            const int v = static_cast<int>((state >> 16) % 7) + (p % 5) - (i % 6) / 2;
            record += static_cast<char>('0' + std::clamp(v / 2, 0, 3));
        }
        text += record + "  P" + std::to_string(p) + "\n";
    }
    return text;
}

// Whether a report ends as a whole report does: with the copy of the control lines, whole.
bool ends_whole(const std::string& report) {
    return report.find("TABLE 0.3 ") != std::string::npos && report.size() >= 2 &&
           report.compare(report.size() - 2, 2, "\r\n") == 0;
}

// Whether a measure file holds as many whole lines as the whole run's.
bool same_lines(const std::string& file, const std::string& whole) {
    return !file.empty() && file.size() >= 2 && file.compare(file.size() - 2, 2, "\r\n") == 0 &&
           std::count(file.begin(), file.end(), '\n') == std::count(whole.begin(), whole.end(), '\n');
}

std::string shown_tail(const std::string& s) { return s.substr(s.size() > 2000 ? s.size() - 2000 : 0); }

}  // namespace

TEST(RunEndings, ARunStoppedInAnyPhaseLeavesNoWorkFileAndOnlyWholeFiles) {
    RunFolders dirs;
    const std::string& folder = dirs.folder;
    const std::string& temp = dirs.temp;
    write_file(folder + "ctl.txt", larger_data_set());
    // A whole run gives the files a stopped run may leave besides the earlier ones.
    const Ended whole = run_and_stop(folder, temp, {"ctl.txt", "out.txt", "BATCH=Y"});
    ASSERT_EQ(whole.status, 0) << shown_tail(whole.screen);
    const std::string whole_report = normalise_report(read_file(folder + "out.txt"), "", "");
    // The files carry the run's date: compared without it.
    const std::string whole_p = normalise_report(read_file(folder + "p.txt"), "", "");
    const std::string whole_i = normalise_report(read_file(folder + "i.txt"), "", "");
    ASSERT_TRUE(list_dir(temp).empty());

    const char* const phases[] = {"Input in process", "PROX", "UCON", "Calculating Fit Statistics",
                                  "Writing ", "Processing Table"};
    const std::pair<Stop, const char*> stops[] = {
        {Stop::Term, "SIGTERM"}, {Stop::TwoInterrupts, "two Ctrl+C"}, {Stop::ClosedScreen, "closed screen"}};
    for (const char* phase : phases) {
        for (const auto& [stop, stop_name] : stops) {
            SCOPED_TRACE(std::string(stop_name) + " at \"" + phase + "\"");
            for (const char* name : {"out.txt", "p.txt", "i.txt"}) write_file(folder + name, "earlier\r\n");
            const Ended e = run_and_stop(folder, temp, {"ctl.txt", "out.txt", "BATCH=Y"}, stop, phase);
            EXPECT_FALSE(e.timed_out);
            EXPECT_TRUE(list_dir(temp).empty()) << "left in the temporary folder: " << list_dir(temp).size();
            std::vector<std::string> names = list_dir(folder);
            std::sort(names.begin(), names.end());
            EXPECT_EQ(names, (std::vector<std::string>{"ctl.txt", "i.txt", "out.txt", "p.txt"}));
            const std::string report = normalise_report(read_file(folder + "out.txt"), "", "");
            const std::string p = normalise_report(read_file(folder + "p.txt"), "", "");
            const std::string i = normalise_report(read_file(folder + "i.txt"), "", "");
            if (e.signal == SIGTERM || e.signal == SIGINT) {
                // The last line names exactly the files that differ from before the run.
                const std::size_t at = e.screen.rfind(" RUN STOPPED BY A SIGNAL");
                ASSERT_NE(at, std::string::npos) << shown_tail(e.screen);
                const std::string said = e.screen.substr(at);
                for (const char* name : {"out.txt", "p.txt", "i.txt"}) {
                    const bool differs = read_file(folder + name) != "earlier\r\n";
                    EXPECT_EQ(said.find(folder + name) != std::string::npos, differs) << name << ": " << said;
                }
            }
            if (stop != Stop::TwoInterrupts || e.signal != 0) {
                // Up to the signal the run is the whole run: each file is that run's or the earlier one.
                EXPECT_NE(e.signal, 0) << "a stopped run does not end by itself";
                EXPECT_TRUE(report == "earlier\r\n" || report == whole_report)
                    << "report of " << report.size() << " bytes";
                EXPECT_TRUE(p == "earlier\r\n" || p == whole_p) << "PFILE= of " << p.size() << " bytes";
                EXPECT_TRUE(i == "earlier\r\n" || i == whole_i) << "IFILE= of " << i.size() << " bytes";
            } else {
                // The engine took the first Ctrl+C (finish iterating) before the second came, or
                // the two came as one: the run went on to an end of its own, with whole files of
                // its own (a run stopped after its data input writes no measure file).
                EXPECT_TRUE(report == "earlier\r\n" || ends_whole(report)) << report.size() << " bytes";
                EXPECT_TRUE(p == "earlier\r\n" || same_lines(p, whole_p)) << "PFILE= of " << p.size() << " bytes";
                EXPECT_TRUE(i == "earlier\r\n" || same_lines(i, whole_i)) << "IFILE= of " << i.size() << " bytes";
            }
        }
    }
}

TEST(RunEndings, WhatARunKilledInAnyPhaseLeftIsRemovedByTheNextRun) {
    RunFolders dirs;
    const std::string& folder = dirs.folder;
    const std::string& temp = dirs.temp;
    write_file(folder + "ctl.txt", larger_data_set());
    const Ended whole = run_and_stop(folder, temp, {"ctl.txt", "out.txt", "BATCH=Y"});
    ASSERT_EQ(whole.status, 0) << shown_tail(whole.screen);
    const std::string whole_p = normalise_report(read_file(folder + "p.txt"), "", "");
    const std::vector<std::string> files{"ctl.txt", "i.txt", "out.txt", "p.txt"};
    bool some_left = false;
    for (const char* phase : {"Input in process", "UCON", "Writing ", "Processing Table"}) {
        SCOPED_TRACE(std::string("killed at \"") + phase + "\"");
        const Ended killed = run_and_stop(folder, temp, {"ctl.txt", "out.txt", "BATCH=Y"}, Stop::Kill, phase);
        ASSERT_EQ(killed.signal, SIGKILL);
        const std::size_t work_left = list_dir(temp).size(), aside_left = list_dir(folder).size() - files.size();
        const bool left = work_left + aside_left > 0;
        some_left = some_left || left;
        const Ended next = run_and_stop(folder, temp, {"ctl.txt", "out.txt", "BATCH=Y"});
        // Every file removed is counted, the report's own aside file too.
        const std::string counted = (work_left ? std::to_string(work_left) + " work files in " + temp : "") +
                                    (work_left && aside_left ? " and " : "") +
                                    (aside_left ? std::to_string(aside_left) + " unfinished output files in " + folder : "");
        EXPECT_TRUE(!left || next.screen.find(" ended at once: " + counted + "\n") != std::string::npos) << counted;
        EXPECT_EQ(next.status, 0) << shown_tail(next.screen);
        EXPECT_TRUE(list_dir(temp).empty()) << "left in the temporary folder: " << list_dir(temp).size();
        std::vector<std::string> names = list_dir(folder);
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, files);
        EXPECT_EQ(normalise_report(read_file(folder + "p.txt"), "", ""), whole_p);
        EXPECT_EQ(next.screen.find(" Removed the files left by runs that were ended at once: ") != std::string::npos,
                  left)
            << shown_tail(next.screen);
    }
    EXPECT_TRUE(some_left);
}

TEST(RunEndings, ARunInAnotherPidNamespaceLeavesTheReportALiveRunWritesAlone) {
    if (::access("/usr/bin/unshare", X_OK) != 0 ||
        std::system("/usr/bin/unshare --pid --fork /bin/true >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "no new PID namespace can be made here (/usr/bin/unshare --pid --fork is missing or "
                        "not permitted)";
    RunFolders dirs;
    const std::string& folder = dirs.folder;
    const std::string& temp = dirs.temp;
    // The first run holds its report aside while it waits for its data from a pipe.
    const std::string whole = larger_data_set();
    const std::size_t labels_end = whole.find("END LABELS\n") + 11;
    write_file(folder + "ctl.txt", "DATA=data.fifo\n" + whole.substr(0, labels_end));
    ASSERT_EQ(::mkfifo((folder + "data.fifo").c_str(), 0600), 0);
    write_file(folder + "other.txt", "TITLE=Other\nNI=3\nITEM1=1\nNAME1=5\nCODES=01\n&END\nA\nB\nC\nEND LABELS\n"
                                     "011 a\n101 b\n110 c\n001 d\n100 e\n010 f\n");
    Ended first;
    std::thread live([&] { first = run_and_stop(folder, temp, {"ctl.txt", "out.txt", "BATCH=Y"}); });
    auto aside_of_first = [&] {
        for (const std::string& name : list_dir(folder))
            if (name.rfind(".out.txt.kv", 0) == 0) return true;
        return false;
    };
    for (int wait = 0; wait < 200 && !aside_of_first(); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(aside_of_first());
    // A run that cannot see the first one's process starts in the same folder.
    const Ended second = run_and_stop(folder, temp, {"other.txt", "other-out.txt", "BATCH=Y"}, Stop::None, "", 0,
                                      {"/usr/bin/unshare", "--pid", "--fork"});
    EXPECT_EQ(second.status, 0) << shown_tail(second.screen);
    EXPECT_TRUE(aside_of_first());
    // The first run's data now come, and it ends whole.
    int fd = -1;
    for (int wait = 0; wait < 200 && fd < 0; ++wait, std::this_thread::sleep_for(std::chrono::milliseconds(50)))
        fd = ::open((folder + "data.fifo").c_str(), O_WRONLY | O_NONBLOCK);  // once the first run reads
    if (fd >= 0 && ::fcntl(fd, F_SETFL, 0) == 0) {
        const std::string data = whole.substr(labels_end);
        EXPECT_EQ(::write(fd, data.data(), data.size()), static_cast<ssize_t>(data.size()));
    }
    if (fd >= 0) ::close(fd);
    live.join();
    EXPECT_EQ(first.status, 0) << shown_tail(first.screen);
    EXPECT_TRUE(ends_whole(read_file(folder + "out.txt")));
    EXPECT_TRUE(list_dir(temp).empty());
}

// A run that is process 1 of its PID namespace (as in a container) and is killed while it
// writes leaves its report aside under the id 1, which looks alive everywhere; the next run, in
// a namespace of its own (process 1 again) or in this one, removes it.
TEST(RunEndings, WhatAKilledProcessOneLeftIsRemovedByTheNextRunInAnyNamespace) {
    if (::access("/usr/bin/unshare", X_OK) != 0 ||
        std::system("/usr/bin/unshare --pid --kill-child /bin/true >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "no new PID namespace can be made here";
    RunFolders dirs;
    const std::string& folder = dirs.folder;
    write_file(folder + "ctl.txt", larger_data_set());
    // Killing unshare kills the run it started as process 1.
    const std::vector<std::string> container{"/usr/bin/unshare", "--pid", "--kill-child"};
    auto asides = [&] {
        std::vector<std::string> hidden;
        for (const std::string& name : list_dir(folder))
            if (name[0] == '.') hidden.push_back(name);
        return hidden;
    };
    for (const bool next_in_container : {true, false}) {
        SCOPED_TRACE(next_in_container ? "next run in a new namespace" : "next run here");
        const Ended killed = run_and_stop(folder, dirs.temp, {"ctl.txt", "out.txt", "BATCH=Y"}, Stop::Kill,
                                          "Processing Table", 0, container);
        ASSERT_EQ(killed.signal, SIGKILL);
        const std::vector<std::string> left = asides();
        ASSERT_FALSE(left.empty());
        for (const std::string& name : left) EXPECT_EQ(name.rfind(".out.txt.kv1-", 0), 0u) << name;
        const Ended next = run_and_stop(folder, dirs.temp, {"ctl.txt", "out.txt", "BATCH=Y"}, Stop::None, "", 0,
                                        next_in_container ? container : std::vector<std::string>{});
        EXPECT_EQ(next.status, 0) << shown_tail(next.screen);
        EXPECT_NE(next.screen.find(" unfinished output files in " + folder), std::string::npos)
            << shown_tail(next.screen);
        EXPECT_TRUE(asides().empty());
        EXPECT_TRUE(list_dir(dirs.temp).empty());
    }
}

TEST(RunEndings, AReportThatIsAPipeOrADeviceIsWrittenOnceAndNeverReadBack) {
    RunFolders dirs;
    const std::string& folder = dirs.folder;
    const std::string& temp = dirs.temp;
    write_file(folder + "ctl.txt", "TITLE=Piped\nNI=3\nITEM1=1\nNAME1=5\nCODES=01\n&END\nA\nB\nC\nEND LABELS\n"
                                   "011 a\n101 b\n110 c\n001 d\n100 e\n010 f\n");
    // The report goes to the screen pipe: the Tables, then the saved first part, each once.
    const Ended piped = run_and_stop(folder, temp, {"ctl.txt", "/dev/stdout", "BATCH=Y", "TABLES=1"});
    EXPECT_FALSE(piped.timed_out);
    EXPECT_EQ(piped.status, 0) << shown_tail(piped.screen);
    const std::size_t tables = piped.screen.find("TABLE 1.0 Piped");
    const std::size_t saved = piped.screen.find("TABLE 0.1 Piped");
    EXPECT_NE(tables, std::string::npos);
    EXPECT_NE(saved, std::string::npos);
    EXPECT_LT(tables, saved);
    EXPECT_EQ(piped.screen.find("TABLE 0.1 Piped", saved + 1), std::string::npos);
    EXPECT_EQ(piped.screen.find("TABLE 1.0 Piped", tables + 1), std::string::npos);
    EXPECT_TRUE(list_dir(temp).empty());

    // A device that takes nothing is refused when it is named, before the analysis.
    const auto start = std::chrono::steady_clock::now();
    const Ended full = run_and_stop(folder, temp, {"ctl.txt", "/dev/full", "BATCH=Y"});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_EQ(full.status, 1);
    EXPECT_NE(full.screen.find("The disk is full (39): for file: /dev/full in mode O"), std::string::npos)
        << shown_tail(full.screen);
    EXPECT_TRUE(list_dir(temp).empty());
}

TEST(RunEndings, ADataPipeWithoutAWriterEndsOnOneCtrlC) {
    RunFolders dirs;
    const std::string& folder = dirs.folder;
    const std::string& temp = dirs.temp;
    ASSERT_EQ(::mkfifo((folder + "data.fifo").c_str(), 0600), 0);
    write_file(folder + "ctl.txt", "NI=3\nITEM1=1\nNAME1=5\nCODES=01\nDATA=data.fifo\n&END\nA\nB\nC\nEND LABELS\n");
    write_file(folder + "out.txt", "earlier\r\n");
    const Ended e = run_and_stop(folder, temp, {"ctl.txt", "out.txt", "BATCH=Y"}, Stop::OneInterrupt,
                                 "Opening: data.fifo");
    EXPECT_FALSE(e.timed_out);
    EXPECT_EQ(e.signal, SIGINT) << shown_tail(e.screen);
    EXPECT_TRUE(list_dir(temp).empty());
    EXPECT_EQ(read_file(folder + "out.txt"), "earlier\r\n");

    // Data coming through a pipe are read as from a file.
    write_file(folder + "plain.txt", "011 a\n101 b\n110 c\n001 d\n100 e\n010 f\n");
    std::thread writer([&] {
        const int fd = ::open((folder + "data.fifo").c_str(), O_WRONLY);
        const std::string data = read_file(folder + "plain.txt");
        ssize_t put = ::write(fd, data.data(), data.size());
        (void)put;
        ::close(fd);
    });
    const Ended piped = run_and_stop(folder, temp, {"ctl.txt", "out.txt", "BATCH=Y"});
    writer.join();
    EXPECT_EQ(piped.status, 0) << shown_tail(piped.screen);
    EXPECT_NE(piped.screen.find("Measures constructed"), std::string::npos) << shown_tail(piped.screen);
}

TEST(RunEndings, AReportLostAtItsCloseIsNamedAndTheEarlierOneStays) {
    RunFolders dirs;
    const std::string& folder = dirs.folder;
    const std::string& temp = dirs.temp;
    write_file(folder + "ctl.txt", "TITLE=Lost\nNI=3\nITEM1=1\nNAME1=5\nCODES=01\n&END\nA\nB\nC\nEND LABELS\n"
                                   "011 a\n101 b\n110 c\n001 d\n100 e\n010 f\n");
    const Ended whole = run_and_stop(folder, temp, {"ctl.txt", "out.txt", "BATCH=Y"});
    ASSERT_EQ(whole.status, 0);
    const auto size = static_cast<std::int64_t>(std::filesystem::file_size(folder + "out.txt"));
    write_file(folder + "out.txt", "earlier\r\n");
    // One byte short: the last lines, written out at the close, do not fit.
    const Ended lost = run_and_stop(folder, temp, {"ctl.txt", "out.txt", "BATCH=Y"}, Stop::None, "", size - 1);
    EXPECT_EQ(lost.status, 1);
    const std::string problem = "PROBLEM: File too large (20027): for file: " + folder + "out.txt in mode W\n";
    EXPECT_NE(lost.screen.find(" OUTPUT FILES NOT WRITTEN IN FULL:\n" + problem), std::string::npos)
        << shown_tail(lost.screen);
    EXPECT_EQ(read_file(folder + "out.txt"), "earlier\r\n");
    EXPECT_TRUE(list_dir(temp).empty());
    EXPECT_EQ(list_dir(folder).size(), 2u);
}

TEST(RunEndings, AFailedRunNamesUnderItsLastLineExactlyTheFilesItReplaced) {
    const std::string layout = "NI=3\nITEM1=1\nNAME1=5\nCODES=01\n";
    const std::string data = "&END\nA\nB\nC\nEND LABELS\n011 a\n101 b\n110 c\n001 d\n100 e\n010 f\n";
    const std::string failures[] = {
        layout + "PFILE=p.txt\nFOO=1\n" + data,              // stops while the instructions are read
        layout + "DATA=missing.txt\nPFILE=p.txt\n" + data,    // stops at the data
        layout + "PFILE=p.txt\nIFILE=nodir/i.txt\n" + data,  // one output file is not written
    };
    for (const std::string& control : failures) {
        SCOPED_TRACE(control.substr(0, control.find("&END")));
        RunFolders dirs;
        write_file(dirs.folder + "ctl.txt", control);
        for (const char* name : {"out.txt", "p.txt", "i.txt"}) write_file(dirs.folder + name, "earlier\r\n");
        const Ended e = run_and_stop(dirs.folder, dirs.temp, {"ctl.txt", "out.txt", "BATCH=Y"});
        EXPECT_EQ(e.status, 1);
        const std::string ending = "\nOops! Use \"Edit\" menu to make corrections, then restart\n RUN FAILED: ";
        const std::size_t at = e.screen.rfind(ending);
        ASSERT_NE(at, std::string::npos) << shown_tail(e.screen);
        const std::string said = e.screen.substr(at + ending.size());
        EXPECT_EQ(said.rfind("IT FINISHED THESE FILES: ", 0), 0u) << said;
        EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
        for (const char* name : {"out.txt", "p.txt", "i.txt"}) {
            const bool differs = read_file(dirs.folder + name) != "earlier\r\n";
            EXPECT_EQ(said.find(dirs.folder + name) != std::string::npos, differs) << name << ": " << said;
        }
    }
}

TEST(RunEndings, TwoOutputFilesOfOneNameAreRefused) {
    RunFolders dirs;
    const std::string& folder = dirs.folder;
    const std::string& temp = dirs.temp;
    write_file(folder + "ctl.txt", "NI=3\nITEM1=1\nNAME1=5\nCODES=01\nPFILE=same.txt\nIFILE=./same.txt\n&END\n"
                                   "A\nB\nC\nEND LABELS\n011 a\n101 b\n110 c\n001 d\n100 e\n010 f\n");
    const Ended e = run_and_stop(folder, temp, {"ctl.txt", "out.txt", "BATCH=Y"});
    EXPECT_EQ(e.status, 1);
    const std::string problem =
        "PROBLEM: OUTPUT FILE HAS SAME NAME AS AN OUTPUT FILE WRITTEN BEFORE IT: ./same.txt\n";
    EXPECT_NE(e.screen.find(" OUTPUT FILES NOT WRITTEN IN FULL:\n" + problem), std::string::npos)
        << shown_tail(e.screen);
    // The person file, written first, stays.
    EXPECT_EQ(read_file(folder + "same.txt").rfind(";PERSON", 0), 0u);
}
