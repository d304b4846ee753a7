#include "HarmonicsDecode.h"

#include <QCoreApplication>

namespace {

// clang-format off
constexpr BlockRow kThdRows[] = {
    {0, RegWidth::U16, "LabelTHD_V1", FixedFormat(100, 1)},
    {1, RegWidth::U16, "LabelTHD_V2", FixedFormat(100, 1)},
    {2, RegWidth::U16, "LabelTHD_V3", FixedFormat(100, 1)},
    {3, RegWidth::U16, "LabelTHD_V",  FixedFormat(100, 1)},
    {4, RegWidth::U16, "LabelTHD_I1", FixedFormat(100, 1)},
    {5, RegWidth::U16, "LabelTHD_I2", FixedFormat(100, 1)},
    {6, RegWidth::U16, "LabelTHD_I3", FixedFormat(100, 1)},
    {7, RegWidth::U16, "LabelTHD_I",  FixedFormat(100, 1)},
};

// Harmonics 2..31 and the odd and even sums in percent x 100, then the K factor x 10.
constexpr GridColumns kSpectrumColumns[] = {
    {0,  1,  32, RegWidth::U16, FixedFormat(100, 1, " %")},
    {32, 33, 1,  RegWidth::U16, FixedFormat(10, 1)},
};
// clang-format on

constexpr GridLayout kSpectrumLayout{CurrentSpectrumPerPhase, 3, 1, kSpectrumColumns};

} // namespace

LabelTexts DecodeThdBlock(const QList<quint16>& values, const QLocale& locale) {
    return DecodeBlock(kThdRows, values, DecodeContext{{}, locale});
}

GridTexts DecodeCurrentSpectrum(const QList<quint16>& values, const QLocale& locale) {
    return DecodeGrid(kSpectrumLayout, values, DecodeContext{{}, locale});
}

CurrentSpectrum CurrentSpectrumValues(const QList<quint16>& values) {
    CurrentSpectrum s;
    s.registers = int(values.size());
    for (int phase = 0; phase < 3; ++phase) {
        for (int h = 0; h < HarmonicCount; ++h) {
            const int at = phase * CurrentSpectrumPerPhase + h;
            if (at < values.size())
                s.percent[phase][h] = values[at] / 100.0;
        }
    }
    return s;
}

QString HarmonicHeading(int column) {
    const int n = column + 1;
    const char* heading = QT_TRANSLATE_NOOP("HarmonicsDecode", "H %1th");
    switch (n % 10) {
    case 1:
        heading = QT_TRANSLATE_NOOP("HarmonicsDecode", "H %1st");
        break;
    case 2:
        heading = QT_TRANSLATE_NOOP("HarmonicsDecode", "H %1nd");
        break;
    case 3:
        heading = QT_TRANSLATE_NOOP("HarmonicsDecode", "H %1rd");
        break;
    default:
        break;
    }
    return QCoreApplication::translate("HarmonicsDecode", heading).arg(n);
}

namespace {
QStringList HarmonicHeadings() {
    QStringList h;
    for (int column = 1; column <= HarmonicCount; ++column)
        h << HarmonicHeading(column);
    return h;
}
} // namespace

QStringList VoltageGridColumnHeadings() {
    return HarmonicHeadings() << QCoreApplication::translate("HarmonicsDecode", "Odd Harmonics")
                              << QCoreApplication::translate("HarmonicsDecode", "Even Harmonics")
                              << QCoreApplication::translate("HarmonicsDecode", "Crest Factor")
                              << QCoreApplication::translate("HarmonicsDecode", "THFF(TIF)");
}

QStringList VoltageGridRowHeadings() {
    return {QStringLiteral("U1/U12"), QStringLiteral("U2/U31"), QStringLiteral("U3/U23")};
}

QStringList CurrentGridColumnHeadings() {
    return HarmonicHeadings() << QCoreApplication::translate("HarmonicsDecode", "Odd Harmonics")
                              << QCoreApplication::translate("HarmonicsDecode", "Even Harmonics")
                              << QCoreApplication::translate("HarmonicsDecode", "K Factor");
}

QStringList CurrentGridRowHeadings() {
    return {QStringLiteral("I1"), QStringLiteral("I2"), QStringLiteral("I3")};
}
