// Takes the picture of one measurement window for the documentation: starts the simulated
// meter on COM1 (in a private folder of port links, with any further meter-sim options),
// builds the main window the way the program does, makes the window the active one, polls
// for a few seconds and saves the window's frame as a PNG.
//   measurement_screenshot <meter-sim> <out.png> <window name> [meter-sim options...]
#include "ScreenshotShell.h"
#include "ViewWindows.h"
#include "frmMain.h"
#ifdef QETRA_HAVE_SETUP
#include "SetupWindows.h"
#endif

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <meter-sim> <out.png> <window name> [meter-sim options]\n",
                     argv[0]);
        return 2;
    }
    QStringList simArguments;
    for (int i = 4; i < argc; ++i)
        simArguments << QString::fromLocal8Bit(argv[i]);
    ScreenshotShell session;
    if (!session.StartMeter(QString::fromLocal8Bit(argv[1]), simArguments))
        return 1;
#ifdef QETRA_HAVE_SETUP
    TFormTeskLink& shell =
        session.StartProgram({RegisterViewWindows, RegisterSetupWindows}, {1280, 1000});
#else
    TFormTeskLink& shell = session.StartProgram({RegisterViewWindows}, {1280, 1000});
#endif

    const QString name = QString::fromLocal8Bit(argv[3]);
    QWidget* window = shell.ShowWindowNamed(name);
    QMdiSubWindow* sub = window ? shell.SubWindowOf(window) : nullptr;
    if (sub == nullptr) {
        std::fprintf(stderr, "no window %s\n", argv[3]);
        return 1;
    }
    shell.ClientArea()->setActiveSubWindow(sub);
    sub->move(0, 0);
    ScreenshotShell::Pause(4000);
    const bool saved = session.Save(window, QString::fromLocal8Bit(argv[2]));
    std::printf("%s\n", qPrintable(shell.StatusText(2, 3)));
    return saved ? 0 : 1;
}
