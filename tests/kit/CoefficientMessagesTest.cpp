#include "CoefficientMessages.h"
#include "DecodeTestSupport.h"
#include "RegisterBlock.h"

#include <gtest/gtest.h>
#include <optional>

namespace {

CoefficientGroupInput Group(bool modify, bool clear, QStringList texts) {
    return {modify, clear, std::move(texts)};
}

const QStringList kNine = {"-1", "300", "0", "65535", "-32768", "32767", " 12 ", "+7", "00000"};
const QStringList kEight = {"1", "2", "3", "4", "5", "6", "7", "8"};
const QStringList kFive = {"-2", "-3", "4", "5", "6"};

} // namespace

// "确认" of the coefficients window: what goes into which slot, and which input stops it.
TEST(CoefficientMessages, GroupWritesAreAllOrNothing) {
    struct Case {
        const char* name;
        std::array<CoefficientGroupInput, 3> groups;
        QList<std::pair<int, QString>> writes;
        const char* errorStart; // nullptr: no error
    };
    const QString gain = "00,b0,05,20,00,09,12,FF,FF,01,2C,00,00,FF,FF,80,00,7F,FF,00,0C,00,07,"
                         "00,00,00,00";
    const QString angles =
        "00,b0,05,2c,00,08,10,00,01,00,02,00,03,00,04,00,05,00,06,00,07,00,08,00,00";
    const QString others = "00,b0,05,1b,00,05,0a,FF,FE,FF,FD,00,04,00,05,00,06,00,00";
    // The fixed all-zero writes, as the meter's factory documents them.
    const QString zeroGain = "00,b0,05,20,00,09,12,00,00,00,00,00,00,00,00,00,00,00,00,00,00,"
                             "00,00,00,00,00,00";
    const QString zeroAngles =
        "00,b0,05,2c,00,08,10,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00";
    const QString zeroOthers = "00,b0,05,1b,00,05,0a,00,00,00,00,00,00,00,00,00,00,00,00";
    const Case cases[] = {
        {"three groups into slots 2, 3, 4",
         {Group(true, false, kNine), Group(true, false, kEight), Group(true, false, kFive)},
         {{2, gain}, {3, angles}, {4, others}},
         nullptr},
        {"no modify box ticked: nothing",
         {Group(false, false, kNine), Group(false, false, kEight), Group(false, false, kFive)},
         {},
         nullptr},
        {"clear boxes write the fixed zeros whatever the edits hold",
         {Group(true, true, {"abc"}), Group(true, true, kEight), Group(true, true, {})},
         {{2, zeroGain}, {3, zeroAngles}, {4, zeroOthers}},
         nullptr},
        {"an unticked group is not checked",
         {Group(false, false, {"abc"}), Group(true, false, kEight), Group(false, false, {})},
         {{3, angles}},
         nullptr},
        {"a bad edit in a later group keeps the earlier ones from the meter too",
         {Group(true, false, kNine),
          Group(true, false, {"1", "2", "70000", "4", "5", "6", "7", "8"}),
          Group(true, false, kFive)},
         {},
         "IB--RI (Edit11) holds \"70000\""},
        {"below the signed range",
         {Group(true, false, {"-32769", "0", "0", "0", "0", "0", "0", "0", "0"}),
          Group(false, false, {}), Group(false, false, {})},
         {},
         "VA--ADJ (Edit0) holds \"-32769\""},
        {"not a whole number",
         {Group(false, false, {}), Group(false, false, {}),
          Group(true, false, {"1", "2", "3", "4.5", "6"})},
         {},
         "UBB--RI (Edit21) holds \"4.5\""},
        {"an empty edit",
         {Group(true, false, {"1", "2", "3", "4", "", "6", "7", "8", "9"}), Group(false, false, {}),
          Group(false, false, {})},
         {},
         "IB--ADJ (Edit4) holds \"\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CoefficientWritePlan plan = PlanCoefficientWrites(c.groups);
        EXPECT_EQ(plan.writes, c.writes);
        if (c.errorStart) {
            EXPECT_TRUE(plan.error.startsWith(QString::fromUtf8(c.errorStart)))
                << plan.error.toStdString();
            EXPECT_TRUE(plan.error.contains("-32768 to 65535")) << plan.error.toStdString();
        } else {
            EXPECT_TRUE(plan.error.isEmpty()) << plan.error.toStdString();
        }
    }
}

TEST(CoefficientMessages, BlockTextsAndSettingsFromTheCoefficientBlock) {
    RegisterBlock block(CoefficientBlockCount);
    block.Set(0x523 - 0x51B, 0xFFFE).Set(0x51B - 0x51B, 300).Set(0x533 - 0x51B, 0x8000);
    block.Set(DisplayModeRegister - 0x51B, 1);
    const LabelTexts edits = CoefficientTexts(block, true);
    EXPECT_EQ(edits.size(), 22);
    EXPECT_EQ(TextFor(edits, "Edit3"), "-2");
    EXPECT_EQ(TextFor(edits, "Edit17"), "300");
    EXPECT_EQ(TextFor(edits, "Edit16"), "-32768");
    const LabelTexts history = CoefficientTexts(block, false);
    EXPECT_EQ(TextFor(history, "LabIaAD"), "-2");
    EXPECT_EQ(TextFor(history, "LabVaaAD"), "300");
    EXPECT_EQ(CoefficientsOf(block)->at(0x523 - 0x51B), -2);
    EXPECT_EQ(DisplayModeOf(block), quint8(1));
    EXPECT_EQ(DisplayModeOf(RegisterBlock(25).Set(DisplayModeRegister - 0x51B, 2)), quint8(0));
    // A short reply fills what it holds and keeps nothing.
    EXPECT_EQ(CoefficientTexts(block.First(4), true).size(), 4);
    EXPECT_FALSE(CoefficientsOf(block.First(24)).has_value());
}

TEST(CoefficientMessages, SampleCountIsAWholeNumberOfAtLeastOne) {
    const std::pair<const char*, std::optional<int>> cases[] = {{"20", 20},
                                                                {" 7 ", 7},
                                                                {"100", 100},
                                                                {"0", std::nullopt},
                                                                {"-1", std::nullopt},
                                                                {"1.5", std::nullopt},
                                                                {"", std::nullopt},
                                                                {"abc", std::nullopt},
                                                                {"2147483648", std::nullopt}};
    for (const auto& [text, count] : cases)
        EXPECT_EQ(ParseCalibrationCount(text), count) << text;
    EXPECT_TRUE(CalibrationCountError("0").contains("\"0\""));
}
