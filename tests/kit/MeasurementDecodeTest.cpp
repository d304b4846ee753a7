// Decoders and message builders of the harmonics, max/min, phase angle and meter model
// windows: one table of the meter's edge cases per block.

#include "HarmonicsDecode.h"
#include "MaxMinDecode.h"
#include "MeterModelDecode.h"
#include "PhaseAngleDecode.h"

#include "DecodeTestSupport.h"
#include "QtTestSupport.h"
#include "RegisterBlock.h"

#include <gtest/gtest.h>

namespace {

const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtAppEnvironment<QCoreApplication>);

const QLocale kUs(QLocale::English, QLocale::UnitedStates);
const QLocale kDe(QLocale::German, QLocale::Germany);

} // namespace

TEST(HarmonicsDecode, DistortionLabelsAreUnsignedHundredthsWithOneDecimal) {
    const struct {
        int offset;
        quint16 reg;
        const char* label;
        const char* text;
    } cases[] = {
        {0, 1234, "LabelTHD_V1", "12.3"},
        {3, 0xFFFF, "LabelTHD_V", "655.4"},
        {4, 5, "LabelTHD_I1", "0.1"},
        {7, 0, "LabelTHD_I", "0.0"},
    };
    for (const auto& c : cases) {
        const LabelTexts texts =
            DecodeThdBlock(RegisterBlock(ThdBlockCount).Set(c.offset, c.reg), kUs);
        ASSERT_EQ(texts.size(), ThdBlockCount);
        EXPECT_EQ(texts[c.offset].label, c.label);
        EXPECT_EQ(texts[c.offset].text, c.text) << c.label;
    }
    EXPECT_EQ(TextFor(DecodeThdBlock(RegisterBlock(8).Set(2, 1250), kDe), "LabelTHD_V3"), "12,5");
    // A short block fills what it holds.
    EXPECT_EQ(DecodeThdBlock(RegisterBlock(8).First(5), kUs).last().label, "LabelTHD_I1");
}

TEST(HarmonicsDecode, CurrentSpectrumFillsOneRowPerPhase) {
    const RegisterBlock block = RegisterBlock(CurrentSpectrumCount)
                                    .Set(5, 250)          // I1, harmonic 7
                                    .Set(32, 15)          // I1, K factor
                                    .Set(30, 1234)        // I1, odd harmonics
                                    .Set(33 + 31, 7)      // I2, even harmonics
                                    .Set(66 + 0, 0xFFFF); // I3, harmonic 2
    const GridTexts cells = DecodeCurrentSpectrum(block, kUs);
    ASSERT_EQ(cells.size(), CurrentSpectrumCount);
    const struct {
        int row, column;
        const char* text;
    } cases[] = {
        {1, 6, "2.5 %"},   {1, 33, "1.5"}, {1, 31, "12.3 %"}, {2, 32, "0.1 %"},
        {3, 1, "655.4 %"}, {2, 33, "0.0"}, {3, 30, "0.0 %"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextAt(cells, c.row, c.column), c.text) << c.row << "," << c.column;

    // The chart gets the same harmonics as numbers.
    const CurrentSpectrum s = CurrentSpectrumValues(block);
    EXPECT_DOUBLE_EQ(s.percent[0][5], 2.5);
    EXPECT_DOUBLE_EQ(s.percent[2][0], 655.35);
    EXPECT_DOUBLE_EQ(s.percent[1][29], 0.0);

    // A block cut inside I2's group stops there.
    const GridTexts shortCells = DecodeCurrentSpectrum(block.First(40), kUs);
    ASSERT_EQ(shortCells.size(), 40);
    EXPECT_EQ(shortCells.last().row, 2);
    EXPECT_EQ(shortCells.last().column, 7);
}

TEST(HarmonicsDecode, HeadingsTakeTheSuffixOfTheLastDigit) {
    const struct {
        int column;
        const char* heading;
    } cases[] = {{1, "H 2nd"},   {2, "H 3rd"},   {3, "H 4th"},   {9, "H 10th"},  {10, "H 11st"},
                 {11, "H 12nd"}, {12, "H 13rd"}, {20, "H 21st"}, {29, "H 30th"}, {30, "H 31st"}};
    for (const auto& c : cases)
        EXPECT_EQ(HarmonicHeading(c.column), c.heading);
    const QStringList u = VoltageGridColumnHeadings(), i = CurrentGridColumnHeadings();
    ASSERT_EQ(u.size(), 34);
    ASSERT_EQ(i.size(), 33);
    EXPECT_EQ(u.mid(30),
              QStringList({"Odd Harmonics", "Even Harmonics", "Crest Factor", "THFF(TIF)"}));
    EXPECT_EQ(i.mid(30), QStringList({"Odd Harmonics", "Even Harmonics", "K Factor"}));
    EXPECT_EQ(VoltageGridRowHeadings(), QStringList({"U1/U12", "U2/U31", "U3/U23"}));
    EXPECT_EQ(CurrentGridRowHeadings(), QStringList({"I1", "I2", "I3"}));
}

// On a Chinese desktop the grids' heads read in Chinese: every harmonic as "n 次" whatever
// its English suffix, the time stamp of an extreme as year .. second.
TEST(GridHeadings, AChineseDesktopReadsThemInChinese) {
    const ScopedTranslation chinese("zh_CN");
    ASSERT_TRUE(chinese.Loaded());
    const struct {
        const char* what;
        QString heading;
        QString expected;
    } cases[] = {
        {"H 2nd", HarmonicHeading(1), "2 次"},
        {"H 11st", HarmonicHeading(10), "11 次"},
        {"H 13rd", HarmonicHeading(12), "13 次"},
        {"H 30th", HarmonicHeading(29), "30 次"},
        {"max/min", MaxMinColumnHeadings(true).join(' '), "年 月 日 时 分 秒 最大值"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.heading, c.expected) << c.what;
}

TEST(MaxMinDecode, EachRecordIsWrittenByItsQuantityWithTheRatios) {
    const struct {
        int record; // 1..17
        quint16 reg;
        ScaleRatios ratios;
        const char* text;
    } cases[] = {
        {1, 2300, {}, "230.0 V"},         {4, 4000, {100, 1}, "40.000 kV"},
        {7, 5000, {}, "5.000 A"},         {9, 5000, {1, 20}, "100.0 A"},
        {10, 0xFF9C, {}, "-100 W"},       {11, 1500, {}, "1.500 kvar"},
        {12, 0xFF9C, {}, "65.436 kVA"},   {13, 0xFC7C, {}, "-0.900"},
        {14, 2300, {}, "23.00 Hz"},       {15, 0xFC18, {}, "-1.000 kW"},
        {16, 10, {10, 10}, "1.000 kvar"}, {17, 0xFFFF, {}, "65.535 kVA"},
    };
    for (const auto& c : cases) {
        const int at = (c.record - 1) * MaxMinRecordSize;
        const GridTexts cells = DecodeMaxMinBlock(
            RegisterBlock(MaxMinBlockCount).Set(at, c.reg).Set(at + 1, 26).Set(at + 6, 59),
            c.ratios, kUs);
        ASSERT_EQ(cells.size(), MaxMinRecordCount * 7);
        EXPECT_EQ(TextAt(cells, c.record, 7), c.text) << "record " << c.record;
        // The time stamp as plain decimals, written before the value.
        EXPECT_EQ(TextAt(cells, c.record, 1), "26");
        EXPECT_EQ(TextAt(cells, c.record, 6), "59");
        EXPECT_EQ(cells[(c.record - 1) * 7].column, 1);
        EXPECT_EQ(cells[(c.record - 1) * 7 + 6].column, 7);
    }
    // A four-digit year register is shown as it comes; a short block stops at the first
    // missing register.
    const GridTexts shortCells =
        DecodeMaxMinBlock(RegisterBlock(MaxMinBlockCount).Set(8, 2026).First(10), {}, kUs);
    EXPECT_EQ(TextAt(shortCells, 2, 1), "2026");
    EXPECT_EQ(shortCells.size(), 7 + 2);
    EXPECT_EQ(MaxMinColumnHeadings(true).last(), "Max Value");
    EXPECT_EQ(MaxMinColumnHeadings(false),
              QStringList({"YY", "MM", "DD", "hh", "mm", "ss", "Min Value"}));
    ASSERT_EQ(MaxMinRowHeadings().size(), MaxMinRecordCount);
    EXPECT_EQ(MaxMinRowHeadings()[12], "PF");
    EXPECT_EQ(ClearStatisticsMessage(), "00,10,01,14,00,01,02,00,0A,00,00");
}

TEST(PhaseAngleDecode, AnglesAreUnsignedTenthsWithoutWrap) {
    const struct {
        int offset;
        quint16 reg;
        const char* label;
        const char* text;
    } cases[] = {
        {0, 1200, "LabelAngleUbUa", "120.0"},
        {1, 3599, "LabelAngleUcUa", "359.9"},
        {2, 0xFFFF, "LabelAngleIaUa", "6553.5"},
        {7, 5, "LabelAngleIcUab", "0.5"},
    };
    for (const auto& c : cases) {
        const LabelTexts texts =
            DecodePhaseAngleBlock(RegisterBlock(PhaseAngleBlockCount).Set(c.offset, c.reg), kUs);
        ASSERT_EQ(texts.size(), PhaseAngleBlockCount);
        EXPECT_EQ(texts[c.offset].label, c.label);
        EXPECT_EQ(texts[c.offset].text, c.text);
    }

    // The diagram's phasors: angles from block 0x39D, lengths from the metering block.
    const auto lags =
        PhaseLagsFromBlock(RegisterBlock(8).Set(0, 1200).Set(1, 2400).Set(2, 180).Set(4, 2580));
    ASSERT_TRUE(lags);
    const auto magnitudes = PhaseMagnitudesFromMeteringBlock(
        RegisterBlock(54).Set(0x01, 2300).Set(0x03, 2310).Set(0x09, 5000).Set(0x0B, 4900));
    ASSERT_TRUE(magnitudes);
    const PhasorSet p = MakePhasorSet(*magnitudes, *lags);
    EXPECT_EQ(p.voltageLag, (std::array<double, 3>{0.0, 120.0, 240.0}));
    EXPECT_EQ(p.currentLag, (std::array<double, 3>{18.0, 0.0, 258.0}));
    EXPECT_EQ(p.volts, (std::array<double, 3>{2300, 0, 2310}));
    EXPECT_EQ(p.amps, (std::array<double, 3>{5000, 0, 4900}));
    EXPECT_FALSE(PhaseLagsFromBlock(RegisterBlock(8).First(4)));
    EXPECT_FALSE(PhaseMagnitudesFromMeteringBlock(RegisterBlock(54).First(0x0B)));
}

TEST(MeterModelDecode, ModelBlockClockAndRunTime) {
    const auto version = [](std::initializer_list<quint16> regs) {
        RegisterBlock b(34);
        int k = 0;
        for (quint16 r : regs)
            b.Set(k++, r);
        return DecodeModelBlock(b).version.value_or("(none)");
    };
    EXPECT_EQ(version({0x0031, 0x002E, 0x0032, 0x0030}), "1.20");
    EXPECT_EQ(version({0x0131, 0xFF2E, 0x0032, 0x0030}), "1.20"); // low bytes only
    EXPECT_EQ(version({0x0031, 0x002E, 0x0033, 0x0000}), "1.3");
    // Control bytes the meter sends are left out.
    EXPECT_EQ(version({0x0004, 0x003B, 0x0051, 0x001A}), ";Q");
    EXPECT_EQ(version({0x0031, 0x007F, 0x002E, 0x0032}), "1.2");

    const struct {
        quint16 reg; // at 0x529, 0x52A and 0x52B alike
        int index;
        quint8 displayByte;
    } selections[] = {{0, 0, 0}, {1, 1, 1}, {2, 0, 0}, {0xFFFF, 0, 0}};
    for (const auto& c : selections) {
        const RegisterBlock b =
            RegisterBlock(34).Set(0x19, c.reg).Set(0x1A, c.reg).Set(0x1B, c.reg);
        const ModelBlockView v = DecodeModelBlock(b);
        EXPECT_EQ(v.frequencyIndex, c.index) << c.reg;
        EXPECT_EQ(v.displayIndex, c.index) << c.reg;
        EXPECT_EQ(v.ptIndex, c.index) << c.reg;
        EXPECT_EQ(DisplayModeFromModelBlock(b), c.displayByte) << c.reg;
    }
    // A block that ends before 0x52A gives the version and the frequency only.
    const ModelBlockView cut = DecodeModelBlock(RegisterBlock(34).Set(0x19, 1).First(0x1A));
    EXPECT_EQ(cut.frequencyIndex, 1);
    EXPECT_FALSE(cut.displayIndex);
    EXPECT_FALSE(DisplayModeFromModelBlock(RegisterBlock(34).First(0x1A)));
    EXPECT_FALSE(DecodeModelBlock(RegisterBlock(34).First(3)).version);

    EXPECT_EQ(
        MeterClockText(
            RegisterBlock(6).Set(0, 2006).Set(1, 3).Set(2, 1).Set(3, 12).Set(4, 34).Set(5, 56)),
        "2006-3-1 12:34:56");
    EXPECT_EQ(MeterClockText(RegisterBlock(6).Set(0, 26).Set(1, 12).Set(2, 31)), "26-12-31 0:0:0");
    EXPECT_FALSE(MeterClockText(RegisterBlock(6).First(5)));

    EXPECT_EQ(RunTimeText(RegisterBlock(2).Set(0, 0x0001).Set(1, 0x86A0), kUs), "1000.00 Hours");
    EXPECT_EQ(RunTimeText(RegisterBlock(2).Set(0, 0x0001).Set(1, 0x86A0), kDe), "1000,00 Hours");
    EXPECT_EQ(RunTimeText(RegisterBlock(2).Set32(0, -1), kUs), "-0.01 Hours");
    EXPECT_FALSE(RunTimeText(RegisterBlock(2).First(1), kUs));
}

TEST(MeterModelDecode, WriteMessagesByteForByte) {
    const struct {
        QString message;
        const char* expected;
    } cases[] = {
        {ClockAdjustMessage(QDateTime(QDate(2006, 3, 1), QTime(12, 34, 56))),
         "00,10,03,2A,00,06,0C,07,D6,00,03,00,01,00,0C,00,22,00,38,00,00"},
        {ClockAdjustMessage(QDateTime(QDate(2099, 12, 31), QTime(23, 59, 59))),
         "00,10,03,2A,00,06,0C,08,33,00,0C,00,1F,00,17,00,3B,00,3B,00,00"},
        {RunTimeResetMessage(), "00,10,01,15,00,01,02,00,0A,00,00"},
        {FrequencyDisplayPtMessage(1, 0, 1), "00,B0,05,29,00,03,06,00,01,00,00,00,01,00,00"},
        {ModelBlockRead, "00,03,05,10,00,22,00,00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.message, c.expected);
}
