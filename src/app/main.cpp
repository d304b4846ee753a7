#include "frmMain.h"

#include <QApplication>

#ifdef QETRA_HAVE_VIEWS
#include "ViewWindows.h"
#endif
#ifdef QETRA_HAVE_SETUP
#include "SetupWindows.h"
#endif
#ifdef QETRA_HAVE_CALIBRATION
#include "CalibrationWindows.h"
#endif

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quorvant"));
    QApplication::setApplicationName(QStringLiteral("TeskLink"));

    TFormTeskLink FormTeskLink;
#ifdef QETRA_HAVE_VIEWS
    RegisterViewWindows(FormTeskLink);
#endif
#ifdef QETRA_HAVE_SETUP
    RegisterSetupWindows(FormTeskLink);
#endif
#ifdef QETRA_HAVE_CALIBRATION
    RegisterCalibrationWindows(FormTeskLink);
#endif
    FormTeskLink.CreateResidentWindows();
    FormTeskLink.showMaximized();
    return app.exec();
}
