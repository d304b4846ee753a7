// qetra-trend-bench: how long the trends window takes to draw a day of values, what the
// live history of a day at the fastest poll rate takes in memory, and how much CPU time
// opening a day's data log takes.
//   qetra-trend-bench [--points N] [--rounds R] [--log-rows N]
// Fills eight series (and every other trend quantity) with N points over 24 hours, shows
// the window at 1280x800 with the whole day in view, then pans and redraws it R times and
// reports the median draw time. Then writes a data log of --log-rows lines (default
// 1000000, the program's own format, made here in a temporary folder) and reads it as Open
// Log does. Prints a table and one JSON line.

#include "BenchStats.h"
#include "CpuClock.h"
#include "FormTrends.h"
#include "MeteringCsv.h"
#include "OperatorDialogs.h"
#include "TrendLogReader.h"
#include "TrendQuantities.h"
#include "WireLimit.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTimeZone>
#include <cstdio>
#include <random>
#include <time.h>

namespace {

// Resident memory of this process in bytes (Linux), 0 where it cannot be read.
qint64 ResidentBytes() {
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = f.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * 4096 : 0;
}

// One round of the program's rotation at interval 0: coils, inputs, block 0x130, block
// 0x100, register 0x518 twice (no measurement window active). One metering reply each.
double RotationMs(quint32 baud) {
    const int replies[] = {6,
                           6,
                           ReadRegistersReplyBytes(54),
                           ReadRegistersReplyBytes(34),
                           ReadRegistersReplyBytes(1),
                           ReadRegistersReplyBytes(1)};
    double ms = 0;
    for (int reply : replies)
        ms += ComputeWireTiming(baud, kReadRegistersRequestBytes, reply).transactionMs;
    return ms;
}

// CPU time of this thread: what drawing costs, whatever else the machine is doing.
double ThreadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// A day's data log of `rows` lines in the program's own format, a reply every 86.4 ms,
// every value moving: what the log reader meets in the field. Its size in bytes.
qint64 WriteDayLog(const QString& path, qsizetype rows) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return -1;
    f.write(MeteringCsvHeader().toLatin1() + '\n');
    const QDateTime start(QDate(2024, 5, 1), QTime(0, 0), QTimeZone(7200));
    QList<quint16> block(MeteringBlockCount, 0);
    std::mt19937 rng(38);
    std::uniform_int_distribution<int> wobble(0, 400);
    QByteArray chunk;
    for (qsizetype i = 0; i < rows; ++i) {
        for (int r = 0; r < MeteringBlockCount; ++r)
            block[r] = quint16(2200 + wobble(rng) + r);
        block[0x20] = 'R';
        const QDateTime t = start.addMSecs(i * 86'400'000LL / rows);
        chunk += MeteringCsvRow(t, block, ScaleRatios{100.0, 40.0}, quint16(347)).toLatin1() + '\n';
        if (chunk.size() > (1 << 20)) {
            f.write(chunk);
            chunk.clear();
        }
    }
    f.write(chunk);
    return f.size();
}

class NoDialogs : public OperatorDialogs {
public:
    void ShowMessage(Icon, const QString&, const QString& text) override {
        std::fprintf(stderr, "qetra-trend-bench: %s\n", qPrintable(text));
    }
    bool AskYesNo(const QString&, const QString&) override { return false; }
    void ShowDefaultError(const QString& text) override { ShowMessage(Icon::Error, {}, text); }
};

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser p;
    p.addHelpOption();
    const QCommandLineOption pointsOption("points", "Points per series (default 1000000).", "n",
                                          "1000000");
    const QCommandLineOption roundsOption("rounds", "Pans drawn and timed (default 41).", "n",
                                          "41");
    const QCommandLineOption logRowsOption("log-rows",
                                           "Lines of the data log opened (default "
                                           "1000000).",
                                           "n", "1000000");
    p.addOptions({pointsOption, roundsOption, logRowsOption});
    p.process(app);
    const qsizetype points = std::max<qsizetype>(2, p.value(pointsOption).toLongLong());
    const int rounds = std::max(1, p.value(roundsOption).toInt());

    // A day of values, every quantity a random walk (gaps now and then, as on a real line).
    const qint64 before = ResidentBytes();
    TrendHistory history(TrendQuantityCount(), points);
    const qint64 day = 24 * 3'600'000LL;
    const qint64 start = 1'714'521'600'000; // 2024-05-01 00:00 UTC
    std::mt19937 rng(26);
    std::normal_distribution<float> step(0.0f, 0.5f);
    std::vector<float> sample(size_t(TrendQuantityCount()), 100.0f);
    for (qsizetype i = 0; i < points; ++i) {
        for (float& v : sample)
            v += step(rng);
        history.Append(start + i * day / points, sample);
    }
    const qint64 filled = ResidentBytes() - before;

    NoDialogs dialogs;
    TFormTrends window(history, dialogs);
    QList<int> series;
    for (const char* c :
         {"V1 (V)", "V2 (V)", "V3 (V)", "V12 (V)", "V23 (V)", "V31 (V)", "I1 (A)", "I2 (A)"})
        series << TrendQuantityOfColumn(QString::fromLatin1(c));
    window.Choose(series);
    window.resize(1280, 800);
    window.show();
    QCoreApplication::processEvents();
    TrendChart* chart = window.Chart();
    chart->SetSpanMs(day);
    chart->SetFollow(false);
    chart->SetEndMs(start + day);

    // Each round pans by a twentieth of the day, back and forth, and draws the window.
    std::vector<double> drawMs, drawCpuMs, decimateMs;
    std::vector<TrendColumn> columns(size_t(chart->PlotRect(chart->rect()).width()));
    for (int r = 0; r < rounds; ++r) {
        const qint64 end = start + day - (r % 2 ? day / 20 : 0);
        chart->SetEndMs(end);
        QElapsedTimer t;
        const double cpu = ThreadCpuMs();
        t.start();
        const QPixmap frame = window.grab();
        drawMs.push_back(double(t.nsecsElapsed()) / 1e6);
        drawCpuMs.push_back(ThreadCpuMs() - cpu);
        t.restart();
        for (int q : series)
            history.Decimate(q, end - day, end, columns);
        decimateMs.push_back(double(t.nsecsElapsed()) / 1e6);
        if (frame.isNull())
            return 1;
    }
    const LatencySummary draw = SummariseLatencies(drawMs);
    const LatencySummary drawCpu = SummariseLatencies(drawCpuMs);
    const LatencySummary decimate = SummariseLatencies(decimateMs);

    // The live history's bound, and what a day at interval 0 on a 38400 baud line fills.
    const double rotation = RotationMs(38400);
    const qint64 dayAt38400 = qint64(86'400'000.0 / rotation);
    const qint64 bytesDay = TrendHistory::BytesAtCapacity(TrendQuantityCount(), dayAt38400);
    const qint64 bytesBound = TrendHistory::BytesAtCapacity(TrendQuantityCount(), kTrendCapacity);

    // Opening a day's data log: the reader's CPU time on this thread, as Open Log's
    // worker spends it.
    const qsizetype logRows = std::max<qsizetype>(1, p.value(logRowsOption).toLongLong());
    QTemporaryDir logDir;
    const QString logPath = logDir.filePath(QStringLiteral("meter.csv"));
    const qint64 logBytes = WriteDayLog(logPath, logRows);
    const double openCpu = ThreadCpuMs();
    const TrendLogResult opened = ReadTrendLog({logPath});
    const double openCpuS = (ThreadCpuMs() - openCpu) / 1000.0;
    if (!opened.log || opened.log->rows != logRows) {
        std::fprintf(stderr, "qetra-trend-bench: the log did not open: %s\n",
                     qPrintable(opened.problem.Text()));
        return 1;
    }

    std::printf("trend draw, 8 of %d series x %lld points over 24 h, window 1280x800, %d pans\n",
                TrendQuantityCount(), static_cast<long long>(points), rounds);
    std::printf("  window drawn:  median %.2f ms, p99 %.2f ms, max %.2f ms (CPU time: median "
                "%.2f ms); load average %.2f\n",
                draw.medianMs, draw.p99Ms, draw.maxMs, drawCpu.medianMs, LoadAverage1());
    std::printf("  of which min/max per column (8 series): median %.2f ms\n", decimate.medianMs);
    std::printf("  history of %lld points: %.1f MiB resident (%.0f bytes a point)\n",
                static_cast<long long>(points), double(filled) / 1048576.0,
                double(filled) / double(points));
    std::printf("live history: 38400 baud, interval 0: one metering reply per %.1f ms, %lld a "
                "day, %.1f MiB; bound %lld samples, %.1f MiB\n",
                rotation, static_cast<long long>(dayAt38400), double(bytesDay) / 1048576.0,
                static_cast<long long>(kTrendCapacity), double(bytesBound) / 1048576.0);
    std::printf("open log: %lld lines, %.1f MB of the program's own format: %.2f CPU-seconds "
                "(%.0f MB per CPU-second)\n",
                static_cast<long long>(logRows), double(logBytes) / 1e6, openCpuS,
                double(logBytes) / 1e6 / std::max(openCpuS, 1e-9));
    std::printf("{\"open_log_rows\":%lld,\"open_log_bytes\":%lld,\"open_log_cpu_s\":%.3f,",
                static_cast<long long>(logRows), static_cast<long long>(logBytes), openCpuS);
    std::printf("\"points\":%lld,\"series\":8,\"draw_median_ms\":%.3f,\"draw_p99_ms\":%.3f,"
                "\"draw_cpu_median_ms\":%.3f,\"load_average\":%.2f,"
                "\"decimate_median_ms\":%.3f,\"history_resident_bytes\":%lld,"
                "\"rotation_ms_38400\":%.2f,\"day_samples_38400\":%lld,\"day_bytes_38400\":%lld,"
                "\"bound_samples\":%lld,\"bound_bytes\":%lld}\n",
                static_cast<long long>(points), draw.medianMs, draw.p99Ms, drawCpu.medianMs,
                LoadAverage1(), decimate.medianMs, static_cast<long long>(filled), rotation,
                static_cast<long long>(dayAt38400), static_cast<long long>(bytesDay),
                static_cast<long long>(kTrendCapacity), static_cast<long long>(bytesBound));
    return 0;
}
