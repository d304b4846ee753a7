#include "AlarmCodec.h"

#include "NumberInput.h"
#include "NumberText.h"

#include <QCoreApplication>
#include <cmath>
#include <limits>

namespace {

// clang-format off
const char* const kItemTexts[AlarmItemCount] = {
    QT_TRANSLATE_NOOP("AlarmCodec", "F (Frequency)"),
    QT_TRANSLATE_NOOP("AlarmCodec", "V1 (Phase A Voltage)"),
    QT_TRANSLATE_NOOP("AlarmCodec", "V2 (Phase B Voltage)"),
    QT_TRANSLATE_NOOP("AlarmCodec", "V3 (Phase C Voltage)"),
    QT_TRANSLATE_NOOP("AlarmCodec", "Vlnavg (Phase Voltage Average)"),
    QT_TRANSLATE_NOOP("AlarmCodec", "V12 (Line AB Voltage)"),
    QT_TRANSLATE_NOOP("AlarmCodec", "V23 (Line BC Voltage)"),
    QT_TRANSLATE_NOOP("AlarmCodec", "V31 (Line CA Voltage)"),
    QT_TRANSLATE_NOOP("AlarmCodec", "Vllavg (Line Voltage Average)"),
    QT_TRANSLATE_NOOP("AlarmCodec", "I1 (Current A)"),
    QT_TRANSLATE_NOOP("AlarmCodec", "I2 (Current B)"),
    QT_TRANSLATE_NOOP("AlarmCodec", "I3 (Current C)"),
    QT_TRANSLATE_NOOP("AlarmCodec", "Iavg (Current Average)"),
    QT_TRANSLATE_NOOP("AlarmCodec", "In (Neutral Current)"),
    QT_TRANSLATE_NOOP("AlarmCodec", "P1 (Power 1)"),
    QT_TRANSLATE_NOOP("AlarmCodec", "P2 (Power 2)"),
    QT_TRANSLATE_NOOP("AlarmCodec", "P3 (Power 3)"),
    QT_TRANSLATE_NOOP("AlarmCodec", "Psum (Power)"),
    QT_TRANSLATE_NOOP("AlarmCodec", "Q1 (Reactive Power 1)"),
    QT_TRANSLATE_NOOP("AlarmCodec", "Q2 (Reactive Power 2)"),
    QT_TRANSLATE_NOOP("AlarmCodec", "Q3 (Reactive Power 3)"),
    QT_TRANSLATE_NOOP("AlarmCodec", "Qsum (Reactive Power)"),
    QT_TRANSLATE_NOOP("AlarmCodec", "S1 (Apparent Power 1)"),
    QT_TRANSLATE_NOOP("AlarmCodec", "S2 (Apparent Power 2)"),
    QT_TRANSLATE_NOOP("AlarmCodec", "S3 (Apparent Power 3)"),
    QT_TRANSLATE_NOOP("AlarmCodec", "Ssum (Apparent Power)"),
    QT_TRANSLATE_NOOP("AlarmCodec", "PF1 (Power Factor 1)"),
    QT_TRANSLATE_NOOP("AlarmCodec", "PF2 (Power Factor 2)"),
    QT_TRANSLATE_NOOP("AlarmCodec", "PF3 (Power Factor 3)"),
    QT_TRANSLATE_NOOP("AlarmCodec", "PF (Power Factor)"),
    QT_TRANSLATE_NOOP("AlarmCodec", "U_unbl (Voltage Unbalance Factor)"),
    QT_TRANSLATE_NOOP("AlarmCodec", "I_unbl (Current Unbalance Factor)"),
    QT_TRANSLATE_NOOP("AlarmCodec", "Dmd_P (Power Demand)"),
    QT_TRANSLATE_NOOP("AlarmCodec", "Dmd_Q (Reactive Power Demand)"),
    QT_TRANSLATE_NOOP("AlarmCodec", "Dmd_S (Apparent Power Demand)"),
};
// clang-format on

// What an item's limit register measures.
enum class Quantity { Frequency, Voltage, Current, Watt, Var, VoltAmpere, PowerFactor, Unbalance };

Quantity QuantityOf(int code) {
    if (code == 0)
        return Quantity::Frequency;
    if (code <= 8)
        return Quantity::Voltage;
    if (code <= 13)
        return Quantity::Current;
    if (code <= 17 || code == 32)
        return Quantity::Watt;
    if (code <= 21 || code == 33)
        return Quantity::Var;
    if (code <= 25 || code == 34)
        return Quantity::VoltAmpere;
    if (code <= 29)
        return Quantity::PowerFactor;
    return Quantity::Unbalance;
}

bool ValidItem(int code) {
    return code >= 0 && code < AlarmItemCount;
}

// One register step of the item in its base unit: the meter keeps voltages in 0.1 V and
// currents in mA of the secondary side, powers in W, var and VA of the secondary side.
struct Scale {
    double numerator; // register = value x numerator / divisor
    double divisor;
};
Scale ScaleOf(Quantity q, const ScaleRatios& r) {
    switch (q) {
    case Quantity::Frequency:
    case Quantity::Unbalance:
        return {100.0, 1.0};
    case Quantity::Voltage:
        return {10.0, r.pt};
    case Quantity::Current:
        return {1000.0, r.ct};
    case Quantity::Watt:
    case Quantity::Var:
    case Quantity::VoltAmpere:
        return {1.0, r.pt * r.ct};
    case Quantity::PowerFactor:
        return {1000.0, 1.0};
    }
    return {1.0, 1.0};
}

// The fewest decimals, no fewer than the format's own, with which every register value
// of this step size gets a text of its own: the step is a whole number of last digits, or
// the last digit is finer than the step, so that half a digit of rounding stays clear of
// half a step.
int DecimalsFor(double step, int minimum) {
    constexpr int kMostExtra = 6;
    if (!(step > 0.0) || !std::isfinite(step))
        return minimum;
    for (int d = minimum; d < minimum + kMostExtra; ++d) {
        const double steps = step * std::pow(10.0, d);
        const bool whole = steps >= 0.5 && std::fabs(steps - std::round(steps)) <= 1e-9 * steps;
        if (whole || steps >= 1.01)
            return d;
    }
    return minimum + kMostExtra;
}

// Below 1000 of the unit as it is, otherwise in thousands with a k before the unit.
QString WithPrefix(double value, double step, int decimals, int kiloDecimals, const char* unit,
                   const QLocale& locale) {
    if (std::fabs(value) < 1000.0)
        return GroupedText(value, DecimalsFor(step, decimals), locale) + QLatin1Char(' ') +
               QLatin1String(unit);
    return GroupedText(value / 1000.0, DecimalsFor(step / 1000.0, kiloDecimals), locale) +
           QStringLiteral(" k") + QLatin1String(unit);
}

void AppendRegister(QString& message, quint16 reg) {
    message += QStringLiteral("%1,%2,")
                   .arg(reg >> 8, 2, 16, QLatin1Char('0'))
                   .arg(reg & 0xFF, 2, 16, QLatin1Char('0'))
                   .toUpper();
}

QString ParameterError(const QString& detail) {
    return QCoreApplication::translate("AlarmCodec", "Alarm Parameter error!\n") + detail;
}

} // namespace

QString AlarmItemText(int code) {
    return ValidItem(code) ? QString::fromLatin1(kItemTexts[code]) : QString();
}

QStringList AlarmItemTexts() {
    QStringList texts;
    for (const char* t : kItemTexts)
        texts << QString::fromLatin1(t);
    return texts;
}

QString ShownAlarmItemText(int code) {
    return ValidItem(code) ? QCoreApplication::translate("AlarmCodec", kItemTexts[code])
                           : QString();
}

QStringList ShownAlarmItemTexts() {
    QStringList texts;
    for (const char* t : kItemTexts)
        texts << QCoreApplication::translate("AlarmCodec", t);
    return texts;
}

QStringList AlarmDelayTexts() {
    QStringList texts;
    for (int k = 0; k < AlarmDelayCount; ++k)
        texts << QString::number(k * AlarmDelayStepMs);
    return texts;
}

bool AlarmItemScaled(int code) {
    if (!ValidItem(code))
        return false;
    const Quantity q = QuantityOf(code);
    return q != Quantity::Frequency && q != Quantity::PowerFactor && q != Quantity::Unbalance;
}

bool AlarmItemIsSigned(int code) {
    switch (QuantityOf(code)) {
    case Quantity::Watt:
    case Quantity::Var:
    case Quantity::PowerFactor:
        return true;
    default:
        return false;
    }
}

QString AlarmLimitText(int code, quint16 reg, const ScaleRatios& ratios, const QLocale& locale) {
    if (!ValidItem(code))
        return {};
    const Quantity q = QuantityOf(code);
    const Scale s = ScaleOf(q, ratios);
    const double value = AlarmItemIsSigned(code) ? double(qint16(reg)) : double(reg);
    const double step = s.divisor / s.numerator;
    switch (q) {
    case Quantity::Frequency:
        return FixedText(value / 100.0, 2, locale) + QStringLiteral(" Hz");
    case Quantity::Voltage:
        return WithPrefix(value * step, step, 1, 3, "V", locale);
    case Quantity::Current: {
        const double amps = value * step;
        const double magnitude = std::fabs(amps);
        const int decimals = magnitude < 10.0 ? 3 : magnitude < 100.0 ? 2 : 1;
        return GroupedText(amps, DecimalsFor(step, decimals), locale) + QStringLiteral(" A");
    }
    case Quantity::Watt:
        return WithPrefix(value * step, step, 0, 3, "W", locale);
    case Quantity::Var:
        return WithPrefix(value * step, step, 0, 3, "var", locale);
    case Quantity::VoltAmpere:
        return WithPrefix(value * step, step, 0, 3, "VA", locale);
    case Quantity::PowerFactor:
        return FixedText(value / 1000.0, 3, locale);
    case Quantity::Unbalance:
        return FixedText(value / 100.0, 3, locale) + QStringLiteral(" %");
    }
    return {};
}

std::optional<double> ParseAlarmLimit(int code, const QString& text, const QLocale& locale) {
    if (!ValidItem(code))
        return std::nullopt;
    NumberField field;
    // Unsigned items take a sign too, so that "-5 V" is told it is out of range rather
    // than not a number.
    field.negative = true;
    switch (QuantityOf(code)) {
    case Quantity::Frequency:
        field.units = {QStringLiteral("Hz")};
        break;
    case Quantity::Voltage:
        field.units = {QStringLiteral("V")};
        field.kilo = true;
        break;
    case Quantity::Current:
        field.units = {QStringLiteral("A")};
        break;
    case Quantity::Watt:
        field.units = {QStringLiteral("W")};
        field.kilo = true;
        break;
    case Quantity::Var:
        field.units = {QStringLiteral("var")};
        field.kilo = true;
        break;
    case Quantity::VoltAmpere:
        field.units = {QStringLiteral("VA")};
        field.kilo = true;
        break;
    case Quantity::PowerFactor:
        break;
    case Quantity::Unbalance:
        field.units = {QStringLiteral("%")};
        break;
    }
    return ReadNumber(text, field, locale);
}

EncodedLimit EncodeAlarmLimit(int code, double value, const ScaleRatios& ratios) {
    if (!ValidItem(code))
        return {EncodedLimit::Fault::OutOfRange};
    const Scale s = ScaleOf(QuantityOf(code), ratios);
    if (s.divisor == 0.0 || !std::isfinite(s.divisor))
        return {EncodedLimit::Fault::Scaling};
    // Ties go to the even register, as the meter's own conversions do.
    const double reg = std::nearbyint(value * s.numerator / s.divisor);
    const bool isSigned = AlarmItemIsSigned(code);
    const double low = isSigned ? std::numeric_limits<qint16>::min() : 0.0;
    const double high =
        isSigned ? std::numeric_limits<qint16>::max() : std::numeric_limits<quint16>::max();
    if (!std::isfinite(reg) || reg < low || reg > high)
        return {EncodedLimit::Fault::OutOfRange};
    return {EncodedLimit::Fault::None, static_cast<quint16>(static_cast<qint32>(reg))};
}

std::optional<AlarmSettingsInput> AlarmSettingsFromBlock(const QList<quint16>& values,
                                                         const ScaleRatios& ratios,
                                                         const QLocale& locale) {
    if (values.size() < AlarmParamBlockCount)
        return std::nullopt;
    AlarmSettingsInput in;
    in.delay = values[1] < AlarmDelayCount ? values[1] : -1;
    for (int g = 0; g < AlarmGroupCount; ++g) {
        AlarmGroupInput& group = in.groups[g];
        group.status = (values[0] >> g) & 1;
        group.do1 = (values[2] >> g) & 1;
        group.do2 = (values[3] >> g) & 1;
        const int base = 4 + 3 * g;
        const int item = values[base];
        group.item = ValidItem(item) ? item : -1;
        group.direction = values[base + 1] <= 1 ? values[base + 1] : -1;
        group.limit = AlarmLimitText(item, values[base + 2], ratios, locale);
    }
    return in;
}

AlarmWritePlan PlanAlarmWrite(const AlarmSettingsInput& input, const ScaleRatios& ratios,
                              const QLocale& locale) {
    AlarmWritePlan plan;
    quint16 enable = 0, do1 = 0, do2 = 0;
    std::array<quint16, 3 * AlarmGroupCount> groupRegs{};
    for (int g = 0; g < AlarmGroupCount; ++g) {
        const AlarmGroupInput& in = input.groups[g];
        const QString group = QCoreApplication::translate("AlarmCodec", "Group %1: ").arg(g + 1);
        auto listChosen = [&](int index, const char* name, const char* choices) {
            if (index == 0 || index == 1)
                return true;
            plan.error = ParameterError(
                group + QCoreApplication::translate("AlarmCodec", "%1 has no selection (%2).")
                            .arg(QCoreApplication::translate("AlarmCodec", name),
                                 QCoreApplication::translate("AlarmCodec", choices)));
            return false;
        };
        if (!listChosen(in.status, QT_TRANSLATE_NOOP("AlarmCodec", "Status"),
                        QT_TRANSLATE_NOOP("AlarmCodec", "OFF or ACTIVE")) ||
            !listChosen(in.do1, "DO1", QT_TRANSLATE_NOOP("AlarmCodec", "OFF or ON")) ||
            !listChosen(in.do2, "DO2", QT_TRANSLATE_NOOP("AlarmCodec", "OFF or ON")))
            return plan;
        if (!ValidItem(in.item)) {
            plan.error = QCoreApplication::translate("AlarmCodec", "Alarm Item error!\n") + group +
                         QCoreApplication::translate("AlarmCodec", "no alarm item is selected.");
            return plan;
        }
        if (!listChosen(in.direction, QT_TRANSLATE_NOOP("AlarmCodec", "Limit"),
                        QT_TRANSLATE_NOOP("AlarmCodec", "Below or Above")))
            return plan;

        const std::optional<double> value = ParseAlarmLimit(in.item, in.limit, locale);
        if (!value) {
            // A text read two ways on this desktop is shown both ways; any other is shown
            // how this desktop writes a limit of this item.
            const QString ambiguous = AmbiguousNumberText(in.limit, locale);
            plan.error = ParameterError(
                group + (!ambiguous.isEmpty()
                             ? QCoreApplication::translate("AlarmCodec", "Value %1.").arg(ambiguous)
                             : QCoreApplication::translate("AlarmCodec",
                                                           "Value \"%1\" is not a number as this "
                                                           "desktop writes them (like \"%2\").")
                                   .arg(in.limit.trimmed(),
                                        AlarmLimitText(in.item, 12345, ratios, locale))));
            return plan;
        }
        const EncodedLimit limit = EncodeAlarmLimit(in.item, *value, ratios);
        if (limit.fault == EncodedLimit::Fault::Scaling) {
            plan.error = ParameterError(
                group + QCoreApplication::translate("AlarmCodec",
                                                    "Value cannot be converted with the meter's "
                                                    "PT ratio %1 and CT ratio %2.")
                            .arg(ratios.pt)
                            .arg(ratios.ct));
            return plan;
        }
        if (limit.fault == EncodedLimit::Fault::OutOfRange) {
            const bool isSigned = AlarmItemIsSigned(in.item);
            plan.error = ParameterError(
                group +
                QCoreApplication::translate("AlarmCodec", "Value \"%1\" is outside %2 .. %3.")
                    .arg(in.limit.trimmed(),
                         AlarmLimitText(in.item, isSigned ? 0x8000 : 0, ratios, locale),
                         AlarmLimitText(in.item, isSigned ? 0x7FFF : 0xFFFF, ratios, locale)));
            return plan;
        }
        enable |= quint16(in.status << g);
        do1 |= quint16(in.do1 << g);
        do2 |= quint16(in.do2 << g);
        groupRegs[3 * g] = quint16(in.item);
        groupRegs[3 * g + 1] = quint16(in.direction);
        groupRegs[3 * g + 2] = limit.reg;
    }
    if (input.delay < 0 || input.delay >= AlarmDelayCount) {
        plan.error = ParameterError(
            QCoreApplication::translate("AlarmCodec", "Alarm Delay has no selection (0 .. %1 ms).")
                .arg((AlarmDelayCount - 1) * AlarmDelayStepMs));
        return plan;
    }

    // Enable, delay, DO1 and DO2 words and groups 1..4: 16 registers from 0x330.
    QString a = QStringLiteral("00,10,03,30,00,10,20,");
    for (quint16 reg : {enable, quint16(input.delay), do1, do2})
        AppendRegister(a, reg);
    for (int i = 0; i < 12; ++i)
        AppendRegister(a, groupRegs[i]);
    // Groups 5..9: 15 registers from 0x340.
    QString b = QStringLiteral("00,10,03,40,00,0F,1E,");
    for (int i = 12; i < 3 * AlarmGroupCount; ++i)
        AppendRegister(b, groupRegs[i]);
    plan.groups1to4 = a + QStringLiteral("00,00");
    plan.groups5to9 = b + QStringLiteral("00,00");
    return plan;
}
