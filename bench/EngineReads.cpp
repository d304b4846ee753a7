#include "EngineReads.h"

#include "CpuClock.h"
#include "TqvModbus.h"

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <exception>
#include <optional>

namespace {
using Clock = std::chrono::steady_clock;

double MsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}
} // namespace

QByteArray ReadMessageString(int slave, quint16 startAddress, int registers) {
    return QStringLiteral("%1,03,%2,%3,%4,%5,00,00")
        .arg(slave & 0xFF, 2, 16, QLatin1Char('0'))
        .arg(startAddress >> 8, 2, 16, QLatin1Char('0'))
        .arg(startAddress & 0xFF, 2, 16, QLatin1Char('0'))
        .arg(registers >> 8, 2, 16, QLatin1Char('0'))
        .arg(registers & 0xFF, 2, 16, QLatin1Char('0'))
        .toUpper()
        .toLatin1();
}

EngineReadResult RunEngineReads(const EngineReadOptions& o) {
    EngineReadResult r;
    TqvModbus qv;
    qv.SetOpenSettleMs(0);
    // As the main window stores it: no modem, so no modem watcher thread.
    qv.SetTraceModemStatus(false);
    qv.SetQueryInterval(static_cast<quint32>(o.queryIntervalMs));
    qv.SetQueryTimeout(static_cast<quint32>(o.queryTimeoutMs));
    qv.SetTransactionObserver(o.observer);

    const QByteArray message = ReadMessageString(o.slave, o.startAddress, o.registers);
    const auto interval = std::chrono::milliseconds(o.queryIntervalMs);
    Clock::time_point start{}, end{}, sentAt{};
    double cpuStart = 0, cpuEnd = 0;
    std::optional<Clock::time_point> lastChunk, lastEvaluation;
    int chunks = 0;
    bool stopping = false;
    QEventLoop loop;

    qv.OnQueryData = [&](TqvModbus* s) { s->SetQueryMessage(message); };
    qv.OnAfterSendMsg = [&](TqvModbus*, const QByteArray&) {
        sentAt = Clock::now();
        if (lastEvaluation)
            r.turnaroundMs.push_back(MsBetween(*lastEvaluation, sentAt));
        lastEvaluation.reset();
        lastChunk.reset();
        chunks = 0;
    };
    qv.OnRecvData = [&](TqvModbus*, const QByteArray&) {
        lastChunk = Clock::now();
        ++chunks;
    };
    qv.OnF03Response = [&](TqvModbus*, quint8, quint16 startAddr, QList<quint16> values) {
        const auto now = Clock::now();
        if (startAddr == o.startAddress && values.size() == o.registers)
            ++r.ok;
        if (lastChunk) {
            r.latenciesMs.push_back(MsBetween(std::max(*lastChunk, sentAt + interval), now));
            r.replyWaitMs.push_back(MsBetween(sentAt, *lastChunk));
            r.chunks += chunks;
        }
        lastEvaluation = now;
    };
    qv.OnResponseError = [&](TqvModbus*) { ++r.errors; };
    qv.OnAfterResponse = [&](TqvModbus* s) {
        ++r.reads;
        const bool done =
            o.count > 0 ? r.reads >= o.count : MsBetween(start, Clock::now()) >= o.seconds * 1000.0;
        if (done && !stopping) {
            stopping = true;
            end = Clock::now();
            cpuEnd = ProcessCpuSeconds();
            s->StopQuery();
        }
    };
    qv.OnQueryFinish = [&](TqvModbus*) { loop.quit(); };

    try {
        qv.Open(o.device, o.baud);
    } catch (const std::exception& e) {
        r.error = QStringLiteral("cannot open %1: %2").arg(o.device, QString::fromUtf8(e.what()));
        return r;
    }

    // A run that stops making progress must not hang the benchmark: allow every
    // transaction its full wait and then some.
    const double perTransactionMs = std::max(o.queryIntervalMs, o.queryTimeoutMs) + 1000.0;
    const double budgetMs =
        (o.count > 0 ? o.count * perTransactionMs : o.seconds * 1000.0 + perTransactionMs) + 5000;
    bool stuck = false;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, [&] {
        stuck = true;
        loop.quit();
    });
    guard.start(static_cast<int>(budgetMs));

    cpuStart = ProcessCpuSeconds();
    start = Clock::now();
    if (!qv.StartQuery()) {
        r.error = QStringLiteral("the engine did not start polling");
        qv.Close();
        return r;
    }
    loop.exec();
    guard.stop();
    if (stuck) {
        r.error = QStringLiteral("no progress after %1 transactions").arg(r.reads);
        end = Clock::now();
        cpuEnd = ProcessCpuSeconds();
    }
    r.seconds = MsBetween(start, end) / 1000.0;
    r.cpuSeconds = cpuEnd - cpuStart;
    qv.Close();
    return r;
}
