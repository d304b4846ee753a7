#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <gtest/gtest.h>

#include <memory>

// One Qt application object for a whole test binary, without a display.
template <class App> class QtAppEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = std::make_unique<App>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[8] = "qetra";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<App> app_;
};

#include <QString>
#include <ostream>

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
