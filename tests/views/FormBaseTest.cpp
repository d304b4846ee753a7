#include "FormBase.h"
#include "WindowKit.h"

#include "RegisterBlock.h"
#include "ScriptedDialogs.h"
#include "SessionState.h"
#include "WindowTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

class FormBaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        WidgetTestApp();
        state.Schedule.Restart(); // slot 5 holds the parameter read, 1..4 are free
        form = std::make_unique<TFormBase>(state, dialogs);
        form->SetLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void Connect() { state.Traffic.Connected = true; }
    QColor TextColor(QWidget* w, QPalette::ColorRole role) {
        return w->palette().color(QPalette::Active, role);
    }
    bool NothingQueued() const {
        for (int slot = 1; slot <= 4; ++slot) {
            if (!state.Schedule.Slot(slot).isEmpty())
                return false;
        }
        return true;
    }

    SessionState state;
    ScriptedDialogs dialogs;
    std::unique_ptr<TFormBase> form;
};

} // namespace

TEST_F(FormBaseTest, EveryDecodedLabelExistsInTheFormAndStartsEmptyUntilRead) {
    EXPECT_EQ(form->windowTitle(), "Metering Parameters");
    const auto texts = DecodeMeteringBlock(QList<quint16>(MeteringBlockCount, 0), {}, QLocale::c());
    ASSERT_EQ(texts.size(), 44);
    for (const auto& t : texts) {
        QLabel* label = form->Label(t.label);
        ASSERT_NE(label, nullptr) << t.label.toStdString();
        // Placeholders would read as the meter's values: nothing is shown until a reply.
        EXPECT_EQ(label->text(), "") << t.label.toStdString();
        EXPECT_EQ(TextColor(label, QPalette::WindowText), StaleColor()) << t.label.toStdString();
        EXPECT_EQ(label->toolTip(), "not read yet") << t.label.toStdString();
    }
    EXPECT_EQ(form->Label("LabelTemp")->text(), "");
    EXPECT_EQ(form->Label("LabelDI3")->text(), "");
    EXPECT_EQ(form->RelayButton(1)->text(), "");
    EXPECT_EQ(form->RelayButton(2)->property("tag").toInt(), 2);
    EXPECT_EQ(form->EnergyResetButton()->text(), "Energy Reset");
}

TEST_F(FormBaseTest, RepliesSetTextsAndColours) {
    state.PtRatio = 100.0;
    state.CtRatio = 20.0;
    QList<quint16> block(MeteringBlockCount, 0);
    block[0x00] = 4998;
    block[0x01] = 2300;
    block[0x09] = 5000;
    block[0x20] = 'C';
    form->ShowMeteringBlock(block);
    EXPECT_EQ(form->Label("LabelF")->text(), "49.98 Hz");
    EXPECT_EQ(form->Label("LabelUa")->text(), "23.000 kV");
    EXPECT_EQ(form->Label("LabelIa")->text(), "100.0 A");
    EXPECT_EQ(form->Label("LabelRt")->text(), "Capacitive");
    EXPECT_EQ(form->Label("LabelEq_net")->text(), "0.0 kvarh");

    // An 11 kV feeder (PT 110, CT 120): mega units with the meter's digits, each text whole
    // within its label.
    state.PtRatio = 110.0;
    state.CtRatio = 120.0;
    block[0x0E] = 2534;
    block[0x19] = 7952;
    block[0x2A] = 0x075B;
    block[0x2B] = 0xCD15; // 12345.6789 MWh
    form->ShowMeteringBlock(block);
    const struct {
        const char* label;
        const char* text;
    } feeder[] = {{"LabelUa", "25.300 kV"},
                  {"LabelPa", "33.449 MW"},
                  {"LabelSavg", "104.966 MVA"},
                  {"LabelEq_imp", "12345.6789 Mvarh"}};
    for (const auto& f : feeder) {
        QLabel* label = form->Label(f.label);
        EXPECT_EQ(label->text(), f.text) << f.label;
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()),
                  label->contentsRect().width())
            << f.label;
    }

    // Right-click or Ctrl+C: every value read so far with its caption and unit, as text
    // and as a table.
    QAction* copy = form->findChild<QAction*>("actionCopyValues");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->shortcut(), QKeySequence(QKeySequence::Copy));
    EXPECT_TRUE(form->actions().contains(copy));
    EXPECT_EQ(form->contextMenuPolicy(), Qt::ActionsContextMenu);
    copy->trigger();
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    const QStringList lines = copied->text().split('\n');
    EXPECT_EQ(lines.value(0), "Quantity\tValue\tUnit");
    EXPECT_TRUE(lines.contains("V1\t25.300\tkV")) << copied->text().toStdString();
    EXPECT_TRUE(lines.contains("P1\t33.449\tMW")) << copied->text().toStdString();
    EXPECT_TRUE(copied->html().contains("<td>Ssum</td><td>104.966</td><td>MVA</td>"))
        << copied->html().toStdString();
    // The temperature was not read yet: it is not copied as a value.
    EXPECT_FALSE(copied->text().contains("Temp")) << copied->text().toStdString();

    form->ShowTemperature({0xFF38});
    EXPECT_EQ(form->Label("LabelTemp")->text(), "-20.0 \u00B0C");

    form->ShowInputStates({true, false, true, false});
    EXPECT_EQ(form->Label("LabelDI1")->text(), "ON");
    EXPECT_EQ(TextColor(form->Label("LabelDI1"), QPalette::WindowText), OnColor());
    EXPECT_EQ(form->Label("LabelDI2")->text(), "OFF");
    EXPECT_EQ(TextColor(form->Label("LabelDI2"), QPalette::WindowText), OffColor());

    form->ShowRelayStates({false, true});
    EXPECT_EQ(form->RelayButton(1)->text(), "Off");
    EXPECT_EQ(TextColor(form->RelayButton(1), QPalette::ButtonText), QColor(0, 128, 0));
    EXPECT_EQ(form->RelayButton(2)->text(), "On");
    EXPECT_EQ(TextColor(form->RelayButton(2), QPalette::ButtonText), QColor(255, 0, 0));

    // Short replies touch only what they carry.
    form->ShowRelayStates({true});
    EXPECT_EQ(form->RelayButton(1)->text(), "On");
    EXPECT_EQ(form->RelayButton(2)->text(), "On");
    form->ShowTemperature({});
    EXPECT_EQ(form->Label("LabelTemp")->text(), "-20.0 \u00B0C");
    EXPECT_TRUE(dialogs.Shown().isEmpty());
}

TEST_F(FormBaseTest, WritesWhileDisconnectedAskNothingAndQueueNothing) {
    form->ButtonDO1Click();
    form->ButtonDO2Click();
    form->Button1Click();
    ASSERT_EQ(dialogs.Shown().size(), 3);
    for (const auto& box : dialogs.Shown()) {
        EXPECT_EQ(box.kind, ScriptedDialogs::Kind::Message);
        EXPECT_EQ(box.caption, "Communication Error");
        EXPECT_EQ(box.text, "Please connect the meter first! ");
    }
    EXPECT_TRUE(NothingQueued());
    EXPECT_EQ(form->RelayButton(1)->text(), "");
}

TEST_F(FormBaseTest, NoAnswerChangesNothing) {
    Connect();
    form->ShowRelayStates({false, true});
    dialogs.QueueAnswer(false);
    dialogs.QueueAnswer(false);
    dialogs.QueueAnswer(false);
    form->ButtonDO1Click();
    form->ButtonDO2Click();
    form->Button1Click();
    EXPECT_EQ(dialogs.Texts(),
              QStringList({"Are you sure to switch on RO1?", "Are you sure to switch off RO2?",
                           "Are you sure to reset all Energy Parameters?"}));
    EXPECT_EQ(dialogs.UnansweredQuestions(), 0);
    EXPECT_TRUE(NothingQueued());
    EXPECT_EQ(form->RelayButton(1)->text(), "Off");
    EXPECT_EQ(form->RelayButton(2)->text(), "On");
}

TEST_F(FormBaseTest, RelayClicksQueueTheCommandInSlotOne) {
    Connect();
    // Before the first relay poll the caption is empty: the click offers to switch off.
    dialogs.QueueAnswer(true);
    form->ButtonDO1Click();
    ASSERT_EQ(dialogs.Shown().size(), 1);
    EXPECT_EQ(dialogs.Shown()[0].caption, "Prompt");
    EXPECT_EQ(dialogs.Shown()[0].text, "Are you sure to switch off RO1?");
    EXPECT_EQ(state.Schedule.Slot(1), "00,05,00,00,00,00,00,00");
    EXPECT_EQ(form->RelayButton(1)->text(), "Off");
    EXPECT_EQ(TextColor(form->RelayButton(1), QPalette::ButtonText), OffColor());

    // Now "Off": the next click switches on, and replaces the command still waiting.
    dialogs.QueueAnswer(true);
    form->ButtonDO1Click();
    EXPECT_EQ(dialogs.Texts().last(), "Are you sure to switch on RO1?");
    EXPECT_EQ(state.Schedule.Slot(1), "00,05,00,00,FF,00,00,00");
    EXPECT_EQ(form->RelayButton(1)->text(), "On");
    EXPECT_EQ(TextColor(form->RelayButton(1), QPalette::ButtonText), OnColor());

    form->ShowRelayStates({false, false});
    dialogs.QueueAnswer(true);
    form->RelayButton(2)->click(); // through the button's signal
    EXPECT_EQ(dialogs.Texts().last(), "Are you sure to switch on RO2?");
    EXPECT_EQ(state.Schedule.Slot(1), "00,05,00,01,FF,00,00,00");
    EXPECT_EQ(state.Schedule.Slot(2), "");
    EXPECT_EQ(dialogs.UnansweredQuestions(), 0);
}

TEST_F(FormBaseTest, RelayClickReadsTheCaptionWithoutAcceleratorMarks) {
    // Some desktops put keyboard accelerators into every button text on their own; the
    // caption still says "Off" to the operator and must switch the relay on.
    Connect();
    form->ShowRelayStates({false, true});
    form->RelayButton(1)->setText("O&ff");
    form->RelayButton(2)->setText("&On");
    dialogs.QueueAnswer(true);
    dialogs.QueueAnswer(true);
    form->ButtonDO1Click();
    EXPECT_EQ(state.Schedule.Slot(1), "00,05,00,00,FF,00,00,00");
    form->ButtonDO2Click();
    EXPECT_EQ(dialogs.Texts(),
              QStringList({"Are you sure to switch on RO1?", "Are you sure to switch off RO2?"}));
    EXPECT_EQ(state.Schedule.Slot(1), "00,05,00,01,00,00,00,00");
}

TEST_F(FormBaseTest, EnergyResetQueuesTheZeroWriteInSlotTwo) {
    Connect();
    dialogs.QueueAnswer(true);
    form->EnergyResetButton()->click();
    ASSERT_EQ(dialogs.Shown().size(), 1);
    EXPECT_EQ(dialogs.Shown()[0].caption, "Prompt");
    EXPECT_EQ(state.Schedule.Slot(2),
              "00,10,01,56,00,10,20,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,"
              "00,00,00,00,00,00,00,00,00,00,00,00,00,00");
    EXPECT_EQ(state.Schedule.Slot(1), "");
}

TEST_F(FormBaseTest, RelayEchoConfirmsThenShowsTheMetersState) {
    form->ShowRelayStates({false, false});
    QString captionWhileBoxOpen;
    dialogs.OnShown = [&](const ScriptedDialogs::Box&) {
        captionWhileBoxOpen = form->RelayButton(1)->text();
    };
    form->RelayWriteConfirmed(0, true);
    ASSERT_EQ(dialogs.Shown().size(), 1);
    EXPECT_EQ(dialogs.Shown()[0].caption, "");
    EXPECT_EQ(dialogs.Shown()[0].text, "Control RO1 successfully!");
    EXPECT_EQ(captionWhileBoxOpen, "Off");
    EXPECT_EQ(form->RelayButton(1)->text(), "On");

    form->RelayWriteConfirmed(1, false);
    EXPECT_EQ(dialogs.Texts().last(), "Control RO2 successfully!");
    EXPECT_EQ(form->RelayButton(2)->text(), "Off");

    form->RelayWriteConfirmed(2, true);
    EXPECT_EQ(dialogs.Shown().size(), 2);
}

TEST_F(FormBaseTest, TheWindowKeepsItsSizeAndShowsWholeValuesWhenTheyArrive) {
    form->show();
    QCoreApplication::processEvents();
    const QSize before = form->size();
    // The widest texts the meter makes on a high-voltage installation: 65 kV / 100 V PTs and
    // 1000 A / 5 A CTs, full-scale registers, the largest energy counters.
    RegisterBlock block(MeteringBlockCount, 0xFFFF);
    for (int i = 0x0E; i <= 0x15; ++i)
        block.SetSigned(i, -32768);
    for (int i = 0x1A; i <= 0x1D; ++i)
        block.SetSigned(i, -1000);
    block.Set(0x20, 'C');
    block.Set(0x21, 0x8000).Set(0x22, 0x8000);
    for (int i = 0x26; i < 0x36; i += 2)
        block.Set32(i, -2147483647 - 1);
    state.PtRatio = 650;
    state.CtRatio = 200;
    form->ShowMeteringBlock(block);
    form->ShowTemperature({quint16(-400)});
    QCoreApplication::processEvents();
    EXPECT_EQ(form->size(), before);
    for (const auto& t : DecodeMeteringBlock(block, {650, 200}, QLocale::c())) {
        const QLabel* label = form->Label(t.label);
        EXPECT_GE(label->width(), label->sizeHint().width())
            << t.label.toStdString() << " cuts " << label->text().toStdString();
    }
}

TEST_F(FormBaseTest, ValueLabelsHoldTheWidestTextsAtAnyRatio) {
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    for (const ExtremeMetering& c : ExtremeMeteringCases(MeteringBlockCount))
        ExpectTextsFitTheirLabels(*form, DecodeMeteringBlock(c.block, c.ratios, english), c.what);
}
