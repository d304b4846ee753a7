#include "MeterParamDecode.h"

#include "BlockDecode.h"

#include <QCoreApplication>

namespace {

constexpr int kPt1High = 0x05;
constexpr int kPt2 = 0x07;
constexpr int kCt1 = 0x08;

// The settings window writes PT1 as 0..4294967295: it is read back unsigned, or a primary
// above 2147483647 V would show negative and turn the PT ratio and every voltage negative.
quint32 Pt1(const QList<quint16>& v) {
    return static_cast<quint32>(ReadQuantity(v, kPt1High, RegWidth::U32));
}

QString Decimal(quint16 v) {
    return QString::number(v);
}

QString FromList(quint16 code, std::initializer_list<const char*> names) {
    if (code < names.size())
        return QCoreApplication::translate("MeterParamDecode", names.begin()[code]);
    return Decimal(code);
}

} // namespace

ScaleRatios RatiosFromParamBlock(const QList<quint16>& values, const ScaleRatios& previous) {
    ScaleRatios r = previous;
    if (values.size() <= kCt1)
        return r;
    if (values[kPt2] != 0)
        r.pt = static_cast<double>(Pt1(values)) / values[kPt2];
    r.ct = values[kCt1] / 5.0;
    return r;
}

QString VoltageWiringText(quint16 code) {
    return FromList(code, {"3Ln", "2Ln", "2LL"});
}

QString CurrentWiringText(quint16 code) {
    return FromList(code, {"3CT", "1CT", "2CT"});
}

QString DigitalOutputModeText(quint16 code) {
    return code == 1 ? QCoreApplication::translate("MeterParamDecode", "Alarm Output")
                     : QCoreApplication::translate("MeterParamDecode", "Energy Pulse");
}

QString PulseSourceText(quint16 code) {
    return FromList(code, {QT_TRANSLATE_NOOP("MeterParamDecode", "None"), "Ep+", "Ep-", "Eq+",
                           "Eq-", "Ept", "Epn", "Eqt", "Eqn"});
}

QString RelayModeText(quint16 code) {
    return FromList(code, {QT_TRANSLATE_NOOP("MeterParamDecode", "Latch"),
                           QT_TRANSLATE_NOOP("MeterParamDecode", "Momentary")});
}

namespace {

QString Code(qint64 v) {
    return QString::number(v);
}
QString VoltWiring(qint64 v, const DecodeContext&) {
    return VoltageWiringText(quint16(v));
}
QString CurrentWiring(qint64 v, const DecodeContext&) {
    return CurrentWiringText(quint16(v));
}
QString DoMode(qint64 v, const DecodeContext&) {
    return DigitalOutputModeText(quint16(v));
}
QString Pulse(qint64 v, const DecodeContext&) {
    return PulseSourceText(quint16(v));
}
// The meter counts the pulse width in steps of 20 ms.
QString PulseWidth(qint64 v, const DecodeContext&) {
    return Code(v * 20) + QStringLiteral(" ms");
}
QString RelayMode(qint64 v, const DecodeContext&) {
    return RelayModeText(quint16(v));
}

// Registers 0x100..0x113 in order; PT1 is an unsigned 32-bit value at 0x105..0x106.
// clang-format off
constexpr BlockRow kRows[] = {
    {0x00, RegWidth::U16, "LabelPassword",   DecimalFormat()},
    {0x01, RegWidth::U16, "LabelAddr",       DecimalFormat()},
    {0x02, RegWidth::U16, "LabelBaudrate",   DecimalFormat(" bps")},
    {0x03, RegWidth::U16, "LabelUWireMode",  CustomFormat(VoltWiring)},
    {0x04, RegWidth::U16, "LabelIWireMode",  CustomFormat(CurrentWiring)},
    {0x05, RegWidth::U32, "LabelPT1",        DecimalFormat(" V")},
    {0x07, RegWidth::U16, "LabelPT2",        DecimalFormat(" V")},
    {0x08, RegWidth::U16, "LabelCT1",        DecimalFormat(" A")},
    {0x09, RegWidth::U16, "LabelDriveWork",  CustomFormat(DoMode)},
    {0x0A, RegWidth::U16, "LabelPulse1",     CustomFormat(Pulse)},
    {0x0B, RegWidth::U16, "LabelPulse2",     CustomFormat(Pulse)},
    {0x0C, RegWidth::U16, "LabelPulseWidth", CustomFormat(PulseWidth)},
    {0x0D, RegWidth::U16, "LabelPulseConst", DecimalFormat()},
    {0x0E, RegWidth::U16, "LabelRO1Mode",    CustomFormat(RelayMode)},
    {0x0F, RegWidth::U16, "LabelRO1Time",    DecimalFormat(" ms")},
    {0x10, RegWidth::U16, "LabelRO2Mode",    CustomFormat(RelayMode)},
    {0x11, RegWidth::U16, "LabelRO2Time",    DecimalFormat(" ms")},
    {0x12, RegWidth::U16, "LabelLightTime",  DecimalFormat(" Min")},
    {0x13, RegWidth::U16, "LabelDemaTime",   DecimalFormat(" Min")},
};
// clang-format on

} // namespace

LabelTexts DecodeMeterParamBlock(const QList<quint16>& values) {
    return DecodeBlock(kRows, values, DecodeContext{});
}
