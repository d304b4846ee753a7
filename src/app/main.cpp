#include "frmMain.h"

#include <QApplication>
#include <QCommandLineParser>

#ifdef QETRA_HAVE_VIEWS
#include "ViewWindows.h"
#endif
#ifdef QETRA_HAVE_SETUP
#include "SetupWindows.h"
#endif
#ifdef QETRA_HAVE_CALIBRATION
#include "CalibrationWindows.h"
#endif
#ifdef QETRA_HAVE_REPORT
#include "ReportCommand.h"
#endif

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
#ifdef QETRA_HAVE_VIEWS
    RegisterViewWindows(FormTeskLink);
#endif
#ifdef QETRA_HAVE_SETUP
    RegisterSetupWindows(FormTeskLink);
#endif
#ifdef QETRA_HAVE_CALIBRATION
    RegisterCalibrationWindows(FormTeskLink);
#endif
#ifdef QETRA_HAVE_REPORT
    RegisterCommissioningReport(FormTeskLink);
#endif
    FormTeskLink.CreateResidentWindows();
    FormTeskLink.showMaximized();
    return app.exec();
}
