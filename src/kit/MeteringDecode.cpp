#include "MeteringDecode.h"

#include "BlockDecode.h"
#include "NumberText.h"

#include <QCoreApplication>

namespace {

QString LoadTypeFormat(qint64 value, const DecodeContext&) {
    return LoadTypeText(static_cast<quint16>(value));
}

// Block 0x130 in register order. 0x154 and 0x155 are not shown.
// clang-format off
constexpr BlockRow kRows[] = {
    {0x00, RegWidth::U16, "LabelF",        FixedFormat(100, 2, " Hz")},
    {0x01, RegWidth::U16, "LabelUa",       VoltageFormat()},
    {0x02, RegWidth::U16, "LabelUb",       VoltageFormat()},
    {0x03, RegWidth::U16, "LabelUc",       VoltageFormat()},
    {0x04, RegWidth::U16, "LabelUnavg",    VoltageFormat()},
    {0x05, RegWidth::U16, "LabelUab",      VoltageFormat()},
    {0x06, RegWidth::U16, "LabelUbc",      VoltageFormat()},
    {0x07, RegWidth::U16, "LabelUca",      VoltageFormat()},
    {0x08, RegWidth::U16, "LabelUlavg",    VoltageFormat()},
    {0x09, RegWidth::U16, "LabelIa",       CurrentFormat()},
    {0x0A, RegWidth::U16, "LabelIb",       CurrentFormat()},
    {0x0B, RegWidth::U16, "LabelIc",       CurrentFormat()},
    {0x0C, RegWidth::U16, "LabelIavg",     CurrentFormat()},
    {0x0D, RegWidth::U16, "LabelIn",       CurrentFormat()},
    {0x0E, RegWidth::U16, "LabelPa",       PowerFormat(PowerWatt)},
    {0x0F, RegWidth::U16, "LabelPb",       PowerFormat(PowerWatt)},
    {0x10, RegWidth::U16, "LabelPc",       PowerFormat(PowerWatt)},
    {0x11, RegWidth::U16, "LabelPavg",     PowerFormat(PowerWatt)},
    {0x12, RegWidth::U16, "LabelQa",       PowerFormat(PowerVar)},
    {0x13, RegWidth::U16, "LabelQb",       PowerFormat(PowerVar)},
    {0x14, RegWidth::U16, "LabelQc",       PowerFormat(PowerVar)},
    {0x15, RegWidth::U16, "LabelQavg",     PowerFormat(PowerVar)},
    {0x16, RegWidth::U16, "LabelSa",       PowerFormat(PowerVoltAmpere)},
    {0x17, RegWidth::U16, "LabelSb",       PowerFormat(PowerVoltAmpere)},
    {0x18, RegWidth::U16, "LabelSc",       PowerFormat(PowerVoltAmpere)},
    {0x19, RegWidth::U16, "LabelSavg",     PowerFormat(PowerVoltAmpere)},
    {0x1A, RegWidth::S16, "LabelPfa",      FixedFormat(1000, 3)},
    {0x1B, RegWidth::S16, "LabelPfb",      FixedFormat(1000, 3)},
    {0x1C, RegWidth::S16, "LabelPfc",      FixedFormat(1000, 3)},
    {0x1D, RegWidth::S16, "LabelPfavg",    FixedFormat(1000, 3)},
    {0x1E, RegWidth::U16, "LabelUunbl",    FixedFormat(10, 3, " %")},
    {0x1F, RegWidth::U16, "LabelIunbl",    FixedFormat(10, 3, " %")},
    {0x20, RegWidth::U16, "LabelRt",       CustomFormat(LoadTypeFormat)},
    {0x21, RegWidth::U16, "LabelP_dema",   PowerFormat(PowerWatt)},
    {0x22, RegWidth::U16, "LabelQ_dema",   PowerFormat(PowerVar)},
    {0x23, RegWidth::U16, "LabelS_dema",   PowerFormat(PowerVoltAmpere)},
    {0x26, RegWidth::S32, "LabelEp_imp",   EnergyFormat("Wh")},
    {0x28, RegWidth::S32, "LabelEp_exp",   EnergyFormat("Wh")},
    {0x2A, RegWidth::S32, "LabelEq_imp",   EnergyFormat("varh")},
    {0x2C, RegWidth::S32, "LabelEq_exp",   EnergyFormat("varh")},
    {0x2E, RegWidth::S32, "LabelEp_total", EnergyFormat("Wh")},
    {0x30, RegWidth::S32, "LabelEp_net",   EnergyFormat("Wh")},
    {0x32, RegWidth::S32, "LabelEq_total", EnergyFormat("varh")},
    {0x34, RegWidth::S32, "LabelEq_net",   EnergyFormat("varh")},
};
// clang-format on

constexpr int kFirstEnergyOffset = 0x26;
constexpr int kEnergyCount = 8;

} // namespace

LabelTexts DecodeMeteringBlock(const QList<quint16>& values, const ScaleRatios& ratios,
                               const QLocale& locale) {
    return DecodeBlock(kRows, values, DecodeContext{ratios, locale});
}

bool MeteringLabelScaled(const QString& target) {
    for (const BlockRow& row : kRows)
        if (target == QLatin1String(row.target))
            return ScaledByRatios(row.format);
    return false;
}

QList<QString> EnergyEditTexts(const QList<quint16>& values, const QLocale& locale) {
    QList<QString> texts;
    if (values.size() < kFirstEnergyOffset + 2 * kEnergyCount)
        return texts;
    for (int i = 0; i < kEnergyCount; ++i) {
        const int at = kFirstEnergyOffset + 2 * i;
        texts.append(FixedText(ReadQuantity(values, at, RegWidth::S32) / 10.0, 1, locale));
    }
    return texts;
}

QString LoadTypeText(quint16 reg) {
    switch (reg) {
    case 'C':
    case 'c':
        return QCoreApplication::translate("MeteringDecode", "Capacitive");
    case 'L':
    case 'l':
        return QCoreApplication::translate("MeteringDecode", "Reactive");
    case 'R':
    case 'r':
        return QCoreApplication::translate("MeteringDecode", "Resistance");
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
    return on ? QCoreApplication::translate("MeteringDecode", "On")
              : QCoreApplication::translate("MeteringDecode", "Off");
}

QString InputStateText(bool on) {
    return on ? QCoreApplication::translate("MeteringDecode", "ON")
              : QCoreApplication::translate("MeteringDecode", "OFF");
}

std::optional<RelayConfirmation> RelayConfirmationFor(quint16 coil) {
    if (coil == 0)
        return RelayConfirmation{
            1, QCoreApplication::translate("MeteringDecode", "Control RO1 successfully!")};
    if (coil == 1)
        return RelayConfirmation{
            2, QCoreApplication::translate("MeteringDecode", "Control RO2 successfully!")};
    return std::nullopt;
}

RelayClickPlan PlanRelayClick(int relay, const QString& caption) {
    RelayClickPlan plan;
    // The button may carry the untranslated caption of its form or the state's text in the
    // desktop's language; either way "off" means the click switches the relay on.
    plan.switchOn = caption == QLatin1String("Off") || caption == RelayStateText(false);
    plan.question = QCoreApplication::translate("MeteringDecode", "Are you sure to switch %1 RO%2?")
                        .arg(plan.switchOn ? QCoreApplication::translate("MeteringDecode", "on")
                                           : QCoreApplication::translate("MeteringDecode", "off"))
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
