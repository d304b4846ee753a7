#pragma once

#include <QCoreApplication>
#include <cstdlib>

// What the fuzzers of the readers share: a property that does not hold stops the run with
// the input that broke it, and Qt's core needs its application object for files and
// settings.
inline void FuzzCheck(bool holds) {
    if (!holds)
        std::abort();
}

inline void FuzzCoreApp(const char* name) {
    static int argc = 1;
    static char* argv[] = {const_cast<char*>(name), nullptr};
    static QCoreApplication app(argc, argv);
}
