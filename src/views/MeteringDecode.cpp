#include "MeteringDecode.h"

#include "ValueText.h"

namespace {

enum class Row {
    Frequency,
    Voltage,
    Current,
    Power,
    PowerFactor,
    Unbalance,
    LoadType,
    ActiveEnergy,
    ReactiveEnergy,
};

struct BlockRow {
    int offset; // register - 0x130
    const char* label;
    Row kind;
    int powerKind = PowerWatt;
};

// Block 0x130 in register order. 0x154 and 0x155 are not shown.
constexpr BlockRow kRows[] = {
    {0x00, "LabelF", Row::Frequency},
    {0x01, "LabelUa", Row::Voltage},
    {0x02, "LabelUb", Row::Voltage},
    {0x03, "LabelUc", Row::Voltage},
    {0x04, "LabelUnavg", Row::Voltage},
    {0x05, "LabelUab", Row::Voltage},
    {0x06, "LabelUbc", Row::Voltage},
    {0x07, "LabelUca", Row::Voltage},
    {0x08, "LabelUlavg", Row::Voltage},
    {0x09, "LabelIa", Row::Current},
    {0x0A, "LabelIb", Row::Current},
    {0x0B, "LabelIc", Row::Current},
    {0x0C, "LabelIavg", Row::Current},
    {0x0D, "LabelIn", Row::Current},
    {0x0E, "LabelPa", Row::Power, PowerWatt},
    {0x0F, "LabelPb", Row::Power, PowerWatt},
    {0x10, "LabelPc", Row::Power, PowerWatt},
    {0x11, "LabelPavg", Row::Power, PowerWatt},
    {0x12, "LabelQa", Row::Power, PowerVar},
    {0x13, "LabelQb", Row::Power, PowerVar},
    {0x14, "LabelQc", Row::Power, PowerVar},
    {0x15, "LabelQavg", Row::Power, PowerVar},
    {0x16, "LabelSa", Row::Power, PowerVoltAmpere},
    {0x17, "LabelSb", Row::Power, PowerVoltAmpere},
    {0x18, "LabelSc", Row::Power, PowerVoltAmpere},
    {0x19, "LabelSavg", Row::Power, PowerVoltAmpere},
    {0x1A, "LabelPfa", Row::PowerFactor},
    {0x1B, "LabelPfb", Row::PowerFactor},
    {0x1C, "LabelPfc", Row::PowerFactor},
    {0x1D, "LabelPfavg", Row::PowerFactor},
    {0x1E, "LabelUunbl", Row::Unbalance},
    {0x1F, "LabelIunbl", Row::Unbalance},
    {0x20, "LabelRt", Row::LoadType},
    {0x21, "LabelP_dema", Row::Power, PowerWatt},
    {0x22, "LabelQ_dema", Row::Power, PowerVar},
    {0x23, "LabelS_dema", Row::Power, PowerVoltAmpere},
    {0x26, "LabelEp_imp", Row::ActiveEnergy},
    {0x28, "LabelEp_exp", Row::ActiveEnergy},
    {0x2A, "LabelEq_imp", Row::ReactiveEnergy},
    {0x2C, "LabelEq_exp", Row::ReactiveEnergy},
    {0x2E, "LabelEp_total", Row::ActiveEnergy},
    {0x30, "LabelEp_net", Row::ActiveEnergy},
    {0x32, "LabelEq_total", Row::ReactiveEnergy},
    {0x34, "LabelEq_net", Row::ReactiveEnergy},
};

constexpr int kFirstEnergyOffset = 0x26;
constexpr int kEnergyCount = 8;

bool IsEnergy(Row row) {
    return row == Row::ActiveEnergy || row == Row::ReactiveEnergy;
}

// High word at the lower address; the counters are signed.
qint32 Combine32(quint16 high, quint16 low) {
    return static_cast<qint32>((static_cast<quint32>(high) << 16) | low);
}

QString RowText(const BlockRow& row, const QList<quint16>& v, const ScaleRatios& r,
                const QLocale& locale) {
    const quint16 reg = v[row.offset];
    switch (row.kind) {
    case Row::Frequency:
        return FixedText(reg / 100.0, 2, locale) + QStringLiteral(" Hz");
    case Row::Voltage:
        return FormatVoltageText(reg, r.pt, locale);
    case Row::Current:
        return FormatCurrentText(reg, r.ct, locale);
    case Row::Power:
        return FormatPowerText(reg, row.powerKind, r.pt, r.ct, locale);
    case Row::PowerFactor:
        return FixedText(static_cast<qint16>(reg) / 1000.0, 3, locale);
    case Row::Unbalance:
        return FixedText(reg / 10.0, 3, locale) + QStringLiteral(" %");
    case Row::LoadType:
        return LoadTypeText(reg);
    case Row::ActiveEnergy:
        return FixedText(Combine32(reg, v[row.offset + 1]) / 10.0, 1, locale) +
               QStringLiteral(" kWh");
    case Row::ReactiveEnergy:
        return FixedText(Combine32(reg, v[row.offset + 1]) / 10.0, 1, locale) +
               QStringLiteral(" kvarh");
    }
    return {};
}

} // namespace

LabelTexts DecodeMeteringBlock(const QList<quint16>& values, const ScaleRatios& ratios,
                               const QLocale& locale) {
    LabelTexts texts;
    for (const auto& row : kRows) {
        const int last = row.offset + (IsEnergy(row.kind) ? 1 : 0);
        if (last >= values.size())
            break;
        texts.append({QString::fromLatin1(row.label), RowText(row, values, ratios, locale)});
    }
    return texts;
}

QList<QString> EnergyEditTexts(const QList<quint16>& values, const QLocale& locale) {
    QList<QString> texts;
    if (values.size() < kFirstEnergyOffset + 2 * kEnergyCount)
        return texts;
    for (int i = 0; i < kEnergyCount; ++i) {
        const int at = kFirstEnergyOffset + 2 * i;
        texts.append(FixedText(Combine32(values[at], values[at + 1]) / 10.0, 1, locale));
    }
    return texts;
}

QString LoadTypeText(quint16 reg) {
    switch (reg) {
    case 'C':
    case 'c':
        return QStringLiteral("Capacitive");
    case 'L':
    case 'l':
        return QStringLiteral("Reactive");
    case 'R':
    case 'r':
        return QStringLiteral("Resistance");
    default:
        break;
    }
    const char letter = static_cast<char>(reg & 0xFF);
    // A NUL would reach the label as a character of its own and be drawn as a box.
    if (letter == '\0')
        return {};
    return QString(QChar::fromLatin1(letter));
}

QString TemperatureText(quint16 reg, const QLocale& locale) {
    return FixedText(static_cast<qint16>(reg) / 10.0, 1, locale) + QStringLiteral(" \u00B0C");
}

QString RelayStateText(bool on) {
    return on ? QStringLiteral("On") : QStringLiteral("Off");
}

QString InputStateText(bool on) {
    return on ? QStringLiteral("ON") : QStringLiteral("OFF");
}

std::optional<RelayConfirmation> RelayConfirmationFor(quint16 coil) {
    if (coil == 0)
        return RelayConfirmation{1, QStringLiteral("Control RO1 successfully!")};
    if (coil == 1)
        return RelayConfirmation{2, QStringLiteral("Control RO2 successfully!")};
    return std::nullopt;
}

RelayClickPlan PlanRelayClick(int relay, const QString& caption) {
    RelayClickPlan plan;
    plan.switchOn = caption == QLatin1String("Off");
    plan.question = QStringLiteral("Are you sure to switch %1 RO%2?")
                        .arg(plan.switchOn ? QStringLiteral("on") : QStringLiteral("off"))
                        .arg(relay);
    plan.newCaption = RelayStateText(plan.switchOn);
    plan.message = RelayWriteMessage(relay, plan.switchOn);
    return plan;
}

QString RelayWriteMessage(int relay, bool on) {
    return QStringLiteral("00,05,00,%1,%2,00,00,00")
        .arg(relay - 1, 2, 10, QLatin1Char('0'))
        .arg(on ? QStringLiteral("FF") : QStringLiteral("00"));
}

QString EnergyResetMessage() {
    // Header, then 16 registers of zero (32 data bytes), then the CRC placeholders.
    QString message = QStringLiteral("00,10,01,56,00,10,20");
    for (int i = 0; i < 32 + 2; ++i)
        message += QStringLiteral(",00");
    return message;
}
