#include "AddressList.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>

namespace {

// One entry, "17" or "1-12" (blanks around the dash allowed): the addresses it names, or
// false when it is not an entry of the line's range. Digits are bounded before they are
// read, so a run of nines cannot overflow.
bool ReadEntry(const QString& entry, QList<int>& out) {
    static const QRegularExpression kEntry(
        QStringLiteral("^([0-9]{1,3})(?:\\s*-\\s*([0-9]{1,3}))?$"));
    const QRegularExpressionMatch m = kEntry.match(entry);
    if (!m.hasMatch())
        return false;
    const int first = m.captured(1).toInt();
    const int last = m.captured(2).isEmpty() ? first : m.captured(2).toInt();
    if (first < AddressList::kFirst || last > AddressList::kLast || last < first)
        return false;
    for (int a = first; a <= last; ++a)
        out << a;
    return true;
}

} // namespace

AddressList AddressList::Read(const QString& text) {
    AddressList list;
    if (text.size() > kMaxTextLength) {
        list.refused << text.left(20) + QStringLiteral("…");
        return list;
    }
    // Blanks around a dash belong to the range; other blanks and commas separate.
    static const QRegularExpression kDash(QStringLiteral("\\s*-\\s*"));
    static const QRegularExpression kSeparators(QStringLiteral("[,;\\s]+"));
    QString joined = text.trimmed();
    joined.replace(kDash, QStringLiteral("-"));
    for (const QString& entry : joined.split(kSeparators, Qt::SkipEmptyParts)) {
        if (!ReadEntry(entry, list.addresses))
            list.refused << entry;
    }
    std::sort(list.addresses.begin(), list.addresses.end());
    list.addresses.erase(std::unique(list.addresses.begin(), list.addresses.end()),
                         list.addresses.end());
    return list;
}

QString AddressList::Problem() const {
    if (!refused.isEmpty())
        return QCoreApplication::translate(
                   "AddressList", "Addresses: \"%1\" is not an address or a range of %2 to %3")
            .arg(refused.first())
            .arg(kFirst)
            .arg(kLast);
    if (addresses.isEmpty())
        return QCoreApplication::translate(
                   "AddressList", "Addresses: type the meters' addresses, %1 to %2 (\"1-12, 17\")")
            .arg(kFirst)
            .arg(kLast);
    return {};
}

QString AddressList::DroppedText() const {
    if (refused.isEmpty())
        return {};
    return QCoreApplication::translate(
               "AddressList",
               "The stored address list held entries outside %1 to %2; they were dropped: %3")
        .arg(kFirst)
        .arg(kLast)
        .arg(refused.join(QStringLiteral(", ")));
}

QString AddressList::Text(const QList<int>& addresses) {
    QList<int> sorted = addresses;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    QStringList parts;
    for (qsizetype i = 0; i < sorted.size();) {
        qsizetype j = i;
        while (j + 1 < sorted.size() && sorted[j + 1] == sorted[j] + 1)
            ++j;
        if (j - i >= 2)
            parts << QStringLiteral("%1-%2").arg(sorted[i]).arg(sorted[j]);
        else
            for (qsizetype k = i; k <= j; ++k)
                parts << QString::number(sorted[k]);
        i = j + 1;
    }
    return parts.join(QStringLiteral(", "));
}
