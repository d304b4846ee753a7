#include "AlarmRecords.h"

#include "AlarmCodec.h"
#include "NumberText.h"

#include <QCoreApplication>
#include <algorithm>
#include <array>

namespace {

// The event word of a record: the item code, with the top bit set when the alarm ended.
constexpr quint16 kResetBit = 0x8000;

int ItemOfEvent(qint64 event) {
    return int(event & ~qint64(kResetBit));
}

QString EventItem(qint64 event, const DecodeContext&) {
    return ShownAlarmItemText(ItemOfEvent(event));
}

QString EventFlag(qint64 event, const DecodeContext&) {
    return event & kResetBit ? QStringLiteral("Reset") : QStringLiteral("Alarm");
}

// The meter logs the value in its register units of the secondary side.
QString Volts(qint64 v, const DecodeContext& c) {
    return GroupedText(double(v) * c.ratios.pt / 10.0, 1, c.locale) + QStringLiteral(" V");
}
QString Amps(qint64 v, const DecodeContext& c) {
    return GroupedText(double(v) * c.ratios.ct / 1000.0, 3, c.locale) + QStringLiteral(" A");
}
QString Power(qint64 v, const DecodeContext& c, const char* unit) {
    return GroupedText(double(v) * c.ratios.pt * c.ratios.ct, 0, c.locale) + QLatin1String(unit);
}
QString Watts(qint64 v, const DecodeContext& c) {
    return Power(qint16(v), c, " W");
}
QString Vars(qint64 v, const DecodeContext& c) {
    return Power(qint16(v), c, " Var");
}
QString VoltAmperes(qint64 v, const DecodeContext& c) {
    return Power(quint16(v), c, " Va");
}
QString PowerFactor(qint64 v, const DecodeContext& c) {
    return FixedText(qint16(v) / 1000.0, 3, c.locale);
}
QString Nothing(qint64, const DecodeContext&) {
    return {};
}

ValueFormat RecordFormat(int code) {
    if (code == 0)
        return FixedFormat(100, 2, " Hz");
    if (code >= 1 && code <= 8)
        return CustomFormat(Volts);
    if (code >= 9 && code <= 13)
        return CustomFormat(Amps);
    if (code >= 14 && code <= 17)
        return CustomFormat(Watts);
    if (code >= 18 && code <= 21)
        return CustomFormat(Vars);
    if (code >= 22 && code <= 25)
        return CustomFormat(VoltAmperes);
    if (code >= 26 && code <= 29)
        return CustomFormat(PowerFactor);
    if (code == 30 || code == 31)
        return FixedFormat(100, 3, " %");
    if (code >= 32 && code <= 34)
        return DecimalFormat(); // demands are logged unscaled
    return CustomFormat(Nothing);
}

// Each record: event word, value, then year, month, day, hour, minute, second.
// clang-format off
constexpr GridColumns kRecordColumns[] = {
    {0, 1, 1, RegWidth::U16, CustomFormat(EventItem)},
    {0, 2, 1, RegWidth::U16, CustomFormat(EventFlag)},
    {1, 3, 1, RegWidth::U16, DecimalFormat(), true},
    {2, 4, 6, RegWidth::U16, DecimalFormat()},
};
// clang-format on

} // namespace

LabelTexts DecodeAlarmItems(const QList<quint16>& values) {
    LabelTexts texts;
    for (int g = 0; g < AlarmGroupCount; ++g) {
        const int at = 4 + 3 * g;
        if (at >= values.size())
            break;
        texts.append(
            {QStringLiteral("Label%1AlarmType").arg(g + 1), ShownAlarmItemText(values[at])});
    }
    return texts;
}

bool AlarmRecordValueScaled(const QList<quint16>& values, int record) {
    const qsizetype at = 1 + qsizetype(record) * AlarmRecordSize;
    const int code = at < values.size() ? ItemOfEvent(values[at]) : -1;
    return code >= 1 && code <= 25;
}

QString AlarmRecordValueText(int code, quint16 value, const DecodeContext& context) {
    return RecordFormat(code).Text(value, context);
}

AlarmRecordTexts DecodeAlarmRecordBlock(const QList<quint16>& values,
                                        const DecodeContext& context) {
    AlarmRecordTexts out;
    if (values.isEmpty())
        return out;
    for (int g = 0; g < AlarmGroupCount; ++g) {
        const bool on = (values[0] >> g) & 1;
        out.states.append({QStringLiteral("Label%1State").arg(g + 1),
                           on ? QStringLiteral("Alarm") : QStringLiteral("Normal")});
        out.inAlarm.append(on);
    }

    const QList<quint16> records = values.mid(1);
    // The value column's format follows the item each record names.
    std::array<ValueFormat, AlarmRecordCount> formats{};
    for (int r = 0; r < AlarmRecordCount; ++r) {
        const int at = r * AlarmRecordSize;
        formats[r] = RecordFormat(at < records.size() ? ItemOfEvent(records[at]) : -1);
    }
    out.records = DecodeGrid({AlarmRecordSize, AlarmRecordCount, 1, kRecordColumns, formats},
                             records, context);
    // A slot the meter has never filled holds only zeros, which would read as a frequency
    // alarm of 0.00 Hz: an alarm that never happened. It is shown blank.
    std::array<bool, AlarmRecordCount> unused{};
    for (int r = 0; r < AlarmRecordCount; ++r) {
        const int at = r * AlarmRecordSize;
        unused[r] = at + AlarmRecordSize <= records.size() &&
                    std::all_of(records.begin() + at, records.begin() + at + AlarmRecordSize,
                                [](quint16 v) { return v == 0; });
    }
    for (GridText& cell : out.records)
        if (unused[cell.row - 1])
            cell.text.clear();
    return out;
}

QStringList AlarmRecordColumnHeadings() {
    return {QStringLiteral("Parameter"), QStringLiteral("Flag"), QStringLiteral("Value"),
            QStringLiteral("YY"),        QStringLiteral("MM"),   QStringLiteral("DD"),
            QStringLiteral("hh"),        QStringLiteral("mm"),   QStringLiteral("ss")};
}

QStringList AlarmRecordRowHeadings() {
    QStringList headings;
    for (int r = 1; r <= AlarmRecordCount; ++r)
        headings << QCoreApplication::translate("AlarmRecords", "Alarm Record %1").arg(r);
    return headings;
}
