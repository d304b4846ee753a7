#include "MaxMinDecode.h"

#include <QCoreApplication>

#include "NumberText.h"

namespace {

QString PowerFactorText(qint64 value, const DecodeContext& c) {
    return FixedText(static_cast<qint16>(value) / 1000.0, 3, c.locale);
}

// The value of each record by its quantity; the power texts read the register's sign
// themselves (watts and vars signed, volt-amperes not).
// clang-format off
constexpr ValueFormat kRecordFormats[MaxMinRecordCount] = {
    VoltageFormat(), VoltageFormat(), VoltageFormat(),   // U1 U2 U3
    VoltageFormat(), VoltageFormat(), VoltageFormat(),   // U12 U23 U31
    CurrentFormat(), CurrentFormat(), CurrentFormat(),   // I1 I2 I3
    PowerFormat(PowerWatt), PowerFormat(PowerVar), PowerFormat(PowerVoltAmpere), // P Q S
    CustomFormat(PowerFactorText),                       // PF
    FixedFormat(100, 2, " Hz"),                          // F
    PowerFormat(PowerWatt), PowerFormat(PowerVar), PowerFormat(PowerVoltAmpere), // demands
};

// The time stamp first, then the value (the order the cells are written in).
constexpr GridColumns kColumns[] = {
    {1, 1, 6, RegWidth::U16, DecimalFormat()},
    {0, 7, 1, RegWidth::U16, {}, true},
};
// clang-format on

constexpr GridLayout kLayout{MaxMinRecordSize, MaxMinRecordCount, 1, kColumns, kRecordFormats};

} // namespace

bool MaxMinRecordScaled(int record) {
    return record >= 0 && record < MaxMinRecordCount && ScaledByRatios(kRecordFormats[record]);
}

GridTexts DecodeMaxMinBlock(const QList<quint16>& values, const ScaleRatios& ratios,
                            const QLocale& locale) {
    return DecodeGrid(kLayout, values, DecodeContext{ratios, locale});
}

QStringList MaxMinColumnHeadings(bool maximum) {
    // The time stamp of the extreme: year, month, day, hour, minute, second.
    return {QCoreApplication::translate("MaxMinDecode", "YY"),
            QCoreApplication::translate("MaxMinDecode", "MM"),
            QCoreApplication::translate("MaxMinDecode", "DD"),
            QCoreApplication::translate("MaxMinDecode", "hh"),
            QCoreApplication::translate("MaxMinDecode", "mm"),
            QCoreApplication::translate("MaxMinDecode", "ss"),
            maximum ? QCoreApplication::translate("MaxMinDecode", "Max Value")
                    : QCoreApplication::translate("MaxMinDecode", "Min Value")};
}

QStringList MaxMinRowHeadings() {
    return {QStringLiteral("U1"),    QStringLiteral("U2"),   QStringLiteral("U3"),
            QStringLiteral("U12"),   QStringLiteral("U23"),  QStringLiteral("U31"),
            QStringLiteral("I1"),    QStringLiteral("I2"),   QStringLiteral("I3"),
            QStringLiteral("P"),     QStringLiteral("Q"),    QStringLiteral("S"),
            QStringLiteral("PF"),    QStringLiteral("F"),    QStringLiteral("Dmd_P"),
            QStringLiteral("Dmd_Q"), QStringLiteral("Dmd_S")};
}

QString ClearStatisticsMessage() {
    return QStringLiteral("00,10,01,14,00,01,02,00,0A,00,00");
}
