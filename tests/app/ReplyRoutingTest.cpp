#include "ReplyRouting.h"
#include "ScriptedDialogs.h"
#include "SessionState.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

struct RoutingFixture : ::testing::Test {
    SessionState state;
    ScriptedDialogs dialogs;
    QStringList openChildren;
    QStringList closed;
    int reopenRequests = 0;
    ReplyRouting routing{
        state, dialogs,
        ReplyRouting::Host{[this](const QString& n) { return openChildren.contains(n); },
                           [this](const QString& n) {
                               closed << n;
                               openChildren.removeAll(n);
                           },
                           [this] { ++reopenRequests; }}};

    void SetUp() override {
        state.ResetSession();
        state.Schedule.Queue(ReadOnceSlot, QString());
    }
};

} // namespace

TEST_F(RoutingFixture, BlocksReachTheDecodersOfTheirStartAddressOnly) {
    QList<quint16> got;
    int otherCalls = 0;
    routing.AddBlockDecoder(0x130, [&](const QList<quint16>& v) { got = v; });
    routing.AddBlockDecoder(0x100, [&](const QList<quint16>&) { ++otherCalls; });
    routing.RegistersReceived(0x130, {1, 2, 3});
    routing.RegistersReceived(0x1D6, {9}); // nobody registered: dropped
    EXPECT_EQ(got, QList<quint16>({1, 2, 3}));
    EXPECT_EQ(otherCalls, 0);
    EXPECT_TRUE(dialogs.Shown().isEmpty());
}

TEST_F(RoutingFixture, AFailingDecoderEndsQuietlyAndOthersStillRun) {
    QString label = "old";
    int second = 0;
    routing.AddBlockDecoder(0x130, [&](const QList<quint16>& v) {
        label = "new";
        if (v.size() < 54)
            throw std::out_of_range("short block");
    });
    routing.AddBlockDecoder(0x130, [&](const QList<quint16>&) { ++second; });
    const int key = routing.AddBlockDecoder(0x518, [](const QList<quint16>&) { throw 42; });
    EXPECT_NO_THROW(routing.RegistersReceived(0x130, {1}));
    EXPECT_NO_THROW(routing.RegistersReceived(0x518, {1}));
    EXPECT_EQ(label, "new");
    EXPECT_EQ(second, 1);
    EXPECT_TRUE(dialogs.Shown().isEmpty());
    routing.RemoveBlockDecoder(key);
    EXPECT_FALSE(routing.HasBlockDecoder(0x518));
    EXPECT_TRUE(routing.HasBlockDecoder(0x130));
}

TEST_F(RoutingFixture, WriteConfirmationsShowTheirBoxCloseTheirWindowAndQueueTheirReadBack) {
    routing.AddWriteConfirmation(0x330, "Stored.", "FormSetAlarm");
    routing.AddReadBack(0x330, 0x330, "00,03,03,30,00,1F,00,00");
    routing.AddWriteConfirmation(0x531, "Angles stored.", "FormChangeConst");
    routing.AddReadBack(0x51B, 0xFFFF, "00,03,05,1B,00,19,00,00");
    openChildren = {"FormSetAlarm", "FormChangeConst", "FormKw"};
    struct Case {
        quint16 addr;
        QString box;
        QString slot5;
        QStringList closed; // so far
    } cases[] = {
        {0x330, "Stored.", "00,03,03,30,00,1F,00,00", {"FormSetAlarm"}},
        {0x531, "Angles stored.", "00,03,05,1B,00,19,00,00", {"FormSetAlarm", "FormChangeConst"}},
        // Already closed: nothing more to close.
        {0x531, "Angles stored.", "00,03,05,1B,00,19,00,00", {"FormSetAlarm", "FormChangeConst"}},
        // Covered by the area alone: read back without a box.
        {0x52E, "", "00,03,05,1B,00,19,00,00", {"FormSetAlarm", "FormChangeConst"}},
        {0x115, "", "", {"FormSetAlarm", "FormChangeConst"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.addr);
        dialogs.Clear();
        state.Schedule.Queue(ReadOnceSlot, QString());
        routing.WriteConfirmed(c.addr);
        if (c.box.isEmpty()) {
            EXPECT_TRUE(dialogs.Shown().isEmpty());
        } else {
            ASSERT_EQ(dialogs.Shown().size(), 1);
            EXPECT_EQ(dialogs.Shown()[0].text, c.box);
            EXPECT_EQ(dialogs.Shown()[0].caption, QString());
        }
        EXPECT_EQ(state.Schedule.Slot(ReadOnceSlot), c.slot5);
        EXPECT_EQ(closed, c.closed);
    }
}

TEST_F(RoutingFixture, FollowUpsOfAWriteRunAfterItsBox) {
    QStringList order;
    dialogs.OnShown = [&](const ScriptedDialogs::Box& b) { order << b.text; };
    routing.AddWriteConfirmation(0x156, "Energy Parameters have modified successfully!");
    routing.AddWriteConfirmation(0x100, "Meter Parameters have modified successfully!");
    routing.AddWriteConfirmedHandler(0x156, [&] { order << "reload"; });
    routing.AddWriteConfirmedHandler(0x100, [&] { throw std::runtime_error("window gone"); });
    routing.WriteConfirmed(0x156);
    EXPECT_NO_THROW(routing.WriteConfirmed(0x100));
    EXPECT_EQ(order, QStringList({"Energy Parameters have modified successfully!", "reload",
                                  "Meter Parameters have modified successfully!"}));
}

TEST_F(RoutingFixture, AddressAndBaudChangesAreConfirmedByTheNextFailureAddressFirst) {
    state.DevAddr = 1;
    state.MeterAddress = 5;
    state.MeterBaudRate = 19200;
    state.AddressChangePending = state.BaudChangePending = true;

    routing.WriteConfirmed(0x100); // the meter's echo of the settings write changes nothing here
    EXPECT_TRUE(state.AddressChangePending);
    dialogs.Clear();

    routing.ResponseFailed();
    EXPECT_EQ(dialogs.Texts(), QStringList({"Meter Address has modified successfully!",
                                            "Meter Baudrate has modified successfully!"}));
    EXPECT_EQ(state.DevAddr, 5);
    EXPECT_FALSE(state.AddressChangePending);
    EXPECT_FALSE(state.BaudChangePending);
    EXPECT_EQ(reopenRequests, 1);

    routing.ResponseFailed(); // later failures confirm nothing
    EXPECT_EQ(dialogs.Shown().size(), 2);
    EXPECT_EQ(reopenRequests, 1);
}

TEST_F(RoutingFixture, BitAndRelayRepliesGoToTheirHandlers) {
    QList<bool> coils, inputs;
    QList<std::pair<quint16, bool>> relays;
    routing.CoilsReceived(0, {true}); // no handler yet: nothing happens
    routing.SetCoilHandler([&](quint16, const QList<bool>& v) { coils = v; });
    routing.SetInputHandler([&](quint16, const QList<bool>& v) { inputs = v; });
    routing.SetRelayWriteHandler([&](quint16 a, bool v) { relays.append({a, v}); });
    routing.CoilsReceived(0, {true, false});
    routing.InputsReceived(0, {false, false, true, true});
    routing.RelayWriteConfirmed(1, true);
    EXPECT_EQ(coils, QList<bool>({true, false}));
    EXPECT_EQ(inputs, QList<bool>({false, false, true, true}));
    ASSERT_EQ(relays.size(), 1);
    EXPECT_EQ(relays[0], std::make_pair(quint16(1), true));
}
