#include "ReportCommand.h"

#include "CommissioningReport.h"
#include "OperatorDialogs.h"
#include "ReportForm.h"
#include "ReportSnapshotTaker.h"
#include "SessionState.h"
#include "Shell.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QFormLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>

namespace {

enum class Output { None, Preview, Print, Pdf };

// The form; which of the three outputs the technician chose, or None.
Output AskReportForm(QWidget* parent, ReportForm& form, OperatorDialogs& dialogs) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("FormCommissioningReport"));
    dialog.setWindowTitle(QCoreApplication::translate("ReportCommand", "Commissioning Report"));
    auto* site = new QLineEdit(form.site);
    auto* feeder = new QLineEdit(form.feeder);
    auto* technician = new QLineEdit(form.technician);
    auto* notes = new QPlainTextEdit(form.notes);
    auto* paper = new QComboBox;
    paper->addItems({QStringLiteral("A4"), QStringLiteral("Letter")});
    paper->setCurrentIndex(form.paper == QPageSize::Letter ? 1 : 0);
    auto* layout = new QFormLayout(&dialog);
    layout->addRow(QStringLiteral("Site:"), site);
    layout->addRow(QCoreApplication::translate("ReportCommand", "Feeder / panel:"), feeder);
    layout->addRow(QStringLiteral("Technician:"), technician);
    layout->addRow(QStringLiteral("Notes:"), notes);
    layout->addRow(QStringLiteral("Paper:"), paper);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    Output chosen = Output::None;
    const auto add = [&](const QString& caption, Output output) {
        QPushButton* b = buttons->addButton(caption, QDialogButtonBox::AcceptRole);
        QObject::connect(b, &QPushButton::clicked, &dialog, [&, output] {
            ReportForm typed{site->text(), feeder->text(), technician->text(), notes->toPlainText(),
                             paper->currentIndex() == 1 ? QPageSize::Letter : QPageSize::A4};
            if (const QString problem = ReportFormProblem(typed); !problem.isEmpty()) {
                dialogs.Warn(QCoreApplication::translate("ReportCommand", "Commissioning Report"),
                             problem);
                return;
            }
            form = typed;
            chosen = output;
            dialog.accept();
        });
    };
    add(QStringLiteral("Preview"), Output::Preview);
    add(QStringLiteral("Print\u2026"), Output::Print);
    add(QCoreApplication::translate("ReportCommand", "Save as PDF\u2026"), Output::Pdf);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addRow(buttons);
    dialog.exec();
    return chosen;
}

// One fresh pass over the report's blocks through the program's own master; false when
// the technician cancelled or the poll stopped before it was complete.
bool TakeSnapshot(Shell& shell, ReportSnapshot& snapshot) {
    QProgressDialog progress(
        QCoreApplication::translate("ReportCommand", "Reading the meter for the report\u2026"),
        QStringLiteral("Cancel"), 0, int(ReportReads().size()), &shell.Frame());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    ReportSnapshotTaker taker(shell.Requests(), shell.Meter().address, snapshot);
    QEventLoop wait;
    taker.OnProgress = [&](int done, int) { progress.setValue(done); };
    taker.OnFinished = [&] { wait.quit(); };
    QObject::connect(&progress, &QProgressDialog::canceled, &progress, [&] { taker.Cancel(); });
    taker.Start();
    wait.exec();
    progress.reset();

    const SessionState& state = shell.State();
    const TrafficCounters& t = state.Traffic;
    const LineTally own = taker.Line();
    // The session's counters (every request of the line went through them) and the
    // snapshot's own failures, which only the snapshot saw.
    snapshot.line.sent = t.SendCount;
    snapshot.line.noResponse = t.NoResponseCount + own.noResponse;
    snapshot.line.crcErrors = t.CrcErrorCount + own.crcErrors;
    snapshot.line.good =
        std::max(0, snapshot.line.sent - snapshot.line.noResponse - snapshot.line.crcErrors);
    // A record of a meter that never answered would be "not read" from top to bottom.
    if (taker.NobodyAnswered()) {
        shell.Dialogs().Warn(
            QCoreApplication::translate("ReportCommand", "Commissioning Report"),
            ReportNoAnswerText(snapshot) +
                QCoreApplication::translate("ReportCommand", "\nNo report was made."));
        return false;
    }
    return !taker.Cancelled();
}

void Command(Shell& shell) {
    OperatorDialogs& dialogs = shell.Dialogs();
    const ConnectedMeter meter = shell.Meter();
    // The snapshot rides on the running poll.
    if (!shell.State().Connected() || !meter.polling) {
        dialogs.ShowNotConnected();
        return;
    }
    QSettings settings;
    ReportForm form = LoadReportForm(settings, QLocale::system());
    const Output output = AskReportForm(&shell.Frame(), form, dialogs);
    if (output == Output::None)
        return;
    SaveReportForm(settings, form);

    ReportSnapshot snapshot;
    snapshot.site = form.site;
    snapshot.feeder = form.feeder;
    snapshot.technician = form.technician;
    snapshot.notes = form.notes;
    const quint8 model = shell.State().MeterModel;
    snapshot.model = model == 0 ? QStringLiteral("QETRA 7100") : QStringLiteral("QETRA 7300");
    snapshot.alarmModel = model != 0;
    snapshot.address = meter.address;
    snapshot.baud = meter.baud;
    snapshot.port = meter.port;
    snapshot.device = meter.device;
    if (!TakeSnapshot(shell, snapshot))
        return;

    const QDateTime now = QDateTime::currentDateTime();
    if (output == Output::Pdf) {
        const QString path = QFileDialog::getSaveFileName(
            &shell.Frame(), QCoreApplication::translate("ReportCommand", "Save as PDF"),
            QCoreApplication::translate("ReportCommand", "commissioning-report.pdf"),
            QStringLiteral("PDF (*.pdf)"));
        QString why;
        if (!path.isEmpty() && !WriteCommissioningReport(path, snapshot, form.paper, now, &why))
            dialogs.Error(QCoreApplication::translate("ReportCommand", "Commissioning Report"),
                          why);
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(form.paper));
    printer.setDocName(QStringLiteral("Commissioning report"));
    if (output == Output::Print) {
        QPrintDialog ask(&printer, &shell.Frame());
        if (ask.exec() == QDialog::Accepted)
            PaintCommissioningReport(printer, snapshot, now);
        return;
    }
    QPrintPreviewDialog preview(&printer, &shell.Frame());
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&](QPrinter* p) { PaintCommissioningReport(*p, snapshot, now); });
    preview.exec();
}

} // namespace

void RegisterCommissioningReport(Shell& shell) {
    QMenu* execute = shell.Menu(QStringLiteral("MM01"));
    if (!execute)
        return;
    auto* action = new QAction(
        QCoreApplication::translate("ReportCommand", "Commissioning Report\u2026"), &shell.Frame());
    action->setObjectName(QStringLiteral("MMCommissioningReport"));
    execute->insertAction(shell.Action(QStringLiteral("MMExit")), action);
    QObject::connect(action, &QAction::triggered, &shell.Frame(), [&shell] { Command(shell); });
}
