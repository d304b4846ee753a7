#include "TrendLogReader.h"

#include "TrendLogFields.h"
#include "TrendQuantities.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <cstring>

namespace {

// A file's contents, checked, before anything of the set goes into the history.
struct ParsedFile {
    QString name;
    QList<int> quantities;
    std::vector<qint64> times;
    std::vector<float> values; // TrendQuantityCount() per row
    QStringList notes;
};

struct Failure {
    TrendLogProblem problem;
};
struct Cancelled {};

[[noreturn]] void Refuse(const QString& file, int line, const QString& reason) {
    throw Failure{{file, line, reason}};
}

// The lines of a file, read a few megabytes at a time; a line longer than any of ours is
// refused as soon as that is clear, so a file without line ends never fills the memory.
class LineSource {
public:
    LineSource(QFile& file, const QString& name, TrendLogProgress* progress)
        : file_(file), name_(name), progress_(progress) {}

    // The next line without its end (CR LF or LF), or nothing at the end of the file.
    std::optional<QByteArrayView> Next() {
        for (;;) {
            const char* begin = buffer_.constData() + at_;
            const qsizetype left = buffer_.size() - at_;
            if (const void* nl = std::memchr(begin, '\n', size_t(left))) {
                const qsizetype length = static_cast<const char*>(nl) - begin;
                Check(length);
                at_ += length + 1;
                ++number_;
                return Trimmed(QByteArrayView(begin, length));
            }
            Check(left);
            if (!Fill()) {
                if (left == 0)
                    return std::nullopt;
                at_ = buffer_.size();
                ++number_;
                return Trimmed(QByteArrayView(begin, left));
            }
        }
    }
    int Number() const { return number_; }

private:
    static constexpr qsizetype kChunk = 4 * 1024 * 1024;

    void Check(qsizetype length) const {
        if (length > kLongestLogLine)
            Refuse(name_, number_ + 1,
                   QCoreApplication::translate("TrendLogReader", "line too long"));
    }
    static QByteArrayView Trimmed(QByteArrayView line) {
        while (line.endsWith('\r'))
            line.chop(1);
        return line;
    }
    bool Fill() {
        if (progress_ && progress_->cancel.load(std::memory_order_relaxed))
            throw Cancelled{};
        buffer_.remove(0, at_);
        at_ = 0;
        const qsizetype had = buffer_.size();
        buffer_.resize(had + kChunk);
        const qint64 got = file_.read(buffer_.data() + had, kChunk);
        if (got < 0)
            Refuse(name_, number_ + 1,
                   QCoreApplication::translate("TrendLogReader", "cannot be read: %1")
                       .arg(file_.errorString()));
        buffer_.resize(had + qsizetype(got));
        if (progress_)
            progress_->bytesRead.fetch_add(got, std::memory_order_relaxed);
        return got > 0;
    }

    QFile& file_;
    const QString& name_;
    TrendLogProgress* progress_;
    QByteArray buffer_;
    qsizetype at_ = 0;
    int number_ = 0;
};

// The header: which column feeds which quantity (-1: not drawn), and the separator.
struct Header {
    char separator = ',';
    QList<int> quantityOfField;
};

Header ReadHeader(QByteArrayView bytes, ParsedFile& out) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    Header h;
    if (bytes.startsWith("Time;"))
        h.separator = ';';
    else if (!bytes.startsWith("Time,"))
        Refuse(out.name, 1,
               QCoreApplication::translate(
                   "TrendLogReader",
                   "this is not a data log of the meter: the first line must name the columns, "
                   "beginning with \"Time\""));
    const std::optional<QStringList> split =
        SplitLogLine(QString::fromUtf8(bytes), QLatin1Char(h.separator));
    if (!split)
        Refuse(out.name, 1, QCoreApplication::translate("TrendLogReader", "unclosed quote"));
    const QStringList& names = *split;
    const QStringList known = MeteringCsvColumns();
    QSet<QString> seen;
    h.quantityOfField = {-1};
    for (qsizetype i = 1; i < names.size(); ++i) {
        if (!known.contains(names[i]))
            Refuse(out.name, 1,
                   QCoreApplication::translate("TrendLogReader",
                                               "column %1, \"%2\", is not a column of the data log")
                       .arg(i + 1)
                       .arg(names[i]));
        if (seen.contains(names[i]))
            Refuse(out.name, 1,
                   QCoreApplication::translate("TrendLogReader", "column \"%1\" appears twice")
                       .arg(names[i]));
        seen.insert(names[i]);
        h.quantityOfField << TrendQuantityOfColumn(names[i]);
        if (h.quantityOfField.back() >= 0)
            out.quantities << h.quantityOfField.back();
    }
    if (out.quantities.isEmpty())
        Refuse(out.name, 1,
               QCoreApplication::translate("TrendLogReader", "none of its columns can be drawn"));
    return h;
}

// The fields of a row, without copying them where no quote is in the line.
bool SplitRow(QByteArrayView line, char separator, std::vector<QByteArrayView>& fields,
              QList<QByteArray>& unquoted) {
    fields.clear();
    if (line.contains('"')) {
        const auto split = SplitLogLine(QString::fromUtf8(line), QLatin1Char(separator));
        if (!split)
            return false;
        unquoted.clear();
        for (const QString& f : *split)
            unquoted << f.toUtf8();
        for (const QByteArray& f : unquoted)
            fields.emplace_back(f);
        return true;
    }
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = line.indexOf(separator, from);
        if (at < 0) {
            fields.push_back(line.sliced(from));
            return true;
        }
        fields.push_back(line.sliced(from, at - from));
        from = at + 1;
    }
}

class FileReader {
public:
    FileReader(const QString& path, TrendLogProgress* progress, const QTimeZone& zone)
        : path_(path), progress_(progress), clock_(zone) {
        out_.name = QFileInfo(path).fileName();
    }

    ParsedFile Read() {
        QFile file(path_);
        if (!file.open(QIODevice::ReadOnly))
            Refuse(out_.name, 0,
                   QCoreApplication::translate("TrendLogReader", "cannot be read: %1")
                       .arg(file.errorString()));
        LineSource lines(file, out_.name, progress_);
        bool header = true;
        while (const std::optional<QByteArrayView> line = lines.Next()) {
            if (header) {
                header_ = ReadHeader(*line, out_);
                header = false;
            } else if (!line->isEmpty()) {
                Row(*line, lines.Number());
            }
        }
        if (lines.Number() == 0)
            Refuse(out_.name, 0,
                   QCoreApplication::translate("TrendLogReader", "the file is empty"));
        return std::move(out_);
    }

private:
    void Row(QByteArrayView line, int lineNo) {
        if (!SplitRow(line, header_.separator, fields_, unquoted_))
            Refuse(out_.name, lineNo,
                   QCoreApplication::translate("TrendLogReader", "unclosed quote"));
        const qsizetype expected = header_.quantityOfField.size();
        if (qsizetype(fields_.size()) != expected)
            Refuse(out_.name, lineNo,
                   QCoreApplication::translate(
                       "TrendLogReader", "%1 fields where the header has %2 (a cut or joined line)")
                       .arg(fields_.size())
                       .arg(expected));
        const qint64 time = Time(fields_.front(), lineNo);
        const size_t at = out_.values.size();
        out_.values.resize(at + size_t(TrendQuantityCount()), TrendColumn::None);
        for (qsizetype i = 1; i < expected; ++i) {
            const int q = header_.quantityOfField[i];
            const QByteArrayView cell = fields_[size_t(i)];
            if (q < 0 || cell.isEmpty()) // the temperature is empty until it was read
                continue;
            const LogNumber n = ReadLogNumber(cell, header_.separator == ';');
            if (n.kind != LogNumber::Kind::Number)
                Refuse(
                    out_.name, lineNo,
                    n.kind == LogNumber::Kind::Ambiguous
                        ? QCoreApplication::translate(
                              "TrendLogReader", "\"%1\" in column \"%2\" may be meant two ways: %3")
                              .arg(QString::fromUtf8(cell), TrendQuantities()[q].column, n.readings)
                        : QCoreApplication::translate("TrendLogReader",
                                                      "\"%1\" in column \"%2\" is not a number")
                              .arg(QString::fromUtf8(cell), TrendQuantities()[q].column));
            out_.values[at + size_t(q)] = float(n.value);
        }
        out_.times.push_back(time);
    }

    qint64 Time(QByteArrayView cell, int lineNo) {
        const std::optional<LogTime> t = ReadLogTime(cell);
        if (!t)
            Refuse(out_.name, lineNo,
                   QCoreApplication::translate("TrendLogReader", "\"%1\" is not a time")
                       .arg(QString::fromUtf8(cell)));
        const qint64 previous =
            out_.times.empty() ? std::numeric_limits<qint64>::min() : out_.times.back();
        bool repeated = false;
        const qint64 ms = t->wallClock ? clock_.Place(t->ms, previous, &repeated) : t->ms;
        if (ms < previous)
            Refuse(out_.name, lineNo,
                   QCoreApplication::translate("TrendLogReader",
                                               "its time %1 is before the line above")
                       .arg(QString::fromUtf8(cell)));
        if (repeated && !noted_) {
            noted_ = true;
            out_.notes << QCoreApplication::translate(
                              "TrendLogReader",
                              "%1: the hour of %2 came twice (the clock was set back); its "
                              "times from line %3 on are taken as the second one")
                              .arg(out_.name, QString::fromUtf8(cell))
                              .arg(lineNo);
        }
        return ms;
    }

    QString path_;
    TrendLogProgress* progress_;
    WallClock clock_;
    ParsedFile out_;
    Header header_;
    std::vector<QByteArrayView> fields_;
    QList<QByteArray> unquoted_;
    bool noted_ = false;
};

// The checked files as one history, in the order of their times.
TrendLogResult Join(std::vector<ParsedFile>& parsed, const QString& firstFile) {
    TrendLogResult result;
    // A rotated set is chosen in any order; its times put it in order.
    std::erase_if(parsed, [](const ParsedFile& p) { return p.times.empty(); });
    if (parsed.empty()) {
        result.problem = {
            QFileInfo(firstFile).fileName(), 0,
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
            result.problem = {
                parsed[i].name, 2,
                QCoreApplication::translate(
                    "TrendLogReader", "its times overlap those of %1: the files are not one log")
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
        for (int q : p.quantities)
            if (!log.quantities.contains(q))
                log.quantities << q;
        log.notes << p.notes;
    }
    std::sort(log.quantities.begin(), log.quantities.end());
    log.rows = rows;
    result.log = std::move(log);
    return result;
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

TrendLogResult ReadTrendLog(const QStringList& files, TrendLogProgress* progress,
                            const QTimeZone& zone) {
    TrendLogResult result;
    if (files.isEmpty()) {
        result.problem = {QString(), 0,
                          QCoreApplication::translate("TrendLogReader", "no file was chosen")};
        return result;
    }
    if (progress) {
        qint64 total = 0;
        for (const QString& f : files)
            total += QFileInfo(f).size();
        progress->bytesTotal = total;
    }
    std::vector<ParsedFile> parsed;
    try {
        for (const QString& f : files)
            parsed.push_back(FileReader(f, progress, zone).Read());
    } catch (const Failure& failure) {
        result.problem = failure.problem;
        return result;
    } catch (const Cancelled&) {
        result.cancelled = true;
        result.problem = {
            QString(), 0,
            QCoreApplication::translate("TrendLogReader", "the reading was cancelled")};
        return result;
    }
    return Join(parsed, files.front());
}
