// Takes the picture of one measurement window for the documentation: starts the simulated
// meter on COM1 (in a private folder of port links, with any further meter-sim options),
// builds the main window the way the program does, makes the window the active one, polls
// for a few seconds and saves the window's frame as a PNG.
//   measurement_screenshot <meter-sim> <out.png> <window name> [meter-sim options...]
#include "ViewWindows.h"
#include "frmMain.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <meter-sim> <out.png> <window name> [meter-sim options]\n",
                     argv[0]);
        return 2;
    }
    QTemporaryDir ports, config;
    qputenv("QETRA_PORTS_DIR", ports.path().toLocal8Bit());
    QStringList simArguments = {"--port", "COM1"};
    for (int i = 4; i < argc; ++i)
        simArguments << QString::fromLocal8Bit(argv[i]);
    QProcess sim;
    sim.start(QString::fromLocal8Bit(argv[1]), simArguments);
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
    shell.CreateResidentWindows();
    shell.resize(1280, 1000);
    shell.show();
    shell.StartPolling();

    const QString name = QString::fromLocal8Bit(argv[3]);
    QWidget* window = shell.ShowWindowNamed(name);
    QMdiSubWindow* sub = window ? shell.SubWindowOf(window) : nullptr;
    if (sub == nullptr) {
        std::fprintf(stderr, "no window %s\n", argv[3]);
        return 1;
    }
    shell.ClientArea()->setActiveSubWindow(sub);
    sub->move(0, 0);
    QDeadlineTimer deadline(4000);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    const bool saved = sub->grab().save(QString::fromLocal8Bit(argv[2]));
    shell.StopPolling();
    sim.terminate();
    sim.waitForFinished(5000);
    std::printf("%s: %s, %s\n", argv[2], saved ? "saved" : "NOT saved",
                qPrintable(shell.StatusText(2, 3)));
    return saved ? 0 : 1;
}
