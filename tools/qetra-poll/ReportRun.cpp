#include "ReportRun.h"

#include "CommissioningReport.h"
#include "ReportForm.h"
#include "ReportSnapshotTaker.h"
#include "RequestService.h"
#include "TqvModbus.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

#include <cstdio>
#include <unistd.h>

namespace {

void Say(const QString& text) {
    std::fputs(("qetra-poll: " + text + "\n").toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

} // namespace

bool TakeReportSnapshot(const PollOptions& o, ReportSnapshot& s, QString* why) {
    TqvModbus qv(nullptr);
    qv.SetOpenSettleMs(0);
    qv.SetTraceModemStatus(false);
    qv.SetQueryInterval(o.interval);
    qv.SetQueryTimeout(o.timeout);

    QEventLoop loop;
    bool lost = false;
    RequestService requests(qv);
    ReportSnapshotTaker taker(requests, o.address, s);
    const bool progressInPlace = isatty(STDERR_FILENO);
    taker.OnProgress = [&](int done, int total) {
        if (progressInPlace)
            std::fprintf(stderr, "\r  %d of %d blocks read ", done, total);
    };
    // The line lost ends the read on the line, and the pass with it.
    taker.OnFinished = [&] { loop.quit(); };
    qv.OnOperatorError = [](const QString&, const QString&) {};
    qv.OnLineLost = [&](TqvModbus*) { lost = true; };

    TqvModbus::StartResponseWatcher();
    try {
        qv.Open(o.port, o.baud);
    } catch (const std::exception& e) {
        TqvModbus::StopResponseWatcher();
        if (why)
            *why = "cannot open " + o.port + ": " + QString::fromStdString(e.what());
        return false;
    }
    s.device = qv.LineDevice();
    taker.Start();
    if (!taker.Finished())
        loop.exec();
    qv.Close();
    TqvModbus::StopResponseWatcher();

    if (progressInPlace)
        std::fputs("\n", stderr);
    s.line = taker.Line();
    if (lost && why)
        *why = "the line was lost while the report's blocks were read";
    if (taker.NobodyAnswered() && why)
        *why = ReportNoAnswerText(s) + "; no report was written";
    return !lost && !taker.NobodyAnswered();
}

int RunReport(const PollOptions& o) {
    // The same limits as the program's form, before anything is sent.
    if (const QString problem =
            ReportFormProblem(ReportForm{o.site, o.feeder, o.technician, o.notes, QPageSize::A4});
        !problem.isEmpty()) {
        Say("--site, --feeder, --technician and --notes take what the program's report form "
            "takes: " +
            problem);
        return 2;
    }
    ReportSnapshot s;
    s.site = o.site;
    s.feeder = o.feeder;
    s.technician = o.technician;
    s.notes = o.notes;
    s.model = o.model;
    s.alarmModel = o.model != QLatin1String("QETRA 7100");
    s.address = o.address;
    s.baud = o.baud;
    s.port = o.port;

    QElapsedTimer took;
    took.start();
    QString why;
    if (!TakeReportSnapshot(o, s, &why)) {
        Say(why);
        return 1;
    }
    const qint64 snapshotMs = took.restart();
    int unread = 0;
    for (const auto& block : s.blocks)
        unread += block ? 0 : 1;

    if (!WriteCommissioningReport(o.reportFile, s,
                                  o.letterPaper ? QPageSize::Letter : QPageSize::A4,
                                  QDateTime::currentDateTime(), &why)) {
        Say(why);
        return 1;
    }
    Say(QStringLiteral("report written to %1: %2 of %3 blocks read in %4 ms (wire time at "
                       "%5 baud %6 ms), PDF in %7 ms")
            .arg(o.reportFile)
            .arg(ReportBlockCount - unread)
            .arg(ReportBlockCount)
            .arg(snapshotMs)
            .arg(o.baud)
            .arg(qRound(ReportWireSeconds(o.baud) * 1000))
            .arg(took.elapsed()));
    // A report with a gap is still worth having, but the run says it is not complete.
    return unread == 0 ? 0 : 3;
}
