#include "TrafficCounters.h"

#include <QLocale>
#include <gtest/gtest.h>

TEST(TrafficCounters, ElevenReceptionsConnectTheFirstTimeThenOneIsEnough) {
    TrafficCounters t;
    for (int i = 0; i < 10; ++i)
        t.DataReceived();
    EXPECT_FALSE(t.Connected);
    t.DataReceived();
    EXPECT_TRUE(t.Connected);

    t.Connected = false; // stop
    t.DataReceived();
    EXPECT_TRUE(t.Connected);
}

TEST(TrafficCounters, ElevenMissingRepliesInARowDisconnect) {
    TrafficCounters t;
    for (int i = 0; i < 11; ++i)
        t.DataReceived();
    for (int i = 0; i < 10; ++i)
        t.ResponseFailed(1);
    EXPECT_TRUE(t.Connected);
    t.DataReceived(); // any data breaks the run
    for (int i = 0; i < 10; ++i)
        t.ResponseFailed(1);
    EXPECT_TRUE(t.Connected);
    t.ResponseFailed(1);
    EXPECT_FALSE(t.Connected);
    EXPECT_EQ(t.NoResponseCount, 21);
}

TEST(TrafficCounters, RejectedRepliesCountAsCrcErrorsAndKeepTheConnection) {
    TrafficCounters t;
    for (int i = 0; i < 11; ++i)
        t.DataReceived();
    for (int i = 0; i < 20; ++i)
        t.ResponseFailed(i % 2 ? 2 : 3);
    EXPECT_TRUE(t.Connected);
    EXPECT_EQ(t.CrcErrorCount, 20);
    EXPECT_EQ(t.NoResponseCount, 0);
}

TEST(TrafficCounters, StatusTexts) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    TrafficCounters t;
    EXPECT_EQ(t.OkPercentText(), QString());
    for (int i = 0; i < 8; ++i)
        t.RequestSent();
    t.ResponseFailed(1);
    t.ResponseFailed(2);
    EXPECT_EQ(t.SendText(), "Send= 8");
    EXPECT_EQ(t.NoResponseText(), "No Response= 1");
    EXPECT_EQ(t.CrcErrorText(), "CRC Error= 1");
    EXPECT_EQ(t.OkPercentText(), "OK=   75.00%");
    t.ResetShownCounters();
    EXPECT_EQ(t.OkPercentText(), QString());
    t.RequestSent();
    t.RequestSent();
    t.RequestSent();
    t.ResponseFailed(1);
    EXPECT_EQ(t.OkPercentText(), "OK=   66.67%");
}

TEST(TrafficCounters, ThePercentageUsesTheSystemsDecimalSeparator) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    TrafficCounters t;
    for (int i = 0; i < 3; ++i)
        t.RequestSent();
    t.ResponseFailed(2);
    const QString german = t.OkPercentText();
    QLocale::setDefault(before);
    EXPECT_EQ(german, "OK=   66,67%");
}

TEST(TrafficCounters, BytesToHex) {
    EXPECT_EQ(BytesToHex(QByteArray()), QString());
    EXPECT_EQ(BytesToHex(QByteArray::fromHex("0103ff0a")), "01 03 FF 0A ");
}
