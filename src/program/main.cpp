#include "Language.h"
#include "ProgramWindows.h"
#include "QetraVersion.h"
#include "frmMain.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QLocale>
#include <QTimer>

namespace {

// The program's options; one parser serves the terminal answers and the run.
struct ProgramOptions {
    QCommandLineParser parser;
    // The factory menus (meter calibration, display mode) are for the bench, not for
    // the operator in the field.
    QCommandLineOption factory{QStringLiteral("factory"),
                               QStringLiteral("Show the factory menus SYS and Calibrate.")};
    QCommandLineOption version{QStringLiteral("version"),
                               QStringLiteral("Show the version and the Qt version.")};

    ProgramOptions() {
        parser.setApplicationDescription(
            QStringLiteral("Test and configuration program for a three-phase multifunction "
                           "power meter: a Modbus RTU master on a serial line."));
        parser.addHelpOption();
        parser.addOption(version);
        parser.addOption(factory);
    }
};

// --help and --version are answered on the terminal without starting the window system,
// so they work over ssh and on a build machine without a display (the manual page is made
// from them).
bool AsksOnlyForText(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--version" || arg == "--help" || arg == "-h" || arg == "-?" ||
            arg == "--help-all")
            return true;
    }
    return false;
}

int AnswerOnTerminal(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    ProgramOptions options;
    options.parser.process(app); // prints the help, or the reason for a bad option, and exits
    std::printf("%s\n", qPrintable(ProgramVersionText(QStringLiteral("QetraLink"))));
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    if (AsksOnlyForText(argc, argv))
        return AnswerOnTerminal(argc, argv);

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quorvant"));
    QApplication::setApplicationName(QStringLiteral("TeskLink"));
    QApplication::setApplicationVersion(QLatin1String(kQetraVersion));
    // Installed from the package, the windows carry the menu entry's icon and the desktop
    // groups them under that entry; from the build folder the theme has no such icon and
    // the toolkit's own stays.
    QApplication::setDesktopFileName(QStringLiteral("com.quorvant.qetralink"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("com.quorvant.qetralink")));

    ProgramOptions options;
    options.parser.process(app);
    // One language for every window: the desktop's, where the program has it.
    InstallTranslation(app, QLocale::system().uiLanguages());

    TFormTeskLink FormTeskLink;
    if (options.parser.isSet(options.factory))
        FormTeskLink.ShowFactoryMenus();
    RegisterProgramWindows(FormTeskLink);
    FormTeskLink.CreateResidentWindows();
    FormTeskLink.ShowWithSavedLayout();
    // QETRA_OPEN_EVERY_WINDOW=N (seconds, 0 = no cycling) is for long unattended runs
    // against the simulated meter: every window open, polling, the next window brought
    // forward every N seconds.
    bool cycleGiven = false;
    const int cycleS = qEnvironmentVariableIntValue("QETRA_OPEN_EVERY_WINDOW", &cycleGiven);
    if (cycleGiven && cycleS >= 0) {
        QTimer::singleShot(0, &FormTeskLink, [&FormTeskLink, cycleS] {
            OpenEveryWindowAndPoll(FormTeskLink, cycleS * 1000);
        });
    }
    return app.exec();
}
