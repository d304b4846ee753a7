#include "MeterConfigFile.h"

#include "CoefficientMessages.h"
#include "MeterParamDecode.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSet>

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

// The named entries of one section: every name present once and known, the raw values
// numbers that fit their registers (or bits). Fills `raw` by name.
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
        // Status, DO1 and DO2 are single bits of the alarm words.
        const bool bit = section == kAlarms && (name.endsWith(QLatin1String(" Status")) ||
                                                name.endsWith(QLatin1String(" DO1")) ||
                                                name.endsWith(QLatin1String(" DO2")));
        const double top = bit ? 1.0 : 65535.0;
        QList<quint16> regs;
        for (const QJsonValue& r : rawValue.toArray()) {
            const double v = r.toDouble(-1.0);
            if (!r.isDouble() || v < 0.0 || v > top || v != double(qint64(v)))
                return Located(section, name,
                               bit ? QStringLiteral("raw value %1 is not a bit (0 or 1).")
                                         .arg(r.toVariant().toString())
                                   : QStringLiteral("raw value %1 does not fit its 16-bit "
                                                    "register (0..65535).")
                                         .arg(r.toVariant().toString()));
            regs << quint16(v);
        }
        raw.insert(name, regs);
        texts.insert(name, o.value(QStringLiteral("value")).toString());
    }
    for (const ConfigSetting& s : expected)
        if (!raw.contains(s.name))
            return Located(section, s.name, QStringLiteral("is missing."));
    return {};
}

// The checks of the windows on a configuration built from raw values: every value one
// the window can show and write, and each named text the one its raw value shows as.
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
    const QStringList messages = ConfigWriteMessages(config.settings, config.alarms);
    if (plan.groups5to9 != messages[0] || plan.groups1to4 != messages[1])
        return QStringLiteral("alarms: a limit does not fit: the alarm settings window would "
                              "write other values than the file holds.");
    return {};
}

} // namespace

QString ConfigProgramText() {
    return QStringLiteral("QetraLink %1").arg(QStringLiteral(QETRA_VERSION_TEXT));
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
            if (s.section != section)
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
    if (error.error != QJsonParseError::NoError)
        return fail(QStringLiteral("not a JSON document (%1 at character %2).")
                        .arg(error.errorString())
                        .arg(error.offset));
    if (!doc.isObject())
        return fail(QStringLiteral("not a meter configuration (no JSON object)."));
    const QJsonObject root = doc.object();
    if (root.value(QStringLiteral("format")).toString() != QLatin1String(MeterConfigFormat))
        return fail(QStringLiteral("\"format\": not a meter configuration (expected \"%1\").")
                        .arg(QLatin1String(MeterConfigFormat)));
    const QJsonValue version = root.value(QStringLiteral("version"));
    if (version.toInt(-1) != MeterConfigVersion)
        return fail(QStringLiteral("\"version\": format version %1; this program reads version %2.")
                        .arg(version.toVariant().toString())
                        .arg(MeterConfigVersion));
    const QStringList topKeys = {"format", "version", "saved", "program",
                                 "meter",  kSettings, kAlarms};
    for (const QString& key : root.keys())
        if (!topKeys.contains(key) && key != kCoefficients)
            return fail(QStringLiteral("\"%1\": unknown field.").arg(key));
    for (const QString& key : topKeys)
        if (!root.contains(key))
            return fail(QStringLiteral("\"%1\": missing.").arg(key));

    MeterConfiguration config;
    config.saved =
        QDateTime::fromString(root.value(QStringLiteral("saved")).toString(), Qt::ISODate);
    if (!config.saved.isValid())
        return fail(QStringLiteral("\"saved\": not a date and time (like 2026-12-07T16:40:00Z)."));
    if (!root.value(QStringLiteral("program")).isString())
        return fail(QStringLiteral("\"program\": not a text."));
    config.program = root.value(QStringLiteral("program")).toString();
    const QJsonObject meter = root.value(QStringLiteral("meter")).toObject();
    for (const QString& key : meter.keys())
        if (key != QLatin1String("model") && key != QLatin1String("firmware") &&
            key != QLatin1String("address"))
            return fail(QStringLiteral("\"meter\": unknown field \"%1\".").arg(key));
    for (const char* key : {"model", "firmware"})
        if (!meter.value(QLatin1String(key)).isString())
            return fail(
                QStringLiteral("\"meter\" \"%1\": missing or not a text.").arg(QLatin1String(key)));
    config.model = meter.value(QStringLiteral("model")).toString();
    config.firmware = meter.value(QStringLiteral("firmware")).toString();
    config.address = meter.value(QStringLiteral("address")).toInt(0);
    if (config.address < 1 || config.address > 247)
        return fail(QStringLiteral("\"meter\" \"address\": missing or outside 1..247."));

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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {std::nullopt, QStringLiteral("cannot read %1: %2").arg(path, file.errorString())};
    MeterConfigRead read = ReadMeterConfig(file.readAll());
    if (!read.config)
        read.problem = path + QStringLiteral(": ") + read.problem;
    return read;
}

bool SaveMeterConfig(const QString& path, const MeterConfiguration& config, QString* why) {
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
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(json) >= 0 && file.commit())
        return true;
    if (why)
        *why = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return false;
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
    return {WriteRegistersMessage(0x340, block.mid(16)),
            WriteRegistersMessage(AlarmParamBlockStart, block.mid(0, 16)),
            MeterSettingsMessage(settings)};
}

QStringList DifferingRegisters(const MeterSettingsRegisters& wroteSettings,
                               const AlarmBlockRegisters& wroteAlarms,
                               const QList<quint16>& readSettings,
                               const QList<quint16>& readAlarms) {
    QStringList differing;
    auto name = [](quint16 reg, const QString& what) {
        return QStringLiteral("0x%1 (%2)").arg(reg, 3, 16, QLatin1Char('0')).arg(what);
    };
    for (int i = 0; i < MeterSettingsCount; ++i)
        if (i >= readSettings.size() || readSettings[i] != wroteSettings[i])
            differing << name(quint16(MeterSettingsStart + i), SettingsRegisterName(i));
    for (int i = 0; i < AlarmParamBlockCount; ++i)
        if (i >= readAlarms.size() || readAlarms[i] != wroteAlarms[i])
            differing << name(quint16(AlarmParamBlockStart + i), AlarmRegisterName(i));
    return differing;
}
