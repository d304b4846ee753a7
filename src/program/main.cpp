#include "ProgramWindows.h"
#include "frmMain.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quorvant"));
    QApplication::setApplicationName(QStringLiteral("TeskLink"));

    // The factory menus (meter calibration, display mode) are for the bench, not for
    // the operator in the field.
    QCommandLineParser options;
    options.addHelpOption();
    const QCommandLineOption factory(QStringLiteral("factory"),
                                     QStringLiteral("Show the factory menus SYS and Calibrate."));
    options.addOption(factory);
    options.process(app);

    TFormTeskLink FormTeskLink;
    if (options.isSet(factory))
        FormTeskLink.ShowFactoryMenus();
    RegisterProgramWindows(FormTeskLink);
    FormTeskLink.CreateResidentWindows();
    FormTeskLink.showMaximized();
    return app.exec();
}
