#include "ProgramWindows.h"

#include "WindowTable.h"
#include "frmMain.h"

#include <QStringList>
#include <QTimer>
#include <memory>

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

void RegisterProgramWindows([[maybe_unused]] Shell& shell) {
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

void OpenEveryWindowAndPoll(TFormTeskLink& shell, int cycleMs) {
    QStringList children;
    for (const WindowRow& row : WindowTable()) {
        const QString name = QLatin1String(row.name);
        if (!shell.IsWindowRegistered(name) || shell.ShowWindowNamed(name) == nullptr)
            continue;
        // The calibration window minimises the client area's windows whenever it comes
        // forward; it stays open beside them but is not brought forward again.
        if (row.placement == WindowPlacement::MdiChild)
            children << name;
    }
    shell.StartPolling();
    if (children.isEmpty() || cycleMs <= 0)
        return;
    auto* cycle = new QTimer(&shell);
    auto next = std::make_shared<qsizetype>(0);
    QObject::connect(cycle, &QTimer::timeout, &shell, [&shell, children, next] {
        // A window closed meanwhile (by a confirmed write) is simply opened again.
        shell.ShowWindowNamed(children[*next]);
        *next = (*next + 1) % children.size();
    });
    cycle->start(cycleMs);
}
