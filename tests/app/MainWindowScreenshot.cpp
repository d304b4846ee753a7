// Takes the picture of the main window for the documentation: starts the simulated meter
// on COM1 (in a private folder of port links), builds the main window the way the program
// does, polls for a few seconds and saves the window as a PNG.
//   main_window_screenshot <meter-sim> <out.png> [--monitor <log.csv>]
// With --monitor the meter adds stray bytes and bad replies now and then, the traffic
// monitor is opened, the metering values are logged to <log.csv>, and the picture is
// of the whole window with the monitor in front. With --stale the meter falls silent after
// the first values: the picture shows them grey, with the no-answer notice below.
#include "Language.h"
#include "ScreenshotShell.h"
#include "TqvModbus.h"
#include "frmMain.h"

#include <QApplication>
#include <QLocale>
#include <QMdiSubWindow>
#include <QTimer>
#include <cstdio>

#ifdef QETRA_HAVE_VIEWS
#include "MeteringLogControl.h"
#include "ViewWindows.h"
#endif
#include "frmTrafficMonitor.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // In the desktop's language, as the program shows itself (LANGUAGE=zh_CN for Chinese).
    InstallTranslation(app, QLocale::system().uiLanguages());
    const bool monitor = argc == 5 && QByteArray(argv[3]) == "--monitor";
    const bool stale = argc == 4 && QByteArray(argv[3]) == "--stale";
    if (argc != 3 && !monitor && !stale) {
        std::fprintf(stderr, "usage: %s <meter-sim> <out.png> [--monitor <log.csv> | --stale]\n",
                     argv[0]);
        return 2;
    }
    QStringList simArguments;
    if (monitor)
        simArguments << "--stray"
                     << "0.15"
                     << "--corrupt"
                     << "0.05";
    ScreenshotShell session;
    if (!session.StartMeter(QString::fromLocal8Bit(argv[1]), simArguments))
        return 1;
#ifdef QETRA_HAVE_VIEWS
    TFormTeskLink& shell = session.StartProgram({RegisterViewWindows}, {1280, 760}, false);
#else
    TFormTeskLink& shell = session.StartProgram({}, {1280, 760}, false);
#endif
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

    ScreenshotShell::Pause(5000);
    if (stale) {
        session.HoldMeter();
        const QWidget* notice = shell.findChild<QWidget*>(QStringLiteral("StatusBarLine"));
        if (!ScreenshotShell::Wait([notice] { return notice && notice->isVisible(); }, 60000)) {
            std::fprintf(stderr, "the no-answer notice did not show\n");
            return 1;
        }
        ScreenshotShell::Pause(500);
    }
    const bool saved = session.Save(&shell, QString::fromLocal8Bit(argv[2]));
    std::printf("%s\n", qPrintable(shell.StatusText(2, 3)));
    return saved ? 0 : 1;
}
