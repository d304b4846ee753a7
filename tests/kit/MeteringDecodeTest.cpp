#include "MeteringDecode.h"

#include "DecodeTestSupport.h"
#include "RegisterBlock.h"

#include <gtest/gtest.h>

namespace {

const QLocale kUs(QLocale::English, QLocale::UnitedStates);
const QLocale kDe(QLocale::German, QLocale::Germany);

// A block 0x130 with every register 0 except the ones given (offset from 0x130).
QList<quint16> Block(std::initializer_list<std::pair<int, quint16>> regs) {
    return RegisterBlock(MeteringBlockCount, regs);
}

} // namespace

TEST(MeteringDecode, FullBlockFillsEveryLabelInRegisterOrder) {
    const auto texts = DecodeMeteringBlock(Block({}), {}, kUs);
    const QStringList expected = {
        "LabelF",        "LabelUa",     "LabelUb",       "LabelUc",     "LabelUnavg",
        "LabelUab",      "LabelUbc",    "LabelUca",      "LabelUlavg",  "LabelIa",
        "LabelIb",       "LabelIc",     "LabelIavg",     "LabelIn",     "LabelPa",
        "LabelPb",       "LabelPc",     "LabelPavg",     "LabelQa",     "LabelQb",
        "LabelQc",       "LabelQavg",   "LabelSa",       "LabelSb",     "LabelSc",
        "LabelSavg",     "LabelPfa",    "LabelPfb",      "LabelPfc",    "LabelPfavg",
        "LabelUunbl",    "LabelIunbl",  "LabelRt",       "LabelP_dema", "LabelQ_dema",
        "LabelS_dema",   "LabelEp_imp", "LabelEp_exp",   "LabelEq_imp", "LabelEq_exp",
        "LabelEp_total", "LabelEp_net", "LabelEq_total", "LabelEq_net"};
    QStringList labels;
    for (const auto& t : texts)
        labels << t.label;
    EXPECT_EQ(labels, expected);
}

TEST(MeteringDecode, RowsUseTheirScaleSignAndUnit) {
    const auto texts =
        DecodeMeteringBlock(Block({{0x00, 5000},                // 50.00 Hz
                                   {0x01, 2300},                // V1
                                   {0x05, 3984},                // V12
                                   {0x09, 5000},                // I1
                                   {0x0D, 12345},               // In
                                   {0x0E, 0xFF9C},              // P1 signed
                                   {0x12, 0xFF9C},              // Q1 signed
                                   {0x16, 0xFF9C},              // S1 unsigned
                                   {0x1A, 0xFC18},              // PF1 -1.000
                                   {0x1D, 985},                 // PF
                                   {0x1E, 12},                  // voltage unbalance
                                   {0x20, 0x004C},              // load type L
                                   {0x21, 0xFC18},              // P demand signed
                                   {0x23, 0xFC18},              // S demand unsigned
                                   {0x26, 0x0001},              // Ep_imp high
                                   {0x28, 0xFFFF},              // Ep_exp
                                   {0x29, 0xFFFF}, {0x2B, 123}, // Eq_imp low word only
                                   {0x34, 0x7FFF},              // Eq_net high
                                   {0x35, 0xFFFF}}),
                            {}, kUs);
    EXPECT_EQ(TextFor(texts, "LabelF"), "50.00 Hz");
    EXPECT_EQ(TextFor(texts, "LabelUa"), "230.0 V");
    EXPECT_EQ(TextFor(texts, "LabelUab"), "398.4 V");
    EXPECT_EQ(TextFor(texts, "LabelIa"), "5.000 A");
    EXPECT_EQ(TextFor(texts, "LabelIn"), "12.35 A");
    EXPECT_EQ(TextFor(texts, "LabelPa"), "-100 W");
    EXPECT_EQ(TextFor(texts, "LabelQa"), "-100 var");
    EXPECT_EQ(TextFor(texts, "LabelSa"), "65.436 kVA");
    EXPECT_EQ(TextFor(texts, "LabelPfa"), "-1.000");
    EXPECT_EQ(TextFor(texts, "LabelPfavg"), "0.985");
    EXPECT_EQ(TextFor(texts, "LabelUunbl"), "1.200 %");
    EXPECT_EQ(TextFor(texts, "LabelRt"), "Reactive");
    EXPECT_EQ(TextFor(texts, "LabelP_dema"), "-1.000 kW");
    EXPECT_EQ(TextFor(texts, "LabelS_dema"), "64.536 kVA");
    EXPECT_EQ(TextFor(texts, "LabelEp_imp"), "6.5536 MWh");
    EXPECT_EQ(TextFor(texts, "LabelEp_exp"), "-0.1 kWh");
    EXPECT_EQ(TextFor(texts, "LabelEq_imp"), "12.3 kvarh");
    EXPECT_EQ(TextFor(texts, "LabelEq_net"), "214748.3647 Mvarh");
    EXPECT_EQ(TextFor(texts, "LabelEp_total"), "0.0 kWh");
}

TEST(MeteringDecode, RatiosScaleVoltagesCurrentsAndPowersButNotEnergies) {
    const auto texts = DecodeMeteringBlock(
        Block({{0x01, 2300}, {0x09, 5000}, {0x0E, 500}, {0x16, 500}, {0x27, 100}}),
        ScaleRatios{100.0, 20.0}, kDe);
    EXPECT_EQ(TextFor(texts, "LabelUa"), "23,000 kV");
    EXPECT_EQ(TextFor(texts, "LabelIa"), "100,0 A");
    EXPECT_EQ(TextFor(texts, "LabelPa"), "1,000 MW");
    EXPECT_EQ(TextFor(texts, "LabelSavg"), "0 VA");
    EXPECT_EQ(TextFor(texts, "LabelEp_imp"), "10,0 kWh");
}

TEST(MeteringDecode, ShortBlockStopsBeforeTheFirstIncompleteRow) {
    QList<quint16> v(0x27, 0); // ends on the high word of Ep_imp
    const auto texts = DecodeMeteringBlock(v, {}, kUs);
    ASSERT_FALSE(texts.isEmpty());
    EXPECT_EQ(texts.last().label, "LabelS_dema");
    EXPECT_TRUE(DecodeMeteringBlock({}, {}, kUs).isEmpty());
    EXPECT_TRUE(EnergyEditTexts(v, kUs).isEmpty());
}

TEST(MeteringDecode, EnergyEditsGetPlainNumbers) {
    const auto edits =
        EnergyEditTexts(Block({{0x26, 1}, {0x29, 5}, {0x34, 0xFFFF}, {0x35, 0xFFF6}}), kDe);
    ASSERT_EQ(edits.size(), 8);
    EXPECT_EQ(edits[0], "6553,6");
    EXPECT_EQ(edits[1], "0,5");
    EXPECT_EQ(edits[2], "0,0");
    EXPECT_EQ(edits[7], "-1,0");
}

TEST(MeteringDecode, LoadTypeCodes) {
    EXPECT_EQ(LoadTypeText(0x43), "Capacitive");
    EXPECT_EQ(LoadTypeText(0x63), "Capacitive");
    EXPECT_EQ(LoadTypeText(0x4C), "Reactive");
    EXPECT_EQ(LoadTypeText(0x6C), "Reactive");
    EXPECT_EQ(LoadTypeText(0x52), "Resistance");
    EXPECT_EQ(LoadTypeText(0x72), "Resistance");
    EXPECT_EQ(LoadTypeText(0x0041), "A");
    // The whole word is compared; only the fallback looks at the low byte.
    EXPECT_EQ(LoadTypeText(0x014C), "L");
    // A meter without load may report no letter at all: nothing to show, not a NUL
    // character that a label draws as a box.
    EXPECT_EQ(LoadTypeText(0x0000), "");
    EXPECT_EQ(LoadTypeText(0x0100), "");
}

TEST(MeteringDecode, TemperatureIsSignedTenths) {
    EXPECT_EQ(TemperatureText(0xFF38, kUs), "-20.0 \u00B0C");
    EXPECT_EQ(TemperatureText(253, kDe), "25,3 \u00B0C");
}

TEST(MeteringDecode, RelayClicksAndConfirmations) {
    auto plan = PlanRelayClick(1, "Off");
    EXPECT_TRUE(plan.switchOn);
    EXPECT_EQ(plan.question, "Are you sure to switch on RO1?");
    EXPECT_EQ(plan.newCaption, "On");
    EXPECT_EQ(plan.message, "00,05,00,00,FF,00,00,00");

    plan = PlanRelayClick(2, "On");
    EXPECT_FALSE(plan.switchOn);
    EXPECT_EQ(plan.question, "Are you sure to switch off RO2?");
    EXPECT_EQ(plan.newCaption, "Off");
    EXPECT_EQ(plan.message, "00,05,00,01,00,00,00,00");

    // Before the first relay poll the caption is empty: the click offers to switch off.
    plan = PlanRelayClick(1, "");
    EXPECT_FALSE(plan.switchOn);
    EXPECT_EQ(plan.message, "00,05,00,00,00,00,00,00");
    EXPECT_EQ(PlanRelayClick(2, "Off").message, "00,05,00,01,FF,00,00,00");

    ASSERT_TRUE(RelayConfirmationFor(0));
    EXPECT_EQ(RelayConfirmationFor(0)->relay, 1);
    EXPECT_EQ(RelayConfirmationFor(0)->message, "Control RO1 successfully!");
    ASSERT_TRUE(RelayConfirmationFor(1));
    EXPECT_EQ(RelayConfirmationFor(1)->relay, 2);
    EXPECT_EQ(RelayConfirmationFor(1)->message, "Control RO2 successfully!");
    EXPECT_FALSE(RelayConfirmationFor(2));
}

TEST(MeteringDecode, EnergyResetMessageZeroesSixteenRegisters) {
    const QStringList fields = EnergyResetMessage().split(',');
    ASSERT_EQ(fields.size(), 41);
    EXPECT_EQ(fields.mid(0, 7), QStringList({"00", "10", "01", "56", "00", "10", "20"}));
    for (int i = 7; i < 41; ++i)
        EXPECT_EQ(fields[i], "00") << i;
}
