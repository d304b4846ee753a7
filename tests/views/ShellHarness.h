#pragma once

#include "FormBase.h"
#include "FormPara.h"
#include "ModbusPort.h"
#include "ScriptedDialogs.h"
#include "ViewWindows.h"
#include "WidgetTestApp.h"
#include "frmMain.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>
#include <functional>
#include <memory>

// A port that opens and swallows every request: for tests that feed the reply routing
// themselves.
class SilentPort : public ModbusPort {
public:
    QString CommName() const override { return name_; }
    void SetCommName(const QString& name) override { name_ = name; }
    quint32 BaudRate() const override { return baud_; }
    void SetBaudRate(quint32 baud) override { baud_ = baud; }
    void OpenPort() override { open_ = true; }
    void ClosePort() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    bool SendData(const QByteArray&) override { return true; }
    quint32 ModemLineStatus() override { return 0; }

private:
    QString name_;
    quint32 baud_ = 9600;
    bool open_ = false;
};

// The main window as the program builds it, with this subsystem's windows registered,
// scripted operator answers and settings in a temporary file.
struct ViewShell {
    QTemporaryDir dir;
    QSettings settings{dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat};
    ScriptedDialogs dialogs;
    std::unique_ptr<TFormTeskLink> shell;

    // `silentPort`: no line at all; otherwise the real serial port component.
    void Make(bool silentPort) {
        WidgetTestApp();
        ShellOptions o;
        o.dialogs = &dialogs;
        o.settings = &settings;
        o.portSettleMs = 0;
        if (silentPort)
            o.makePort = [] { return std::make_unique<SilentPort>(); };
        shell = std::make_unique<TFormTeskLink>(o);
        RegisterViewWindows(*shell);
        shell->CreateResidentWindows();
        shell->StartUp();
        // Pin the number format whatever the machine's locale.
        Base()->SetLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    TFormBase* Base() const { return shell->WindowAs<TFormBase>(QStringLiteral("FormBase")); }
    TFormPara* Para() const { return shell->WindowAs<TFormPara>(QStringLiteral("FormPara")); }
    QString BaseText(const char* label) const { return Base()->Label(label)->text(); }
};

// Runs the event loop until `done` holds or `ms` pass; returns `done()`.
inline bool WaitUntil(const std::function<bool()>& done, int ms = 15000) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}
