#pragma once

#include <QApplication>

// One QApplication for all widget tests of a binary (offscreen; the test environment
// sets QT_QPA_PLATFORM).
inline QApplication& WidgetTestApp() {
    static int argc = 1;
    static char name[] = "views_window_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty()
                                       ? QByteArray("offscreen")
                                       : qgetenv("QT_QPA_PLATFORM"));
        return new QApplication(argc, argv);
    }();
    return *app;
}
