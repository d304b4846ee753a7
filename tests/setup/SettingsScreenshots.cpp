// Takes the pictures of the meter settings and energy presetting windows for the
// documentation: starts the simulated meter on COM1 (in a private folder of port links),
// builds the main window the way the program does with the measurement and setup
// windows, opens both windows while polling and saves them as PNGs.
//   settings_screenshots <meter-sim> <output folder>
#include "FormKw.h"
#include "FormSetPara.h"
#include "ScreenshotShell.h"
#include "SetupWindows.h"
#include "ViewWindows.h"
#include "frmMain.h"

#include <QApplication>
#include <QDir>
#include <QMdiSubWindow>
#include <cstdio>
#include <functional>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <meter-sim> <output folder>\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[2]));
    ScreenshotShell session;
    if (!session.StartMeter(QString::fromLocal8Bit(argv[1])))
        return 1;
    TFormTeskLink& shell = session.StartProgram({RegisterViewWindows, RegisterSetupWindows});
    auto Wait = &ScreenshotShell::Wait;

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
    ScreenshotShell::Pause(1500);

    bool saved = loaded;
    saved = session.Save(setPara, out.filePath("meter-settings.png")) && saved;
    saved = session.Save(kw, out.filePath("energy-presetting.png")) && saved;
    saved = session.Save(&shell, out.filePath("setup-in-main-window.png")) && saved;
    std::printf("%s\n", qPrintable(shell.StatusText(2, 3)));
    return saved ? 0 : 1;
}
