#include "MeterModelDecode.h"

#include <QCoreApplication>

#include "NumberText.h"

namespace {

constexpr int kVersionChars = 4;
constexpr int kFrequencyOffset = 0x529 - ModelBlockStart;
constexpr int kDisplayOffset = 0x52A - ModelBlockStart;
constexpr int kPtOffset = 0x52B - ModelBlockStart;

std::optional<int> IndexAt(const QList<quint16>& values, int offset) {
    if (offset >= values.size())
        return std::nullopt;
    return values[offset] == 1 ? 1 : 0;
}

// A word as two comma-terminated hex fields, high byte first: 2006 -> "07,D6,".
QString WordFields(int value) {
    const QString hex = QStringLiteral("%1").arg(quint16(value), 4, 16, QLatin1Char('0')).toUpper();
    return hex.left(2) + QLatin1Char(',') + hex.mid(2) + QLatin1Char(',');
}

} // namespace

ModelBlockView DecodeModelBlock(const QList<quint16>& values) {
    ModelBlockView view;
    if (values.size() < kVersionChars)
        return view;
    QString version;
    for (int k = 0; k < kVersionChars; ++k) {
        // Only the low byte carries the character. A zero byte ends the text; other control
        // bytes some firmware leaves there would show as boxes or move the text, so only
        // printable characters are kept.
        const char c = static_cast<char>(values[k] & 0xFF);
        if (c == '\0')
            break;
        if (const QChar ch = QChar::fromLatin1(c); ch.isPrint())
            version += ch;
    }
    view.version = version;
    view.frequencyIndex = IndexAt(values, kFrequencyOffset);
    if (!view.frequencyIndex)
        return view;
    view.displayIndex = IndexAt(values, kDisplayOffset);
    if (!view.displayIndex)
        return view;
    view.ptIndex = IndexAt(values, kPtOffset);
    return view;
}

std::optional<quint8> DisplayModeFromModelBlock(const QList<quint16>& values) {
    if (kDisplayOffset >= values.size())
        return std::nullopt;
    return values[kDisplayOffset] == 1 ? 1 : 0;
}

std::optional<QString> MeterClockText(const QList<quint16>& values) {
    if (values.size() < 6)
        return std::nullopt;
    return QStringLiteral("%1-%2-%3 %4:%5:%6")
        .arg(values[0])
        .arg(values[1])
        .arg(values[2])
        .arg(values[3])
        .arg(values[4])
        .arg(values[5]);
}

std::optional<QString> RunTimeText(const QList<quint16>& values, const QLocale& locale) {
    if (values.size() < 2)
        return std::nullopt;
    const auto hundredths =
        static_cast<qint32>((static_cast<quint32>(values[0]) << 16) | values[1]);
    return FixedText(hundredths / 100.0, 2, locale) +
           QCoreApplication::translate("MeterModelDecode", " Hours");
}

QString ClockAdjustMessage(const QDateTime& now) {
    const QDate d = now.date();
    const QTime t = now.time();
    QString message = QStringLiteral("00,10,03,2A,00,06,0C,");
    for (const int v : {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()})
        message += WordFields(v);
    return message + QStringLiteral("00,00");
}

QString RunTimeResetMessage() {
    return QStringLiteral("00,10,01,15,00,01,02,00,0A,00,00");
}

QString FrequencyDisplayPtMessage(int frequencyIndex, int displayIndex, int ptIndex) {
    QString message = QStringLiteral("00,B0,05,29,00,03,06,");
    for (const int v : {frequencyIndex, displayIndex, ptIndex})
        message += WordFields(v);
    return message + QStringLiteral("00,00");
}
