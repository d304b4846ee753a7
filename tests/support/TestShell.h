#pragma once

#include "FakePorts.h"
#include "QtTestSupport.h"
#include "ScriptedDialogs.h"
#include "TqvModbus.h"
#include "frmMain.h"

#include <QSettings>
#include <QTemporaryDir>
#include <initializer_list>
#include <memory>

// The main window as the program builds it, with the window subsystems a test names
// registered, scripted operator answers and settings in a temporary file:
//
//   TestShell t;
//   t.Make({RegisterViewWindows});                 // no line: feed Routing() yourself
//   t.Make({RegisterViewWindows}, TestShell::RealPort); // the serial port (meter-sim)
//
// The test binary must have a QApplication (QtAppEnvironment<QApplication>).
struct TestShell {
    using Registration = void (*)(Shell&);
    enum PortKind { NoLine, ScriptedLine, RealPort };

    QTemporaryDir dir;
    QSettings settings{dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat};
    ScriptedDialogs dialogs;
    ScriptedPort::Log port; // what a ScriptedLine port saw and how it answers
    std::unique_ptr<TFormTeskLink> shell;

    TFormTeskLink& Make(std::initializer_list<Registration> subsystems, PortKind kind = NoLine,
                        bool startUp = true) {
        shell.reset();
        ShellOptions o;
        o.dialogs = &dialogs;
        o.settings = &settings;
        o.portSettleMs = 0;
        if (kind == NoLine)
            o.makePort = [] { return std::make_unique<SilentPort>(); };
        else if (kind == ScriptedLine)
            o.makePort = [this] { return std::make_unique<ScriptedPort>(port); };
        shell = std::make_unique<TFormTeskLink>(o);
        for (Registration r : subsystems)
            r(*shell);
        shell->CreateResidentWindows();
        if (startUp)
            shell->StartUp();
        return *shell;
    }

    TFormTeskLink* operator->() const { return shell.get(); }
    template <typename T> T* Window(const QString& name) const { return shell->WindowAs<T>(name); }
    SessionState& State() const { return shell->State(); }
    // Short waits, so that a missing reply is declared within a few milliseconds.
    void FastLine() const {
        shell->Modbus().SetQueryInterval(2);
        shell->Modbus().SetQueryTimeout(10);
    }
};
