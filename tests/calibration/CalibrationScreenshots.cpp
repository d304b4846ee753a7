// Takes the pictures of the calibration and coefficients windows for the documentation:
// starts the simulated meter on its bench, miscalibrated, builds the main window the way
// the program does with the factory menus shown, runs one amplitude calibration of 20
// readings (answered No) and saves both windows as PNGs. Run under Xvfb.
//   calibration_screenshots <meter-sim> <calibration.png> <coefficients.png>
#include "CalibrationWindows.h"
#include "FormCalirate.h"
#include "FormChangeConst.h"
#include "ScriptedDialogs.h"
#include "ViewWindows.h"
#include "frmMain.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

namespace {

bool WaitFor(const std::function<bool()>& done, int ms) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <meter-sim> <calibration.png> <coefficients.png>\n",
                     argv[0]);
        return 2;
    }
    QTemporaryDir ports, config;
    qputenv("QETRA_PORTS_DIR", ports.path().toLocal8Bit());
    QProcess sim;
    sim.start(QString::fromLocal8Bit(argv[1]),
              {"--port", "COM1", "--reference", "380V/100%", "--miscalibrate"});
    if (!sim.waitForStarted() || !sim.waitForReadyRead(10000)) {
        std::fprintf(stderr, "the simulated meter did not start\n");
        return 1;
    }

    QSettings settings(config.filePath("settings.ini"), QSettings::IniFormat);
    settings.setValue("Comm/PortName", "COM1");
    settings.setValue("Comm/Baudrate", 9600);
    settings.setValue("Comm/DevAddr", 1);
    settings.setValue("Comm/QueryInterval", 50);
    ScriptedDialogs dialogs;
    ShellOptions options;
    options.settings = &settings;
    options.dialogs = &dialogs;
    options.portSettleMs = 0;
    TFormTeskLink shell(options);
    RegisterViewWindows(shell);
    RegisterCalibrationWindows(shell);
    shell.CreateResidentWindows();
    shell.ShowFactoryMenus();
    shell.resize(1280, 760);
    shell.show();
    shell.StartPolling();

    auto* calirate = shell.WindowAs<TFormCalirate>(WindowName::Calirate);
    calirate->SetCountPrompt([](CalibrationMode, const QString&) { return QString("20"); });
    shell.Action("MM05")->trigger();
    WaitFor([&] { return shell.Connected(); }, 10000);
    dialogs.QueueAnswer(false);
    calirate->Button(2)->click();
    const bool finished =
        WaitFor([&] { return calirate->StatusText(1, 3) == "校验完毕！"; }, 20000);
    WaitFor([] { return false; }, 1500); // a few more live values

    const bool savedCalibration = calirate->grab().save(QString::fromLocal8Bit(argv[2]));

    calirate->Button(3)->click();
    auto* coefficients = shell.WindowAs<TFormChangeConst>(WindowName::ChangeConst);
    WaitFor([&] { return coefficients && coefficients->Edit("Edit0")->text() != "00000"; }, 5000);
    const bool savedCoefficients =
        coefficients && coefficients->grab().save(QString::fromLocal8Bit(argv[3]));

    shell.StopPolling();
    sim.terminate();
    sim.waitForFinished(5000);
    std::printf("run %s; %s: %s; %s: %s\n", finished ? "finished" : "NOT finished", argv[2],
                savedCalibration ? "saved" : "NOT saved", argv[3],
                savedCoefficients ? "saved" : "NOT saved");
    return finished && savedCalibration && savedCoefficients ? 0 : 1;
}
