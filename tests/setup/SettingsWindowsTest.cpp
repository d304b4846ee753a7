// The meter settings and energy presetting windows inside the main window: opened from
// their menu items, filled through the reply routing, and what their buttons queue.

#include "FormKw.h"
#include "FormPara.h"
#include "FormSetPara.h"
#include "RegisterBlock.h"
#include "SetupWindows.h"
#include "TestShell.h"
#include "ViewWindows.h"
#include "WindowTestSupport.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

const QString kSettingsWrite = QStringLiteral("00,10,01,00,00,14,28,");

// The meter as meter-sim starts: address 1, 9600 baud, PT 100/100, CT 5.
RegisterBlock ParameterBlock(quint16 address = 1, quint16 baud = 9600) {
    return RegisterBlock(34)
        .Set(0x01, address)
        .Set(0x02, baud)
        .Set32(0x05, 100)
        .Set(0x07, 100)
        .Set(0x08, 5)
        .Set(0x0C, 5)
        .Set(0x0D, 1000)
        .Set(0x12, 10)
        .Set(0x13, 15);
}

class SettingsWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        WidgetTestApp();
        t.Make({RegisterViewWindows, RegisterSetupWindows});
        // Activation needs a shown client area.
        t->show();
    }

    TFormSetPara* OpenSettings() {
        return qobject_cast<TFormSetPara*>(t->ShowWindowOfMenuItem("MM0302"));
    }
    TFormKw* OpenPresets() {
        auto* w = qobject_cast<TFormKw*>(t->ShowWindowOfMenuItem("MM0301"));
        if (w)
            w->SetLocale(QLocale(QLocale::English, QLocale::UnitedStates));
        return w;
    }
    void Connect() { t.State().Traffic.Connected = true; }
    QString WriteSlotText() const { return t.State().Schedule.Slot(WriteSlot); }

    TestShell t;
};

// Each caption label names the control beside it as the input checks name it.
template <typename CaptionOf>
void ExpectCaptionsMatch(const QWidget& form, CaptionOf captionOf, int expected) {
    int seen = 0;
    for (const QLabel* label : form.findChildren<QLabel*>()) {
        if (label->buddy() == nullptr)
            continue;
        ++seen;
        EXPECT_EQ(label->text(), captionOf(label->buddy()->objectName()))
            << label->objectName().toStdString();
    }
    EXPECT_EQ(seen, expected);
}

} // namespace

TEST_F(SettingsWindowsTest, SettingsWindowOpensWithItsListsAndFollowsTheModel) {
    TFormSetPara* w = OpenSettings();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Meter Settings");
    EXPECT_EQ(OpenSettings(), w) << "a second menu use shows the open window";
    ExpectCaptionsMatch(*w, MeterSettingsCaption, 19);

    struct ListCase {
        const char* combo;
        int count;
        const char* first;
        const char* last;
        const char* shown; // "" = no selection
    };
    const ListCase lists[] = {
        {"ComboBaudRate", 7, "38400", "600", "9600"},
        {"ComboUWire", 3, "3LN", "2LL", "3LN"},
        {"ComboIWire", 3, "3CT", "2CT", "3CT"},
        {"ComboAddr", 247, "1", "247", "1"},
        {"ComboDO1Output", 9, "None", "Eqn", "None"},
        {"ComboDO2Output", 9, "None", "Eqn", "None"},
        {"ComboRO1Mode", 2, "Latch", "Momentary", "Latch"},
        {"ComboRO2Mode", 2, "Latch", "Momentary", "Latch"},
        {"ComboPulseWidth", 50, "20", "1000", ""},
        {"ComboLightTime", 121, "0", "120", ""},
        {"ComboDemaTime", 30, "1", "30", ""},
        {"ComboDOWork", 2, "Energy Pulse", "Alarm Output", ""},
    };
    for (const ListCase& l : lists) {
        QComboBox* c = w->Combo(l.combo);
        ASSERT_NE(c, nullptr) << l.combo;
        EXPECT_EQ(c->count(), l.count) << l.combo;
        EXPECT_EQ(c->itemText(0), l.first) << l.combo;
        EXPECT_EQ(c->itemText(c->count() - 1), l.last) << l.combo;
        EXPECT_EQ(c->currentText(), l.shown) << l.combo;
    }
    for (const char* edit : {"EditPassWord", "EditPT1", "EditPT2", "EditCT1", "EditPulseConst",
                             "EditRO1Time", "EditRO2Time"}) {
        ASSERT_NE(w->Edit(edit), nullptr) << edit;
        EXPECT_TRUE(w->Edit(edit)->text().isEmpty()) << edit;
    }

    t.State().MeterModel = 0;
    t->ApplyMeterModel();
    EXPECT_FALSE(w->Combo("ComboDemaTime")->isEnabled());
    EXPECT_FALSE(w->findChild<QLabel*>("Label48")->isEnabled());
    // A meter without a demand window reports 0 there; the rest can still be written.
    t->Routing().RegistersReceived(
        0x100,
        RegisterBlock(34).Set(0x01, 1).Set(0x02, 9600).Set(0x07, 100).Set(0x08, 5).Set(0x0C, 1));
    EXPECT_EQ(w->Combo("ComboDemaTime")->currentIndex(), -1);
    EXPECT_TRUE(CheckMeterSettings(w->Form()).registers);
    t.State().MeterModel = 1;
    t->ApplyMeterModel();
    EXPECT_FALSE(CheckMeterSettings(w->Form()).registers) << "the operator chooses one now";
    EXPECT_TRUE(w->Combo("ComboDemaTime")->isEnabled());
    EXPECT_TRUE(w->findChild<QLabel*>("Label48")->isEnabled());

    // The meter parameters window's "Setup (&S) ..." shows the same window.
    auto* para = qobject_cast<TFormPara*>(t->ShowWindowOfMenuItem("MM0202"));
    ASSERT_NE(para, nullptr);
    ASSERT_TRUE(para->SetupButton()->isEnabled());
    para->SetupButton()->click();
    EXPECT_EQ(t->ClientArea()->activeSubWindow()->widget(), w);
}

TEST_F(SettingsWindowsTest, ControlsLoadOnceAfterEachActivation) {
    TFormSetPara* w = OpenSettings();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->LoadRequested());
    ReplyRouting& routing = t->Routing();
    routing.RegistersReceived(0x100, ParameterBlock(7, 19200));
    EXPECT_FALSE(w->LoadRequested());
    EXPECT_EQ(w->Combo("ComboAddr")->currentText(), "7");
    EXPECT_EQ(w->Combo("ComboBaudRate")->currentText(), "19200");
    EXPECT_EQ(w->Edit("EditPT1")->text(), "100");
    EXPECT_EQ(w->Combo("ComboPulseWidth")->currentText(), "100");
    EXPECT_EQ(w->Combo("ComboLightTime")->currentText(), "10");
    EXPECT_EQ(w->Combo("ComboDemaTime")->currentText(), "15");
    EXPECT_EQ(t.State().MeterAddress, 7);
    EXPECT_EQ(t.State().MeterBaudRate, 19200u);

    // The operator edits; the polls that follow leave the edits alone.
    w->Edit("EditPT1")->setText("10000");
    routing.RegistersReceived(0x100, ParameterBlock(1, 9600));
    EXPECT_EQ(w->Edit("EditPT1")->text(), "10000");
    EXPECT_EQ(w->Combo("ComboAddr")->currentText(), "7");
    EXPECT_EQ(t.State().MeterAddress, 7);

    // The main window getting the focus back (after a message box) is no new activation.
    emit t->Events().ChildActivated(nullptr);
    emit t->Events().ChildActivated(w);
    EXPECT_FALSE(w->LoadRequested());

    // Another window in front and this one back again: the next block loads it.
    t->ShowWindowOfMenuItem("MM0201");
    ASSERT_NE(t->ClientArea()->activeSubWindow()->widget(), w);
    OpenSettings();
    EXPECT_TRUE(w->LoadRequested());
    routing.RegistersReceived(0x100, ParameterBlock(1, 9600).First(20));
    EXPECT_EQ(w->Edit("EditPT1")->text(), "100");
    EXPECT_EQ(t.State().MeterAddress, 1);
    EXPECT_EQ(t.State().MeterBaudRate, 9600u);
}

TEST_F(SettingsWindowsTest, SetQueuesTheWriteOnlyWhenConnectedAndConfirmed) {
    TFormSetPara* w = OpenSettings();
    ASSERT_NE(w, nullptr);
    t->Routing().RegistersReceived(0x100, ParameterBlock());

    // Not connected: the box, nothing else.
    w->SetButton()->click();
    EXPECT_EQ(t.dialogs.Texts(), QStringList{kNotConnectedText});
    EXPECT_TRUE(WriteSlotText().isEmpty());

    Connect();
    t.dialogs.Clear();
    t.dialogs.QueueAnswer(false);
    w->Combo("ComboBaudRate")->setCurrentText("19200");
    w->SetButton()->click();
    EXPECT_EQ(t.dialogs.Texts(), QStringList{"Are you sure to set these Meter Parameters?"});
    EXPECT_EQ(t.dialogs.Shown().first().caption, "Prompt");
    EXPECT_EQ(t.dialogs.Shown().first().detail, "Baud Rate: 9600 → 19200");
    EXPECT_TRUE(WriteSlotText().isEmpty());
    EXPECT_FALSE(t.State().BaudChangePending);
    EXPECT_EQ(t.State().MeterBaudRate, 9600u);

    // Yes with only the baud rate changed.
    t.dialogs.QueueAnswer(true);
    w->SetButton()->click();
    EXPECT_TRUE(WriteSlotText().startsWith(kSettingsWrite + "00,00,00,01,4B,00,"))
        << WriteSlotText().toStdString();
    EXPECT_TRUE(t.State().BaudChangePending);
    EXPECT_FALSE(t.State().AddressChangePending);
    EXPECT_EQ(t.State().MeterBaudRate, 19200u);
    EXPECT_EQ(w, OpenSettings()) << "the window stays open";
}

TEST_F(SettingsWindowsTest, ABaudChangeBehindANetworkConverterSaysItsSerialSideMustFollow) {
    TFormSetPara* w = OpenSettings();
    ASSERT_NE(w, nullptr);
    t->Routing().RegistersReceived(0x100, ParameterBlock());
    Connect();
    struct Case {
        bool network;
        const char* baud;
        bool told; // the question names the converter's serial side
    };
    const Case cases[] = {
        {true, "19200", true},
        {true, "9600", false}, // the rate stays
        {false, "19200", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.network ? "network " : "serial ") + c.baud);
        t.State().Network = c.network;
        t.State().MeterBaudRate = 9600;
        t.dialogs.Clear();
        t.dialogs.QueueAnswer(false);
        w->Combo("ComboBaudRate")->setCurrentText(c.baud);
        w->SetButton()->click();
        ASSERT_EQ(t.dialogs.Texts(), QStringList{"Are you sure to set these Meter Parameters?"});
        const QString detail = t.dialogs.Shown().first().detail;
        EXPECT_EQ(detail.contains(
                      QStringLiteral("set the converter's serial side to %1 baud").arg(c.baud)),
                  c.told)
            << detail.toStdString();
        EXPECT_TRUE(WriteSlotText().isEmpty());
    }
}

TEST_F(SettingsWindowsTest, BadInputShowsWhyAndQueuesAndChangesNothing) {
    TFormSetPara* w = OpenSettings();
    ASSERT_NE(w, nullptr);
    t->Routing().RegistersReceived(0x100, ParameterBlock());
    Connect();
    w->Combo("ComboAddr")->setCurrentText("5");
    w->Combo("ComboBaudRate")->setCurrentText("38400");

    struct BadInput {
        const char* control;
        const char* text; // for an edit; nullptr = the list loses its selection
        const char* names;
    };
    const BadInput cases[] = {
        {"EditPassWord", "",
         "\"Access Code\" must be a whole number from 0 to 65535 (it is empty)"},
        {"EditPassWord", "65536", "\"Access Code\" must be a whole number from 0 to 65535"},
        {"EditPassWord", "-1", "(it holds \"-1\")"},
        {"EditPT1", "4294967296", "\"PT1\" must be a whole number from 0 to 4294967295"},
        {"EditPT1", "1e5", "\"PT1\""},
        {"EditPT2", "0",
         "\"PT2\" must be a whole number from 1 to 65535 (it holds \"0\"). "
         "Nothing was sent to the meter. A PT secondary of 0"},
        {"EditCT1", "0", "\"CT1\" must be a whole number from 1 to 65535"},
        {"EditPulseConst", "1.5", "\"Pulse Rate\""},
        {"EditRO1Time", "abc", "\"RO1-Momentary On Time\""},
        {"EditRO2Time", "70000",
         "\"RO2-Momentary On Time\" must be a whole number from 0 to 65535"},
        {"ComboAddr", nullptr, "\"Meter Address\" has no value selected: choose one from its list"},
        {"ComboBaudRate", nullptr, "\"Baud Rate\" has no value selected"},
        {"ComboDOWork", nullptr, "\"DO Mode\" has no value selected"},
        {"ComboPulseWidth", nullptr, "\"Pulse Width\" has no value selected"},
        {"ComboLightTime", nullptr, "\"Backlight On Time\" has no value selected"},
        {"ComboDemaTime", nullptr, "\"Demand Window Width\" has no value selected"},
    };
    for (const BadInput& c : cases) {
        const MeterSettingsForm good = w->Form();
        if (c.text)
            w->Edit(c.control)->setText(c.text);
        else
            w->Combo(c.control)->setCurrentIndex(-1);
        t.dialogs.Clear();
        w->SetButton()->click();
        ASSERT_EQ(t.dialogs.Shown().size(), 1) << c.control;
        EXPECT_EQ(t.dialogs.Shown().first().kind, ScriptedDialogs::Kind::Message);
        EXPECT_EQ(t.dialogs.Shown().first().caption, "Meter Settings");
        EXPECT_TRUE(t.dialogs.Texts().first().contains(c.names))
            << t.dialogs.Texts().first().toStdString();
        EXPECT_TRUE(WriteSlotText().isEmpty()) << c.control;
        EXPECT_EQ(t.State().MeterAddress, 1) << c.control;
        EXPECT_EQ(t.State().MeterBaudRate, 9600u) << c.control;
        EXPECT_FALSE(t.State().AddressChangePending) << c.control;
        EXPECT_FALSE(t.State().BaudChangePending) << c.control;
        w->ShowForm(good);
    }
}

TEST_F(SettingsWindowsTest, PresetWindowFillsOnceAndAgainAfterAConfirmedPreset) {
    QList<quint16> block = RegisterBlock(54).Set32(0x26, 100).Set32(0x30, -10).Set32(0x34, 123456);
    // A confirmation while the window is closed shows the box only.
    t->Routing().WriteConfirmed(0x156);
    EXPECT_EQ(t.dialogs.Texts(), QStringList{"Energy Parameters have modified successfully!"});

    TFormKw* w = OpenPresets();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Energy Parameters");
    ExpectCaptionsMatch(
        *w,
        [](const QString& edit) { return EnergyPresetCaptions().value(edit.mid(4).toInt() - 1); },
        8);
    t->Routing().RegistersReceived(0x130, block);
    EXPECT_EQ(w->EditTexts(),
              QStringList({"10.0", "0.0", "0.0", "0.0", "0.0", "-1.0", "0.0", "12345.6"}));

    // The operator's numbers survive the polls.
    w->Edit(1)->setText("12345.6");
    w->Edit(8)->setText("0");
    block[0x27] = 200;
    t->Routing().RegistersReceived(0x130, block);
    EXPECT_EQ(w->Edit(1)->text(), "12345.6");

    // Not a number: the message, nothing queued.
    Connect();
    w->Edit(3)->setText("3,5");
    t.dialogs.Clear();
    w->PresetButton()->click();
    ASSERT_EQ(t.dialogs.Texts().size(), 1);
    EXPECT_TRUE(
        t.dialogs.Texts().first().startsWith("\"Reactive Energy Eq_imp\" must be a number"));
    EXPECT_TRUE(WriteSlotText().isEmpty());

    w->Edit(3)->setText("0");
    t.dialogs.Clear();
    t.dialogs.QueueAnswer(true);
    w->PresetButton()->click();
    EXPECT_EQ(t.dialogs.Texts(), QStringList{"Are you sure to preset these Energy Parameters?"});
    // Against the latest poll, not the block the edits were filled from.
    EXPECT_EQ(t.dialogs.Shown().first().detail,
              "Energy Ep_imp: 20.0 → 12345.6\nReactive Energy Eq_net: 12345.6 → 0.0");
    EXPECT_EQ(WriteSlotText(), "00,10,01,56,00,10,20,00,01,E2,40,00,00,00,00,00,00,00,00,00,00,"
                               "00,00,00,00,00,00,FF,FF,FF,F6,00,00,00,00,00,00,00,00,00,00");

    // The meter confirms: the next block shows what it holds now.
    t->Routing().WriteConfirmed(0x156);
    EXPECT_TRUE(w->LoadRequested());
    t->Routing().RegistersReceived(0x130, RegisterBlock(54).Set32(0x26, 123456).Set32(0x30, -10));
    EXPECT_EQ(w->Edit(1)->text(), "12345.6");
    EXPECT_EQ(w->Edit(6)->text(), "-1.0");
    EXPECT_EQ(w->Edit(8)->text(), "0.0");
    EXPECT_FALSE(w->LoadRequested());
}
