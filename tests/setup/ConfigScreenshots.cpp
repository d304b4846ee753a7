// Takes the picture of the comparison table for the documentation: starts the simulated
// meter on COM1 (in a private folder of port links), builds the main window the way the
// program does without polling, and compares a saved configuration with the meter.
//   config_screenshots <meter-sim> <out-dir>
#include "FormMeterConfig.h"
#include "MeterConfigFixture.h"
#include "ScreenshotShell.h"
#include "SetupWindows.h"
#include "frmMain.h"

#include <QApplication>
#include <QDir>
#include <QTableWidget>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <meter-sim> <out-dir>\n", argv[0]);
        return 2;
    }
    ScreenshotShell session;
    if (!session.StartMeter(QString::fromLocal8Bit(argv[1])))
        return 1;
    TFormTeskLink& shell = session.StartProgram({RegisterSetupWindows}, {1024, 640}, false);
    QTemporaryDir dir;
    const QString file = dir.filePath("switchboard.qmeter.json");
    if (!SaveMeterConfig(file, SampleConfiguration(), nullptr))
        return 1;
    auto* w = qobject_cast<TFormMeterConfig*>(shell.ShowWindowOfMenuItem("mnuCompareConfig"));
    if (w == nullptr)
        return 1;
    w->SetFileChooser([&](QWidget*, const TFormMeterConfig::FileRequest&) { return file; });
    if (QWidget* frame = shell.SubWindowOf(w))
        frame->resize(700, 600);
    w->OpenFileClick();
    if (w->SettingsGrid()->rowCount() == 0) {
        std::fprintf(stderr, "no comparison: %s\n", qPrintable(session.dialogs.Texts().join('|')));
        return 1;
    }
    ScreenshotShell::Pause(200);
    return session.Save(w, QDir(argv[2]).filePath("config-compare.png")) ? 0 : 1;
}
