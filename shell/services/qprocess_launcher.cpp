#include "shell/services/qprocess_launcher.h"

#include <signal.h>

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <fstream>
#include <memory>

namespace korvelan {

std::optional<long long> QProcessLauncher::start_detached(const std::string& program,
                                                          const std::vector<std::string>& arguments) {
    QStringList args;
    for (const std::string& a : arguments) args << QString::fromStdString(a);
    qint64 pid = 0;
    if (!QProcess::startDetached(QString::fromStdString(program), args, QString(), &pid)) return std::nullopt;
    return static_cast<long long>(pid);
}

bool QProcessLauncher::start_watched(const std::string& program, const std::vector<std::string>& arguments,
                                     const Environment& environment, Output output, Ended ended) {
    auto* process = new QProcess;
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : environment)
        variables.insert(QString::fromStdString(name), QString::fromStdString(value));
    process->setProcessEnvironment(variables);
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    // Handing on output or the end may let the window take events, and so run these handlers
    // again inside themselves: the process object goes only once no handler of it runs.
    struct Watch {
        int busy = 0;
        bool ended = false;
    };
    auto watch = std::make_shared<Watch>();
    const auto done_with = [process, watch] {
        if (watch->busy == 0 && watch->ended) process->deleteLater();
    };
    const auto hand_on = [process, output, watch, done_with] {
        const QByteArray bytes = process->readAllStandardOutput();
        if (bytes.isEmpty() || !output) return;
        ++watch->busy;
        output(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        --watch->busy;
        done_with();
    };
    QObject::connect(process, &QProcess::readyReadStandardOutput, process, hand_on);
    QObject::connect(process, &QProcess::finished, process,
                     [hand_on, ended, watch, done_with](int code, QProcess::ExitStatus how) {
                         ++watch->busy;
                         hand_on();
                         if (ended) ended(how == QProcess::CrashExit ? -1 : code);
                         --watch->busy;
                         watch->ended = true;
                         done_with();
                     });
    QStringList args;
    for (const std::string& a : arguments) args << QString::fromStdString(a);
    process->start(QString::fromStdString(program), args);
    if (!process->waitForStarted()) {
        delete process;
        return false;
    }
    return true;
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
