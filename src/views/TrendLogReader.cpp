#include "TrendLogReader.h"

#include "TrendQuantities.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSet>

#include <algorithm>

namespace {

// A file's contents, checked, before anything of the set goes into the history.
struct ParsedFile {
    QString name;
    QList<int> quantities;
    std::vector<qint64> times;
    std::vector<float> values; // TrendQuantityCount() per row
};

struct Failure {
    TrendLogProblem problem;
};

[[noreturn]] void Refuse(const QString& file, int line, const QString& reason) {
    throw Failure{{file, line, reason}};
}

std::optional<qint64> ParseTime(const QString& text) {
    QDateTime t = QDateTime::fromString(text, Qt::ISODate);
    // A spreadsheet writes the time back in the desktop's own style.
    for (const char* format : {"yyyy-MM-dd HH:mm:ss", "dd.MM.yyyy HH:mm:ss", "dd.MM.yyyy HH:mm"}) {
        if (t.isValid())
            break;
        t = QDateTime::fromString(text, QLatin1String(format));
    }
    if (!t.isValid())
        return std::nullopt;
    return t.toMSecsSinceEpoch();
}

std::optional<float> ParseNumber(QString text, bool decimalComma) {
    if (decimalComma)
        text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return float(v);
}

ParsedFile ParseFile(const QString& path) {
    ParsedFile out;
    out.name = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        Refuse(out.name, 0,
               QCoreApplication::translate("TrendLogReader", "cannot be read: %1")
                   .arg(file.errorString()));

    QChar separator;
    QList<int> quantityOfField; // -1 for the columns the trends do not draw
    qsizetype fields = 0;
    int lineNo = 0;
    while (!file.atEnd()) {
        QByteArray bytes = file.readLine();
        ++lineNo;
        if (lineNo == 1 && bytes.startsWith("\xEF\xBB\xBF"))
            bytes.remove(0, 3);
        while (bytes.endsWith('\n') || bytes.endsWith('\r'))
            bytes.chop(1);
        if (bytes.isEmpty())
            continue;
        const QString line = QString::fromUtf8(bytes);
        if (lineNo == 1) {
            if (line.startsWith(QLatin1String("Time,")))
                separator = QLatin1Char(',');
            else if (line.startsWith(QLatin1String("Time;")))
                separator = QLatin1Char(';');
            else
                Refuse(out.name, 1,
                       QCoreApplication::translate(
                           "TrendLogReader",
                           "this is not a data log of the meter: the first line must "
                           "name the columns, beginning with \"Time\""));
            const QStringList known = MeteringCsvColumns();
            const QStringList names = *SplitLogLine(line, separator);
            QSet<QString> seen;
            for (qsizetype i = 1; i < names.size(); ++i) {
                if (!known.contains(names[i]))
                    Refuse(
                        out.name, 1,
                        QCoreApplication::translate(
                            "TrendLogReader", "column %1, \"%2\", is not a column of the data log")
                            .arg(i + 1)
                            .arg(names[i]));
                if (seen.contains(names[i]))
                    Refuse(
                        out.name, 1,
                        QCoreApplication::translate("TrendLogReader", "column \"%1\" appears twice")
                            .arg(names[i]));
                seen.insert(names[i]);
            }
            quantityOfField = {-1};
            for (qsizetype i = 1; i < names.size(); ++i) {
                quantityOfField << TrendQuantityOfColumn(names[i]);
                if (quantityOfField.back() >= 0)
                    out.quantities << quantityOfField.back();
            }
            if (std::all_of(quantityOfField.begin(), quantityOfField.end(),
                            [](int q) { return q < 0; }))
                Refuse(out.name, 1,
                       QCoreApplication::translate("TrendLogReader",
                                                   "none of its columns can be drawn"));
            fields = names.size();
            continue;
        }
        const std::optional<QStringList> cells = SplitLogLine(line, separator);
        if (!cells)
            Refuse(out.name, lineNo,
                   QCoreApplication::translate("TrendLogReader", "a quote is not closed"));
        if (cells->size() != fields)
            Refuse(out.name, lineNo,
                   QCoreApplication::translate(
                       "TrendLogReader", "%1 fields where the header has %2 (a cut or joined line)")
                       .arg(cells->size())
                       .arg(fields));
        const std::optional<qint64> time = ParseTime(cells->front());
        if (!time)
            Refuse(out.name, lineNo,
                   QCoreApplication::translate("TrendLogReader", "\"%1\" is not a time")
                       .arg(cells->front()));
        if (!out.times.empty() && *time < out.times.back())
            Refuse(out.name, lineNo,
                   QCoreApplication::translate("TrendLogReader",
                                               "its time %1 is before the line above")
                       .arg(cells->front()));
        const size_t at = out.values.size();
        out.values.resize(at + size_t(TrendQuantityCount()), TrendColumn::None);
        for (qsizetype i = 1; i < fields; ++i) {
            const int q = quantityOfField[i];
            const QString& cell = (*cells)[i];
            if (q < 0 || cell.isEmpty()) // the temperature is empty until it was read
                continue;
            const std::optional<float> v = ParseNumber(cell, separator == QLatin1Char(';'));
            if (!v)
                Refuse(out.name, lineNo,
                       QCoreApplication::translate("TrendLogReader",
                                                   "\"%1\" in column \"%2\" is not a number")
                           .arg(cell, TrendQuantities()[q].column));
            out.values[at + size_t(q)] = *v;
        }
        out.times.push_back(*time);
    }
    if (lineNo == 0)
        Refuse(out.name, 0, QCoreApplication::translate("TrendLogReader", "the file is empty"));
    return out;
}

} // namespace

QString TrendLogProblem::Text() const {
    if (line <= 0)
        return QCoreApplication::translate("TrendLogReader", "%1: %2").arg(file, reason);
    return QCoreApplication::translate("TrendLogReader", "%1, line %2: %3")
        .arg(file)
        .arg(line)
        .arg(reason);
}

std::optional<QStringList> SplitLogLine(const QString& line, QChar separator) {
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < line.size() && line[i + 1] == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == separator) {
            fields << field;
            field.clear();
        } else {
            field += c;
        }
    }
    if (quoted)
        return std::nullopt;
    fields << field;
    return fields;
}

TrendLogResult ReadTrendLog(const QStringList& files) {
    TrendLogResult result;
    if (files.isEmpty()) {
        result.problem = {QString(), 0,
                          QCoreApplication::translate("TrendLogReader", "no file was chosen")};
        return result;
    }
    std::vector<ParsedFile> parsed;
    try {
        for (const QString& f : files)
            parsed.push_back(ParseFile(f));
    } catch (const Failure& failure) {
        result.problem = failure.problem;
        return result;
    }
    // A rotated set is chosen in any order; its times put it in order.
    std::erase_if(parsed, [](const ParsedFile& p) { return p.times.empty(); });
    if (parsed.empty()) {
        result.problem = {
            QFileInfo(files.front()).fileName(), 0,
            QCoreApplication::translate("TrendLogReader", "holds no values, only its header")};
        return result;
    }
    std::sort(parsed.begin(), parsed.end(), [](const ParsedFile& a, const ParsedFile& b) {
        return a.times.front() < b.times.front();
    });
    qsizetype rows = 0;
    for (size_t i = 0; i < parsed.size(); ++i) {
        rows += qsizetype(parsed[i].times.size());
        if (i > 0 && parsed[i].times.front() <= parsed[i - 1].times.back()) {
            result.problem = {parsed[i].name, 2,
                              QCoreApplication::translate(
                                  "TrendLogReader", "its times overlap those of %1: the files are "
                                                    "not one log")
                                  .arg(parsed[i - 1].name)};
            return result;
        }
    }
    TrendLog log;
    // Room for a gap before every row.
    log.history = TrendHistory(TrendQuantityCount(), 2 * rows + 1);
    const size_t stride = size_t(TrendQuantityCount());
    for (const ParsedFile& p : parsed) {
        for (size_t r = 0; r < p.times.size(); ++r)
            log.history.Append(p.times[r],
                               std::span<const float>(p.values.data() + r * stride, stride));
        for (int q : p.quantities) {
            if (!log.quantities.contains(q))
                log.quantities << q;
        }
    }
    std::sort(log.quantities.begin(), log.quantities.end());
    log.rows = rows;
    result.log = std::move(log);
    return result;
}
