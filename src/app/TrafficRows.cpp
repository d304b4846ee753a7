#include "TrafficRows.h"

#include "Crc16.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>

namespace {

constexpr int kExceptionLength = 5; // address, function + 0x80, exception code, CRC

quint8 ByteAt(const QByteArray& b, qsizetype i) {
    return quint8(b[i]);
}

quint16 WordAt(const QByteArray& b, qsizetype i) {
    return quint16((ByteAt(b, i) << 8) | ByteAt(b, i + 1));
}

// "0x0130", "0x4A": upper-case digits behind a lower-case 0x.
QString HexText(uint v, int digits) {
    return QStringLiteral("0x") + QString::number(v, 16).toUpper().rightJustified(digits, u'0');
}

QString Hex4(quint16 v) {
    return HexText(v, 4);
}

bool CrcGood(const QByteArray& frame) {
    return frame.size() >= 4 && ModbusCrcBytes(frame, frame.size() - 2) == frame.right(2);
}

double MsBetween(TransactionRecord::TimePoint from, TransactionRecord::TimePoint to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// What a request names: its start (coil or register) and a count or the value written.
void DescribeRequest(const QByteArray& request, TrafficRow& row) {
    if (request.size() < 2)
        return;
    const quint8 fn = ByteAt(request, 1);
    switch (fn) {
    case 0x01:
    case 0x02:
    case 0x03:
    case 0x04:
    case 0x10:
    case 0x83:
    case 0xB0:
    case 0xC3:
        if (request.size() >= 6) {
            row.start = Hex4(WordAt(request, 2));
            row.detail = QString::number(WordAt(request, 4));
        }
        break;
    case 0x05:
    case 0x85:
    case 0xC5:
        if (request.size() >= 6) {
            row.start = Hex4(WordAt(request, 2));
            row.detail =
                WordAt(request, 4) == 0xFF00 ? QStringLiteral("ON") : QStringLiteral("OFF");
        }
        break;
    case 0x06:
        if (request.size() >= 6) {
            row.start = Hex4(WordAt(request, 2));
            row.detail = QStringLiteral("value ") + Hex4(WordAt(request, 4));
        }
        break;
    case 0x91:
        if (request.size() >= 3)
            row.detail = QStringLiteral("%1 bytes").arg(ByteAt(request, 2));
        break;
    default:
        break;
    }
}

// The names of the function and exception codes the meter knows; nullptr for others.
const char* FunctionSource(quint8 function) {
    switch (function) {
    case 0x01:
        return QT_TRANSLATE_NOOP("TrafficRows", "Read Coils");
    case 0x02:
        return QT_TRANSLATE_NOOP("TrafficRows", "Read Discrete Inputs");
    case 0x03:
        return QT_TRANSLATE_NOOP("TrafficRows", "Read Holding Registers");
    case 0x04:
        return QT_TRANSLATE_NOOP("TrafficRows", "Read Input Registers");
    case 0x05:
        return QT_TRANSLATE_NOOP("TrafficRows", "Write Single Coil");
    case 0x06:
        return QT_TRANSLATE_NOOP("TrafficRows", "Write Single Register");
    case 0x10:
        return QT_TRANSLATE_NOOP("TrafficRows", "Write Multiple Registers");
    // The meter's own functions.
    case 0x83:
        return QT_TRANSLATE_NOOP("TrafficRows", "Long Read Registers");
    case 0x85:
        return QT_TRANSLATE_NOOP("TrafficRows", "Write Coil (85)");
    case 0x91:
        return QT_TRANSLATE_NOOP("TrafficRows", "Counted Request");
    case 0xB0:
        return QT_TRANSLATE_NOOP("TrafficRows", "Write Meter Registers");
    case 0xC3:
        return QT_TRANSLATE_NOOP("TrafficRows", "Long Read with Status");
    case 0xC4:
        return QT_TRANSLATE_NOOP("TrafficRows", "Status Request");
    case 0xC5:
        return QT_TRANSLATE_NOOP("TrafficRows", "Write Coil, No Reply");
    default:
        return nullptr;
    }
}

const char* ExceptionSource(quint8 code) {
    switch (code) {
    case 0x01:
        return QT_TRANSLATE_NOOP("TrafficRows", "Illegal Function");
    case 0x02:
        return QT_TRANSLATE_NOOP("TrafficRows", "Illegal Data Address");
    case 0x03:
        return QT_TRANSLATE_NOOP("TrafficRows", "Illegal Data Value");
    case 0x04:
        return QT_TRANSLATE_NOOP("TrafficRows", "Slave Device Failure");
    case 0x05:
        return QT_TRANSLATE_NOOP("TrafficRows", "Acknowledge");
    case 0x06:
        return QT_TRANSLATE_NOOP("TrafficRows", "Slave Device Busy");
    case 0x08:
        return QT_TRANSLATE_NOOP("TrafficRows", "Memory Parity Error");
    case 0x0A:
        return QT_TRANSLATE_NOOP("TrafficRows", "Gateway Path Unavailable");
    case 0x0B:
        return QT_TRANSLATE_NOOP("TrafficRows", "Gateway Target Failed to Respond");
    default:
        return nullptr;
    }
}

constexpr const char* kOtherFunction = QT_TRANSLATE_NOOP("TrafficRows", "Function %1");
constexpr const char* kOtherException = QT_TRANSLATE_NOOP("TrafficRows", "Exception %1");
constexpr const char* kNothingWritten = QT_TRANSLATE_NOOP("TrafficRows", "(nothing written)");
constexpr const char* kException = QT_TRANSLATE_NOOP("TrafficRows", "%1 (exception)");

// A code's name, or the text for a code without one, as saved or in the operator's
// language.
QString CodeName(const char* name, const char* other, quint8 code, bool shown) {
    const char* text = name ? name : other;
    const QString s =
        shown ? QCoreApplication::translate("TrafficRows", text) : QString::fromLatin1(text);
    return name ? s : s.arg(HexText(code, 2));
}

TrafficRow RequestRow(const QByteArray& request, TrafficStatus status, qint64 atMs) {
    TrafficRow row;
    row.timeMs = atMs;
    row.direction = TrafficDirection::Tx;
    row.status = status;
    row.bytes = request;
    if (request.size() < 2) {
        // The schedule's message string did not parse: the master wrote nothing.
        row.functionName = QString::fromLatin1(kNothingWritten);
        return row;
    }
    row.slave = ByteAt(request, 0);
    row.function = ByteAt(request, 1);
    row.functionName = FunctionName(quint8(row.function));
    DescribeRequest(request, row);
    return row;
}

} // namespace

TrafficStatus StatusOfCode(quint8 code) {
    switch (code) {
    case 0:
        return TrafficStatus::Ok;
    case 1:
        return TrafficStatus::NoResponse;
    case 2:
        return TrafficStatus::CrcError;
    default:
        return TrafficStatus::FieldError;
    }
}

QString StatusName(TrafficStatus status) {
    switch (status) {
    case TrafficStatus::Ok:
        return QStringLiteral(QT_TRANSLATE_NOOP("TrafficRows", "OK"));
    case TrafficStatus::NoResponse:
        return QStringLiteral(QT_TRANSLATE_NOOP("TrafficRows", "no response"));
    case TrafficStatus::CrcError:
        return QStringLiteral(QT_TRANSLATE_NOOP("TrafficRows", "CRC error"));
    case TrafficStatus::FieldError:
        return QStringLiteral(QT_TRANSLATE_NOOP("TrafficRows", "field error"));
    case TrafficStatus::Stray:
        return QStringLiteral(QT_TRANSLATE_NOOP("TrafficRows", "stray"));
    }
    return {};
}

QString FunctionName(quint8 function) {
    return CodeName(FunctionSource(function), kOtherFunction, function, false);
}

QString ExceptionName(quint8 code) {
    return CodeName(ExceptionSource(code), kOtherException, code, false);
}

QString ShownFunctionName(quint8 function) {
    return CodeName(FunctionSource(function), kOtherFunction, function, true);
}

QString ShownExceptionName(quint8 code) {
    return CodeName(ExceptionSource(code), kOtherException, code, true);
}

QString ShownStatusName(TrafficStatus status) {
    return QCoreApplication::translate("TrafficRows", StatusName(status).toUtf8().constData());
}

TrafficRow StrayRow(const QByteArray& bytes, qint64 atMs) {
    TrafficRow row;
    row.timeMs = atMs;
    row.direction = TrafficDirection::Rx;
    row.status = TrafficStatus::Stray;
    row.bytes = bytes;
    return row;
}

QList<TrafficRow> TransactionRows(const TransactionRecord& r, qint64 writtenAtMs) {
    const TrafficStatus status = StatusOfCode(r.code);
    QList<TrafficRow> rows{RequestRow(r.request, status, writtenAtMs)};
    const TrafficRow& tx = rows.front();

    // A request that gets no reply and got none has nothing more to show.
    if (r.expectedLength == 0 && r.received.isEmpty())
        return rows;

    const auto replyEnd = r.lastChunk.value_or(r.evaluated);
    const qint64 rxAtMs = writtenAtMs + qint64(MsBetween(r.written, replyEnd) + 0.5);
    TrafficRow rx = tx;
    rx.direction = TrafficDirection::Rx;
    rx.timeMs = rxAtMs;
    rx.bytes = r.received;
    if (r.lastChunk)
        rx.latencyMs = MsBetween(r.written, *r.lastChunk);
    if (r.received.isEmpty() || r.request.size() < 2) {
        rows.append(rx);
        return rows;
    }

    // Find the reply where the master would: the first place that names the request's
    // slave and its function, or that function with the exception bit.
    const quint8 slave = ByteAt(r.request, 0);
    const quint8 fn = ByteAt(r.request, 1);
    const bool canExcept = fn < 0x80;
    qsizetype at = -1;
    for (qsizetype i = 0; i + 1 < r.received.size(); ++i) {
        const quint8 f = ByteAt(r.received, i + 1);
        if (ByteAt(r.received, i) == slave && (f == fn || (canExcept && f == (fn | 0x80)))) {
            at = i;
            break;
        }
    }
    QByteArray frame;
    if (at >= 0) {
        const bool exception = ByteAt(r.received, at + 1) != fn;
        const int length = exception ? kExceptionLength : r.expectedLength;
        if (length > 0 && at + length <= r.received.size()) {
            frame = r.received.mid(at, length);
            if (!CrcGood(frame))
                frame.clear();
        }
        if (!frame.isEmpty() && exception) {
            rx.exception = ByteAt(frame, 2);
            rx.functionName = QString::fromLatin1(kException).arg(FunctionName(fn));
            rx.detail = ExceptionName(quint8(rx.exception));
        }
    }
    if (frame.isEmpty()) {
        rows.append(rx);
        return rows;
    }
    if (at > 0)
        rows.append(StrayRow(r.received.left(at), rxAtMs));
    rx.bytes = frame;
    rows.append(rx);
    if (at + frame.size() < r.received.size())
        rows.append(StrayRow(r.received.mid(at + frame.size()), rxAtMs));
    return rows;
}

QStringList TrafficHeaders() {
    return {QStringLiteral(QT_TRANSLATE_NOOP("TrafficRows", "Time")),
            QStringLiteral(QT_TRANSLATE_NOOP("TrafficRows", "Dir")),
            QStringLiteral(QT_TRANSLATE_NOOP("TrafficRows", "Slave")),
            QStringLiteral(QT_TRANSLATE_NOOP("TrafficRows", "Function")),
            QStringLiteral(QT_TRANSLATE_NOOP("TrafficRows", "Start")),
            QStringLiteral(QT_TRANSLATE_NOOP("TrafficRows", "Count / exception")),
            QStringLiteral(QT_TRANSLATE_NOOP("TrafficRows", "Bytes")),
            QStringLiteral(QT_TRANSLATE_NOOP("TrafficRows", "Latency ms")),
            QStringLiteral(QT_TRANSLATE_NOOP("TrafficRows", "Status"))};
}

QStringList TrafficColumnSamples(int column) {
    if (column < 0 || column >= TrafficColumnCount || column == ColBytes)
        return {};
    QStringList samples{
        QCoreApplication::translate("TrafficRows", TrafficHeaders()[column].toUtf8().constData())};
    switch (column) {
    case ColTime:
        samples << QStringLiteral("00:00:00.000");
        break;
    case ColDirection:
        samples << QStringLiteral("TX") << QStringLiteral("RX");
        break;
    case ColSlave:
        samples << QStringLiteral("247");
        break;
    case ColFunction:
        samples << QCoreApplication::translate("TrafficRows", kNothingWritten);
        for (int f = 0; f <= 0xFF; ++f)
            samples << ShownFunctionName(quint8(f));
        break;
    case ColStart:
        samples << QStringLiteral("0x0000");
        break;
    case ColDetail:
        samples << QStringLiteral("value 0x0000") << QStringLiteral("255 bytes");
        for (int e = 0; e <= 0xFF; ++e)
            samples << ShownExceptionName(quint8(e));
        break;
    case ColLatency:
        samples << QStringLiteral("99999.9");
        break;
    case ColStatus:
        for (int s = 0; s < kTrafficStatusCount; ++s)
            samples << ShownStatusName(TrafficStatus(s));
        break;
    default:
        break;
    }
    return samples;
}

QString TrafficCellText(const TrafficRow& row, int column, bool withDate) {
    switch (column) {
    case ColTime:
        return QDateTime::fromMSecsSinceEpoch(row.timeMs)
            .toString(withDate ? QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")
                               : QStringLiteral("HH:mm:ss.zzz"));
    case ColDirection:
        return row.direction == TrafficDirection::Tx ? QStringLiteral("TX") : QStringLiteral("RX");
    case ColSlave:
        return row.slave >= 0 ? QString::number(row.slave) : QString();
    case ColFunction:
        return row.functionName;
    case ColStart:
        return row.start;
    case ColDetail:
        return row.detail;
    case ColBytes:
        return QString::fromLatin1(row.bytes.toHex(' ').toUpper());
    case ColLatency:
        return row.latencyMs ? QString::number(*row.latencyMs, 'f', 1) : QString();
    case ColStatus:
        return StatusName(row.status);
    default:
        return {};
    }
}

QString ShownTrafficCellText(const TrafficRow& row, int column) {
    switch (column) {
    case ColFunction: {
        if (row.function < 0)
            return row.functionName.isEmpty()
                       ? QString()
                       : QCoreApplication::translate("TrafficRows", kNothingWritten);
        const QString name = ShownFunctionName(quint8(row.function));
        return row.exception >= 0 ? QCoreApplication::translate("TrafficRows", kException).arg(name)
                                  : name;
    }
    case ColDetail:
        return row.exception >= 0 ? ShownExceptionName(quint8(row.exception)) : row.detail;
    case ColStatus:
        return ShownStatusName(row.status);
    default:
        return TrafficCellText(row, column);
    }
}

QStringList TrafficRowTexts(const TrafficRow& row, bool withDate) {
    QStringList t;
    t.reserve(TrafficColumnCount);
    for (int c = 0; c < TrafficColumnCount; ++c)
        t << TrafficCellText(row, c, withDate);
    return t;
}

QString TrafficRowsAsText(const QList<TrafficRow>& rows) {
    QString text = TrafficHeaders().join(QLatin1Char('\t')) + QLatin1Char('\n');
    for (const TrafficRow& row : rows)
        text += TrafficRowTexts(row, true).join(QLatin1Char('\t')) + QLatin1Char('\n');
    return text;
}

QString CsvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString TrafficRowsAsCsv(const QList<TrafficRow>& rows) {
    auto line = [](const QStringList& fields) {
        QStringList out;
        out.reserve(fields.size());
        for (const QString& f : fields)
            out << CsvField(f);
        return out.join(QLatin1Char(',')) + QLatin1Char('\n');
    };
    QString text = line(TrafficHeaders());
    for (const TrafficRow& row : rows)
        text += line(TrafficRowTexts(row, true));
    return text;
}

TrafficSaveTarget TrafficSaveTargetOf(const QString& chosen, const QString& filter) {
    const bool textFilter = filter == kTrafficTextFilter;
    const QString suffix = QFileInfo(chosen).suffix().toLower();
    if (suffix.isEmpty())
        return {chosen + (textFilter ? QStringLiteral(".txt") : QStringLiteral(".csv")),
                !textFilter};
    if (suffix == QLatin1String("csv"))
        return {chosen, true};
    if (suffix == QLatin1String("txt"))
        return {chosen, false};
    return {chosen, !textFilter};
}
