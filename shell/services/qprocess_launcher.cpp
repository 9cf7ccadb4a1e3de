#include "shell/services/qprocess_launcher.h"

#include <signal.h>

#include <QProcess>
#include <QString>
#include <QStringList>
#include <fstream>

namespace korvelan {

std::optional<long long> QProcessLauncher::start_detached(const std::string& program,
                                                          const std::vector<std::string>& arguments) {
    QStringList args;
    for (const std::string& a : arguments) args << QString::fromStdString(a);
    qint64 pid = 0;
    if (!QProcess::startDetached(QString::fromStdString(program), args, QString(), &pid)) return std::nullopt;
    return static_cast<long long>(pid);
}

bool QProcessLauncher::is_running(long long pid) {
    if (pid <= 0 || ::kill(static_cast<pid_t>(pid), 0) != 0) return false;
    // "pid (name) S ...": the state follows the last ")".
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const std::size_t close = text.rfind(')');
    return close == std::string::npos || close + 2 >= text.size() || text[close + 2] != 'Z';
}

}  // namespace korvelan
