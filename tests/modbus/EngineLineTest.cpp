#include "EngineTestSupport.h"
#include "PtyResponder.h"
#ifdef QETRA_WITH_METER_SIM
#include "MeterSimProcess.h"

#include <QRegularExpression>
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

enum class Outcome { Good, Silent, BadCrc, WrongFields, StrayThenGood, OnlyStray };

// The master over the real serial port, a scripted meter on the other end of a
// pseudo-terminal: every kind of answer in a long mixed run gives exactly its code.
TEST(EngineLineTest, MixedAnswersGiveExactlyTheExpectedCodesAndCounters) {
    TestApp();
    constexpr int kTransactions = 200;
    std::mt19937 rng(7);
    std::vector<Outcome> script;
    for (int i = 0; i < kTransactions; ++i)
        script.push_back(Outcome(rng() % 6));

    PtyResponder meter([&](const QByteArray& request, int index) -> QByteArray {
        if (index >= kTransactions)
            return {};
        QByteArray good = RegisterReadAnswer(request);
        switch (script[index]) {
        case Outcome::Good:
            return good;
        case Outcome::Silent:
            return {};
        case Outcome::BadCrc:
            good[good.size() - 1] = char(good.back() ^ 0x5A);
            return good;
        case Outcome::WrongFields: { // a byte count that does not fit the request
            QByteArray body = good.left(good.size() - 2);
            body[2] = char(body[2] + 2);
            return WithCrc(body);
        }
        case Outcome::StrayThenGood:
            return QByteArray::fromHex("ff00fe") + good;
        case Outcome::OnlyStray:
            return QByteArray(good.size(), '\x7e');
        }
        return {};
    });
    ASSERT_TRUE(meter.Valid());

    TqvModbus::StartResponseWatcher();
    TqvModbus qv(nullptr);
    qv.SetOpenSettleMs(0);
    qv.SetTraceModemStatus(false);
    qv.SetQueryInterval(5);
    // Long enough that a good answer is never taken for a silent one on a loaded machine.
    qv.SetQueryTimeout(300);
    int sent = 0;
    std::vector<int> codes;
    QStringList wrongValues;
    qv.OnQueryData = [&](TqvModbus* s) {
        const int start = 0x100 + sent;
        s->SetQueryMessage(QString("01,03,%1,%2,00,02,00,00")
                               .arg(start >> 8, 2, 16, QChar('0'))
                               .arg(start & 0xFF, 2, 16, QChar('0'))
                               .toLatin1());
    };
    qv.OnAfterSendMsg = [&](TqvModbus*, const QByteArray&) { ++sent; };
    qv.OnF03Response = [&](TqvModbus*, quint8 slave, quint16 start, QList<quint16> values) {
        if (slave != 1 ||
            values != QList<quint16>{quint16(0x1000 + start), quint16(0x1000 + start + 1)})
            wrongValues << QString::number(start, 16);
    };
    qv.OnAfterResponse = [&](TqvModbus* s) {
        codes.push_back(s->ResponseErrorCode());
        if (int(codes.size()) == kTransactions)
            s->StopQuery();
    };
    qv.Open(meter.SlavePath(), 9600);
    ASSERT_TRUE(qv.StartQuery());
    ASSERT_TRUE(WaitFor([&] { return !qv.CycleBusy(); }, 60000));

    std::vector<int> expected;
    for (Outcome o : script) {
        switch (o) {
        case Outcome::Good:
        case Outcome::StrayThenGood:
            expected.push_back(0);
            break;
        case Outcome::Silent:
            expected.push_back(1);
            break;
        case Outcome::BadCrc:
        case Outcome::OnlyStray:
            expected.push_back(2);
            break;
        case Outcome::WrongFields:
            expected.push_back(3);
            break;
        }
    }
    EXPECT_EQ(codes, expected);
    EXPECT_EQ(sent, kTransactions);
    EXPECT_EQ(meter.Requests(), kTransactions);
    EXPECT_EQ(meter.Discarded(), 0);
    EXPECT_TRUE(wrongValues.isEmpty()) << wrongValues.join(' ').toStdString();
    qv.Close();
    TqvModbus::StopResponseWatcher();
}

#ifdef QETRA_WITH_METER_SIM
// Polling as fast as the line allows, every reply split into pieces behind junk bytes:
// each is judged on the whole reply, not on the junk and its first pieces (which failed
// about half of them). Only a simulator held up in the middle of a reply for longer than
// the line's quiet time (a loaded machine) can fail one, and it reports that reply late.
TEST(EngineLineTest, EveryReplyBehindJunkInPiecesIsTaken) {
    TestApp();
    MeterSimProcess sim({"--stray", "1", "--split", "--seed", "3"});
    ASSERT_TRUE(sim.started()) << qPrintable(sim.errors());
    constexpr int kTransactions = 60;
    TqvModbus::StartResponseWatcher();
    TqvModbus qv(nullptr);
    qv.SetOpenSettleMs(0);
    qv.SetTraceModemStatus(false);
    qv.SetQueryInterval(0);
    qv.SetQueryTimeout(1000);
    std::vector<int> codes;
    int fullBlocks = 0;
    // A short reply (9 bytes): junk and its first pieces often make up its length.
    qv.OnQueryData = [](TqvModbus* s) { s->SetQueryMessage("01,03,01,30,00,02,00,00"); };
    qv.OnF03Response = [&](TqvModbus*, quint8 slave, quint16 start, QList<quint16> values) {
        fullBlocks += slave == 1 && start == 0x130 && values.size() == 2;
    };
    qv.OnAfterResponse = [&](TqvModbus* s) {
        codes.push_back(s->ResponseErrorCode());
        if (int(codes.size()) == kTransactions)
            s->StopQuery();
    };
    qv.Open(sim.device(), 9600);
    ASSERT_TRUE(qv.StartQuery());
    ASSERT_TRUE(WaitFor([&] { return !qv.CycleBusy(); }, 60000));
    qv.Close();
    TqvModbus::StopResponseWatcher();

    ASSERT_EQ(int(codes.size()), kTransactions);
    EXPECT_EQ(sim.stop(), 0);
    const QString stats =
        sim.errors().section(QStringLiteral("meter-sim-stats"), -1).simplified() + ' ';
    // Every reply went out behind junk and in pieces.
    for (const char* key : {"replies", "stray", "split"})
        EXPECT_TRUE(stats.contains(QStringLiteral(" %1=%2 ").arg(key).arg(kTransactions)))
            << key << qPrintable(stats);
    const auto late = QRegularExpression(QStringLiteral(" late=(\\d+) ")).match(stats);
    ASSERT_TRUE(late.hasMatch()) << qPrintable(stats);
    const int failed = int(std::count_if(codes.begin(), codes.end(), [](int c) { return c != 0; }));
    EXPECT_LE(failed, late.captured(1).toInt()) << qPrintable(stats);
    EXPECT_LE(failed, kTransactions / 20) << qPrintable(stats);
    EXPECT_EQ(fullBlocks, kTransactions - failed);
}
#endif

} // namespace
