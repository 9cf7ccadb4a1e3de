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
};

}  // namespace korvelan
