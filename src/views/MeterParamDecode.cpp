#include "MeterParamDecode.h"

namespace {

constexpr int kPt1High = 0x05;
constexpr int kPt2 = 0x07;
constexpr int kCt1 = 0x08;

qint32 Pt1(const QList<quint16>& v) {
    return static_cast<qint32>((static_cast<quint32>(v[kPt1High]) << 16) | v[kPt1High + 1]);
}

QString Decimal(quint16 v) {
    return QString::number(v);
}

QString FromList(quint16 code, std::initializer_list<const char*> names) {
    if (code < names.size())
        return QString::fromLatin1(names.begin()[code]);
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
    return code == 1 ? QStringLiteral("Alarm Output") : QStringLiteral("Energy Pulse");
}

QString PulseSourceText(quint16 code) {
    return FromList(code, {"None", "Ep+", "Ep-", "Eq+", "Eq-", "Ept", "Epn", "Eqt", "Eqn"});
}

QString RelayModeText(quint16 code) {
    return FromList(code, {"Latch", "Momentary"});
}

LabelTexts DecodeMeterParamBlock(const QList<quint16>& v) {
    enum class Fmt {
        Number,
        Bps,
        Volts,
        Amps,
        VoltWiring,
        CurrentWiring,
        DoMode,
        Pulse,
        PulseWidth,
        RelayMode,
        Ms,
        Minutes,
        Pt1Volts
    };
    struct Row {
        int offset; // register - 0x100; PT1 ends at its low word
        const char* label;
        Fmt fmt;
    };
    static constexpr Row kRows[] = {
        {0x00, "LabelPassword", Fmt::Number},
        {0x01, "LabelAddr", Fmt::Number},
        {0x02, "LabelBaudrate", Fmt::Bps},
        {0x03, "LabelUWireMode", Fmt::VoltWiring},
        {0x04, "LabelIWireMode", Fmt::CurrentWiring},
        {0x06, "LabelPT1", Fmt::Pt1Volts},
        {0x07, "LabelPT2", Fmt::Volts},
        {0x08, "LabelCT1", Fmt::Amps},
        {0x09, "LabelDriveWork", Fmt::DoMode},
        {0x0A, "LabelPulse1", Fmt::Pulse},
        {0x0B, "LabelPulse2", Fmt::Pulse},
        {0x0C, "LabelPulseWidth", Fmt::PulseWidth},
        {0x0D, "LabelPulseConst", Fmt::Number},
        {0x0E, "LabelRO1Mode", Fmt::RelayMode},
        {0x0F, "LabelRO1Time", Fmt::Ms},
        {0x10, "LabelRO2Mode", Fmt::RelayMode},
        {0x11, "LabelRO2Time", Fmt::Ms},
        {0x12, "LabelLightTime", Fmt::Minutes},
        {0x13, "LabelDemaTime", Fmt::Minutes},
    };
    LabelTexts texts;
    for (const auto& row : kRows) {
        if (row.offset >= v.size())
            break;
        const quint16 r = v[row.offset];
        QString text;
        switch (row.fmt) {
        case Fmt::Number:
            text = Decimal(r);
            break;
        case Fmt::Bps:
            text = Decimal(r) + QStringLiteral(" bps");
            break;
        case Fmt::Volts:
            text = Decimal(r) + QStringLiteral(" V");
            break;
        case Fmt::Amps:
            text = Decimal(r) + QStringLiteral(" A");
            break;
        case Fmt::VoltWiring:
            text = VoltageWiringText(r);
            break;
        case Fmt::CurrentWiring:
            text = CurrentWiringText(r);
            break;
        case Fmt::DoMode:
            text = DigitalOutputModeText(r);
            break;
        case Fmt::Pulse:
            text = PulseSourceText(r);
            break;
        // The meter counts the pulse width in steps of 20 ms.
        case Fmt::PulseWidth:
            text = QString::number(r * 20) + QStringLiteral(" ms");
            break;
        case Fmt::RelayMode:
            text = RelayModeText(r);
            break;
        case Fmt::Ms:
            text = Decimal(r) + QStringLiteral(" ms");
            break;
        case Fmt::Minutes:
            text = Decimal(r) + QStringLiteral(" Min");
            break;
        case Fmt::Pt1Volts:
            text = QString::number(Pt1(v)) + QStringLiteral(" V");
            break;
        }
        texts.append({QString::fromLatin1(row.label), text});
    }
    return texts;
}
