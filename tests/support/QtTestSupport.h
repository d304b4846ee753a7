#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTranslator>
#include <QtGlobal>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

// One Qt application object for a whole test binary, without a display. Register it with
// ::testing::AddGlobalTestEnvironment: it is destroyed before main() returns (torn down
// among the exit handlers it would outlive the platform plugin its windows used). The
// expected texts of the tests use a full stop as decimal separator, whatever the
// machine's own locale is.
// One of the program's built translations ("zh_CN", "en") installed while the object
// lives, as a desktop in that language would have it; the test binary links
// qetra_language, which holds them. Check Loaded() before relying on it.
class ScopedTranslation {
public:
    explicit ScopedTranslation(const char* name) {
        loaded_ =
            translator_.load(QStringLiteral(":/i18n/qetralink_%1.qm").arg(QLatin1String(name))) &&
            QCoreApplication::installTranslator(&translator_);
    }
    ~ScopedTranslation() { QCoreApplication::removeTranslator(&translator_); }
    ScopedTranslation(const ScopedTranslation&) = delete;
    ScopedTranslation& operator=(const ScopedTranslation&) = delete;
    bool Loaded() const { return loaded_; }

private:
    QTranslator translator_;
    bool loaded_ = false;
};

template <class App> class QtAppEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = std::make_unique<App>(argc_, argv_);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[8] = "qetra";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<App> app_;
};

// Runs the event loop until `done` holds or `ms` pass; returns `done()`.
inline bool WaitUntil(const std::function<bool()>& done, int ms = 15000) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << '"' << list.join(QStringLiteral("\", \"")).toStdString() << '"';
}
