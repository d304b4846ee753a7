#include "PollReport.h"

#include <QJsonArray>
#include <QJsonDocument>

void PollCounters::Count(int code) {
    ++sent;
    switch (code) {
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
    return text + '\n';
}

QByteArray RecordJsonLine(const PollRecord& r) {
    QJsonObject o = r.fields;
    o["n"] = r.n;
    o["tx"] = QString::fromLatin1(r.tx.toHex());
    o["rx"] = QString::fromLatin1(r.rx.toHex());
    o["code"] = r.code;
    o["event"] = r.event.isEmpty() ? QJsonValue() : QJsonValue(r.event);
    return QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
}

QString SummaryText(const PollCounters& c, const QString& line) {
    return QString("Send= %1  OK= %2  No Response= %3  CRC Error= %4  Field Error= %5  on %6\n")
        .arg(c.sent)
        .arg(c.ok)
        .arg(c.noResponse)
        .arg(c.crcError)
        .arg(c.fieldError)
        .arg(line);
}
