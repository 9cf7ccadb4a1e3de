// The Diagnosis menu before the run, drawn on an X server (Xvfb, started here) under the style
// the program uses: a separator line shows under "About...", apart from the menu's frame.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "shell/menus/qt_menu_view.h"

namespace korvelan {
namespace {

// An X server of its own for the test: Xvfb tells its display number through a pipe. A start
// that does not tell one (the server gave up, seen once on a loaded machine) is tried again.
class XServer {
public:
    XServer() {
        for (int attempt = 0; attempt < 5 && display_.empty(); ++attempt) {
            if (attempt > 0) ::usleep(200000);
            start();
        }
    }
    ~XServer() { stop(); }
    const std::string& display() const { return display_; }

private:
    void start() {
        int fds[2];
        if (::pipe(fds) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "800x600x24", "-nolisten", "tcp",
                     static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        std::string told;
        char buffer[16];
        // The number ends with a line end; a read cut short by a signal is read on.
        for (ssize_t n; pid_ > 0 && told.find('\n') == std::string::npos;) {
            n = ::read(fds[0], buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            told.append(buffer, static_cast<std::size_t>(n));
        }
        ::close(fds[0]);
        const std::size_t end = told.find('\n');
        if (end != std::string::npos && end > 0) display_ = ":" + told.substr(0, end);
        else stop();
    }
    void stop() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

    pid_t pid_ = -1;
    std::string display_;
};

// Whether a row of the picture differs from the background over most of its width.
bool line_row(const QImage& image, int y, QRgb background) {
    int drawn = 0;
    for (int x = 0; x < image.width(); ++x) drawn += image.pixel(x, y) != background;
    return drawn * 2 > image.width();
}

TEST(MenuSeparatorPixels, TheDiagnosisSeparatorUnderAboutIsDrawnBeforeTheRun) {
    XServer server;
    ASSERT_FALSE(server.display().empty()) << "Xvfb (package xvfb) did not start";
    ::setenv("DISPLAY", server.display().c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    int argc = 1;
    char name[] = "menu_test";
    char* argv[] = {name, nullptr};
    {
        QApplication app(argc, argv);
        MenuModel model;
        QMenuBar bar;
        QtMenuView view(model, bar, [](int) {});
        QMenu* diagnosis = view.popup(menu_bar::kDiagnosis);
        const QList<QAction*> entries = diagnosis->actions();
        ASSERT_EQ(entries.size(), 2);
        ASSERT_TRUE(entries[1]->isSeparator());
        diagnosis->popup(QPoint(20, 20));
        QCoreApplication::processEvents();
        const QImage image = diagnosis->grab().toImage();
        diagnosis->hide();
        const QRect about = diagnosis->actionGeometry(entries[0]);
        const QRgb background = image.pixel(about.right() - 4, about.center().y());
        // Below "About...": the separator's line, then blank rows, then the menu's bottom frame.
        int runs = 0;
        bool in_line = false;
        for (int y = about.bottom() + 1; y < image.height(); ++y) {
            const bool line = line_row(image, y, background);
            runs += line && !in_line;
            in_line = line;
        }
        EXPECT_EQ(runs, 2) << "separator and frame " << (runs < 2 ? "run together" : "and more");
        EXPECT_TRUE(line_row(image, image.height() - 1, background));
    }
}

}  // namespace
}  // namespace korvelan
