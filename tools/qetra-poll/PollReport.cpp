#include "PollReport.h"

#include "Crc16.h"

#include <QJsonArray>
#include <QJsonDocument>

void PollCounters::Count(const PollRecord& r) {
    ++sent;
    if (ExceptionCode(r.tx, r.rx) != 0)
        ++exceptions;
    switch (r.code) {
    case 0:
        ++ok;
        break;
    case 1:
        ++noResponse;
        break;
    case 2:
        ++crcError;
        break;
    default:
        ++fieldError;
        break;
    }
}

int ExceptionCode(const QByteArray& tx, const QByteArray& rx) {
    // A whole exception frame of the meter the request went to, its CRC in order, maybe
    // behind a stray byte or two on the line.
    if (tx.size() < 2)
        return 0;
    for (qsizetype at = 0; at + 5 <= rx.size(); ++at) {
        const QByteArray frame = rx.mid(at, 5);
        if (frame[0] == tx[0] && quint8(frame[1]) == (quint8(tx[1]) | 0x80) && frame[2] != 0 &&
            ModbusCrcBytes(frame, 3) == frame.mid(3))
            return int(quint8(frame[2]));
    }
    return 0;
}

QString ExceptionText(int code) {
    switch (code) {
    case 1:
        return QStringLiteral("Illegal Function");
    case 2:
        return QStringLiteral("Illegal Data Address");
    case 3:
        return QStringLiteral("Illegal Data Value");
    case 4:
        return QStringLiteral("Slave Device Failure");
    case 5:
        return QStringLiteral("Acknowledge");
    case 6:
        return QStringLiteral("Slave Device Busy");
    // From a Modbus TCP gateway in front of the meter, not from the meter itself.
    case 0x0A:
        return QStringLiteral("Gateway Path Unavailable: the gateway has no path to the meter");
    case 0x0B:
        return QStringLiteral("Gateway Target Failed to Respond: the gateway could not reach "
                              "the meter");
    default:
        return QStringLiteral("exception %1").arg(code);
    }
}

namespace {
QString Hex(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QString FieldsText(const QJsonObject& f) {
    QStringList parts;
    if (f.contains("slave"))
        parts << QString("slave %1").arg(f["slave"].toInt());
    if (f.contains("start"))
        parts << QString("start 0x%1").arg(f["start"].toInt(), 4, 16, QChar('0'));
    if (f.contains("dest"))
        parts << QString("dest 0x%1").arg(f["dest"].toInt(), 4, 16, QChar('0'));
    if (f.contains("status"))
        parts << QString("status 0x%1").arg(f["status"].toInt(), 4, 16, QChar('0'));
    if (f.contains("value"))
        parts << QString("value %1").arg(f["value"].toBool() ? "true" : "false");
    if (f.contains("count"))
        parts << QString("count %1").arg(f["count"].toInt());
    if (f.contains("values")) {
        QStringList values;
        for (const QJsonValue& v : f["values"].toArray())
            values << (v.isBool() ? (v.toBool() ? "1" : "0") : QString::number(v.toInt()));
        parts << QString("values (%1): %2").arg(values.size()).arg(values.join(' '));
    }
    return parts.join(", ");
}
} // namespace

QString RecordText(const PollRecord& r) {
    QString text = QString("[%1] TX: %2\n[%1] RX: %3\n[%1] code %4")
                       .arg(r.n)
                       .arg(Hex(r.tx))
                       .arg(Hex(r.rx))
                       .arg(r.code);
    if (!r.event.isEmpty())
        text += "  " + r.event;
    const QString fields = FieldsText(r.fields);
    if (!fields.isEmpty())
        text += "  " + fields;
    if (const int e = ExceptionCode(r.tx, r.rx))
        text += QString("  exception %1 (%2)").arg(e).arg(ExceptionText(e));
    return text + '\n';
}

QByteArray RecordJsonLine(const PollRecord& r) {
    QJsonObject o = r.fields;
    o["n"] = r.n;
    o["tx"] = QString::fromLatin1(r.tx.toHex());
    o["rx"] = QString::fromLatin1(r.rx.toHex());
    o["code"] = r.code;
    o["event"] = r.event.isEmpty() ? QJsonValue() : QJsonValue(r.event);
    if (const int e = ExceptionCode(r.tx, r.rx)) {
        o["exception"] = e;
        o["exception_text"] = ExceptionText(e);
    }
    return QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
}

QString SummaryText(const PollCounters& c, const QString& line) {
    QString text =
        QString("Send= %1  OK= %2  No Response= %3  CRC Error= %4  Field Error= %5  on %6\n")
            .arg(c.sent)
            .arg(c.ok)
            .arg(c.noResponse)
            .arg(c.crcError)
            .arg(c.fieldError)
            .arg(line);
    if (c.exceptions > 0)
        text += QString("Exception replies= %1 (counted as No Response above: the meter "
                        "answered, refusing the request)\n")
                    .arg(c.exceptions);
    return text;
}
