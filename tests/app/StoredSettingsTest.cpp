// The COMM settings read back from the settings file: every value is held to what the
// COMM Settings dialog offers, so a damaged or hand-edited file never puts a broadcast
// address or another meter's address on the line.
#include "Settings.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(StoredSettings, AValueTheDialogWouldNotOfferIsIgnoredAndNamed) {
    struct Case {
        const char* key;
        QVariant stored;
        bool used; // read into the settings; otherwise ignored and named
    };
    const Case cases[] = {
        {"DevAddr", 1, true},
        {"DevAddr", 247, true},
        {"DevAddr", 0, false},   // the broadcast address
        {"DevAddr", 248, false}, // beyond the meter's range
        {"DevAddr", 256, false}, // would reach the line as 0, a broadcast
        {"DevAddr", 300, false}, // would reach the line as 44, another meter
        {"DevAddr", -1, false},
        {"DevAddr", "1.5", false},
        {"DevAddr", "4294967297", false},
        {"Baudrate", 600, true},
        {"Baudrate", 38400, true},
        {"Baudrate", 9601, false},
        {"Baudrate", 0, false},
        {"Baudrate", "fast", false},
        {"QueryInterval", 0, true},
        {"QueryInterval", 99999, true},
        {"QueryInterval", 100000, false},
        {"QueryInterval", -200, false},
        {"PortName", "COM128", true},
        {"PortName", "/dev/ttyUSB0", true},
        {"PortName", "\\\\.\\COM3", true},
        {"PortName", "COM0", false},
        {"PortName", "COM129", false},
        {"PortName", "ttyUSB0", false},
        {"PortName", "", false},
        {"Link", "Network", false}, // no host to connect to
        {"Link", "Serial", true},
        {"Link", "network", false},
        {"Link", "TCP", false},
        {"NetHost", "10.0.0.5", true},
        {"NetHost", "gateway.panel-3.example", true},
        {"NetHost", "fe80::1", true},
        {"NetHost", "", false},
        {"NetHost", "10.0.0.5 /x", false},
        {"NetHost", "gw\tpanel", false},
        {"NetPort", 1, true},
        {"NetPort", 65535, true},
        {"NetPort", 0, false},
        {"NetPort", 65536, false}, // would reach the socket as port 0
        {"NetPort", "502x", false},
        {"NetFraming", "ModbusTcp", true},
        {"NetFraming", "RtuOverTcp", true},
        {"NetFraming", "RTU", false},
    };
    // Each key as the settings hold it after reading, in the file's own form.
    auto readBack = [](const CommSettings& v, const QString& key) -> QVariant {
        if (key == "DevAddr")
            return v.DevAddr;
        if (key == "Baudrate")
            return v.Baudrate;
        if (key == "QueryInterval")
            return v.QueryInterval;
        if (key == "Link")
            return v.Network ? "Network" : "Serial";
        if (key == "NetHost")
            return v.NetHost;
        if (key == "NetPort")
            return v.NetPort;
        if (key == "NetFraming")
            return v.NetFraming == NetworkFraming::ModbusTcp ? "ModbusTcp" : "RtuOverTcp";
        return v.PortName;
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.stored.toString().toStdString());
        const QString file = dir.filePath(QStringLiteral("s%1.ini").arg(++n));
        {
            QSettings s(file, QSettings::IniFormat);
            s.setValue(QStringLiteral("Comm/") + c.key, c.stored);
        }
        QSettings settings(file, QSettings::IniFormat);
        CommSettings values;
        values.PortName = QStringLiteral("COM1");
        QList<IgnoredSetting> ignored;
        ASSERT_TRUE(ReadCommSettings(settings, values, &ignored));
        const CommSettings defaults;
        const QVariant read = readBack(values, c.key);
        const QVariant fallback = readBack(defaults, c.key);
        if (c.used) {
            EXPECT_EQ(read.toString(), c.stored.toString());
            EXPECT_TRUE(ignored.isEmpty());
            continue;
        }
        EXPECT_EQ(read.toString(), fallback.toString());
        ASSERT_EQ(ignored.size(), 1);
        EXPECT_EQ(ignored.front().key, c.key);
        EXPECT_EQ(ignored.front().stored, c.stored.toString());
        // The operator is told the file, the entry as it stands there and the rule.
        const QString told = IgnoredSettingsText(file, ignored);
        EXPECT_TRUE(told.contains(file)) << told.toStdString();
        EXPECT_TRUE(told.contains(QString(c.key) + "=" + c.stored.toString()))
            << told.toStdString();
        EXPECT_FALSE(ignored.front().reason.isEmpty());
    }
}

TEST(StoredSettings, AConverterWrittenIsReadBackAsItWas) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("net.ini"));
    CommSettings written;
    written.Network = true;
    written.NetHost = QStringLiteral("fe80::1");
    written.NetPort = 4001;
    written.NetFraming = NetworkFraming::RtuOverTcp;
    {
        QSettings s(file, QSettings::IniFormat);
        WriteCommSettings(s, written);
    }
    QSettings settings(file, QSettings::IniFormat);
    CommSettings read;
    QList<IgnoredSetting> ignored;
    ASSERT_TRUE(ReadCommSettings(settings, read, &ignored));
    EXPECT_TRUE(ignored.isEmpty());
    EXPECT_TRUE(read.Network);
    EXPECT_EQ(read.NetHost, written.NetHost);
    EXPECT_EQ(read.NetPort, 4001);
    EXPECT_EQ(read.NetFraming, NetworkFraming::RtuOverTcp);
    EXPECT_EQ(NetworkLineName(read.NetHost, read.NetPort), QStringLiteral("[fe80::1]:4001"));

    // A network line whose host is gone stays on the serial port and is named.
    settings.remove(QStringLiteral("Comm/NetHost"));
    CommSettings hostless;
    ignored.clear();
    ASSERT_TRUE(ReadCommSettings(settings, hostless, &ignored));
    EXPECT_FALSE(hostless.Network);
    ASSERT_EQ(ignored.size(), 1);
    EXPECT_EQ(ignored.front().key, "Link");
    EXPECT_EQ(ignored.front().stored, "Network");
}

TEST(StoredSettings, TheBusAddressListKeepsTheUsableAddressesAndNamesTheDroppedOnes) {
    struct Case {
        const char* stored;
        const char* read;    // the list the overview polls
        const char* dropped; // what the operator is told was dropped ("" when nothing)
    };
    const Case cases[] = {
        {"1-12, 17", "1-12, 17", ""},
        {"17 2 1 3", "1-3, 17", ""},
        {"17,3,0,300", "3, 17", "0, 300"},
        {"1-300", "", "1-300"},
        {"", "", ""},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        const QString file = dir.filePath(QStringLiteral("b%1.ini").arg(++n));
        {
            QSettings s(file, QSettings::IniFormat);
            s.setValue(QStringLiteral("Comm/BusAddresses"), QString::fromUtf8(c.stored));
        }
        QSettings settings(file, QSettings::IniFormat);
        CommSettings values;
        QList<IgnoredSetting> ignored;
        ASSERT_TRUE(ReadCommSettings(settings, values, &ignored));
        EXPECT_EQ(values.BusAddresses.toStdString(), c.read);
        if (std::string(c.dropped).empty()) {
            EXPECT_TRUE(ignored.isEmpty());
            continue;
        }
        ASSERT_EQ(ignored.size(), 1);
        EXPECT_EQ(ignored.front().key, QStringLiteral("BusAddresses"));
        EXPECT_TRUE(ignored.front().reason.contains(QString::fromUtf8(c.dropped)))
            << ignored.front().reason.toStdString();
    }
    // What is written is read back the same.
    const QString file = dir.filePath(QStringLiteral("written.ini"));
    CommSettings written;
    written.BusAddresses = QStringLiteral("1-4, 9");
    {
        QSettings s(file, QSettings::IniFormat);
        WriteCommSettings(s, written);
    }
    QSettings settings(file, QSettings::IniFormat);
    CommSettings read;
    ASSERT_TRUE(ReadCommSettings(settings, read));
    EXPECT_EQ(read.BusAddresses, written.BusAddresses);
}

} // namespace
