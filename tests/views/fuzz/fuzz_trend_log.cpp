// libFuzzer entry: any file opened as a data log. The reader either refuses it with a line
// and a reason or draws it; what it draws, exported as the program's own log and read
// again, is the same history. Each field reader on its own: a number's own text reads
// back to the same number.
#include "TrendExport.h"
#include "TrendLogFields.h"
#include "TrendLogReader.h"
#include "TrendQuantities.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include "FuzzSupport.h"
#include <cmath>

#include <cstdint>
#include <cstdlib>

namespace {

bool Same(float a, float b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    FuzzCheck(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FuzzCheck(f.write(bytes) == bytes.size());
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzCoreApp("fuzz_trend_log");
    static QTemporaryDir dir;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    // Each field on its own.
    const LogNumber n = ReadLogNumber(bytes.left(64), false);
    if (n.kind == LogNumber::Kind::Number) {
        FuzzCheck(std::isfinite(n.value));
        const LogNumber back = ReadLogNumber(QByteArray::number(n.value, 'g', 17), false);
        FuzzCheck(back.kind == LogNumber::Kind::Number && back.value == n.value);
    }
    (void)ReadLogNumber(bytes.left(64), true);
    (void)ReadLogTime(bytes.left(64));

    const QString path = dir.filePath(QStringLiteral("fuzz.csv"));
    Write(path, bytes);
    const TrendLogResult r = ReadTrendLog({path}, nullptr, QTimeZone("Europe/Berlin"));
    if (!r.log) {
        FuzzCheck(!r.problem.reason.isEmpty());
        return 0;
    }
    const TrendHistory& h = r.log->history;
    FuzzCheck(h.Size() > 0 && r.log->rows > 0 && !r.log->quantities.isEmpty());
    const QString again = dir.filePath(QStringLiteral("again.csv"));
    Write(again, TrendSpanCsv(h, r.log->quantities, h.FirstTime(), h.LastTime() + 1).toUtf8());
    const TrendLogResult back = ReadTrendLog({again});
    FuzzCheck(back.log.has_value());
    // The export writes what the log shows; the history around its values is the same.
    const TrendHistory& b = back.log->history;
    qsizetype j = 0;
    for (qsizetype i = 0; i < h.Size(); ++i) {
        bool any = false;
        for (int q : r.log->quantities)
            any = any || !std::isnan(h.ValueAt(q, i));
        if (!any)
            continue; // a gap, or a row of empty cells: the export has no line for it
        auto anyIn = [&](qsizetype k) {
            for (int q : r.log->quantities)
                if (!std::isnan(b.ValueAt(q, k)))
                    return true;
            return false;
        };
        while (j < b.Size() && (b.TimeAt(j) != h.TimeAt(i) || !anyIn(j)))
            ++j;
        FuzzCheck(j < b.Size());
        for (int q : r.log->quantities)
            FuzzCheck(Same(b.ValueAt(q, j), h.ValueAt(q, i)));
        ++j; // two rows may share a time: each has its own line
    }
    return 0;
}
