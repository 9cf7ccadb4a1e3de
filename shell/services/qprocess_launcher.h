// The launcher of the desktop program: detached processes through QProcess.
#pragma once

#include "shell/services/launcher.h"

namespace korvelan {

class QProcessLauncher : public Launcher {
public:
    std::optional<long long> start_detached(const std::string& program,
                                            const std::vector<std::string>& arguments) override;
    // The process exists and has not ended (a finished process not yet reaped counts as ended).
    bool is_running(long long pid) override;
    // The process lives on its own once started: this launcher keeps nothing of it, and a
    // process still running when this program ends is neither waited for nor stopped.
    bool start_watched(const std::string& program, const std::vector<std::string>& arguments,
                       const Environment& environment, Output output, Ended ended) override;
};

}  // namespace korvelan
