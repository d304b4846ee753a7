#include "ValueText.h"

#include "MeteringDecode.h"

#include "DecodeTestSupport.h"

#include <gtest/gtest.h>

namespace {

const QLocale kUs(QLocale::English, QLocale::UnitedStates);
const QLocale kDe(QLocale::German, QLocale::Germany);

} // namespace

TEST(ValueText, VoltageScalesByPtAndSwitchesToKilovolts) {
    EXPECT_EQ(FormatVoltageText(2300, 1.0, kUs), "230.0 V");
    EXPECT_EQ(FormatVoltageText(2300, 100.0, kUs), "23.000 kV");
    EXPECT_EQ(FormatVoltageText(0, 1.0, kUs), "0.0 V");
    // 999.9 V stays in volts, 1000.0 V is the first kilovolt value.
    EXPECT_EQ(FormatVoltageText(9999, 1.0, kUs), "999.9 V");
    EXPECT_EQ(FormatVoltageText(10000, 1.0, kUs), "1.000 kV");
    EXPECT_EQ(FormatVoltageText(65535, 1.0, kUs), "6.554 kV");
    // The value is held in single precision: 655.35 V is 655.349976 and shows as 655.3 V.
    EXPECT_EQ(FormatVoltageText(65535, 0.1, kUs), "655.3 V");
    EXPECT_EQ(FormatVoltageText(45, 1.0, kUs), "4.5 V");
}

TEST(ValueText, CurrentDecimalsFollowTheMagnitude) {
    EXPECT_EQ(FormatCurrentText(5000, 1.0, kUs), "5.000 A");
    EXPECT_EQ(FormatCurrentText(5000, 20.0, kUs), "100.0 A");
    EXPECT_EQ(FormatCurrentText(9999, 1.0, kUs), "9.999 A");
    EXPECT_EQ(FormatCurrentText(10000, 1.0, kUs), "10.00 A");
    EXPECT_EQ(FormatCurrentText(65535, 1.0, kUs), "65.54 A");
    EXPECT_EQ(FormatCurrentText(50000, 2.0, kUs), "100.0 A");
    EXPECT_EQ(FormatCurrentText(60000, 200.0, kUs), "12,000.0 A");
    // A CT primary of 0 makes every current zero.
    EXPECT_EQ(FormatCurrentText(5000, 0.0, kUs), "0.000 A");
}

TEST(ValueText, PowerReadsSignedForWattsAndVarsButUnsignedForVoltAmperes) {
    EXPECT_EQ(FormatPowerText(0xFF9C, PowerWatt, 1.0, 1.0, kUs), "-100 W");
    EXPECT_EQ(FormatPowerText(0xFF9C, PowerVar, 1.0, 1.0, kUs), "-100 var");
    EXPECT_EQ(FormatPowerText(0xFF9C, PowerVoltAmpere, 1.0, 1.0, kUs), "65.436 kVA");
    EXPECT_EQ(FormatPowerText(230, PowerWatt, 1.0, 1.0, kUs), "230 W");
    EXPECT_EQ(FormatPowerText(1234, PowerWatt, 1.0, 1.0, kUs), "1.234 kW");
    EXPECT_EQ(FormatPowerText(1250, PowerVar, 10.0, 1.0, kUs), "12.500 kvar");
    EXPECT_EQ(FormatPowerText(300, PowerVoltAmpere, 2.0, 5.0, kUs), "3.000 kVA");
    // The magnitude decides the unit: negative values switch to kilo at -1000 too.
    EXPECT_EQ(FormatPowerText(static_cast<quint16>(-999), PowerWatt, 1.0, 1.0, kUs), "-999 W");
    EXPECT_EQ(FormatPowerText(static_cast<quint16>(-1000), PowerWatt, 1.0, 1.0, kUs), "-1.000 kW");
    // Primaries of a million and more switch to mega.
    EXPECT_EQ(FormatPowerText(30000, PowerWatt, 100.0, 20.0, kUs), "60.000 MW");
    EXPECT_EQ(FormatPowerText(100, 3, 1.0, 1.0, kUs), "");
    // A small negative power that rounds to nothing shows no sign (CT1 = 1 A).
    EXPECT_EQ(FormatPowerText(0xFFFE, PowerWatt, 1.0, 0.2, kUs), "0 W");
}

TEST(ValueText, AMediumVoltageFeederShowsMegaUnitsWithEveryDigitTheMeterSends) {
    // A 110 kV / 100 V PT (ratio 1100) and a 600 A / 5 A CT (ratio 120): every prefix from
    // none to mega, at its boundaries, with the sign kept.
    const struct {
        QString text;
        const char* expected;
    } cases[] = {
        {FormatVoltageText(982, 1100.0, kUs), "108.020 kV"},
        {FormatVoltageText(9830, 1100.0, kUs), "1.081 MV"},
        {FormatVoltageText(9090, 110.0, kUs), "99.990 kV"},
        {FormatPowerText(2534, PowerWatt, 110.0, 120.0, kUs), "33.449 MW"},
        {FormatPowerText(static_cast<quint16>(-2534), PowerWatt, 110.0, 120.0, kUs), "-33.449 MW"},
        {FormatPowerText(7952, PowerVoltAmpere, 110.0, 120.0, kUs), "104.966 MVA"},
        {FormatPowerText(7952, PowerVar, 1100.0, 120.0, kUs), "1,049.664 Mvar"},
        {FormatPowerText(7575, PowerWatt, 1.0, 132.0, kUs), "999.900 kW"},
        {FormatPowerText(7576, PowerWatt, 1.0, 132.0, kUs), "1.000 MW"},
        // Energy counters: tenths of a kWh, in MWh from 1000 kWh on with the last tenth kept.
        {FormatEnergyText(9999, QStringLiteral("Wh"), kUs), "999.9 kWh"},
        {FormatEnergyText(10000, QStringLiteral("Wh"), kUs), "1.0000 MWh"},
        {FormatEnergyText(65536, QStringLiteral("Wh"), kUs), "6.5536 MWh"},
        {FormatEnergyText(-123457, QStringLiteral("varh"), kUs), "-12.3457 Mvarh"},
        {FormatEnergyText(-1, QStringLiteral("Wh"), kUs), "-0.1 kWh"},
        {FormatEnergyText(2147483647, QStringLiteral("Wh"), kUs), "214748.3647 MWh"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.text, QString::fromUtf8(c.expected));
}

TEST(ValueText, SeparatorsFollowTheLocale) {
    EXPECT_EQ(FormatVoltageText(2300, 1.0, kDe), "230,0 V");
    EXPECT_EQ(FormatVoltageText(2300, 100.0, kDe), "23,000 kV");
    EXPECT_EQ(FormatCurrentText(60000, 200.0, kDe), "12.000,0 A");
    EXPECT_EQ(FormatPowerText(30000, PowerWatt, 100.0, 20.0, kDe), "60,000 MW");
    EXPECT_EQ(FormatEnergyText(123456789, QStringLiteral("Wh"), kDe), "12345,6789 MWh");
    EXPECT_EQ(FixedText(12345.6, 1, kDe), "12345,6");
    EXPECT_EQ(GroupedText(12345.6, 1, kDe), "12.345,6");
    // The C locale omits grouping unless asked; the grouped style groups anyway.
    EXPECT_EQ(GroupedText(12345.6, 1, QLocale::c()), "12,345.6");
    EXPECT_EQ(FixedText(-12345.6, 1, kUs), "-12345.6");
}

TEST(ValueText, OnlyTheSeparatorsComeFromTheLocale) {
    // Locales with their own digits, minus signs or direction marks still give plain
    // digits and a hyphen-minus; the separators are the locale's own.
    const QLocale sv(QLocale::Swedish, QLocale::Sweden);
    EXPECT_EQ(FormatPowerText(0xFF9C, PowerWatt, 1.0, 1.0, sv), "-100 W");
    EXPECT_EQ(TemperatureText(0xFF38, sv), "-20,0 \u00B0C");
    EXPECT_EQ(FixedText(-12345.6, 1, sv), "-12345,6");

    const QLocale ar(QLocale::Arabic, QLocale::Egypt);
    const QString dec = ar.decimalPoint(), grp = ar.groupSeparator();
    EXPECT_EQ(FormatCurrentText(60000, 200.0, ar), "12" + grp + "000" + dec + "0 A");
    EXPECT_EQ(FormatPowerText(0xFF9C, PowerVar, 1.0, 1.0, ar), "-100 var");
    EXPECT_EQ(FormatVoltageText(2300, 1.0, QLocale(QLocale::Bangla, QLocale::Bangladesh)),
              "230.0 V");
}
