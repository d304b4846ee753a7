#include "AlarmRecords.h"

#include "DecodeTestSupport.h"
#include "RegisterBlock.h"

#include <gtest/gtest.h>

namespace {

const QLocale kUs(QLocale::English, QLocale::UnitedStates);

} // namespace

// A record's value is the item's register as the meter logged it.
TEST(AlarmRecords, ValuesFollowTheRecordedItem) {
    struct Case {
        int code;
        quint16 value;
        ScaleRatios ratios;
        const char* text;
    };
    const Case cases[] = {
        {0, 5000, {}, "50.00 Hz"},
        {26, 5000, {}, "5.000"},
        {29, 0xFE0C, {}, "-0.500"},
        {32, 1234, {}, "1234"},
        {32, 1234, {100, 20}, "1234"},    // demands are logged unscaled
        {34, 0xFC18, {100, 20}, "64536"}, // and unsigned
        {1, 2300, {}, "230.0 V"},
        {5, 2300, {100, 1}, "23,000.0 V"}, // volts at any size
        {9, 5000, {1, 20}, "100.000 A"},   // amps at any size
        {17, 0xFC18, {}, "-1,000 W"},
        {18, 0xFF9C, {}, "-100 Var"},
        {22, 0xFF9C, {}, "65,436 Va"}, // apparent power is unsigned
        {14, 100, {2, 3}, "600 W"},
        {30, 300, {}, "3.000 %"},
        {35, 300, {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(AlarmRecordValueText(c.code, c.value, {c.ratios, kUs}), c.text);
    }
}

TEST(AlarmRecords, BlockGivesStatesItemsFlagsAndTimeStamps) {
    RegisterBlock block(AlarmRecordBlockCount);
    block.Set(0, 0x0005);
    // Record 1: Psum reset; record 2: frequency alarm; record 9: a code the meter does not have.
    const quint16 record1[8] = {0x8011, 0xFC18, 25, 3, 1, 14, 5, 9};
    const quint16 record2[8] = {0x0000, 4950, 24, 12, 31, 23, 59, 0};
    for (int k = 0; k < 8; ++k) {
        block.Set(1 + k, record1[k]);
        block.Set(9 + k, record2[k]);
    }
    block.Set(1 + 8 * 8, 0x0023).Set(2 + 8 * 8, 77);

    const AlarmRecordTexts texts = DecodeAlarmRecordBlock(block, {{}, kUs});
    QStringList states;
    for (const LabelText& t : texts.states)
        states << t.label + "=" + t.text;
    EXPECT_EQ(states,
              QStringList({"Label1State=Alarm", "Label2State=Normal", "Label3State=Alarm",
                           "Label4State=Normal", "Label5State=Normal", "Label6State=Normal",
                           "Label7State=Normal", "Label8State=Normal", "Label9State=Normal"}));
    ASSERT_EQ(texts.records.size(), 9 * 9);
    auto row = [&](int r) {
        QStringList cells;
        for (const GridText& t : texts.records)
            if (t.row == r)
                cells << t.text;
        return cells;
    };
    EXPECT_EQ(row(1),
              QStringList({"Psum (Power)", "Reset", "-1,000 W", "25", "3", "1", "14", "5", "9"}));
    EXPECT_EQ(row(2), QStringList({"F (Frequency)", "Alarm", "49.50 Hz", "24", "12", "31", "23",
                                   "59", "0"}));
    EXPECT_EQ(row(9), QStringList({"", "Alarm", "", "0", "0", "0", "0", "0", "0"}));
    // Slots the meter never filled are blank, not frequency alarms of 0.00 Hz.
    for (int r = 3; r <= 8; ++r)
        EXPECT_EQ(row(r), QStringList(9, QString())) << r;
    EXPECT_EQ(texts.inAlarm,
              QList<bool>({true, false, true, false, false, false, false, false, false}));

    // A short reply fills the records it holds.
    EXPECT_EQ(DecodeAlarmRecordBlock(block.First(1 + 8 + 3), {{}, kUs}).records.size(), 9 + 4);

    RegisterBlock params(31);
    params.Set(4, 17).Set(4 + 3 * 8, 35);
    const LabelTexts items = DecodeAlarmItems(params);
    ASSERT_EQ(items.size(), 9);
    EXPECT_EQ(items[0], (LabelText{"Label1AlarmType", "Psum (Power)"}));
    EXPECT_EQ(items[1], (LabelText{"Label2AlarmType", "F (Frequency)"}));
    EXPECT_EQ(items[8], (LabelText{"Label9AlarmType", ""}));
}
