#include "ReportRun.h"

#include "CommissioningReport.h"
#include "PollReport.h"
#include "TqvModbus.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

#include <cstdio>

namespace {

void Say(const QString& text) {
    std::fputs(("qetra-poll: " + text + "\n").toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

QList<quint16> Bits(const QList<bool>& bits) {
    QList<quint16> values;
    for (const bool b : bits)
        values.append(b ? 1 : 0);
    return values;
}

} // namespace

bool TakeReportSnapshot(const PollOptions& o, ReportSnapshot& s, QString* why) {
    const std::span<const ReportRead> reads = ReportReads();
    TqvModbus qv(nullptr);
    qv.SetOpenSettleMs(0);
    qv.SetTraceModemStatus(false);
    qv.SetQueryInterval(o.interval);
    qv.SetQueryTimeout(o.timeout);

    QEventLoop loop;
    size_t next = 0;
    std::optional<QList<quint16>> reply;
    PollCounters counters;
    bool lost = false;

    qv.OnQueryData = [&](TqvModbus* m) {
        reply.reset();
        m->SetQueryMessage(WithSlaveAddress(reads[next].Message().toLatin1(), o.address));
        if (reads[next].block == ReportBlock::Clock)
            s.pcTime = QDateTime::currentDateTime();
    };
    auto bits = [&](TqvModbus*, quint8, quint16, QList<bool> values) { reply = Bits(values); };
    qv.OnF01Response = bits;
    qv.OnF02Response = bits;
    qv.OnF03Response = [&](TqvModbus*, quint8, quint16, QList<quint16> values) { reply = values; };
    qv.OnAfterResponse = [&](TqvModbus* m) {
        counters.Count(m->ResponseErrorCode());
        if (m->ResponseErrorCode() == 0 && reply)
            s.Store(reads[next], *reply);
        if (++next >= reads.size())
            m->StopQuery();
    };
    qv.OnQueryFinish = [&](TqvModbus*) { loop.quit(); };
    qv.OnOperatorError = [](const QString&, const QString&) {};
    qv.OnLineLost = [&](TqvModbus* m) {
        lost = true;
        m->StopQuery();
    };

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
    qv.StartQuery();
    loop.exec();
    qv.Close();
    TqvModbus::StopResponseWatcher();

    s.line = LineTally{counters.sent, counters.ok, counters.noResponse, counters.crcError};
    if (lost && why)
        *why = "the line was lost while the report's blocks were read";
    return !lost;
}

int RunReport(const PollOptions& o) {
    ReportSnapshot s;
    s.site = o.site;
    s.feeder = o.feeder;
    s.technician = o.technician;
    s.notes = o.notes;
    s.model = o.model == 0 ? QStringLiteral("QETRA 7100") : QStringLiteral("QETRA 7300");
    s.alarmModel = o.model != 0;
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
