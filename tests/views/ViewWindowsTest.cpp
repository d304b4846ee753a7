#include "RegisterBlock.h"
#include "ShellHarness.h"

#include "FormSuperNum.h"
#include "MaxMinDecode.h"
#include "TqvModbus.h"
#include "WindowKit.h"
#include "WindowTestSupport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>
#include <utility>

namespace {

QList<quint16> ParamBlock(quint32 pt1, quint16 pt2, quint16 ct1, int count = 34) {
    return RegisterBlock(count, {{0x01, 1}, {0x02, 9600}, {0x07, pt2}, {0x08, ct1}})
        .Set32(0x05, pt1);
}

class ViewWindowsTest : public ::testing::Test {
protected:
    void SetUp() override { h.Make(true); }
    ViewShell h;
};

} // namespace

TEST_F(ViewWindowsTest, MeteringWindowIsResidentAndParameterWindowComesOnDemand) {
    ASSERT_NE(h.Base(), nullptr);
    EXPECT_TRUE(h.shell->IsChildOpen("FormBase"));
    EXPECT_FALSE(h.shell->IsChildOpen("FormPara"));
    auto* para = qobject_cast<TFormPara*>(h.shell->ShowWindowOfMenuItem("MM0202"));
    ASSERT_NE(para, nullptr);
    EXPECT_TRUE(h.shell->IsChildOpen("FormPara"));
    // No meter settings window in this build: its button stays disabled.
    EXPECT_FALSE(para->SetupButton()->isEnabled());
    EXPECT_EQ(h.shell->ShowWindowOfMenuItem("MM0202"), para);

    h.shell->CloseChild("FormPara");
    EXPECT_TRUE(WaitUntil([&] { return h.Para() == nullptr; }));
    EXPECT_NE(h.shell->ShowWindowOfMenuItem("MM0202"), nullptr);
}

TEST_F(ViewWindowsTest, ParameterRepliesSetRatiosAlwaysAndLabelsOnlyWhileOpen) {
    ReplyRouting& routing = h.shell->Routing();
    routing.RegistersReceived(0x100, ParamBlock(10000, 100, 100));
    EXPECT_DOUBLE_EQ(h.shell->State().PtRatio, 100.0);
    EXPECT_DOUBLE_EQ(h.shell->State().CtRatio, 20.0);

    QList<quint16> block(MeteringBlockCount, 0);
    block[0x01] = 2300;
    block[0x09] = 5000;
    routing.RegistersReceived(0x130, block);
    EXPECT_EQ(h.BaseText("LabelUa"), "23.000 kV");
    EXPECT_EQ(h.BaseText("LabelIa"), "100.0 A");

    // A PT secondary of 0 keeps the PT ratio; the 20-register read-back decodes too.
    routing.RegistersReceived(0x100, ParamBlock(400, 0, 5, 20));
    EXPECT_DOUBLE_EQ(h.shell->State().PtRatio, 100.0);
    EXPECT_DOUBLE_EQ(h.shell->State().CtRatio, 1.0);

    auto* para = qobject_cast<TFormPara*>(h.shell->ShowWindowOfMenuItem("MM0202"));
    ASSERT_NE(para, nullptr);
    EXPECT_EQ(para->Label("LabelPT1")->text(), "");
    routing.RegistersReceived(0x100, ParamBlock(100000, 100, 25));
    EXPECT_EQ(para->Label("LabelPT1")->text(), "100000 V");
    EXPECT_EQ(para->Label("LabelCT1")->text(), "25 A");
    EXPECT_DOUBLE_EQ(h.shell->State().PtRatio, 1000.0);

    // A session reset brings the ratios back to 1.
    h.shell->ResetSession();
    routing.RegistersReceived(0x130, block);
    EXPECT_EQ(h.BaseText("LabelUa"), "230.0 V");
}

TEST_F(ViewWindowsTest, BitsTemperatureAndRelayEchoesReachTheMeteringWindow) {
    ReplyRouting& routing = h.shell->Routing();
    routing.CoilsReceived(0, {true, false});
    EXPECT_EQ(h.Base()->RelayButton(1)->text(), "On");
    EXPECT_EQ(h.Base()->RelayButton(2)->text(), "Off");
    routing.InputsReceived(0, {false, false, false, true});
    EXPECT_EQ(h.BaseText("LabelDI4"), "ON");
    routing.RegistersReceived(0x518, {0xFF38});
    EXPECT_EQ(h.BaseText("LabelTemp"), "-20.0 \u00B0C");
    routing.RelayWriteConfirmed(1, true);
    EXPECT_EQ(h.dialogs.Texts(), QStringList({"Control RO2 successfully!"}));
    EXPECT_EQ(h.Base()->RelayButton(2)->text(), "On");
}

TEST_F(ViewWindowsTest, DemandWindowFollowsTheModelOfTheMainWindow) {
    auto* para = qobject_cast<TFormPara*>(h.shell->ShowWindowOfMenuItem("MM0202"));
    ASSERT_NE(para, nullptr);
    EXPECT_TRUE(para->Label("LabelDemaTime")->isEnabled());
    h.shell->State().MeterModel = 0;
    h.shell->ApplyMeterModel();
    EXPECT_FALSE(para->Label("LabelDemaTime")->isEnabled());
    EXPECT_FALSE(para->Label("Label12")->isEnabled());
    h.shell->State().MeterModel = 1;
    h.shell->ApplyMeterModel();
    EXPECT_TRUE(para->Label("Label12")->isEnabled());
}

// Stop COMM while a reply is still on the line: that reply arrives after the stop and must
// not make the meter connected again, and a relay command confirmed before the stop must
// not wait for a later start.
TEST(ViewWindowsStopTest, ALateReplyAfterStopLeavesTheMeterDisconnectedAndNothingQueued) {
    WidgetTestApp();
    TestShell t;
    t.Make({RegisterViewWindows}, TestShell::ScriptedLine);
    t.FastLine();
    bool stopped = false;
    bool lateReplyDelivered = false;
    t.port.Reply = [&](const QByteArray& request) {
        if (t->Connected() && !stopped) {
            stopped = true;
            t->Schedule().Queue(RelaySlot, QStringLiteral("00,05,00,00,FF,00,00,00"));
            // Posted ahead of this request's reply: the operator's Stop comes first, the
            // reply after it; the flag is posted behind the reply.
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [&] {
                    t->StopPolling();
                    QMetaObject::invokeMethod(
                        QCoreApplication::instance(), [&] { lateReplyDelivered = true; },
                        Qt::QueuedConnection);
                },
                Qt::QueuedConnection);
        }
        return ZeroMeterReply(request);
    };
    t->StartPolling();
    ASSERT_TRUE(WaitUntil([&] { return lateReplyDelivered; }));
    EXPECT_FALSE(t->Connected());
    for (int slot = RelaySlot; slot <= ThirdWriteSlot; ++slot)
        EXPECT_TRUE(t->Schedule().Slot(slot).isEmpty()) << slot;

    t.Window<TFormBase>(WindowName::Base)->ButtonDO1Click();
    ASSERT_EQ(t.dialogs.Shown().size(), 1);
    EXPECT_EQ(t.dialogs.Shown()[0].caption, "Communication Error");
    EXPECT_EQ(t.dialogs.Shown()[0].text, "Please connect the meter first! ");
    EXPECT_TRUE(t->Schedule().Slot(RelaySlot).isEmpty());
}

TEST_F(ViewWindowsTest, ValuesNotFromThePresentConnectionAreGreyAndSayWhenTheyWereRead) {
    QDateTime now(QDate(2026, 12, 7), QTime(14, 3, 12));
    ReplyRouting& routing = h.shell->Routing();
    routing.Freshness().SetClock([&now] { return now; });
    TqvModbus& master = h.shell->Modbus();
    QLabel* ua = h.Base()->Label("LabelUa");
    QLabel* temperature = h.Base()->Label("LabelTemp");
    auto* maxMin = h.Window<TFormSuperNum>(WindowName::SuperNum);
    ASSERT_NE(maxMin, nullptr);
    using Look = std::pair<QColor, QString>;
    auto look = [](const QLabel* l) {
        return Look(l->palette().color(QPalette::WindowText), l->toolTip());
    };
    auto stale = [](const char* tip) { return Look(StaleColor(), tip); };
    const Look fresh(ValueColor(), QString());
    const QList<quint16> metering(MeteringBlockCount, 0);

    EXPECT_EQ(look(ua), stale("not read yet"));
    h.shell->StartPolling();
    master.StopQuery(); // the test is the meter: nothing goes out by itself
    EXPECT_EQ(look(ua), stale("not read yet"));

    routing.RegistersReceived(MeteringBlockStart, metering);
    routing.RegistersReceived(MaxBlockStart, QList<quint16>(MaxMinBlockCount, 0));
    EXPECT_EQ(look(ua), fresh);
    EXPECT_EQ(look(temperature), stale("not read yet")); // its block has not come yet
    QTableWidgetItem* cell = maxMin->MaxGrid()->item(0, 6);
    ASSERT_NE(cell, nullptr);
    EXPECT_FALSE(cell->text().isEmpty());
    EXPECT_EQ(cell->data(Qt::ForegroundRole), QVariant());
    EXPECT_EQ(cell->toolTip(), QString());

    // Lost: nothing shown is the meter's present value, and the line back changes nothing
    // until the meter answers.
    now = now.addSecs(8);
    master.OnLineLost(&master);
    EXPECT_EQ(look(ua), stale("last read 14:03:12"));
    EXPECT_EQ(cell->foreground().color(), StaleColor());
    EXPECT_EQ(cell->toolTip(), "last read 14:03:12");
    master.OnLineBack(&master);
    EXPECT_EQ(look(ua), stale("last read 14:03:12"));
    routing.RegistersReceived(MeteringBlockStart, metering);
    EXPECT_EQ(look(ua), fresh);
    EXPECT_EQ(cell->toolTip(), "last read 14:03:12"); // the max/min block is not read again

    // The metering block asked for again and again without an answer.
    const QByteArray meteringRead = QByteArray::fromHex("0103013000360000");
    for (int i = 0; i < ValueFreshness::kMissedAsks; ++i)
        master.OnAfterSendMsg(&master, meteringRead);
    EXPECT_EQ(look(ua), fresh);
    master.OnAfterSendMsg(&master, meteringRead);
    EXPECT_EQ(look(ua), stale("last read 14:03:20"));
    routing.RegistersReceived(MeteringBlockStart, metering);
    EXPECT_EQ(look(ua), fresh);

    // Stopped: the texts stay as they were, drawn as old.
    const QString shown = ua->text();
    h.shell->StopPolling();
    EXPECT_EQ(look(ua), stale("last read 14:03:20"));
    EXPECT_EQ(ua->text(), shown);
}
