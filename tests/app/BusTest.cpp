#include "AddressList.h"
#include "BusMeterState.h"
#include "BusOverview.h"
#include "BusRotation.h"
#include "SessionState.h"
#include "ValueFreshness.h"

#include <QDateTime>
#include <QSet>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

struct ListCase {
    const char* typed;
    const char* read;    // the list as it is written back
    const char* refused; // the entries refused, joined by "|"
    bool problem;        // the operator's list is refused
};

const ListCase kLists[] = {
    {"1-12, 17", "1-12, 17", "", false},
    {"17 3 2 1", "1-3, 17", "", false},
    {" 5 - 7;9 ", "5-7, 9", "", false},
    {"1,1,2,2-3", "1-3", "", false},
    {"1,2", "1, 2", "", false},
    {"247", "247", "", false},
    {"1-247", "1-247", "", false},
    {"0", "", "0", true},
    {"248", "", "248", true},
    {"1-248, 3", "3", "1-248", true},
    {"12-1", "", "12-1", true},
    {"x, 4", "4", "x", true},
    {"99999999999999999999", "", "99999999999999999999", true},
    {"1-", "", "1-", true},
    {"-3", "", "-3", true},
    {"0x10", "", "0x10", true},
    {"", "", "", true},
    {" , ", "", "", true},
};

} // namespace

TEST(AddressList, ReadsAddressesAndRangesOfTheLineAndRefusesTheRest) {
    for (const ListCase& c : kLists) {
        SCOPED_TRACE(c.typed);
        const AddressList list = AddressList::Read(QString::fromUtf8(c.typed));
        EXPECT_EQ(AddressList::Text(list.addresses).toStdString(), c.read);
        EXPECT_EQ(list.refused.join(QLatin1Char('|')).toStdString(), c.refused);
        EXPECT_EQ(!list.Problem().isEmpty(), c.problem) << list.Problem().toStdString();
        if (c.problem) {
            EXPECT_TRUE(list.Problem().contains(QLatin1String("Addresses: ")) &&
                        list.Problem().contains(QLatin1String("247")));
        }
        EXPECT_EQ(list.DroppedText().isEmpty(), list.refused.isEmpty());
    }
    // A text longer than any list is refused unread.
    const AddressList huge = AddressList::Read(QString(AddressList::kMaxTextLength + 1, u'1'));
    EXPECT_TRUE(huge.addresses.isEmpty());
    EXPECT_FALSE(huge.Problem().isEmpty());
}

namespace {

struct RotationCase {
    const char* name;
    QList<int> addresses;
    int picked;         // 0: every meter once a round (the poller's way)
    QSet<int> dead;     // meters that never answer...
    int deadUntilRound; // ...up to and including this round (0: for ever)
    const char* rounds; // what each round asked, rounds separated by blanks
};

// Overview rounds write the one meter asked ("0" for none), poller rounds the meters asked
// joined by ".".
const RotationCase kRotations[] = {
    {"every other meter in turn", {1, 2, 3, 4}, 1, {}, 0, "2 3 4 2 3 4 2"},
    {"the picked meter in the middle", {1, 2, 3, 4}, 3, {}, 0, "1 2 4 1 2 4"},
    {"a single meter has no overview", {5}, 5, {}, 0, "0 0 0"},
    {"a dead meter is skipped for eight rounds after three misses",
     {1, 2, 3, 4},
     1,
     {3},
     0,
     "2 3 4 2 3 4 2 3 4 2 4 2 4 2 4 2 3 4 2 4"},
    {"a dead meter alone on the line costs one request in eight rounds",
     {1, 2},
     1,
     {2},
     0,
     "2 2 2 0 0 0 0 0 0 0 2 0 0 0 0 0 0 0 2"},
    {"a meter that answers again is asked every round again",
     {1, 2},
     1,
     {2},
     18,
     "2 2 2 0 0 0 0 0 0 0 2 0 0 0 0 0 0 0 2 2 2"},
    {"the poller asks every live meter each round", {1, 2, 3}, 0, {}, 0, "1.2.3 1.2.3"},
    {"the poller probes a dead meter every eighth round",
     {1, 2, 3, 4},
     0,
     {3},
     0,
     "1.2.3.4 1.2.3.4 1.2.3.4 1.2.4 1.2.4 1.2.4 1.2.4 1.2.4 1.2.4 1.2.4 1.2.3.4 1.2.4"},
    {"the poller probes at most one dead meter a round",
     {1, 2, 3, 4},
     0,
     {2, 3},
     0,
     "1.2.3.4 1.2.3.4 1.2.3.4 1.4 1.4 1.4 1.4 1.4 1.4 1.4 1.2.4 1.3.4 1.4 1.4 1.4 1.4 1.4 1.4 "
     "1.2.4 1.3.4"},
};

} // namespace

TEST(BusRotation, LiveMetersGoInTurnAndSilentOnesOnlyEveryEighthRound) {
    for (const RotationCase& c : kRotations) {
        SCOPED_TRACE(c.name);
        BusRotation rotation;
        rotation.SetAddresses(c.addresses);
        rotation.SetPicked(c.picked);
        const int rounds = int(QString::fromUtf8(c.rounds).split(QLatin1Char(' ')).size());
        QStringList seen;
        for (int r = 1; r <= rounds; ++r) {
            QList<int> asked;
            if (c.picked != 0) {
                const int a = rotation.NextOverview();
                if (a != 0)
                    asked << a;
                seen << QString::number(a);
            } else {
                asked = rotation.NextRound();
                QStringList names;
                for (int a : asked)
                    names << QString::number(a);
                seen << names.join(QLatin1Char('.'));
            }
            EXPECT_EQ(rotation.Round(), quint64(r));
            for (int a : asked) {
                const bool dead =
                    c.dead.contains(a) && (c.deadUntilRound == 0 || r <= c.deadUntilRound);
                if (dead)
                    rotation.Missed(a);
                else
                    rotation.Answered(a);
            }
        }
        EXPECT_EQ(seen.join(QLatin1Char(' ')).toStdString(), c.rounds);
    }
}

TEST(BusRotation, ANewListKeepsWhatIsKnownOfTheMetersThatStay) {
    BusRotation rotation;
    rotation.SetAddresses({1, 2, 3});
    for (int i = 0; i < BusRotation::kMissesToSilent; ++i)
        rotation.Missed(3);
    ASSERT_TRUE(rotation.IsSilent(3));
    rotation.SetAddresses({3, 1, 7});
    EXPECT_TRUE(rotation.IsSilent(3));
    EXPECT_FALSE(rotation.IsSilent(2));
    EXPECT_EQ(rotation.Addresses(), (QList<int>{1, 3, 7}));
    rotation.SetAddresses({1, 7});
    rotation.SetAddresses({1, 3, 7});
    EXPECT_FALSE(rotation.IsSilent(3)); // a meter that left the list starts afresh
}

namespace {

// a = a reply, m = a request unanswered, s = ten seconds pass, M = a minute passes.
struct StateCase {
    const char* events;
    const char* state;
    const char* share;
    const char* age;
};

const StateCase kStates[] = {
    {"", "not asked yet", "–", "–"},
    {"a", "answering", "0 %", "0 s"},
    {"as", "answering", "0 %", "10 s"},
    {"am", "answering", "50 %", "0 s"},
    {"mm", "no answer yet", "100 %", "–"},
    {"mmm", "silent since 14:03:12", "100 %", "–"},
    {"asmsmsm", "silent since 14:03:22", "75 %", "30 s"},
    {"mmmsa", "answering", "75 %", "0 s"},
    {"mMa", "answering", "0 %", "0 s"},
    {"aM", "answering", "–", "60 s"},
    {"mmmsmm", "silent since 14:03:12", "100 %", "–"},
};

} // namespace

TEST(BusMeterState, SaysWhetherTheMeterAnswersAndHowOftenItFailedInTheLastMinute) {
    for (const StateCase& c : kStates) {
        SCOPED_TRACE(c.events);
        QDateTime now(QDate(2026, 12, 7), QTime(14, 3, 12));
        BusMeterState meter([&now] { return now; });
        for (const char* e = c.events; *e != '\0'; ++e) {
            switch (*e) {
            case 'a':
                meter.Answered();
                break;
            case 'm':
                meter.Missed();
                break;
            case 's':
                now = now.addSecs(10);
                break;
            case 'M':
                now = now.addSecs(60);
                break;
            default:
                FAIL() << "no event " << *e;
            }
        }
        EXPECT_EQ(meter.StateText().toStdString(), c.state);
        EXPECT_EQ(meter.FailureShareText().toStdString(), c.share);
        EXPECT_EQ(meter.ReplyAgeText().toStdString(), c.age);
    }
}

TEST(BusOverview, AMeterIsReadForItsVersionOnceItsRatiosOnceAndOnChangeAndItsValuesOtherwise) {
    OverviewReads reads;
    QStringList sent;
    for (int turn = 0; turn < OverviewReads::kParameterEvery + 4; ++turn) {
        const QByteArray message = reads.Next(4);
        sent << QString::fromLatin1(message);
        const quint16 start = quint16((message.mid(6, 2).toUInt(nullptr, 16) << 8) |
                                      message.mid(9, 2).toUInt(nullptr, 16));
        reads.Done(start);
    }
    EXPECT_TRUE(sent[0].startsWith(QStringLiteral("04,03,05,10,")));
    EXPECT_EQ(sent[1], QStringLiteral("04,03,01,00,00,22,00,00"));
    for (int i = 2; i < 2 + OverviewReads::kParameterEvery; ++i)
        EXPECT_EQ(sent[i], QStringLiteral("04,03,01,30,00,36,00,00")) << i;
    // After so many value reads the ratios are read again: a PT or CT set at the meter's
    // keys scales its values from then on.
    EXPECT_EQ(sent[2 + OverviewReads::kParameterEvery], QStringLiteral("04,03,01,00,00,22,00,00"));
}

TEST(BusOverview, PickingAMeterDropsTheWritesForThePreviousOneAndGreysTheValues) {
    SessionState state;
    state.Schedule.Reset();
    state.Schedule.ReadCoefficientsOnce = false;
    state.Schedule.Queue(ReadOnceSlot, QString());
    ValueFreshness freshness;
    freshness.BeginConnection();
    freshness.Asked(0x130);
    freshness.Decoded(0x130);
    ASSERT_TRUE(freshness.IsFresh(0x130));
    state.Schedule.Queue(RelaySlot, QStringLiteral("00,05,00,00,FF,00,00,00"));
    state.Schedule.Queue(WriteSlot, QStringLiteral("00,06,01,00,00,04,00,00"));

    EXPECT_FALSE(PickMeter(state, freshness, 1)); // the meter already picked
    EXPECT_FALSE(PickMeter(state, freshness, 0));
    EXPECT_FALSE(PickMeter(state, freshness, 248));
    EXPECT_EQ(state.Schedule.Slot(RelaySlot), QStringLiteral("00,05,00,00,FF,00,00,00"));

    ASSERT_TRUE(PickMeter(state, freshness, 4));
    EXPECT_EQ(state.DevAddr, 4);
    EXPECT_FALSE(freshness.IsFresh(0x130));
    // Nothing written to meter 4 that was meant for meter 1; its ratios are read first.
    QStringList next;
    for (int i = 0; i < 4; ++i)
        next << state.Schedule.NextMessage(state.DevAddr);
    EXPECT_EQ(next, QStringList({"04,03,01,00,00,22,00,00", "04,01,00,00,00,02,00,00",
                                 "04,02,00,00,00,04,00,00", "04,03,01,30,00,36,00,00"}));
}

TEST(BusOverview, TheRoundHookLeavesThePickedMetersRotationAsItWas) {
    auto run = [](bool hooked) {
        PollSchedule s;
        s.Reset();
        int rounds = 0;
        if (hooked)
            s.OnRoundEnd = [&rounds] { ++rounds; };
        QStringList out;
        for (int i = 0; i < 15; ++i)
            out << s.NextMessage(1);
        return std::make_pair(out, rounds);
    };
    const auto [plain, none] = run(false);
    const auto [hooked, rounds] = run(true);
    EXPECT_EQ(hooked, plain);
    EXPECT_EQ(none, 0);
    // Coefficients, parameters, then two rounds of six and one begun.
    EXPECT_EQ(rounds, 2);
}
