#include "TrendExport.h"

#include "TrendQuantities.h"

#include <QDateTime>
#include <QStringList>

#include <charconv>

QString TrendSpanCsv(const TrendHistory& history, const QList<int>& quantities, qint64 t0,
                     qint64 t1) {
    QStringList header{QStringLiteral("Time")};
    for (int q : quantities)
        header << TrendQuantities()[q].column;
    QString out = header.join(QLatin1Char(',')) + QLatin1Char('\n');
    for (qsizetype i = history.LowerBound(t0); i < history.Size() && history.TimeAt(i) < t1; ++i) {
        // Milliseconds too: the live history holds several samples a second.
        const QDateTime t = QDateTime::fromMSecsSinceEpoch(history.TimeAt(i));
        const QString iso = IsoLocalTime(t);
        QString line =
            iso.left(19) + t.toLocalTime().toString(QStringLiteral(".zzz")) + iso.mid(19);
        for (int q : quantities) {
            line += QLatin1Char(',');
            const float v = history.ValueAt(q, i);
            if (!std::isnan(v)) {
                // The shortest text that reads back as the same single-precision value.
                char text[32];
                const auto end = std::to_chars(text, text + sizeof text, v).ptr;
                line += QLatin1StringView(text, end - text);
            }
        }
        out += line + QLatin1Char('\n');
    }
    return out;
}
