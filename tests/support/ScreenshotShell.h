#pragma once

#include "ScriptedDialogs.h"
#include "frmMain.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMdiSubWindow>
#include <QProcess>
#include <QSettings>
#include <QSize>
#include <QTemporaryDir>
#include <csignal>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <memory>
#include <sys/types.h>

// For the documentation's picture tools (not tests): the simulated meter on COM1 in a
// private folder of port links, and the main window built as the program builds it,
// polling it. Nothing of the user's own settings or port links is touched.
class ScreenshotShell {
public:
    using Registration = void (*)(Shell&);

    ~ScreenshotShell() {
        if (shell_)
            shell_->StopPolling();
        shell_.reset();
        if (held_)
            ::kill(pid_t(sim_.processId()), SIGCONT);
        sim_.terminate();
        sim_.waitForFinished(5000);
    }

    // Starts the simulator at `meterSim` with `simArguments` as COM1; false (with a word
    // on standard error) when it does not start.
    bool StartMeter(const QString& meterSim, const QStringList& simArguments = {}) {
        qputenv("QETRA_PORTS_DIR", ports_.path().toLocal8Bit());
        sim_.start(meterSim, QStringList{"--port", "COM1"} + simArguments);
        if (!sim_.waitForStarted() || !sim_.waitForReadyRead(10000)) {
            std::fprintf(stderr, "the simulated meter did not start\n");
            return false;
        }
        return true;
    }

    // The meter falls silent (the simulator is stopped, not ended: its port stays open), as
    // a meter does whose wiring was pulled while the line to it stays up.
    void HoldMeter() { held_ = ::kill(pid_t(sim_.processId()), SIGSTOP) == 0; }

    // The program's saved settings, read when the program starts.
    QSettings& Settings() { return settings_; }
    // Boxes are answered from here (a Yes/No question without a queued answer is a No).
    ScriptedDialogs dialogs;

    // The main window with `subsystems` registered, shown at `size`, polling when `poll`.
    TFormTeskLink& StartProgram(std::initializer_list<Registration> subsystems,
                                QSize size = {1280, 760}, bool poll = true) {
        ShellOptions options;
        options.settings = &settings_;
        options.dialogs = &dialogs;
        options.portSettleMs = 0;
        shell_ = std::make_unique<TFormTeskLink>(options);
        for (Registration r : subsystems)
            r(*shell_);
        shell_->CreateResidentWindows();
        shell_->resize(size);
        shell_->show();
        if (poll)
            shell_->StartPolling();
        return *shell_;
    }

    // Runs the event loop until `done` holds or `ms` pass.
    static bool Wait(const std::function<bool()>& done, int ms) {
        QDeadlineTimer deadline(ms);
        while (!done() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    }
    static void Pause(int ms) {
        Wait([] { return false; }, ms);
    }

    // Saves the picture of `widget` (its sub-window frame when it is a child window) and
    // says so on standard output.
    bool Save(QWidget* widget, const QString& path) const {
        QWidget* framed = widget;
        if (shell_ && widget != nullptr && shell_->SubWindowOf(widget) != nullptr)
            framed = shell_->SubWindowOf(widget);
        const bool saved = framed != nullptr && framed->grab().save(path);
        std::printf("%s: %s\n", qPrintable(path), saved ? "saved" : "NOT saved");
        return saved;
    }

private:
    QTemporaryDir ports_, config_;
    QSettings settings_{config_.filePath("settings.ini"), QSettings::IniFormat};
    QProcess sim_;
    bool held_ = false;
    std::unique_ptr<TFormTeskLink> shell_;
};
