// A launcher for tests: records what would be started and answers with scripted results.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "shell/services/launcher.h"

namespace korvelan::testing {

struct RecordingLauncher : Launcher {
    struct Start {
        std::string program;
        std::vector<std::string> arguments;
        Environment environment;  // of a watched start
    };
    std::vector<Start> starts;
    bool fail = false;           // every start fails
    long long next_pid = 4000;
    std::set<long long> running;  // the processes that still run

    std::optional<long long> start_detached(const std::string& program,
                                            const std::vector<std::string>& arguments) override {
        starts.push_back({program, arguments, {}});
        if (fail) return std::nullopt;
        running.insert(next_pid);
        return next_pid++;
    }
    bool is_running(long long pid) override { return running.count(pid) > 0; }

    // A watched start is recorded with its handlers; `watch` (a real launcher's) runs it.
    struct Watched {
        Output output;
        Ended ended;
    };
    std::vector<Watched> watched;
    std::function<bool(const std::string&, const std::vector<std::string>&, const Environment&, Output, Ended)> watch;
    bool start_watched(const std::string& program, const std::vector<std::string>& arguments,
                       const Environment& environment, Output output, Ended ended) override {
        starts.push_back({program, arguments, environment});
        if (fail) return false;
        watched.push_back({output, ended});
        return !watch || watch(program, arguments, environment, output, ended);
    }
};

}  // namespace korvelan::testing
