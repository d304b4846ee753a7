#include "MeterConfigFile.h"

#include "CoefficientMessages.h"
#include "MeterParamDecode.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <vector>

namespace {

const QString kSettings = QStringLiteral("settings");
const QString kAlarms = QStringLiteral("alarms");
const QString kCoefficients = QStringLiteral("coefficients");

// The coefficients by the captions of the coefficients window.
QList<ConfigSetting> CoefficientSettings(const ConfigCoefficients& values) {
    QList<ConfigSetting> out;
    int k = 0;
    for (const CoefficientRow& row : CoefficientRows()) {
        QString name = QString::fromUtf8(row.editCaption);
        name.remove(QStringLiteral("\uFF1A"));
        out << ConfigSetting{
            kCoefficients, name, QString::number(qint16(values[k])), {values[k]}, {}};
        ++k;
    }
    return out;
}

constexpr int kDemandOffset = 0x13;
bool IsModelWithoutDemand(const MeterConfiguration& config) {
    return config.model == QLatin1String("QETRA 7100");
}

// The captions of a group's controls in the alarm settings window.
const char* const kGroupFields[] = {"Status", "DO1", "DO2", "Item", "Limit", "Value"};

QString GroupName(int group, int field) {
    return QStringLiteral("Group %1 %2").arg(group + 1).arg(QLatin1String(kGroupFields[field]));
}

ScaleRatios RatiosOf(const MeterSettingsRegisters& settings) {
    return RatiosFromParamBlock(QList<quint16>(settings.begin(), settings.end()), {});
}

// Bits 9..15 of the alarm enable, DO1 and DO2 words: no group of the alarm window, but
// the meter's own, so a file keeps them.
constexpr quint16 kGroupBits = (1u << AlarmGroupCount) - 1;
const char* const kUpperBitWords[] = {"Alarm Status Bits 9-15", "Alarm DO1 Bits 9-15",
                                      "Alarm DO2 Bits 9-15"};
constexpr int kUpperBitWordIndex[] = {0, 2, 3};

QString UpperBitsText(quint16 bits) {
    return RegisterText(bits);
}

QList<ConfigSetting> AlarmSettings(const MeterConfiguration& config) {
    const QList<quint16> block(config.alarms.begin(), config.alarms.end());
    const QLocale c = QLocale::c();
    const AlarmSettingsInput in = *AlarmSettingsFromBlock(block, RatiosOf(config.settings), c);
    const QStringList delays = AlarmDelayTexts();
    QList<ConfigSetting> out;
    const quint16 delay = config.alarms[1];
    out << ConfigSetting{kAlarms,
                         QStringLiteral("Alarm Delay"),
                         in.delay >= 0 ? delays[in.delay] + QStringLiteral(" ms")
                                       : QString::number(delay),
                         {delay},
                         in.delay >= 0 ? QString()
                                       : QStringLiteral("%1 is outside 0..%2, the items of the "
                                                        "list 0 .. %3 ms.")
                                             .arg(delay)
                                             .arg(AlarmDelayCount - 1)
                                             .arg(delays.last())};
    for (int k = 0; k < 3; ++k) {
        const quint16 bits = config.alarms[size_t(kUpperBitWordIndex[k])] & ~kGroupBits;
        out << ConfigSetting{
            kAlarms, QLatin1String(kUpperBitWords[k]), UpperBitsText(bits), {bits}, {}, true};
    }
    const QStringList offOn = {QStringLiteral("OFF"), QStringLiteral("ON")};
    const QStringList status = {QStringLiteral("OFF"), QStringLiteral("ACTIVE")};
    const QStringList direction = {QStringLiteral("Below"), QStringLiteral("Above")};
    for (int g = 0; g < AlarmGroupCount; ++g) {
        const AlarmGroupInput& group = in.groups[g];
        const int base = 4 + 3 * g;
        out << ConfigSetting{
            kAlarms, GroupName(g, 0), status[group.status], {quint16(group.status)}, {}};
        out << ConfigSetting{kAlarms, GroupName(g, 1), offOn[group.do1], {quint16(group.do1)}, {}};
        out << ConfigSetting{kAlarms, GroupName(g, 2), offOn[group.do2], {quint16(group.do2)}, {}};
        const quint16 item = config.alarms[base];
        const quint16 dir = config.alarms[base + 1];
        out << ConfigSetting{kAlarms,
                             GroupName(g, 3),
                             group.item >= 0 ? AlarmItemText(item) : QString::number(item),
                             {item},
                             group.item >= 0 ? QString()
                                             : QStringLiteral("%1 is outside the item list 0..%2.")
                                                   .arg(item)
                                                   .arg(AlarmItemCount - 1)};
        out << ConfigSetting{
            kAlarms,
            GroupName(g, 4),
            group.direction >= 0 ? direction[dir] : QString::number(dir),
            {dir},
            group.direction >= 0
                ? QString()
                : QStringLiteral("%1 is neither 0 (Below) nor 1 (Above).").arg(dir)};
        out << ConfigSetting{kAlarms, GroupName(g, 5), group.limit, {config.alarms[base + 2]}, {}};
    }
    return out;
}

// The name of each register of the two blocks, for read-back reports.
QString SettingsRegisterName(int offset) {
    const MeterSettingsRegisters none{};
    for (const MeterSettingView& v : ViewMeterSettings(none)) {
        if (offset == v.offset)
            return v.name + (v.count > 1 ? QStringLiteral(" high word") : QString());
        if (offset > v.offset && offset < v.offset + v.count)
            return v.name + QStringLiteral(" low word");
    }
    return {};
}
QString AlarmRegisterName(int index) {
    static const char* const words[] = {"Alarm Status word", "Alarm Delay", "Alarm DO1 word",
                                        "Alarm DO2 word"};
    if (index < 4)
        return QLatin1String(words[index]);
    const int g = (index - 4) / 3;
    return GroupName(g, 3 + (index - 4) % 3);
}

QString Located(const QString& section, const QString& name, const QString& why) {
    return QStringLiteral("%1 \"%2\": %3").arg(section, name, why);
}

// A text with its control characters written out as JSON escapes, so that a message
// naming it shows what the file holds.
QString Visible(const QString& text) {
    QString out;
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

// The text of one JSON string token (quotes included) of a document the parser accepted.
QString StringToken(const QByteArray& token) {
    if (!token.contains('\\'))
        return QString::fromUtf8(token.mid(1, token.size() - 2));
    return QJsonDocument::fromJson("[" + token + "]").array().at(0).toString();
}

// What the JSON parser lets pass and a configuration must not hold, by line: an object
// with a key given twice (the parser keeps the last one, so a second "value" hidden
// further along would be the one applied) and a control character in a text (a NUL ends a
// name on screen, and the name would be read as another). `json` is a document the parser
// accepted.
QString StrictJsonProblem(const QByteArray& json) {
    std::vector<QSet<QString>> objects; // the keys of each open object
    std::vector<bool> isObject;
    bool keyNext = false;
    int line = 1;
    for (qsizetype i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (c == '\n') {
            ++line;
        } else if (c == '{' || c == '[') {
            isObject.push_back(c == '{');
            objects.emplace_back();
            keyNext = c == '{';
        } else if ((c == '}' || c == ']') && !isObject.empty()) {
            isObject.pop_back();
            objects.pop_back();
            keyNext = false;
        } else if (c == ',') {
            keyNext = !isObject.empty() && isObject.back();
        } else if (c == '"') {
            const qsizetype start = i;
            for (++i; i < json.size() && json[i] != '"'; ++i) {
                if (uchar(json[i]) < 0x20)
                    return QStringLiteral("line %1: a control character (0x%2) in a text.")
                        .arg(line)
                        .arg(uchar(json[i]), 2, 16, QLatin1Char('0'));
                i += json[i] == '\\' ? 1 : 0;
            }
            const QString text = StringToken(json.mid(start, i - start + 1));
            if (Visible(text) != text)
                return QStringLiteral("line %1: the text \"%2\" holds a control character.")
                    .arg(line)
                    .arg(Visible(text));
            if (keyNext && !objects.empty()) {
                if (objects.back().contains(text))
                    return QStringLiteral("line %1: the key \"%2\" is given twice in one "
                                          "object (which one would count?).")
                        .arg(line)
                        .arg(text);
                objects.back().insert(text);
                keyNext = false;
            }
        }
    }
    return {};
}

// A JSON value as the file writes it: "\"200\"" for a text, "200" for a number.
QString JsonText(const QJsonValue& value) {
    return QString::fromUtf8(
        QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact).mid(1).chopped(1));
}

// Why one raw value of a setting cannot be its register: a number within the register
// (a bit for a group's Status, DO1 and DO2; bits 9..15 alone for the words' upper bits).
QString RawValueProblem(const QJsonValue& r, const ConfigSetting& setting) {
    if (!r.isDouble())
        return QStringLiteral("raw value %1 is not a number (raw values are written as "
                              "numbers, like [200]).")
            .arg(JsonText(r));
    const double v = r.toDouble();
    const bool bit =
        setting.section == kAlarms && (setting.name.endsWith(QLatin1String(" Status")) ||
                                       setting.name.endsWith(QLatin1String(" DO1")) ||
                                       setting.name.endsWith(QLatin1String(" DO2")));
    if (bit && v != 0.0 && v != 1.0)
        return QStringLiteral("raw value %1 is not a bit (0 or 1).").arg(JsonText(r));
    if (v < 0.0 || v > 65535.0 || v != double(qint64(v)))
        return QStringLiteral("raw value %1 does not fit its 16-bit register (0..65535).")
            .arg(JsonText(r));
    if (setting.onlyWhenSet && (quint16(v) & kGroupBits) != 0)
        return QStringLiteral("raw value %1 has bits of groups 1..9 (%2); those are the "
                              "groups' own entries.")
            .arg(JsonText(r), RegisterText(quint16(v) & kGroupBits));
    return {};
}

// The named entries of one section: every name present once and known, the raw values
// numbers that fit their registers (or bits). Fills `raw` and `texts` by name; an entry a
// file carries only when set reads as 0 where it is left out.
QString ReadSection(const QJsonObject& root, const QString& section,
                    const QList<ConfigSetting>& expected, QHash<QString, QList<quint16>>& raw,
                    QHash<QString, QString>& texts) {
    const QJsonValue value = root.value(section);
    if (!value.isArray())
        return QStringLiteral("\"%1\" must be a list of settings.").arg(section);
    QHash<QString, const ConfigSetting*> known;
    for (const ConfigSetting& s : expected)
        known.insert(s.name, &s);
    for (const QJsonValue& entry : value.toArray()) {
        const QJsonObject o = entry.toObject();
        const QString name = o.value(QStringLiteral("name")).toString();
        if (!entry.isObject() || name.isEmpty())
            return QStringLiteral("%1: every entry needs a \"name\".").arg(section);
        if (!known.contains(name))
            return Located(section, name, QStringLiteral("is not a setting of this meter."));
        if (raw.contains(name))
            return Located(section, name, QStringLiteral("is given twice."));
        for (const QString& key : o.keys())
            if (key != QLatin1String("name") && key != QLatin1String("value") &&
                key != QLatin1String("raw"))
                return Located(section, name, QStringLiteral("unknown field \"%1\".").arg(key));
        if (!o.value(QStringLiteral("value")).isString())
            return Located(section, name, QStringLiteral("\"value\" is missing or not a text."));
        const QJsonValue rawValue = o.value(QStringLiteral("raw"));
        const int count = int(known[name]->raw.size());
        if (!rawValue.isArray() || rawValue.toArray().size() != count)
            return Located(
                section, name,
                QStringLiteral("\"raw\" must be a list of %1 register value(s).").arg(count));
        QList<quint16> regs;
        for (const QJsonValue& r : rawValue.toArray()) {
            if (const QString why = RawValueProblem(r, *known[name]); !why.isEmpty())
                return Located(section, name, why);
            regs << quint16(r.toDouble());
        }
        raw.insert(name, regs);
        texts.insert(name, o.value(QStringLiteral("value")).toString());
    }
    for (const ConfigSetting& s : expected) {
        if (raw.contains(s.name))
            continue;
        if (!s.onlyWhenSet)
            return Located(section, s.name, QStringLiteral("is missing."));
        raw.insert(s.name, QList<quint16>(s.raw.size(), 0));
        texts.insert(s.name, UpperBitsText(0));
    }
    return {};
}

QString CheckNamedAgainstRaw(const QList<ConfigSetting>& settings,
                             const QHash<QString, QString>& texts) {
    for (const ConfigSetting& s : settings) {
        if (!s.problem.isEmpty())
            return Located(s.section, s.name, s.problem);
        if (texts.value(s.name) != s.text)
            return Located(s.section, s.name,
                           QStringLiteral("the value \"%1\" does not match its raw value, which "
                                          "the window shows as \"%2\".")
                               .arg(texts.value(s.name), s.text));
    }
    return {};
}

QString CheckWindowsTakeIt(const MeterConfiguration& config) {
    const QList<quint16> settings(config.settings.begin(), config.settings.end());
    MeterSettingsForm form = *MeterSettingsFill(settings);
    if (IsModelWithoutDemand(config) && form.demandTime < 0)
        form.keptDemandWindow = config.settings[kDemandOffset];
    const MeterSettingsCheck check = CheckMeterSettings(form);
    if (!check.registers)
        return QStringLiteral("settings: ") + check.problem.message;
    if (*check.registers != config.settings)
        return QStringLiteral("settings: the meter settings window would write other values "
                              "than the file holds.");
    const QList<quint16> block(config.alarms.begin(), config.alarms.end());
    const ScaleRatios ratios = RatiosOf(config.settings);
    const AlarmWritePlan plan =
        PlanAlarmWrite(*AlarmSettingsFromBlock(block, ratios, QLocale::c()), ratios, QLocale::c());
    if (!plan.ok())
        return QStringLiteral("alarms: ") + QString(plan.error).replace(QLatin1Char('\n'), ' ');
    // The window writes bits 9..15 of its words as 0; a file keeps the meter's.
    AlarmBlockRegisters groupsOnly = config.alarms;
    for (const int word : kUpperBitWordIndex)
        groupsOnly[size_t(word)] &= kGroupBits;
    const QStringList messages = ConfigWriteMessages(config.settings, groupsOnly);
    if (plan.groups5to9 != messages[1] || plan.groups1to4 != messages[2])
        return QStringLiteral("alarms: a limit does not fit: the alarm settings window would "
                              "write other values than the file holds.");
    return {};
}

// The file's head: format and version, the known fields, when and from which meter.
QString ReadHeader(const QJsonObject& root, MeterConfiguration& config) {
    if (root.value(QStringLiteral("format")).toString() != QLatin1String(MeterConfigFormat))
        return QStringLiteral("\"format\": not a meter configuration (expected \"%1\").")
            .arg(QLatin1String(MeterConfigFormat));
    const QJsonValue version = root.value(QStringLiteral("version"));
    if (!version.isDouble())
        return QStringLiteral("\"version\": %1 is not a number; this program reads version %2, "
                              "written as the number %2.")
            .arg(JsonText(version), QString::number(MeterConfigVersion));
    if (version.toDouble() != MeterConfigVersion)
        return QStringLiteral("\"version\": format version %1; this program reads version %2.")
            .arg(JsonText(version), QString::number(MeterConfigVersion));
    const QStringList topKeys = {"format", "version", "saved", "program",
                                 "meter",  kSettings, kAlarms};
    for (const QString& key : root.keys())
        if (!topKeys.contains(key) && key != kCoefficients)
            return QStringLiteral("\"%1\": unknown field.").arg(key);
    for (const QString& key : topKeys)
        if (!root.contains(key))
            return QStringLiteral("\"%1\": missing.").arg(key);

    config.saved =
        QDateTime::fromString(root.value(QStringLiteral("saved")).toString(), Qt::ISODate);
    if (!config.saved.isValid())
        return QStringLiteral("\"saved\": not a date and time (like 2026-12-07T16:40:00Z).");
    if (!root.value(QStringLiteral("program")).isString())
        return QStringLiteral("\"program\": not a text.");
    config.program = root.value(QStringLiteral("program")).toString();
    const QJsonValue meterValue = root.value(QStringLiteral("meter"));
    if (!meterValue.isObject())
        return QStringLiteral("\"meter\": must be an object with the model, firmware and address.");
    const QJsonObject meter = meterValue.toObject();
    for (const QString& key : meter.keys())
        if (key != QLatin1String("model") && key != QLatin1String("firmware") &&
            key != QLatin1String("address"))
            return QStringLiteral("\"meter\": unknown field \"%1\".").arg(key);
    for (const char* key : {"model", "firmware"})
        if (!meter.value(QLatin1String(key)).isString())
            return QStringLiteral("\"meter\" \"%1\": missing or not a text.")
                .arg(QLatin1String(key));
    config.model = meter.value(QStringLiteral("model")).toString();
    config.firmware = meter.value(QStringLiteral("firmware")).toString();
    if (!ConfigMeterModels().contains(config.model))
        return QStringLiteral("\"meter\" \"model\": \"%1\" is not a meter model of this program "
                              "(%2).")
            .arg(config.model, ConfigMeterModels().join(QStringLiteral(" or ")));
    if (FirmwareFamily(config.firmware).isEmpty())
        return QStringLiteral("\"meter\" \"firmware\": \"%1\" names no firmware version (like "
                              "\"1.20\"); without it no meter can be told to be of the file's "
                              "family.")
            .arg(config.firmware);
    const QJsonValue address = meter.value(QStringLiteral("address"));
    config.address = address.isDouble() ? address.toInt(0) : 0;
    if (config.address < 1 || config.address > 247 || address.toDouble() != config.address)
        return QStringLiteral("\"meter\" \"address\": missing, not a number or outside 1..247.");
    return {};
}

} // namespace

QString ConfigProgramText() {
    return QStringLiteral("QetraLink %1").arg(QStringLiteral(QETRA_VERSION_TEXT));
}

QStringList ConfigMeterModels() {
    return {QStringLiteral("QETRA 7100"), QStringLiteral("QETRA 7300")};
}

QString ConfigMeterModel(int index) {
    return ConfigMeterModels().value(index == 0 ? 0 : 1);
}

QString RegisterText(quint16 reg) {
    return QStringLiteral("0x") + QString::number(reg, 16).toUpper().rightJustified(4, u'0');
}

QList<ConfigSetting> ConfigSettings(const MeterConfiguration& config) {
    QList<ConfigSetting> out;
    for (const MeterSettingView& v : ViewMeterSettings(config.settings)) {
        QList<quint16> raw;
        for (int k = 0; k < v.count; ++k)
            raw << config.settings[v.offset + k];
        ConfigSetting setting{kSettings, v.name, v.text, raw, v.problem};
        // The QETRA 7100 has no demand window and may report 0 there; the settings window
        // writes back what it read, and so does a file.
        if (v.offset == kDemandOffset && IsModelWithoutDemand(config))
            setting.problem.clear();
        out << setting;
    }
    out << AlarmSettings(config);
    if (config.coefficients)
        out << CoefficientSettings(*config.coefficients);
    return out;
}

QByteArray MeterConfigJson(const MeterConfiguration& config) {
    // Laid out by hand, one setting a line in register order, so that the file reads like
    // the windows and a line-by-line diff of two files shows the settings that differ.
    auto text = [](const QString& t) {
        return QJsonDocument(QJsonArray{t}).toJson(QJsonDocument::Compact).mid(1).chopped(1);
    };
    QByteArray out = "{\n";
    out += "  \"format\": " + text(QLatin1String(MeterConfigFormat)) + ",\n";
    out += "  \"version\": " + QByteArray::number(MeterConfigVersion) + ",\n";
    out += "  \"saved\": " + text(config.saved.toUTC().toString(Qt::ISODate)) + ",\n";
    out += "  \"program\": " + text(config.program) + ",\n";
    out += "  \"meter\": {\"model\": " + text(config.model) +
           ", \"firmware\": " + text(config.firmware) +
           ", \"address\": " + QByteArray::number(config.address) + "},\n";
    const QList<ConfigSetting> settings = ConfigSettings(config);
    QStringList sections = {kSettings, kAlarms};
    if (config.coefficients)
        sections << kCoefficients;
    for (const QString& section : sections) {
        out += "  " + text(section) + ": [";
        bool first = true;
        for (const ConfigSetting& s : settings) {
            if (s.section != section ||
                (s.onlyWhenSet &&
                 std::all_of(s.raw.begin(), s.raw.end(), [](quint16 r) { return r == 0; })))
                continue;
            QByteArrayList raw;
            for (const quint16 r : s.raw)
                raw << QByteArray::number(r);
            out += (first ? "\n    " : ",\n    ");
            out += "{\"name\": " + text(s.name) + ", \"value\": " + text(s.text) + ", \"raw\": [" +
                   raw.join(", ") + "]}";
            first = false;
        }
        out += section == sections.last() ? "\n  ]\n" : "\n  ],\n";
    }
    return out + "}\n";
}

MeterConfigRead ReadMeterConfig(const QByteArray& json) {
    auto fail = [](const QString& why) { return MeterConfigRead{std::nullopt, why}; };
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError) {
        const QByteArray before = json.left(error.offset);
        return fail(QStringLiteral("not a JSON document (%1 at line %2, character %3).")
                        .arg(error.errorString())
                        .arg(before.count('\n') + 1)
                        .arg(error.offset - before.lastIndexOf('\n')));
    }
    if (!doc.isObject())
        return fail(QStringLiteral("not a meter configuration (no JSON object)."));
    if (const QString why = StrictJsonProblem(json); !why.isEmpty())
        return fail(why);
    const QJsonObject root = doc.object();
    MeterConfiguration config;
    if (const QString why = ReadHeader(root, config); !why.isEmpty())
        return fail(why);

    // The names a file must hold, in the order the program writes them.
    const bool withCoefficients = root.contains(kCoefficients);
    MeterConfiguration names;
    if (withCoefficients)
        names.coefficients = ConfigCoefficients{};
    const QList<ConfigSetting> expected = ConfigSettings(names);
    QHash<QString, QList<quint16>> raw;
    QHash<QString, QString> texts;
    QStringList sections = {kSettings, kAlarms};
    if (withCoefficients)
        sections << kCoefficients;
    for (const QString& section : sections) {
        QList<ConfigSetting> ofSection;
        for (const ConfigSetting& s : expected)
            if (s.section == section)
                ofSection << s;
        if (const QString why = ReadSection(root, section, ofSection, raw, texts); !why.isEmpty())
            return fail(why);
    }

    for (const MeterSettingView& v : ViewMeterSettings({}))
        for (int k = 0; k < v.count; ++k)
            config.settings[v.offset + k] = raw[v.name][k];
    config.alarms[1] = raw[QStringLiteral("Alarm Delay")][0];
    for (int k = 0; k < 3; ++k)
        config.alarms[size_t(kUpperBitWordIndex[k])] = raw[QLatin1String(kUpperBitWords[k])][0];
    for (int g = 0; g < AlarmGroupCount; ++g) {
        config.alarms[0] |= quint16(raw[GroupName(g, 0)][0] << g);
        config.alarms[2] |= quint16(raw[GroupName(g, 1)][0] << g);
        config.alarms[3] |= quint16(raw[GroupName(g, 2)][0] << g);
        for (int k = 0; k < 3; ++k)
            config.alarms[4 + 3 * g + k] = raw[GroupName(g, 3 + k)][0];
    }
    if (withCoefficients) {
        config.coefficients = ConfigCoefficients{};
        const QList<ConfigSetting> ofFile = CoefficientSettings({});
        for (int k = 0; k < ConfigCoefficientCount; ++k)
            (*config.coefficients)[k] = raw[ofFile[k].name][0];
    }
    if (const QString why = CheckNamedAgainstRaw(ConfigSettings(config), texts); !why.isEmpty())
        return fail(why);
    if (const QString why = CheckWindowsTakeIt(config); !why.isEmpty())
        return fail(why);
    return {config, {}};
}

MeterConfigRead LoadMeterConfig(const QString& path) {
    QByteArray json;
    QString why;
    if (!ReadRegularFile(path, MeterConfigMaxBytes, &json, &why))
        return {std::nullopt, why};
    MeterConfigRead read = ReadMeterConfig(json);
    if (!read.config)
        read.problem = path + QStringLiteral(": ") + read.problem;
    return read;
}

bool SaveMeterConfig(const QString& path, const MeterConfiguration& config, QString* why,
                     FileSink* sink) {
    // A file that would be refused when it is used is not written: the meter holds a value
    // its windows would not write back.
    const QByteArray json = MeterConfigJson(config);
    if (const MeterConfigRead check = ReadMeterConfig(json); !check.config) {
        if (why)
            *why = QStringLiteral("not saved: the meter holds a configuration the program would "
                                  "not write back: %1")
                       .arg(check.problem);
        return false;
    }
    return SaveFileAtomically(path, json, why, sink);
}

std::optional<MeterConfiguration> ConfigFromMeter(const QList<quint16>& settingsBlock,
                                                  const QList<quint16>& alarmBlock,
                                                  const QString& firmware, const QString& model,
                                                  int address, const QDateTime& now) {
    if (settingsBlock.size() < MeterSettingsCount || alarmBlock.size() < AlarmParamBlockCount)
        return std::nullopt;
    MeterConfiguration c;
    c.saved = now.toUTC();
    c.program = ConfigProgramText();
    c.model = model;
    c.firmware = firmware;
    c.address = address;
    std::copy_n(settingsBlock.begin(), MeterSettingsCount, c.settings.begin());
    std::copy_n(alarmBlock.begin(), AlarmParamBlockCount, c.alarms.begin());
    return c;
}

std::optional<ConfigCoefficients> CoefficientsFromBlock(const QList<quint16>& block) {
    if (block.size() < CoefficientBlockCount)
        return std::nullopt;
    ConfigCoefficients c{};
    int k = 0;
    for (const CoefficientRow& row : CoefficientRows())
        c[k++] = block[row.reg - CoefficientBlockStart];
    return c;
}

QStringList CoefficientWriteMessages(const ConfigCoefficients& coefficients) {
    // Runs of consecutive registers, each one write.
    QStringList messages;
    quint16 start = 0;
    QList<quint16> run;
    int k = 0;
    for (const CoefficientRow& row : CoefficientRows()) {
        if (!run.isEmpty() && row.reg != start + run.size()) {
            messages << CoefficientWriteMessage(start, run);
            run.clear();
        }
        if (run.isEmpty())
            start = row.reg;
        run << coefficients[k++];
    }
    messages << CoefficientWriteMessage(start, run);
    return messages;
}

QString FirmwareFamily(const QString& version) {
    return version.trimmed().section(QLatin1Char('.'), 0, 0);
}

QString OtherKindProblem(const MeterConfiguration& config, const QString& model,
                         const QString& firmware) {
    if (config.model != model)
        return QStringLiteral("the file is for a %1, the program is set up for a %2")
            .arg(config.model, model);
    const QString family = FirmwareFamily(firmware);
    if (!family.isEmpty() && family != FirmwareFamily(config.firmware))
        return QStringLiteral("firmware %1, the file is from firmware %2")
            .arg(firmware, config.firmware);
    return {};
}

QList<ConfigComparison> CompareConfigs(const MeterConfiguration& left,
                                       const MeterConfiguration& right, bool includeComm) {
    const QList<ConfigSetting> a = ConfigSettings(left);
    QHash<QString, ConfigSetting> b;
    for (const ConfigSetting& s : ConfigSettings(right))
        b.insert(s.section + QLatin1Char('/') + s.name, s);
    QList<ConfigComparison> rows;
    for (const ConfigSetting& s : a) {
        const auto other = b.constFind(s.section + QLatin1Char('/') + s.name);
        if (other == b.constEnd())
            continue;
        ConfigComparison row{s.name, s.text, other->text, false, false};
        row.kept =
            !includeComm && s.section == kSettings &&
            (s.name == QLatin1String("Meter Address") || s.name == QLatin1String("Baud Rate"));
        row.differs = !row.kept && s.raw != other->raw;
        rows << row;
    }
    return rows;
}

bool AnyDifference(const QList<ConfigComparison>& rows) {
    return std::any_of(rows.begin(), rows.end(), [](const auto& r) { return r.differs; });
}

MeterSettingsRegisters SettingsToWrite(const MeterConfiguration& config,
                                       const MeterSettingsRegisters& meterNow, bool includeComm) {
    MeterSettingsRegisters regs = config.settings;
    if (!includeComm) {
        constexpr int kAddress = 0x01, kBaud = 0x02;
        regs[kAddress] = meterNow[kAddress];
        regs[kBaud] = meterNow[kBaud];
    }
    return regs;
}

QStringList ConfigWriteMessages(const MeterSettingsRegisters& settings,
                                const AlarmBlockRegisters& alarms) {
    const QList<quint16> block(alarms.begin(), alarms.end());
    return {MeterSettingsMessage(settings), WriteRegistersMessage(0x340, block.mid(16)),
            WriteRegistersMessage(AlarmParamBlockStart, block.mid(0, 16))};
}

QString ConfigRegisterName(quint16 reg) {
    QString what;
    if (reg >= MeterSettingsStart && reg < MeterSettingsStart + MeterSettingsCount)
        what = SettingsRegisterName(reg - MeterSettingsStart);
    else if (reg >= AlarmParamBlockStart && reg < AlarmParamBlockStart + AlarmParamBlockCount)
        what = AlarmRegisterName(reg - AlarmParamBlockStart);
    for (const CoefficientRow& row : CoefficientRows())
        if (row.reg == reg)
            what = QString::fromUtf8(row.editCaption).remove(u'\uFF1A');
    return what.isEmpty() ? RegisterText(reg)
                          : QStringLiteral("%1 (%2)").arg(RegisterText(reg), what);
}

QStringList DifferingRegisters(const MeterSettingsRegisters& wroteSettings,
                               const AlarmBlockRegisters& wroteAlarms,
                               const QList<quint16>& readSettings,
                               const QList<quint16>& readAlarms) {
    QStringList differing;
    for (int i = 0; i < MeterSettingsCount; ++i)
        if (i >= readSettings.size() || readSettings[i] != wroteSettings[i])
            differing << ConfigRegisterName(quint16(MeterSettingsStart + i));
    for (int i = 0; i < AlarmParamBlockCount; ++i)
        if (i >= readAlarms.size() || readAlarms[i] != wroteAlarms[i])
            differing << ConfigRegisterName(quint16(AlarmParamBlockStart + i));
    return differing;
}
