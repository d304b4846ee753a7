#include "MeterParamDecode.h"

#include "DecodeTestSupport.h"
#include "RegisterBlock.h"

#include <gtest/gtest.h>

namespace {

QList<quint16> Block(std::initializer_list<std::pair<int, quint16>> regs, int count = 34) {
    return RegisterBlock(count, regs);
}

} // namespace

TEST(MeterParamDecode, RatiosComeFromPtAndCt) {
    auto r =
        RatiosFromParamBlock(Block({{0x05, 0x0001}, {0x06, 0x86A0}, {0x07, 100}, {0x08, 100}}), {});
    EXPECT_DOUBLE_EQ(r.pt, 1000.0);
    EXPECT_DOUBLE_EQ(r.ct, 20.0);

    // A PT secondary of 0 keeps the previous PT ratio; CT is recomputed regardless.
    r = RatiosFromParamBlock(Block({{0x06, 400}, {0x07, 0}, {0x08, 0}}), {10.0, 20.0});
    EXPECT_DOUBLE_EQ(r.pt, 10.0);
    EXPECT_DOUBLE_EQ(r.ct, 0.0);

    // PT1 is unsigned: 3000000000 V, as the settings window may write it, stays positive.
    r = RatiosFromParamBlock(Block({{0x05, 0xB2D0}, {0x06, 0x5E00}, {0x07, 100}, {0x08, 5}}), {});
    EXPECT_DOUBLE_EQ(r.pt, 30000000.0);
    EXPECT_DOUBLE_EQ(r.ct, 1.0);

    // The read-back after a settings write has 20 registers and decodes alike.
    r = RatiosFromParamBlock(Block({{0x06, 10000}, {0x07, 100}, {0x08, 25}}, 20), {});
    EXPECT_DOUBLE_EQ(r.pt, 100.0);
    EXPECT_DOUBLE_EQ(r.ct, 5.0);

    // Too short to hold CT1: nothing changes.
    r = RatiosFromParamBlock(Block({{0x06, 10000}, {0x07, 100}}, 8), {3.0, 4.0});
    EXPECT_DOUBLE_EQ(r.pt, 3.0);
    EXPECT_DOUBLE_EQ(r.ct, 4.0);
}

TEST(MeterParamDecode, LabelsOfTheWholeBlock) {
    const auto texts = DecodeMeterParamBlock(
        Block({{0x00, 1234},   {0x01, 17},     {0x02, 0x9600}, {0x03, 2},    {0x04, 1},
               {0x05, 0x0001}, {0x06, 0x86A0}, {0x07, 100},    {0x08, 500},  {0x09, 2},
               {0x0A, 1},      {0x0B, 8},      {0x0C, 5},      {0x0D, 3200}, {0x0E, 1},
               {0x0F, 1500},   {0x10, 0},      {0x11, 65535},  {0x12, 3},    {0x13, 15}}));
    const LabelTexts expected = {{"LabelPassword", "1234"},
                                 {"LabelAddr", "17"},
                                 {"LabelBaudrate", "38400 bps"},
                                 {"LabelUWireMode", "2LL"},
                                 {"LabelIWireMode", "1CT"},
                                 {"LabelPT1", "100000 V"},
                                 {"LabelPT2", "100 V"},
                                 {"LabelCT1", "500 A"},
                                 {"LabelDriveWork", "Energy Pulse"},
                                 {"LabelPulse1", "Ep+"},
                                 {"LabelPulse2", "Eqn"},
                                 {"LabelPulseWidth", "100 ms"},
                                 {"LabelPulseConst", "3200"},
                                 {"LabelRO1Mode", "Momentary"},
                                 {"LabelRO1Time", "1500 ms"},
                                 {"LabelRO2Mode", "Latch"},
                                 {"LabelRO2Time", "65535 ms"},
                                 {"LabelLightTime", "3 Min"},
                                 {"LabelDemaTime", "15 Min"}};
    EXPECT_EQ(texts, expected);
}

TEST(MeterParamDecode, UnknownCodesShowAsDecimals) {
    EXPECT_EQ(VoltageWiringText(0), "3Ln");
    EXPECT_EQ(VoltageWiringText(1), "2Ln");
    EXPECT_EQ(VoltageWiringText(3), "3");
    EXPECT_EQ(CurrentWiringText(0), "3CT");
    EXPECT_EQ(CurrentWiringText(2), "2CT");
    EXPECT_EQ(CurrentWiringText(65535), "65535");
    EXPECT_EQ(DigitalOutputModeText(1), "Alarm Output");
    EXPECT_EQ(DigitalOutputModeText(0), "Energy Pulse");
    EXPECT_EQ(PulseSourceText(0), "None");
    EXPECT_EQ(PulseSourceText(5), "Ept");
    EXPECT_EQ(PulseSourceText(9), "9");
    EXPECT_EQ(RelayModeText(0), "Latch");
    EXPECT_EQ(RelayModeText(2), "2");
}

TEST(MeterParamDecode, PtPrimaryIsUnsignedAndShortBlocks) {
    // The settings window accepts PT1 up to 4294967295; it reads back the same.
    auto texts = DecodeMeterParamBlock(Block({{0x05, 0xFFFF}, {0x06, 0xFFFE}}));
    EXPECT_EQ(TextFor(texts, "LabelPT1"), "4294967294 V");
    // The 20-register read-back fills every label; a block ending inside PT1 stops before it.
    EXPECT_EQ(DecodeMeterParamBlock(Block({}, 20)).size(), 19);
    texts = DecodeMeterParamBlock(Block({}, 6));
    ASSERT_EQ(texts.size(), 5);
    EXPECT_EQ(texts.last().label, "LabelIWireMode");
}
