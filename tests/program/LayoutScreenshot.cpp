// Takes the pictures of the whole program on a laptop screen for the documentation (run
// under Xvfb, e.g. xvfb-run -a -s "-screen 0 1366x768x24", and once more with
// QT_SCALE_FACTOR=1.5): the simulated meter on COM1, every window the program has, the main
// window filling the screen, the measurement windows tiled and polling.
//   layout_screenshot <meter-sim> <out.png>
#include "ProgramWindows.h"
#include "ScreenshotShell.h"
#include "WindowTable.h"

#include <QAction>
#include <QApplication>
#include <QMdiSubWindow>
#include <QScreen>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <meter-sim> <out.png>\n", argv[0]);
        return 2;
    }
    ScreenshotShell session;
    if (!session.StartMeter(QString::fromLocal8Bit(argv[1])))
        return 1;
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    TFormTeskLink& shell = session.StartProgram({RegisterProgramWindows}, screen, false);
    shell.ShowWindowNamed(WindowName::Wave);
    shell.ShowWindowNamed(WindowName::SuperNum);
    shell.ShowWindowNamed(WindowName::Para);
    shell.ShowWindowNamed(WindowName::Base);
    ScreenshotShell::Pause(1000);                  // the X server sizes the window first
    shell.Action(QStringLiteral("N8"))->trigger(); // Tile Vertically
    shell.StartPolling();
    ScreenshotShell::Pause(6000);
    std::printf("screen %dx%d, main window %dx%d\n", screen.width(), screen.height(), shell.width(),
                shell.height());
    return session.Save(&shell, QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
