// The meter settings and energy preset writes: what goes to the meter for what the
// operator chose, what the meter's blocks put back into the windows, and what is refused.

#include "SettingsMessages.h"
#include "CalibrationRun.h"
#include "ChangedFields.h"
#include "ConfigTransfer.h"
#include "MeterConfigFixture.h"
#include "MeteringDecode.h"
#include "QtTestSupport.h"
#include "RegisterBlock.h"
#include "SessionState.h"
#include "TestLocales.h"

#include <QCoreApplication>
#include <functional>
#include <gtest/gtest.h>
#include <limits>

namespace {

const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtAppEnvironment<QCoreApplication>);

// A complete, valid form: 9600 baud, address 1, PT 100/100, CT 5.
MeterSettingsForm ValidForm() {
    MeterSettingsForm f = InitialMeterSettingsForm();
    f.accessCode = "0";
    f.pt1 = "100";
    f.pt2 = "100";
    f.ct1 = "5";
    f.pulseConst = "1000";
    f.ro1Time = "0";
    f.ro2Time = "0";
    f.pulseWidth = 0;
    f.lightTime = 0;
    f.demandTime = 0;
    f.doWork = 0;
    return f;
}

// The bytes of register `offset` (and the following ones) in a settings message, as
// written: "HH,LL" per register.
QString RegisterBytes(const QString& message, int offset, int registers = 1) {
    return message.section(',', 7 + 2 * offset, 7 + 2 * (offset + registers) - 1);
}

struct BuildCase {
    const char* what;
    std::function<void(MeterSettingsForm&)> change;
    int offset;
    int registers;
    const char* bytes;
};

} // namespace

TEST(MeterSettingsMessage, EachControlLandsInItsRegister) {
    const BuildCase cases[] = {
        {"address 247", [](auto& f) { f.address = AddressItems().indexOf("247"); }, 0x01, 1,
         "00,F7"},
        {"baud 38400", [](auto& f) { f.baudRate = BaudRateItems().indexOf("38400"); }, 0x02, 1,
         "96,00"},
        {"baud 600", [](auto& f) { f.baudRate = BaudRateItems().indexOf("600"); }, 0x02, 1,
         "02,58"},
        {"PT1 100000", [](auto& f) { f.pt1 = "100000"; }, 0x05, 2, "00,01,86,A0"},
        {"PT1 at its top", [](auto& f) { f.pt1 = "4294967295"; }, 0x05, 2, "FF,FF,FF,FF"},
        {"access code at its top", [](auto& f) { f.accessCode = "65535"; }, 0x00, 1, "FF,FF"},
        {"blanks around a number", [](auto& f) { f.ct1 = " 100 "; }, 0x08, 1, "00,64"},
        {"2LL wiring", [](auto& f) { f.voltageWiring = VoltageWiringItems().indexOf("2LL"); }, 0x03,
         1, "00,02"},
        {"alarm output", [](auto& f) { f.doWork = DoModeItems().indexOf("Alarm Output"); }, 0x09, 1,
         "00,01"},
        {"DO2 pulses Eqn", [](auto& f) { f.do2Output = PulseSourceItems().indexOf("Eqn"); }, 0x0B,
         1, "00,08"},
        {"pulse width 20", [](auto& f) { f.pulseWidth = PulseWidthItems().indexOf("20"); }, 0x0C, 1,
         "00,01"},
        {"pulse width 1000", [](auto& f) { f.pulseWidth = PulseWidthItems().indexOf("1000"); },
         0x0C, 1, "00,32"},
        {"RO2 momentary", [](auto& f) { f.ro2Mode = RelayModeItems().indexOf("Momentary"); }, 0x10,
         1, "00,01"},
        {"backlight 0", [](auto& f) { f.lightTime = BacklightItems().indexOf("0"); }, 0x12, 1,
         "00,00"},
        {"backlight 120", [](auto& f) { f.lightTime = BacklightItems().indexOf("120"); }, 0x12, 1,
         "00,78"},
        {"demand 1", [](auto& f) { f.demandTime = DemandWindowItems().indexOf("1"); }, 0x13, 1,
         "00,01"},
        {"demand 30", [](auto& f) { f.demandTime = DemandWindowItems().indexOf("30"); }, 0x13, 1,
         "00,1E"},
        {"demand window kept while its list is disabled",
         [](auto& f) {
             f.demandTime = -1;
             f.keptDemandWindow = 0;
         },
         0x13, 1, "00,00"},
    };
    for (const BuildCase& c : cases) {
        MeterSettingsForm form = ValidForm();
        c.change(form);
        const MeterSettingsCheck check = CheckMeterSettings(form);
        ASSERT_TRUE(check.registers) << c.what << ": " << check.problem.message.toStdString();
        const QString message = MeterSettingsMessage(*check.registers);
        EXPECT_EQ(RegisterBytes(message, c.offset, c.registers), c.bytes) << c.what;
    }

    // One message in full: header, 20 registers, the CRC placeholders.
    const MeterSettingsCheck check = CheckMeterSettings(ValidForm());
    ASSERT_TRUE(check.registers);
    EXPECT_EQ(MeterSettingsMessage(*check.registers),
              "00,10,01,00,00,14,28,"
              "00,00,00,01,25,80,00,00,00,00,00,00,00,64,00,64,00,05,00,00,"
              "00,00,00,00,00,01,03,E8,00,00,00,00,00,00,00,00,00,00,00,01,"
              "00,00");
}

TEST(MeterSettingsFill, TheParameterBlockSetsEveryControl) {
    const RegisterBlock block = RegisterBlock(34)
                                    .Set(0x00, 1234)
                                    .Set(0x01, 247)
                                    .Set(0x02, 0x9600)
                                    .Set(0x03, 2)
                                    .Set(0x04, 1)
                                    .Set32(0x05, 100000)
                                    .Set(0x07, 100)
                                    .Set(0x08, 50)
                                    .Set(0x09, 1)
                                    .Set(0x0A, 8)
                                    .Set(0x0B, 3)
                                    .Set(0x0C, 50)
                                    .Set(0x0D, 3200)
                                    .Set(0x0E, 1)
                                    .Set(0x0F, 500)
                                    .Set(0x10, 0)
                                    .Set(0x11, 65535)
                                    .Set(0x12, 120)
                                    .Set(0x13, 30);
    const auto form = MeterSettingsFill(block);
    ASSERT_TRUE(form);
    EXPECT_EQ(AddressItems().value(form->address), "247");
    EXPECT_EQ(BaudRateItems().value(form->baudRate), "38400");
    EXPECT_EQ(form->pt1, "100000");
    EXPECT_EQ(PulseWidthItems().value(form->pulseWidth), "1000");
    EXPECT_EQ(BacklightItems().value(form->lightTime), "120");
    EXPECT_EQ(DemandWindowItems().value(form->demandTime), "30");
    EXPECT_EQ(DoModeItems().value(form->doWork), "Alarm Output");

    // Every other control too: what the meter reported goes back unchanged when the
    // operator only presses "Set".
    for (const QLocale& locale : TypingLocales()) {
        const MeterSettingsCheck check = CheckMeterSettings(*form, locale);
        ASSERT_TRUE(check.registers) << check.problem.message.toStdString();
        for (int i = 0; i < MeterSettingsCount; ++i)
            EXPECT_EQ((*check.registers)[i], block.Values()[i])
                << "register " << i << " in " << locale.name().toStdString();
    }

    // A PT1 above 2^31 stays the unsigned number the edit accepts.
    EXPECT_EQ(MeterSettingsFill(RegisterBlock(20).Set32(0x05, 0xFFFFFFFFll).Set(0x01, 1))->pt1,
              "4294967295");
    // A rate the list does not hold shows as 9600; codes outside a list leave no selection.
    const auto odd = MeterSettingsFill(
        RegisterBlock(20).Set(0x01, 0).Set(0x02, 1234).Set(0x0C, 0).Set(0x13, 31));
    ASSERT_TRUE(odd);
    EXPECT_EQ(BaudRateItems().value(odd->baudRate), "9600");
    EXPECT_EQ(odd->address, -1);
    EXPECT_EQ(odd->pulseWidth, -1);
    EXPECT_EQ(odd->demandTime, -1);
    // A fresh window cannot write before the meter's values arrived: its pulse width,
    // backlight, demand and DO mode lists have no selection yet.
    EXPECT_FALSE(CheckMeterSettings(InitialMeterSettingsForm()).registers);
    // The 20-register read-back fills too; a shorter block does not.
    EXPECT_TRUE(MeterSettingsFill(RegisterBlock(20)));
    EXPECT_FALSE(MeterSettingsFill(RegisterBlock(19)));
}

TEST(MeterSettingsChange, OnlyARealChangeOfAddressOrBaudRaisesItsFlag) {
    struct ChangeCase {
        const char* what;
        quint16 knownAddress;
        quint32 knownBaud;
        const char* address;
        const char* baud;
        bool addressFlag;
        bool baudFlag;
    };
    const ChangeCase cases[] = {
        {"same values", 1, 9600, "1", "9600", false, false},
        {"baud only", 1, 9600, "1", "19200", false, true},
        {"address only", 1, 9600, "5", "9600", true, false},
        {"both", 5, 19200, "1", "9600", true, true},
        {"meter not read yet", 300, 0, "1", "9600", true, true},
    };
    for (const ChangeCase& c : cases) {
        SessionState state;
        state.MeterAddress = c.knownAddress;
        state.MeterBaudRate = c.knownBaud;
        MeterSettingsForm form = ValidForm();
        form.address = AddressItems().indexOf(c.address);
        form.baudRate = BaudRateItems().indexOf(c.baud);
        const MeterSettingsCheck check = CheckMeterSettings(form);
        ASSERT_TRUE(check.registers) << c.what;
        NoteSettingsWrite(state, *check.registers);
        EXPECT_EQ(state.AddressChangePending, c.addressFlag) << c.what;
        EXPECT_EQ(state.BaudChangePending, c.baudFlag) << c.what;
        EXPECT_EQ(state.MeterAddress, QString(c.address).toUInt()) << c.what;
        EXPECT_EQ(state.MeterBaudRate, QString(c.baud).toUInt()) << c.what;
        EXPECT_EQ(state.DevAddr, 1) << c.what; // the line follows only on confirmation
    }

    // A fill tells the main window the meter's address and the baud rate the list shows.
    SessionState state;
    const RegisterBlock block = RegisterBlock(20).Set(0x01, 17).Set(0x02, 1234);
    NoteSettingsRead(state, block, *MeterSettingsFill(block));
    EXPECT_EQ(state.MeterAddress, 17);
    EXPECT_EQ(state.MeterBaudRate, 9600u);
    EXPECT_FALSE(state.AddressChangePending);
    EXPECT_FALSE(state.BaudChangePending);
}

TEST(EnergyPreset, CountersAreTenthsRoundedToEvenAndRefusedOutsideTheirRange) {
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    const QLocale french(QLocale::French, QLocale::France);
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    constexpr qint32 kTop = std::numeric_limits<qint32>::max();
    constexpr qint32 kBottom = std::numeric_limits<qint32>::min();
    struct ParseCase {
        const char* text;
        QLocale locale;
        std::optional<qint32> tenths;
    };
    const ParseCase cases[] = {
        {"12345.6", english, 123456},
        {"-1.0", english, -10},
        {"0", english, 0},
        {" 10.0 ", english, 100},
        {"0.25", english, 2}, // ties go to the even tenth
        {"0.75", english, 8},
        {"-0.25", english, -2},
        {"0.04", english, 0},
        {"214748364.7", english, kTop},
        {"-214748364.8", english, kBottom},
        {"214748364.8", english, std::nullopt}, // would wrap to a negative count
        {"-214748364.9", english, std::nullopt},
        {"1e12", english, std::nullopt},
        {"12345,6", german, 123456},       // the user's decimal comma
        {"12345.6", french, 123456},       // and a plain point where it means nothing else
        {"12.345", german, std::nullopt},  // twelve thousand there, twelve to a script:
        {"12.345", italian, std::nullopt}, // refused, never read one way or the other
        {"12.345,6", german, 123456},
        {"12345.6", german, std::nullopt}, // a point there groups
        {"1,234", english, 12340},
        {"1,23", english, std::nullopt},
        {"", english, std::nullopt},
        {"abc", english, std::nullopt},
        {"inf", english, std::nullopt},
        {"nan", english, std::nullopt},
    };
    for (const ParseCase& c : cases)
        EXPECT_EQ(ParseEnergyTenths(c.text, c.locale), c.tenths)
            << c.text << " in " << c.locale.name().toStdString();

    const auto check =
        CheckEnergyPresets({"12345.6", "0", "0", "0", "0", "-1.0", "0", "214748364.7"}, english);
    ASSERT_TRUE(check.presets) << check.problem.message.toStdString();
    EXPECT_EQ(EnergyPresetMessage(*check.presets),
              "00,10,01,56,00,10,20,"
              "00,01,E2,40,00,00,00,00,00,00,00,00,00,00,00,00,"
              "00,00,00,00,FF,FF,FF,F6,00,00,00,00,7F,FF,FF,FF,"
              "00,00");
    const auto zeros = CheckEnergyPresets(QStringList(8, "0"), english);
    ASSERT_TRUE(zeros.presets);
    EXPECT_EQ(EnergyPresetMessage(*zeros.presets),
              "00,10,01,56,00,10,20," + QStringList(32, "00").join(',') + ",00,00");

    // The first edit that cannot be written is named with its caption and the range.
    const auto bad = CheckEnergyPresets({"1", "2", "x", "4", "5", "6", "7", "8"}, english);
    EXPECT_FALSE(bad.presets);
    EXPECT_EQ(bad.problem.control, "Edit3");
    EXPECT_EQ(bad.problem.message,
              "\"Reactive Energy Eq_imp\" must be a number from -214748364.8 to 214748364.7 "
              "(it holds \"x\"). Nothing was sent to the meter. Numbers are typed like "
              "12,345.6.");
    const auto badGerman = CheckEnergyPresets({"", "", "", "", "", "", "", ""}, german);
    EXPECT_EQ(badGerman.problem.message,
              "\"Energy Ep_imp\" must be a number from -214748364,8 to 214748364,7 (it is "
              "empty). Nothing was sent to the meter.");
}

// The counters the window shows read back as the counters they came from, in every
// typing locale.
TEST(EnergyPreset, EveryShownCounterReadsBackAsItsCount) {
    const qint32 counts[] = {0,       1,        -1,        10,         123456,     -123456,
                             9999999, 12345678, -12345678, 1000000000, 2147483647, -2147483647 - 1};
    constexpr int kFirstCounter = 0x156 - 0x130;
    for (const QLocale& locale : TypingLocales())
        for (int shift = 0; shift < 8; ++shift) {
            RegisterBlock block(kFirstCounter + 2 * EnergyCounterCount);
            EnergyPresets expected{};
            for (int i = 0; i < EnergyCounterCount; ++i) {
                expected[i] = counts[(i + shift * 3) % std::size(counts)];
                block.Set32(kFirstCounter + 2 * i, quint32(expected[i]));
            }
            const QStringList texts = EnergyEditTexts(block, locale);
            const EnergyPresetCheck check = CheckEnergyPresets(texts, locale);
            ASSERT_TRUE(check.presets)
                << locale.name().toStdString() << ": " << check.problem.message.toStdString();
            EXPECT_EQ(*check.presets, expected) << texts.join(" | ").toStdString();
        }
}

// What the write question lists below itself: the fields whose shown value the write
// changes, by the window's caption, in the window's order.
TEST(ChangedFields, OnlyTheFieldsThatDifferAsTheWindowShowsThem) {
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const auto settings = [](const std::function<void(MeterSettingsForm&)>& change) {
        MeterSettingsForm form = ValidForm();
        change(form);
        return MeterSettingsFields(*CheckMeterSettings(form).registers);
    };
    const QList<FieldText> meter = settings([](MeterSettingsForm&) {});
    EnergyPresets counters{100, 0, 0, 0, 0, 0, 0, 123456};
    const QList<FieldText> energy = EnergyPresetFields(counters, english);
    struct Case {
        const char* what;
        QList<FieldText> meter, window;
        QStringList expected;
    };
    const Case cases[] = {
        {"nothing changed", meter, settings([](MeterSettingsForm&) {}), {}},
        {"only the address",
         meter,
         settings([](MeterSettingsForm& f) { f.address = 1; }),
         {"Meter Address: 1 → 2"}},
        {"a number typed otherwise writes the same register",
         meter,
         settings([](MeterSettingsForm& f) { f.pt2 = "0100"; }),
         {}},
        {"window order, units beside the controls, both registers of PT1",
         meter,
         settings([](MeterSettingsForm& f) {
             f.pulseWidth = 1;
             f.pt1 = "70000";
             f.baudRate = BaudRateItems().indexOf("19200");
         }),
         {"Baud Rate: 9600 → 19200", "PT1: 100 → 70000", "Pulse Width: 20 ms → 40 ms"}},
        {"energy counters in tenths, as the edits show them",
         energy,
         EnergyPresetFields({100, 0, 0, 0, 0, -10, 0, 123456}, english),
         {"Energy Ep_net: 0.0 → -1.0"}},
        {"a field the meter side lacks",
         {},
         {{"Alarm Delay", "300 ms"}},
         {"Alarm Delay:  → 300 ms"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChangedFields(c.meter, c.window), c.expected) << c.what;

    // The other write questions: a calibration's corrections added to the coefficients (in
    // the reading the sum is judged in), and a configuration restore (meter → file; the
    // address and baud rate only when the restore takes them along).
    const auto calibrated = [](quint16 coefficient, qint64 correction) {
        CoefficientValues held{};
        held[0x520 - CoefficientBlockStart] = qint16(coefficient);
        CalibrationResult result;
        result.corrections[VoltageA] = correction;
        return PlanCalibrationWrite(WriteCaseFor({CalibrationMode::Amplitude, true, true}), held,
                                    result)
            .changes;
    };
    MeterConfiguration meterNow = SampleConfiguration();
    meterNow.settings[0x01] = 1;   // address
    meterNow.settings[0x08] = 100; // CT1
    meterNow.alarms[6] = 2400;     // group 1's limit
    const MeterConfiguration file = SampleConfiguration();
    const struct {
        const char* what;
        QStringList changes, expected;
    } lists[] = {
        {"a coefficient past 0x7FFF", calibrated(0x7FFF, 1), {"UA--ADJ: 32767 → 32768"}},
        {"a coefficient below zero", calibrated(0xFFFF, 1), {"UA--ADJ: -1 → 0"}},
        {"no correction", calibrated(1200, 0), {}},
        {"restore",
         RestoreChanges(CompareConfigs(file, meterNow, false)),
         {"CT1: 100 → 200", "Group 1 Value: 24.000 kV → 25.300 kV"}},
        {"restore with address",
         RestoreChanges(CompareConfigs(file, meterNow, true)),
         {"Meter Address: 1 → 5", "CT1: 100 → 200", "Group 1 Value: 24.000 kV → 25.300 kV"}},
    };
    for (const auto& l : lists)
        EXPECT_EQ(l.changes, l.expected) << l.what;
    EXPECT_EQ(ChangedFieldsDetail({}), "Nothing differs from what the meter holds.");
    EXPECT_EQ(ChangedFieldsDetail({"PT1: 1 → 2", "CT1: 5 → 1"}), "PT1: 1 → 2\nCT1: 5 → 1");
}

// On a Chinese desktop the operator reads the captions in Chinese in the refusals and in
// the list of changes; the names a configuration file takes stay the window's own.
TEST(SettingsLanguage, TheOperatorReadsTranslatedCaptionsFilesKeepTheirNames) {
    const ScopedTranslation chinese("zh_CN");
    ASSERT_TRUE(chinese.Loaded());
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const auto refusal = [](const std::function<void(MeterSettingsForm&)>& change) {
        MeterSettingsForm form = ValidForm();
        change(form);
        return CheckMeterSettings(form).problem.message;
    };
    const struct {
        const char* what;
        QString message;
        QString expected;
    } cases[] = {
        {"a refused edit", refusal([](MeterSettingsForm& f) { f.accessCode = "x"; }),
         "\"访问密码\" 必须是 0 到 65535 之间的整数（其内容为“x”）。"},
        {"why a zero cannot go", refusal([](MeterSettingsForm& f) { f.pt2 = "0"; }),
         "PT 二次侧为 0 会使 PT 变比 PT1/PT2 无穷大。"},
        {"a list without a choice", refusal([](MeterSettingsForm& f) { f.baudRate = -1; }),
         "\"波特率\""},
        {"an energy counter", CheckEnergyPresets({"0", "x"}, english).problem.message,
         "\"有功电能 Ep_exp\""},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(c.message.contains(c.expected)) << c.what << ": " << c.message.toStdString();

    MeterSettingsForm moved = ValidForm();
    moved.address = 1;
    EXPECT_EQ(ChangedFields(MeterSettingsFields(*CheckMeterSettings(ValidForm()).registers),
                            MeterSettingsFields(*CheckMeterSettings(moved).registers)),
              QStringList{"仪表地址: 1 → 2"});
    const QList<MeterSettingView> views = ViewMeterSettings(*CheckMeterSettings(moved).registers);
    EXPECT_EQ(views.first().name, "Access Code");
    EXPECT_EQ(views.first().shownName, "访问密码");
}
