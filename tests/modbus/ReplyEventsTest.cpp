#include "ReplyEvents.h"
#include "Crc16.h"

#include <gtest/gtest.h>

namespace {

QByteArray WithCrc(const QByteArray& bytes) {
    return bytes + ModbusCrcBytes(bytes, bytes.size());
}
QByteArray Hex(const char* hex) {
    return QByteArray::fromHex(hex);
}

// Every response event assigned; each records what it was given as text, so one
// comparison checks the event, its arguments and that nothing else was raised.
struct Recorder {
    QStringList raised;
    TqvModbusEvents events;
    TqvModbus* const sender = reinterpret_cast<TqvModbus*>(0x1000);

    Recorder() {
        auto bits = [this](const char* name) {
            return [this, name](TqvModbus* s, quint8 slave, quint16 start, QList<bool> values) {
                QString text = QString("%1 %2 %3 ").arg(name).arg(slave).arg(start, 0, 16);
                for (bool v : values)
                    text += v ? 'T' : 'F';
                Record(s, text);
            };
        };
        auto words = [](const QList<quint16>& values) {
            QStringList parts;
            for (quint16 v : values)
                parts << QString::number(v, 16);
            return parts.join(',');
        };
        events.OnF01Response = bits("F01");
        events.OnF02Response = bits("F02");
        events.OnF03Response = [=, this](TqvModbus* s, quint8 slave, quint16 start,
                                         QList<quint16> values) {
            Record(s, QString("F03 %1 %2 %3").arg(slave).arg(start, 0, 16).arg(words(values)));
        };
        events.OnF05Response = [this](TqvModbus* s, quint8 slave, quint16 dest, bool value) {
            Record(s, QString("F05 %1 %2 %3").arg(slave).arg(dest, 0, 16).arg(int(value)));
        };
        events.OnF10Response = [this](TqvModbus* s, quint8 slave, quint16 start, quint16 count) {
            Record(s, QString("F10 %1 %2 %3").arg(slave).arg(start, 0, 16).arg(count, 0, 16));
        };
        events.OnFC3Response = [=, this](TqvModbus* s, quint8 slave, quint16 status,
                                         quint16 rtdLength, QList<quint16> values) {
            Record(s, QString("FC3 %1 %2 %3 %4")
                          .arg(slave)
                          .arg(status, 0, 16)
                          .arg(rtdLength, 0, 16)
                          .arg(words(values)));
        };
        events.OnFC4Response = [this](TqvModbus* s, quint8 slave, quint16 status) {
            Record(s, QString("FC4 %1 %2").arg(slave).arg(status, 0, 16));
        };
    }

    void Record(TqvModbus* s, const QString& text) {
        raised << (s == sender ? text : "wrong sender");
    }

    QStringList Raise(const char* request, const QByteArray& reply) {
        raised.clear();
        RaiseReplyEvent(sender, events, Hex(request), reply);
        return raised;
    }
};

} // namespace

TEST(ReplyEvents, CoilsAndInputsArePackedLowBitFirst) {
    Recorder r;
    EXPECT_EQ(r.Raise("070100100002", WithCrc(Hex("07010102"))), QStringList{"F01 7 10 FT"});
    EXPECT_EQ(r.Raise("010200000004", WithCrc(Hex("0102010d"))), QStringList{"F02 1 0 TFTT"});
    EXPECT_EQ(r.Raise("010100000009", WithCrc(Hex("0101020101"))),
              QStringList{"F01 1 0 TFFFFFFFT"});
}

TEST(ReplyEvents, RegisterReadsCarryTheRequestedWordsInOrder) {
    Recorder r;
    QByteArray reply = Hex("01036c");
    QStringList expected;
    for (int i = 0; i < 54; ++i) {
        const quint16 word = quint16(0x0100 * i + 0xA0 + i);
        reply += char(word >> 8);
        reply += char(word & 0xFF);
        expected << QString::number(word, 16);
    }
    const QString words = expected.join(',');
    EXPECT_EQ(r.Raise("010301300036", WithCrc(reply)), QStringList{"F03 1 130 " + words});
    reply[1] = 0x04;
    EXPECT_EQ(r.Raise("010401300036", WithCrc(reply)), QStringList{"F03 1 130 " + words});

    // The long read puts its words behind a start echo and a two-byte count.
    EXPECT_EQ(r.Raise("0183012c0002", WithCrc(Hex("0183012c00041234abcd"))),
              QStringList{"F03 1 12c 1234,abcd"});
    EXPECT_EQ(r.Raise("02c300000002", WithCrc(Hex("02c3000800050010beef0001"))),
              QStringList{"FC3 2 5 10 beef,1"});
}

TEST(ReplyEvents, WritesReportWhatTheRequestNamed) {
    Recorder r;
    EXPECT_EQ(r.Raise("010500a0ff00", WithCrc(Hex("010500a0ff00"))), QStringList{"F05 1 a0 1"});
    EXPECT_EQ(r.Raise("018500a00000", WithCrc(Hex("018500a00000"))), QStringList{"F05 1 a0 0"});
    EXPECT_EQ(r.Raise("011001560010", WithCrc(Hex("011001560010"))), QStringList{"F10 1 156 10"});
    EXPECT_EQ(r.Raise("010601001234", WithCrc(Hex("010601001234"))), QStringList{"F10 1 100 1234"});
    EXPECT_EQ(r.Raise("01b000200001", WithCrc(Hex("01b000200001"))), QStringList{"F10 1 20 1"});
    // The status reply's own address byte wins over the request's.
    EXPECT_EQ(r.Raise("00c4", WithCrc(Hex("00c4090102"))), QStringList{"FC4 9 102"});
}

TEST(ReplyEvents, NothingIsRaisedWithoutAnEventOrEnoughBytes) {
    Recorder r;
    EXPECT_TRUE(r.Raise("0191", WithCrc(Hex("0191"))).isEmpty());
    EXPECT_TRUE(r.Raise("01c500a0ff00", WithCrc(Hex("01c500a0ff00"))).isEmpty());
    EXPECT_TRUE(r.Raise("010700000000", WithCrc(Hex("010700000000"))).isEmpty());

    // A reply shorter than the request calls for is not unpacked, whoever passed it in.
    EXPECT_TRUE(r.Raise("010301300036", WithCrc(Hex("01036c0001"))).isEmpty());
    EXPECT_TRUE(r.Raise("02c300000002", WithCrc(Hex("02c30008000500100000"))).isEmpty());
    EXPECT_TRUE(r.Raise("0103", WithCrc(Hex("0103020001"))).isEmpty());

    r.events.OnF03Response = nullptr;
    EXPECT_TRUE(r.Raise("010300000001", WithCrc(Hex("0103020001"))).isEmpty());
    EXPECT_EQ(r.Raise("010100000001", WithCrc(Hex("01010101"))), QStringList{"F01 1 0 T"});
}
