#include "MessageCheck.h"

#include "RtuFrame.h"

#include <QList>
#include <QRegularExpression>

namespace {

bool IsReadFunction(quint8 function) {
    switch (function) {
    case 0x01:
    case 0x02:
    case 0x03:
    case 0x04:
    case 0x83:
    case 0xC3:
        return true;
    default:
        return false;
    }
}

} // namespace

QString MessageProblem(const QByteArray& message) {
    if (message.isEmpty())
        return QStringLiteral("empty message");
    const char last = message.back();
    if (last == ',' || last == ' ' || last == '\t')
        return QStringLiteral("ends with a separator (a trailing comma or blank)");
    static const QRegularExpression field(QStringLiteral("^[0-9A-Fa-f]{2}$"));
    const QList<QByteArray> fields = message.split(',');
    for (const QByteArray& f : fields) {
        if (!field.match(QString::fromLatin1(f)).hasMatch())
            return QStringLiteral("\"%1\" is not a field of two hex digits; fields are "
                                  "separated by single commas only")
                .arg(QString::fromLatin1(f));
    }
    ParsedMessage parsed;
    if (!ParseMessage(message, parsed))
        return QStringLiteral("not a request the master can send (unknown function, too few "
                              "fields, a quantity beyond the limit, or a byte count that "
                              "disagrees with the quantity)");
    const quint8 function = quint8(parsed.bytes[1]);
    if (fields.size() != parsed.requestLength)
        return QStringLiteral("%1 fields, but this request of function %2 takes %3 (address "
                              "first, two CRC placeholders last)")
            .arg(fields.size())
            .arg(function, 2, 16, QLatin1Char('0'))
            .arg(parsed.requestLength);
    if (IsReadFunction(function) && parsed.bytes.size() >= 6 &&
        (quint8(parsed.bytes[4]) << 8 | quint8(parsed.bytes[5])) == 0)
        return QStringLiteral("a read of quantity 0: ask for at least one");
    return {};
}
