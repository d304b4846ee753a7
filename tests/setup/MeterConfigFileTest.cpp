#include "MeterConfigFile.h"
#include "MeterConfigFixture.h"
#include "QtTestSupport.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <functional>

#include <gtest/gtest.h>

namespace {

using Root = QJsonObject;

// Changes the entry `name` of a section of the file.
void EditEntry(Root& root, const QString& section, const QString& name,
               const std::function<void(QJsonObject&)>& edit) {
    QJsonArray entries = root[section].toArray();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        QJsonObject o = entries[i].toObject();
        if (o["name"].toString() == name) {
            edit(o);
            entries[i] = o;
        }
    }
    root[section] = entries;
}

TEST(MeterConfigFile, SavedFileReadsBackAndShowsEachSettingAsItsWindowDoes) {
    MeterConfiguration config = SampleConfiguration();
    config.coefficients = ConfigCoefficients{};
    (*config.coefficients)[1] = quint16(-630);
    // Bits 9..15 of the alarm enable and DO1 words, which no group of the alarm window
    // has, are kept as the meter holds them; a word without such bits adds no entry.
    config.alarms[0] |= 0x0200;
    config.alarms[2] |= 0x8000;
    const QByteArray json = MeterConfigJson(config);
    EXPECT_TRUE(
        json.contains(R"({"name": "Alarm Status Bits 9-15", "value": "0x0200", "raw": [512]})"))
        << json.constData();
    EXPECT_TRUE(json.contains(R"("Alarm DO1 Bits 9-15", "value": "0x8000")"));
    EXPECT_FALSE(json.contains("Alarm DO2 Bits"));
    EXPECT_FALSE(MeterConfigJson(SampleConfiguration()).contains("Bits 9-15"));
    const MeterConfigRead read = ReadMeterConfig(json);
    ASSERT_TRUE(read.config) << read.problem.toStdString();
    EXPECT_EQ(read.config->settings, config.settings);
    EXPECT_EQ(read.config->alarms, config.alarms);
    EXPECT_EQ(read.config->address, 5);
    EXPECT_EQ(read.config->firmware, "1.20");
    EXPECT_EQ(read.config->saved, config.saved);
    EXPECT_EQ(read.config->coefficients, config.coefficients);
    EXPECT_FALSE(ReadMeterConfig(MeterConfigJson(SampleConfiguration())).config->coefficients);

    QHash<QString, QString> shown;
    for (const ConfigSetting& s : ConfigSettings(config))
        shown.insert(s.name, s.text);
    EXPECT_EQ(shown.size(), 19 + 1 + 3 + 9 * 6 + 22);
    EXPECT_EQ(shown["VBB--ADJ"], "-630");
    EXPECT_EQ(shown["PT1"], "10000");
    EXPECT_EQ(shown["Pulse Width"], "80 ms");
    EXPECT_EQ(shown["Demand Window Width"], "15 Min");
    EXPECT_EQ(shown["Alarm Delay"], "600 ms");
    EXPECT_EQ(shown["Group 1 Item"], "V1 (Phase A Voltage)");
    // PT ratio 100 from the file's own PT1/PT2.
    EXPECT_EQ(shown["Group 1 Value"], "25.300 kV");
    EXPECT_EQ(shown["Group 3 Status"], "ACTIVE");
    EXPECT_EQ(shown["Group 3 DO2"], "ON");
}

// A QETRA 7100 has no demand window and may report 0, which goes back as it was; a meter
// with a demand window must not hold 0, and such a configuration is not saved at all.
TEST(MeterConfigFile, ADemandWindowOfZeroIsKeptOnlyForTheModelWithoutOne) {
    MeterConfiguration config = SampleConfiguration();
    config.settings[0x13] = 0;
    QTemporaryDir dir;
    const QString path = dir.filePath("zero.qmeter.json");
    QString why;
    EXPECT_FALSE(SaveMeterConfig(path, config, &why));
    EXPECT_TRUE(why.contains("settings \"Demand Window Width\": 0 is outside 1..30"))
        << why.toStdString();
    EXPECT_FALSE(QFile::exists(path));
    config.model = "QETRA 7100";
    EXPECT_TRUE(SaveMeterConfig(path, config, &why));
    EXPECT_EQ(LoadMeterConfig(path).config->settings[0x13], 0);
}

TEST(MeterConfigFile, ComparisonMarksDifferencesButKeepsAddressAndBaudRate) {
    const MeterConfiguration file = SampleConfiguration();
    MeterConfiguration meter = file;
    meter.settings[0x01] = 9;  // another address
    meter.settings[0x08] = 50; // CT1
    meter.alarms[4] = 2;       // group 1 watches V2 (its limit register stays)
    auto rowOf = [](const QList<ConfigComparison>& rows, const QString& name) {
        return *std::find_if(rows.begin(), rows.end(), [&](auto& r) { return r.name == name; });
    };
    const QList<ConfigComparison> rows = CompareConfigs(file, meter, false);
    QStringList differing;
    for (const ConfigComparison& r : rows)
        if (r.differs)
            differing << r.name;
    EXPECT_EQ(differing, QStringList({"CT1", "Group 1 Item"}));
    EXPECT_TRUE(rowOf(rows, "Meter Address").kept);
    EXPECT_EQ(rowOf(rows, "CT1").rightText, "50");
    EXPECT_TRUE(rowOf(CompareConfigs(file, meter, true), "Meter Address").differs);

    // What goes to the meter keeps its own address unless asked otherwise; a read-back
    // that differs names the registers.
    const MeterSettingsRegisters regs = SettingsToWrite(file, meter.settings, false);
    EXPECT_EQ(regs[0x01], 9);
    EXPECT_EQ(regs[0x08], 200);
    QList<quint16> readSettings(regs.begin(), regs.end());
    readSettings[0x06] = 1;
    EXPECT_EQ(DifferingRegisters(regs, file.alarms, readSettings,
                                 QList<quint16>(meter.alarms.begin(), meter.alarms.end())),
              QStringList({"0x0106 (PT1 low word)", "0x0334 (Group 1 Item)"}));
}

struct BadFile {
    const char* what;
    std::function<QByteArray(Root)> make;
    const char* message;
};
void PrintTo(const BadFile& file, std::ostream* os) {
    *os << file.what;
}

class MeterConfigBadFile : public ::testing::TestWithParam<BadFile> {};

TEST_P(MeterConfigBadFile, IsRefusedNamingTheFieldAndWhy) {
    const Root root = QJsonDocument::fromJson(MeterConfigJson(SampleConfiguration())).object();
    const MeterConfigRead read = ReadMeterConfig(GetParam().make(root));
    EXPECT_FALSE(read.config);
    EXPECT_TRUE(read.problem.contains(QLatin1String(GetParam().message)))
        << read.problem.toStdString();
}

QByteArray Json(const Root& root) {
    return QJsonDocument(root).toJson();
}

// The sample file as the program writes it, with one piece of its text replaced.
QByteArray Edited(const QByteArray& piece, const QByteArray& replacement) {
    QByteArray json = MeterConfigJson(SampleConfiguration());
    EXPECT_TRUE(json.contains(piece)) << piece.constData();
    return json.replace(piece, replacement);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MeterConfigBadFile,
    ::testing::Values(
        BadFile{"missing field",
                [](Root r) {
                    QJsonArray s = r["settings"].toArray();
                    s.removeAt(12);
                    r["settings"] = s;
                    return Json(r);
                },
                "settings \"Pulse Rate\": is missing."},
        BadFile{"unknown field",
                [](Root r) {
                    EditEntry(r, "alarms", "Group 2 Item", [](auto& o) { o["colour"] = "red"; });
                    return Json(r);
                },
                "alarms \"Group 2 Item\": unknown field \"colour\"."},
        BadFile{"PT2 of 0",
                [](Root r) {
                    EditEntry(r, "settings", "PT2", [](auto& o) {
                        o["value"] = "0";
                        o["raw"] = QJsonArray{0};
                    });
                    return Json(r);
                },
                "settings \"PT2\": 0 is outside 1..65535. A PT secondary of 0"},
        BadFile{"limit beyond its register",
                [](Root r) {
                    EditEntry(r, "alarms", "Group 1 Value",
                              [](auto& o) { o["raw"] = QJsonArray{70000}; });
                    return Json(r);
                },
                "alarms \"Group 1 Value\": raw value 70000 does not fit its 16-bit register"},
        BadFile{"list value beyond its items",
                [](Root r) {
                    EditEntry(r, "settings", "Pulse Width",
                              [](auto& o) { o["raw"] = QJsonArray{51}; });
                    return Json(r);
                },
                "settings \"Pulse Width\": 51 is outside 1..50"},
        BadFile{"named and raw disagreeing",
                [](Root r) {
                    EditEntry(r, "settings", "CT1", [](auto& o) { o["value"] = "300"; });
                    return Json(r);
                },
                "settings \"CT1\": the value \"300\" does not match its raw value, which the "
                "window shows as \"200\"."},
        BadFile{"truncated JSON",
                [](Root r) {
                    const QByteArray json = Json(r);
                    return json.left(json.size() / 2);
                },
                "not a JSON document"},
        BadFile{"another format version",
                [](Root r) {
                    r["version"] = 2;
                    return Json(r);
                },
                "\"version\": format version 2; this program reads version 1."},
        // The parser keeps the last of two equal keys: the second "raw" would be applied.
        BadFile{"a key given twice",
                [](Root) {
                    return Edited(R"("name": "CT1", "value": "200", "raw": [200])",
                                  R"("name": "CT1", "value": "200", "raw": [200], "raw": [300])");
                },
                "line 15: the key \"raw\" is given twice in one object"},
        BadFile{
            "a NUL byte in a name",
            [](Root) { return Edited(R"("name": "PT2")", QByteArray("\"name\": \"PT2\0\"", 14)); },
            "line 14: a control character (0x00) in a text."},
        BadFile{"an escaped NUL in a name",
                [](Root) { return Edited(R"("name": "PT2")", R"("name": "PT2\u0000x")"); },
                "line 14: the text \"PT2\\u0000x\" holds a control character."},
        BadFile{"the version as a text",
                [](Root r) {
                    r["version"] = "1";
                    return Json(r);
                },
                "\"version\": \"1\" is not a number; this program reads version 1"},
        BadFile{"a raw value as a text",
                [](Root r) {
                    EditEntry(r, "settings", "CT1", [](auto& o) { o["raw"] = QJsonArray{"200"}; });
                    return Json(r);
                },
                "settings \"CT1\": raw value \"200\" is not a number"},
        BadFile{"another makers model",
                [](Root r) {
                    QJsonObject meter = r["meter"].toObject();
                    meter["model"] = "ACME 9000";
                    r["meter"] = meter;
                    return Json(r);
                },
                "\"meter\" \"model\": \"ACME 9000\" is not a meter model of this program"},
        BadFile{"no firmware",
                [](Root r) {
                    QJsonObject meter = r["meter"].toObject();
                    meter["firmware"] = "";
                    r["meter"] = meter;
                    return Json(r);
                },
                "\"meter\" \"firmware\": \"\" names no firmware version"},
        BadFile{"upper alarm bits holding a group bit",
                [](Root r) {
                    QJsonArray alarms = r["alarms"].toArray();
                    alarms.append(QJsonObject{{"name", "Alarm Status Bits 9-15"},
                                              {"value", "0x0201"},
                                              {"raw", QJsonArray{513}}});
                    r["alarms"] = alarms;
                    return Json(r);
                },
                "alarms \"Alarm Status Bits 9-15\": raw value 513 has bits of groups 1..9 "
                "(0x0001)"}),
    [](const auto& info) {
        std::string name = info.param.what;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

} // namespace
