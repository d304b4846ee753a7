// Takes the pictures of the alarm windows for the documentation: starts the simulated
// meter on COM1 (in a private folder of port links), builds the main window the way the
// program does, sets a few alarm groups through the settings window so that one of them
// trips, and saves the settings and records windows as PNGs.
//   alarm_screenshots <meter-sim> <out-dir>
#include "FormAlarm.h"
#include "FormSetAlarm.h"
#include "ScreenshotShell.h"
#include "SetupWindows.h"
#include "ViewWindows.h"
#include "frmMain.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <cstdio>
#include <functional>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <meter-sim> <out-dir>\n", argv[0]);
        return 2;
    }
    ScreenshotShell session;
    if (!session.StartMeter(QString::fromLocal8Bit(argv[1])))
        return 1;
    session.Settings().setValue("Comm/QueryInterval", 50);
    TFormTeskLink& shell =
        session.StartProgram({RegisterViewWindows, RegisterSetupWindows}, {1280, 800});
    auto WaitFor = [](const std::function<bool()>& done) {
        return ScreenshotShell::Wait(done, 10000);
    };
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
    session.dialogs.QueueAnswer(true);
    w->Button1Click();
    if (!WaitFor([&] { return !shell.IsChildOpen(QStringLiteral("FormSetAlarm")); }) ||
        !WaitFor([&] { return records->Label("Label1State")->text() == "Alarm"; }))
        return 1;

    bool saved = session.Save(records, QDir(argv[2]).filePath("alarm-parameters.png"));
    w = qobject_cast<TFormSetAlarm*>(shell.ShowWindowOfMenuItem("MM0303"));
    if (w == nullptr || !WaitFor([&] { return w->LimitEdit(2)->text() == "6.000 A"; }))
        return 1;
    saved = session.Save(w, QDir(argv[2]).filePath("alarm-settings.png")) && saved;
    return saved ? 0 : 1;
}
