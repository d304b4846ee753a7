#include "TrendExport.h"

#include "TrendQuantities.h"

#include <QDateTime>
#include <QStringList>

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
            if (!std::isnan(v))
                line += QString::number(double(v), 'g', 7);
        }
        out += line + QLatin1Char('\n');
    }
    return out;
}
