#include "ProgramWindows.h"

#include "frmMain.h"

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

void RegisterProgramWindows([[maybe_unused]] TFormTeskLink& shell) {
#ifdef QETRA_HAVE_VIEWS
    RegisterViewWindows(shell);
#endif
#ifdef QETRA_HAVE_SETUP
    RegisterSetupWindows(shell);
#endif
#ifdef QETRA_HAVE_CALIBRATION
    RegisterCalibrationWindows(shell);
#endif
#ifdef QETRA_HAVE_REPORT
    RegisterCommissioningReport(shell);
#endif
}
