// Takes the picture of the main window for the documentation: starts the simulated meter
// on COM1 (in a private folder of port links), builds the main window the way the program
// does, polls for a few seconds and saves the window as a PNG.
//   main_window_screenshot <meter-sim> <out.png> [--monitor <log.csv>]
// With --monitor the meter adds stray bytes and bad replies now and then, the traffic
// monitor is opened, the metering values are logged to <log.csv>, and the picture is
// of the whole window with the monitor in front.
#include "TqvModbus.h"
#include "frmMain.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QMdiSubWindow>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#ifdef QETRA_HAVE_VIEWS
#include "MeteringLogControl.h"
#include "ViewWindows.h"
#endif
#include "frmTrafficMonitor.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const bool monitor = argc == 5 && QByteArray(argv[3]) == "--monitor";
    if (argc != 3 && !monitor) {
        std::fprintf(stderr, "usage: %s <meter-sim> <out.png> [--monitor <log.csv>]\n", argv[0]);
        return 2;
    }
    QTemporaryDir ports, config;
    qputenv("QETRA_PORTS_DIR", ports.path().toLocal8Bit());
    QProcess sim;
    QStringList simArguments{"--port", "COM1"};
    if (monitor)
        simArguments << "--stray"
                     << "0.15"
                     << "--corrupt"
                     << "0.05";
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
#ifdef QETRA_HAVE_VIEWS
    RegisterViewWindows(shell);
#endif
    shell.CreateResidentWindows();
    shell.resize(1280, 760);
    shell.show();
    if (monitor) {
#ifdef QETRA_HAVE_VIEWS
        if (auto* log = shell.findChild<MeteringLogControl*>())
            log->Start({QString::fromLocal8Bit(argv[4]), 0, LogRotation::None});
#endif
        TFormTrafficMonitor* window = shell.ShowTrafficMonitor();
        if (QMdiSubWindow* sub = shell.SubWindowOf(window))
            sub->setGeometry(20, 20, 1180, 460);
    }
    shell.StartPolling();

    QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    const bool saved = shell.grab().save(QString::fromLocal8Bit(argv[2]));
    shell.StopPolling();
    sim.terminate();
    sim.waitForFinished(5000);
    std::printf("%s: %s, %s\n", argv[2], saved ? "saved" : "NOT saved",
                qPrintable(shell.StatusText(2, 3)));
    return saved ? 0 : 1;
}
