// The one application object the window tests need (offscreen: set by the test's environment).
#pragma once

#include <QApplication>

namespace korvelan::testing {

inline QApplication& qt_app() {
    static int argc = 1;
    static char name[] = "window_test";
    static char* argv[] = {name, nullptr};
    // Never destroyed: the widgets of static test objects may outlive it otherwise.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

}  // namespace korvelan::testing
