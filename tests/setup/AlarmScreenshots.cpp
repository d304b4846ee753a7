// Takes the pictures of the alarm windows for the documentation: starts the simulated
// meter on COM1 (in a private folder of port links), builds the main window the way the
// program does, sets a few alarm groups through the settings window so that one of them
// trips, and saves the settings and records windows as PNGs.
//   alarm_screenshots <meter-sim> <out-dir>
#include "FormAlarm.h"
#include "FormSetAlarm.h"
#include "ScriptedDialogs.h"
#include "SetupWindows.h"
#include "ViewWindows.h"
#include "frmMain.h"

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

namespace {

bool WaitFor(const std::function<bool()>& done, int ms = 10000) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

bool Save(TFormTeskLink& shell, QWidget* window, const QString& path) {
    QMdiSubWindow* sub = shell.SubWindowOf(window);
    const bool saved = sub != nullptr && sub->grab().save(path);
    std::printf("%s: %s\n", qPrintable(path), saved ? "saved" : "NOT saved");
    return saved;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <meter-sim> <out-dir>\n", argv[0]);
        return 2;
    }
    QTemporaryDir ports, config;
    qputenv("QETRA_PORTS_DIR", ports.path().toLocal8Bit());
    QProcess sim;
    sim.start(QString::fromLocal8Bit(argv[1]), {"--port", "COM1"});
    if (!sim.waitForStarted() || !sim.waitForReadyRead(10000)) {
        std::fprintf(stderr, "the simulated meter did not start\n");
        return 1;
    }

    QSettings settings(config.filePath("settings.ini"), QSettings::IniFormat);
    settings.setValue("Comm/QueryInterval", 50);
    ScriptedDialogs dialogs;
    ShellOptions options;
    options.settings = &settings;
    options.dialogs = &dialogs;
    options.portSettleMs = 0;
    TFormTeskLink shell(options);
    RegisterViewWindows(shell);
    RegisterSetupWindows(shell);
    shell.CreateResidentWindows();
    shell.resize(1280, 800);
    shell.show();
    shell.StartPolling();
    auto* records = shell.WindowAs<TFormAlarm>(QStringLiteral("FormAlarm"));
    if (!WaitFor([&] { return shell.Connected(); }) || records == nullptr) {
        std::fprintf(stderr, "no meter\n");
        return 1;
    }
    shell.ShowWindowOfMenuItem("MM0205");

    // Group 1: V1 above 200 V (trips at once); group 2: I1 above 6 A on DO1; group 3:
    // frequency below 49.5 Hz on DO2; group 4 watches Psum but is off.
    auto* w = qobject_cast<TFormSetAlarm*>(shell.ShowWindowOfMenuItem("MM0303"));
    if (w == nullptr || !WaitFor([&] { return w->DelayCombo()->currentIndex() >= 0; }))
        return 1;
    struct Group {
        int status, do1, do2, item, direction;
        const char* limit;
    };
    const Group groups[] = {{1, 0, 0, 1, 1, "200.0 V"},
                            {1, 1, 0, 9, 1, "6.000 A"},
                            {1, 0, 1, 0, 0, "49.50 Hz"},
                            {0, 0, 0, 17, 1, "3.000 kW"}};
    for (int g = 0; g < 4; ++g) {
        w->SwitchCombo(g + 1)->setCurrentIndex(groups[g].status);
        w->Do1Combo(g + 1)->setCurrentIndex(groups[g].do1);
        w->Do2Combo(g + 1)->setCurrentIndex(groups[g].do2);
        w->ItemCombo(g + 1)->setCurrentIndex(groups[g].item);
        w->DirectionCombo(g + 1)->setCurrentIndex(groups[g].direction);
        w->LimitEdit(g + 1)->setText(QString::fromLatin1(groups[g].limit));
    }
    w->DelayCombo()->setCurrentIndex(0);
    dialogs.QueueAnswer(true);
    w->Button1Click();
    if (!WaitFor([&] { return !shell.IsChildOpen(QStringLiteral("FormSetAlarm")); }) ||
        !WaitFor([&] { return records->Label("Label1State")->text() == "Alarm"; }))
        return 1;

    bool saved = Save(shell, records, QDir(argv[2]).filePath("alarm-parameters.png"));
    w = qobject_cast<TFormSetAlarm*>(shell.ShowWindowOfMenuItem("MM0303"));
    if (w == nullptr || !WaitFor([&] { return w->LimitEdit(2)->text() == "6.000 A"; }))
        return 1;
    saved = Save(shell, w, QDir(argv[2]).filePath("alarm-settings.png")) && saved;
    shell.StopPolling();
    sim.terminate();
    sim.waitForFinished(5000);
    return saved ? 0 : 1;
}
