// Takes the pictures of the calibration and coefficients windows for the documentation:
// starts the simulated meter on its bench, miscalibrated, builds the main window the way
// the program does with the factory menus shown, runs one amplitude calibration of 20
// readings (answered No) and saves both windows as PNGs. Run under Xvfb.
//   calibration_screenshots <meter-sim> <calibration.png> <coefficients.png>
#include "CalibrationWindows.h"
#include "FormCalirate.h"
#include "FormChangeConst.h"
#include "ViewWindows.h"
#include "frmMain.h"

#include "ScreenshotShell.h"
#include <QAction>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <meter-sim> <calibration.png> <coefficients.png>\n",
                     argv[0]);
        return 2;
    }
    ScreenshotShell session;
    if (!session.StartMeter(QString::fromLocal8Bit(argv[1]),
                            {"--reference", "380V/100%", "--miscalibrate"}))
        return 1;
    session.Settings().setValue("Comm/QueryInterval", 50);
    TFormTeskLink& shell =
        session.StartProgram({RegisterViewWindows, RegisterCalibrationWindows}, {1280, 760}, false);
    shell.ShowFactoryMenus();
    shell.StartPolling();
    auto WaitFor = &ScreenshotShell::Wait;

    auto* calirate = shell.WindowAs<TFormCalirate>(WindowName::Calirate);
    calirate->SetCountPrompt([](CalibrationMode, const QString&) { return QString("20"); });
    shell.Action("MM05")->trigger();
    WaitFor([&] { return shell.Connected(); }, 10000);
    session.dialogs.QueueAnswer(false);
    calirate->Button(2)->click();
    const bool finished =
        WaitFor([&] { return calirate->StatusText(1, 3) == "校验完毕！"; }, 20000);
    ScreenshotShell::Pause(1500); // a few more live values

    const bool savedCalibration = calirate->grab().save(QString::fromLocal8Bit(argv[2]));

    calirate->Button(3)->click();
    auto* coefficients = shell.WindowAs<TFormChangeConst>(WindowName::ChangeConst);
    WaitFor([&] { return coefficients && coefficients->Edit("Edit0")->text() != "00000"; }, 5000);
    const bool savedCoefficients =
        coefficients && coefficients->grab().save(QString::fromLocal8Bit(argv[3]));

    std::printf("run %s; %s: %s; %s: %s\n", finished ? "finished" : "NOT finished", argv[2],
                savedCalibration ? "saved" : "NOT saved", argv[3],
                savedCoefficients ? "saved" : "NOT saved");
    return finished && savedCalibration && savedCoefficients ? 0 : 1;
}
