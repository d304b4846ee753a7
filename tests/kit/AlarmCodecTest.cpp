#include "AlarmCodec.h"

#include "AlarmRecords.h"
#include "DecodeTestSupport.h"
#include "QtTestSupport.h"
#include "RegisterBlock.h"
#include "TestLocales.h"

#include <gtest/gtest.h>

namespace {

const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtAppEnvironment<QCoreApplication>);

const QLocale kUs(QLocale::English, QLocale::UnitedStates);
const QLocale kDe(QLocale::German, QLocale::Germany);

// The registers a write message carries, after its seven header fields and before the
// two CRC placeholders.
QList<quint16> DataRegisters(const QString& message) {
    const QStringList bytes = message.split(QLatin1Char(','));
    QList<quint16> regs;
    for (int i = 7; i + 1 < bytes.size() - 2; i += 2)
        regs << quint16(bytes[i].toUInt(nullptr, 16) << 8 | bytes[i + 1].toUInt(nullptr, 16));
    return regs;
}

// Both messages' registers in block order 0x330..0x34E.
QList<quint16> WrittenBlock(const AlarmWritePlan& plan) {
    return DataRegisters(plan.groups1to4) + DataRegisters(plan.groups5to9);
}

// Every group off, watching the frequency above 50.00 Hz, no delay.
AlarmSettingsInput Quiet() {
    AlarmSettingsInput in;
    for (AlarmGroupInput& g : in.groups)
        g = {0, 0, 0, 0, 1, QStringLiteral("50.00 Hz")};
    in.delay = 0;
    return in;
}

} // namespace

TEST(AlarmWrite, MessagesCarryTheWholeBlockInTwoParts) {
    AlarmSettingsInput in = Quiet();
    in.groups[0] = {1, 1, 0, 1, 1, QStringLiteral("240.0 V")};
    in.groups[8] = {1, 0, 1, 26, 0, QStringLiteral("0.900")};
    in.delay = 3;
    const AlarmWritePlan plan = PlanAlarmWrite(in, {}, kUs);
    ASSERT_TRUE(plan.ok()) << plan.error.toStdString();
    EXPECT_EQ(plan.groups1to4, "00,10,03,30,00,10,20,"
                               "01,01,00,03,00,01,01,00,"
                               "00,01,00,01,09,60,"
                               "00,00,00,01,13,88,00,00,00,01,13,88,00,00,00,01,13,88,00,00");
    EXPECT_EQ(plan.groups5to9, "00,10,03,40,00,0F,1E,"
                               "00,00,00,01,13,88,00,00,00,01,13,88,00,00,00,01,13,88,"
                               "00,00,00,01,13,88,00,1A,00,00,03,84,00,00");
}

// The meter's own edge cases, one row each: what a control holds and the register it
// becomes at the given ratios.
TEST(AlarmWrite, ControlsBecomeTheirRegisters) {
    struct Case {
        const char* what;
        ScaleRatios ratios;
        std::function<void(AlarmSettingsInput&)> set;
        int reg; // offset from 0x330
        quint16 expected;
    };
    auto limit = [](int item, const char* text) {
        return [item, text](AlarmSettingsInput& in) {
            in.groups[0].item = item;
            in.groups[0].limit = QString::fromUtf8(text);
        };
    };
    const Case cases[] = {
        {"all nine groups active",
         {},
         [](auto& in) {
             for (auto& g : in.groups)
                 g.status = 1;
         },
         0x00,
         0x01FF},
        {"only group 9 active", {}, [](auto& in) { in.groups[8].status = 1; }, 0x00, 0x0100},
        {"group 2 drives DO1", {}, [](auto& in) { in.groups[1].do1 = 1; }, 0x02, 0x0002},
        {"group 9 drives DO2", {}, [](auto& in) { in.groups[8].do2 = 1; }, 0x03, 0x0100},
        {"largest delay", {}, [](auto& in) { in.delay = 255; }, 0x01, 255},
        {"frequency 49.5 Hz", {}, limit(0, "49.50 Hz"), 0x06, 0x1356},
        {"PF -0.5", {}, limit(29, "-0.500"), 0x06, 0xFE0C},
        {"phase voltage 220.0 V", {}, limit(1, "220.0 V"), 0x06, 2200},
        {"current 5.000 A", {}, limit(9, "5.000 A"), 0x06, 5000},
        {"current 5.000 A at CT ratio 40", {1, 40}, limit(9, "5.000 A"), 0x06, 125},
        {"Psum -1.000 kW", {}, limit(17, "-1.000 kW"), 0x06, 0xFC18},
        {"1.5 kV at PT ratio 100", {100, 1}, limit(5, "1.5 kV"), 0x06, 150},
        {"unbalance 3.000 %", {}, limit(30, "3.000 %"), 0x06, 300},
        {"apparent power above the signed range", {}, limit(25, "40.000 kVA"), 0x06, 40000},
        {"a tie goes to the even register", {}, limit(14, "2.5 W"), 0x06, 2},
        {"group 5 item at 0x340",
         {},
         [](auto& in) { in.groups[4] = {0, 0, 0, 34, 1, "50 VA"}; },
         0x10,
         34},
        {"group 9 direction", {}, [](auto& in) { in.groups[8].direction = 0; }, 0x1D, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AlarmSettingsInput in = Quiet();
        c.set(in);
        const AlarmWritePlan plan = PlanAlarmWrite(in, c.ratios, kUs);
        ASSERT_TRUE(plan.ok()) << plan.error.toStdString();
        const QList<quint16> block = WrittenBlock(plan);
        ASSERT_EQ(block.size(), AlarmParamBlockCount);
        EXPECT_EQ(block[c.reg], c.expected);
    }
    EXPECT_EQ(AlarmLimitText(17, 0xFC18, {}, kUs), "-1.000 kW");
    EXPECT_EQ(AlarmDelayTexts().size(), 256);
    EXPECT_EQ(AlarmDelayTexts()[255], "76500");
}

// A fault anywhere keeps both messages back and names the group and the control.
TEST(AlarmWrite, AnyFaultGivesNoMessageAndNamesTheGroup) {
    struct Case {
        const char* what;
        ScaleRatios ratios;
        std::function<void(AlarmSettingsInput&)> set;
        const char* error;
    };
    const Case cases[] = {
        {"no item in group 7",
         {},
         [](auto& in) { in.groups[6].item = -1; },
         "Alarm Item error!\nGroup 7: no alarm item is selected."},
        {"a limit that is no number",
         {},
         [](auto& in) { in.groups[5].limit = "abc"; },
         "Alarm Parameter error!\nGroup 6: Value \"abc\" is not a number as this desktop "
         "writes them (like \"123.45 Hz\")."},
        {"an empty limit",
         {},
         [](auto& in) { in.groups[1].limit = "  "; },
         "Alarm Parameter error!\nGroup 2: Value \"\" is not a number as this desktop writes "
         "them (like \"123.45 Hz\")."},
        {"a voltage beyond the register",
         {},
         [](auto& in) { in.groups[2] = {0, 0, 0, 1, 1, "7000 V"}; },
         "Alarm Parameter error!\nGroup 3: Value \"7000 V\" is outside 0.0 V .. 6.5535 kV."},
        {"a negative voltage",
         {},
         [](auto& in) { in.groups[2] = {0, 0, 0, 1, 1, "-1 V"}; },
         "Alarm Parameter error!\nGroup 3: Value \"-1 V\" is outside 0.0 V .. 6.5535 kV."},
        {"a power factor beyond the signed register",
         {},
         [](auto& in) { in.groups[8] = {1, 0, 0, 26, 1, "40"}; },
         "Alarm Parameter error!\nGroup 9: Value \"40\" is outside -32.768 .. 32.767."},
        {"a current at CT ratio 0",
         {1, 0},
         [](auto& in) { in.groups[3] = {0, 0, 0, 10, 1, "5 A"}; },
         "Alarm Parameter error!\nGroup 4: Value cannot be converted with the meter's PT ratio 1 "
         "and CT ratio 0."},
        {"no status",
         {},
         [](auto& in) { in.groups[0].status = -1; },
         "Alarm Parameter error!\nGroup 1: Status has no selection (OFF or ACTIVE)."},
        {"no DO2",
         {},
         [](auto& in) { in.groups[4].do2 = -1; },
         "Alarm Parameter error!\nGroup 5: DO2 has no selection (OFF or ON)."},
        {"no direction",
         {},
         [](auto& in) { in.groups[8].direction = -1; },
         "Alarm Parameter error!\nGroup 9: Limit has no selection (Below or Above)."},
        {"no delay",
         {},
         [](auto& in) { in.delay = -1; },
         "Alarm Parameter error!\nAlarm Delay has no selection (0 .. 76500 ms)."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AlarmSettingsInput in = Quiet();
        c.set(in);
        const AlarmWritePlan plan = PlanAlarmWrite(in, c.ratios, kUs);
        EXPECT_EQ(plan.error, QString::fromUtf8(c.error));
        EXPECT_TRUE(plan.groups1to4.isEmpty());
        EXPECT_TRUE(plan.groups5to9.isEmpty());
    }
}

TEST(AlarmLimit, TextsAreReadInTheUsersNumberFormat) {
    const QLocale fr(QLocale::French, QLocale::France);
    struct Case {
        int item;
        const char* text;
        const QLocale& locale;
        std::optional<double> value;
    };
    const Case cases[] = {
        {1, "1.5 kV", kUs, 1500},
        {0, "50.00 Hz", kUs, 50},
        {30, "3.000 %", kUs, 3},
        {17, " -1.000 kW ", kUs, -1000},
        {1, "1,234.5 V", kUs, 1234.5},
        {14, "12,345 W", kUs, 12345},
        {1, "1.234,5 V", kDe, 1234.5},
        {0, "50,00 Hz", kDe, 50},
        {26, "-0,500", kDe, -0.5},
        {25, "65.535,000 kVA", kDe, 65535000},
        {9, "7", kUs, 7},
        {1, "220.5 V", fr, 220.5},
        // Each of these was once written as another number than the one meant.
        {0, "49,5 Hz", kUs, std::nullopt},
        {26, "0.5", kDe, std::nullopt},
        {1, "220.5 V", kDe, std::nullopt},
        {1, "1.234,5", kUs, std::nullopt},
        {1, "abc", kUs, std::nullopt},
        {1, "", kUs, std::nullopt},
        {1, "kV", kUs, std::nullopt},
        {1, "1k5", kUs, std::nullopt},
        {1, "1.2.3 V", kUs, std::nullopt},
        {0, "50 V", kUs, std::nullopt}, // another item's unit
        {9, "5 kA", kUs, std::nullopt},
        {-1, "5", kUs, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto value = ParseAlarmLimit(c.item, QString::fromUtf8(c.text), c.locale);
        ASSERT_EQ(value.has_value(), c.value.has_value());
        if (value) {
            EXPECT_DOUBLE_EQ(*value, *c.value);
        }
    }
    // The window refuses before anything is queued, naming the group and what it takes.
    AlarmSettingsInput in = Quiet();
    in.groups[0].limit = QStringLiteral("49,5 Hz");
    const AlarmWritePlan plan = PlanAlarmWrite(in, {}, kUs);
    EXPECT_EQ(plan.error, "Alarm Parameter error!\nGroup 1: Value \"49,5 Hz\" is not a number as "
                          "this desktop writes them (like \"123.45 Hz\").");
    EXPECT_TRUE(plan.groups1to4.isEmpty());
}

// The window shows each limit as text and reads that text back when "Set" is pressed:
// for every item, across the register range and a spread of PT/CT ratios, in an English
// every typing locale's number format, the text must give exactly the register it was made from.
TEST(AlarmLimit, EveryShownLimitReadsBackAsItsRegister) {
    const ScaleRatios ratios[] = {{1, 1},   {100, 20},   {1.5, 0.2}, {10, 40},
                                  {3, 2.4}, {1000, 300}, {0.5, 1},   {35, 0.6}};
    const quint16 regs[] = {0,     1,     2,     5,     9,      10,     99,    100,   101,
                            999,   1000,  1001,  2200,  4950,   9995,   9999,  10000, 10001,
                            12345, 32767, 32768, 40000, 0xFC18, 0xFF9C, 65534, 65535};
    int checked = 0;
    QStringList failures;
    for (const QLocale& locale : TypingLocales())
        for (const ScaleRatios& r : ratios)
            for (int code = 0; code < AlarmItemCount; ++code)
                for (quint16 reg : regs) {
                    ++checked;
                    const QString text = AlarmLimitText(code, reg, r, locale);
                    const auto value = ParseAlarmLimit(code, text, locale);
                    const EncodedLimit back =
                        value ? EncodeAlarmLimit(code, *value, r) : EncodedLimit{};
                    if (!value || back.fault != EncodedLimit::Fault::None || back.reg != reg)
                        failures << QStringLiteral("%1 item %2 reg %3 PT %4 CT %5: \"%6\" -> %7")
                                        .arg(locale.name())
                                        .arg(code)
                                        .arg(reg)
                                        .arg(r.pt)
                                        .arg(r.ct)
                                        .arg(text)
                                        .arg(value ? QString::number(back.reg) : "no number");
                }
    EXPECT_EQ(checked, 6 * 8 * 35 * 26);
    EXPECT_TRUE(failures.isEmpty()) << failures.size() << " of " << checked
                                    << ", first: " << failures.mid(0, 5).join('\n').toStdString();
    // The common case keeps the meter's usual texts.
    EXPECT_EQ(AlarmLimitText(1, 2200, {}, kUs), "220.0 V");
    EXPECT_EQ(AlarmLimitText(9, 5000, {}, kUs), "5.000 A");
    EXPECT_EQ(AlarmLimitText(1, 2300, {100, 1}, kDe), "23,000 kV");
    EXPECT_EQ(AlarmLimitText(0, 4950, {}, kDe), "49,50 Hz");
}

// Opening the window and pressing "Set" without touching anything writes back the block
// that was read.
TEST(AlarmWrite, AnUntouchedFillWritesBackTheBlockItCameFrom) {
    RegisterBlock block(AlarmParamBlockCount);
    block.Set(0, 0x0155).Set(1, 200).Set(2, 0x0003).Set(3, 0x0180);
    const quint16 groups[9][3] = {{0, 1, 5010},    {1, 1, 12345},   {9, 0, 65535},
                                  {17, 1, 0xFC18}, {22, 1, 40000},  {27, 0, 0xFE0C},
                                  {31, 1, 1234},   {33, 0, 0x8000}, {13, 1, 12345}};
    for (int g = 0; g < 9; ++g)
        for (int k = 0; k < 3; ++k)
            block.Set(4 + 3 * g + k, groups[g][k]);
    for (const QLocale& locale : {kUs, kDe})
        for (const ScaleRatios r :
             {ScaleRatios{1, 1}, ScaleRatios{100, 40}, ScaleRatios{1.5, 0.2}}) {
            SCOPED_TRACE(locale.name().toStdString() + " PT " + std::to_string(r.pt));
            const auto input = AlarmSettingsFromBlock(block, r, locale);
            ASSERT_TRUE(input.has_value());
            const AlarmWritePlan plan = PlanAlarmWrite(*input, r, locale);
            ASSERT_TRUE(plan.ok()) << plan.error.toStdString();
            EXPECT_EQ(WrittenBlock(plan), block.Values());
        }
    // Codes the lists do not have leave them without a selection.
    block.Set(4, 35).Set(5, 2).Set(1, 256);
    const auto odd = AlarmSettingsFromBlock(block, {}, kUs);
    ASSERT_TRUE(odd.has_value());
    EXPECT_EQ(odd->groups[0].item, -1);
    EXPECT_EQ(odd->groups[0].direction, -1);
    EXPECT_EQ(odd->groups[0].limit, "");
    EXPECT_EQ(odd->delay, -1);
    EXPECT_FALSE(AlarmSettingsFromBlock(block.First(30), {}, kUs).has_value());
}

// On a Chinese desktop the item list, the group labels and the refusals speak Chinese;
// the item names saved in configuration files and reports stay as written.
TEST(AlarmLanguage, TheOperatorReadsTranslatedItemsFilesKeepTheirNames) {
    const ScopedTranslation chinese("zh_CN");
    ASSERT_TRUE(chinese.Loaded());
    AlarmSettingsInput noStatus = Quiet();
    noStatus.groups[2].status = -1;
    QList<quint16> groups(4 + 3 * AlarmGroupCount);
    groups[4] = 17; // group 1 watches Psum
    const struct {
        const char* what;
        QString text;
        QString expected;
    } cases[] = {
        {"the saved name", AlarmItemText(1), "V1 (Phase A Voltage)"},
        {"the shown name", ShownAlarmItemText(1), "V1（A 相电压）"},
        {"the list's last item", ShownAlarmItemTexts().last(), "Dmd_S（视在功率需量）"},
        {"no item outside the list", ShownAlarmItemText(AlarmItemCount), ""},
        {"a group's label", DecodeAlarmItems(groups).first().text, "Psum（总有功功率）"},
        {"a list left empty", PlanAlarmWrite(noStatus, {}, kUs).error,
         "报警参数错误！\n第 3 组：状态 未选择（关或启用）。"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.text, c.expected) << c.what;
}
