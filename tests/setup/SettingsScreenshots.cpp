// Takes the pictures of the meter settings and energy presetting windows for the
// documentation: starts the simulated meter on COM1 (in a private folder of port links),
// builds the main window the way the program does with the measurement and setup
// windows, opens both windows while polling and saves them as PNGs.
//   settings_screenshots <meter-sim> <output folder>
#include "FormKw.h"
#include "FormSetPara.h"
#include "SetupWindows.h"
#include "TqvModbus.h"
#include "ViewWindows.h"
#include "frmMain.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QMdiSubWindow>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

namespace {

bool Wait(const std::function<bool()>& done, int ms) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <meter-sim> <output folder>\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[2]));
    QTemporaryDir ports, config;
    qputenv("QETRA_PORTS_DIR", ports.path().toLocal8Bit());
    QProcess sim;
    sim.start(QString::fromLocal8Bit(argv[1]), {"--port", "COM1"});
    if (!sim.waitForStarted() || !sim.waitForReadyRead(10000)) {
        std::fprintf(stderr, "the simulated meter did not start\n");
        return 1;
    }

    QSettings settings(config.filePath("settings.ini"), QSettings::IniFormat);
    ShellOptions options;
    options.settings = &settings;
    options.portSettleMs = 0;
    TFormTeskLink shell(options);
    RegisterViewWindows(shell);
    RegisterSetupWindows(shell);
    shell.CreateResidentWindows();
    shell.resize(1280, 760);
    shell.show();
    shell.StartPolling();

    auto* kw = qobject_cast<TFormKw*>(shell.ShowWindowOfMenuItem("MM0301"));
    auto* setPara = qobject_cast<TFormSetPara*>(shell.ShowWindowOfMenuItem("MM0302"));
    if (kw == nullptr || setPara == nullptr) {
        std::fprintf(stderr, "the setup windows are not registered\n");
        return 1;
    }
    shell.SubWindowOf(kw)->move(560, 20);
    shell.SubWindowOf(setPara)->move(20, 250);
    const bool loaded =
        Wait([&] { return !kw->LoadRequested() && !setPara->LoadRequested(); }, 10000);
    Wait([] { return false; }, 1500);

    bool saved = loaded;
    saved = shell.SubWindowOf(setPara)->grab().save(out.filePath("meter-settings.png")) && saved;
    saved = shell.SubWindowOf(kw)->grab().save(out.filePath("energy-presetting.png")) && saved;
    saved = shell.grab().save(out.filePath("setup-in-main-window.png")) && saved;
    shell.StopPolling();
    sim.terminate();
    sim.waitForFinished(5000);
    std::printf("%s: %s, %s\n", qPrintable(out.path()), saved ? "saved" : "NOT saved",
                qPrintable(shell.StatusText(2, 3)));
    return saved ? 0 : 1;
}
