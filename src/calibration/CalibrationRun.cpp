#include "CalibrationRun.h"

#include "ChangedFields.h"

#include <QCoreApplication>
#include <cmath>

namespace {

constexpr double kDegreesPerRadian = 57.29577951308232;
// Gain coefficients count in 1/65535 of the amplitude; angle constants in thousandths of
// a degree.
constexpr double kGainCounts = 65535.0;
constexpr double kAngleCounts = 1000.0;
constexpr double kAngleLimit = 5.0;

// Where each channel sits on a healthy three-phase bench, relative to voltage A. Current A
// is set a fortieth of a degree ahead of voltage A, not on it: the meter's angle constants
// were tuned that way.
constexpr std::array<double, ChannelCount> kExpectedAngle = {0.0,   120.0, 240.0,
                                                             0.025, 120.0, 240.0};
// A channel that reads nothing at all is taken to sit where it should.
constexpr std::array<double, ChannelCount> kZeroVectorAngle = {0.0,   120.0, 240.0,
                                                               0.025, 120.0, 240.0};

bool IsVoltage(int channel) {
    return channel < CurrentA;
}

} // namespace

double ReferenceVoltage(bool pt380V) {
    return pt380V ? 3800.0 : 1000.0;
}

double ReferenceCurrent(bool standard100) {
    return standard100 ? 5000.0 : 500.0;
}

std::optional<double> VectorAngle(double re, double im) {
    const double m = std::sqrt(re * re + im * im);
    if (m == 0.0)
        return std::nullopt;
    // The meter's rounding can put re / m a hair beyond 1.
    const double a = std::acos(std::clamp(re / m, -1.0, 1.0)) * kDegreesPerRadian;
    return im < 0 ? 360.0 - a : a;
}

double NormalisedAngle(double degrees) {
    while (degrees < -90.0)
        degrees += 360.0;
    while (degrees > 270.0)
        degrees -= 360.0;
    return degrees;
}

qint64 RoundHalfEven(double value) {
    const double floor = std::floor(value);
    const double rest = value - floor;
    qint64 n = qint64(floor);
    if (rest > 0.5 || (rest == 0.5 && (n % 2 != 0)))
        ++n;
    return n;
}

void CalibrationRun::Start(int count, const CalibrationSettings& settings) {
    settings_ = settings;
    readsLeft_ = count;
    taken_ = 0;
    accumulators_ = {};
    running_ = true;
}

void CalibrationRun::Stop() {
    running_ = false;
    readsLeft_ = -1;
    taken_ = 0;
    accumulators_ = {};
}

bool CalibrationRun::AddReading(const QList<quint16>& values) {
    if (!running_ || values.size() < RawVectorBlockCount)
        return false;
    std::array<double, ChannelCount> re{}, im{}, magnitude{};
    for (int k = 0; k < ChannelCount; ++k) {
        re[k] = qint16(values[2 * k]);
        im[k] = qint16(values[2 * k + 1]);
        magnitude[k] = std::sqrt(re[k] * re[k] + im[k] * im[k]);
    }
    if (settings_.mode == CalibrationMode::Amplitude) {
        const double v = ReferenceVoltage(settings_.pt380V);
        const double i = ReferenceCurrent(settings_.standard100);
        for (int k = 0; k < ChannelCount; ++k) {
            const double ref = IsVoltage(k) ? v : i;
            accumulators_[k] += (ref - magnitude[k]) / ref * kGainCounts;
        }
    } else {
        std::array<double, ChannelCount> angle{};
        for (int k = 0; k < ChannelCount; ++k)
            angle[k] = VectorAngle(re[k], im[k]).value_or(kZeroVectorAngle[k]);
        for (int k = VoltageB; k < ChannelCount; ++k)
            accumulators_[k] += kExpectedAngle[k] - NormalisedAngle(angle[k] - angle[VoltageA]);
    }
    --readsLeft_;
    ++taken_;
    if (readsLeft_ >= 1)
        return false;
    running_ = false;
    return true;
}

CalibrationResult CalibrationRun::Finish() {
    CalibrationResult result;
    result.mode = settings_.mode;
    result.readings = taken_;
    if (taken_ > 0) {
        const bool angle = settings_.mode == CalibrationMode::Angle;
        for (int k = angle ? VoltageB : VoltageA; k < ChannelCount; ++k) {
            const double average = accumulators_[k] / taken_;
            result.averages[k] = average;
            if (angle) {
                if (std::abs(average) > kAngleLimit)
                    result.overLimit.append(Channel(k));
                result.corrections[k] = RoundHalfEven(average * kAngleCounts);
            } else {
                result.corrections[k] = RoundHalfEven(average);
            }
        }
    }
    accumulators_ = {};
    taken_ = 0;
    running_ = false;
    return result;
}

const CalibrationWriteCase& WriteCaseFor(const CalibrationSettings& s) {
    using M = CalibrationMode;
    // clang-format off
    static const CalibrationWriteCase cases[] = {
        {M::Amplitude, QT_TRANSLATE_NOOP("CalibrationRun", "原始数据读取计算完毕，写入模校正系数吗（仅电流部分）?"), 0x526,
         {CurrentA, CurrentB, CurrentC}, {"LabIa1ADv", "LabIb1ADv", "LabIc1ADv"}},
        {M::Amplitude, QT_TRANSLATE_NOOP("CalibrationRun", "原始数据读取计算完毕，写入模校正系数吗?"), 0x520,
         {VoltageA, VoltageB, VoltageC, CurrentA, CurrentB, CurrentC},
         {"LabVaADv", "LabVbADv", "LabVcADv", "LabIaADv", "LabIbADv", "LabIcADv"}},
        {M::Amplitude, QT_TRANSLATE_NOOP("CalibrationRun", "原始数据读取计算完毕，写入模校正系数吗（仅电压部分）?"), 0x51B,
         {VoltageA, VoltageB, VoltageC}, {"LabVaaADv", "LabVbbADv", "LabVccADv"}},
        {M::Angle, QT_TRANSLATE_NOOP("CalibrationRun", "原始数据读取计算完毕，写入角差校正常数吗（仅电流部分）?"), 0x531,
         {CurrentA, CurrentB, CurrentC}, {"LabIa1RIv", "LabIb1RIv", "LabIc1RIv"}},
        {M::Angle, QT_TRANSLATE_NOOP("CalibrationRun", "原始数据读取计算完毕，写入角差校正系数吗?"), 0x52C,
         {CurrentA, VoltageB, CurrentB, VoltageC, CurrentC},
         {"LabIaRIv", "LabVbRIv", "LabIbRIv", "LabVcRIv", "LabIcRIv"}},
        {M::Angle, QT_TRANSLATE_NOOP("CalibrationRun", "原始数据读取计算完毕，写入角差校正系数吗（仅电压部分）?"), 0x51E,
         {VoltageB, VoltageC}, {"LabVbbRIv", "LabVccRIv"}},
    };
    // clang-format on
    // The 10 % standard selects the current registers whatever the PT setting.
    const int base = s.mode == M::Amplitude ? 0 : 3;
    if (!s.standard100)
        return cases[base];
    return cases[base + (s.pt380V ? 1 : 2)];
}

LabelTexts CorrectionTexts(const CalibrationWriteCase& writeCase, const CalibrationResult& result) {
    LabelTexts texts;
    for (int i = 0; i < writeCase.channels.size(); ++i)
        texts.append(
            {writeCase.labels[i], QString::number(result.corrections[writeCase.channels[i]])});
    return texts;
}

CalibrationWrite PlanCalibrationWrite(const CalibrationWriteCase& writeCase,
                                      const std::optional<CoefficientValues>& coefficients,
                                      const CalibrationResult& result) {
    CalibrationWrite plan;
    if (!coefficients) {
        plan.error = QCoreApplication::translate(
            "CalibrationRun", "The meter's coefficients have not been read yet, so the "
                              "corrections cannot be added to them. Nothing was written.");
        return plan;
    }
    QList<quint16> values;
    QList<FieldText> meterHolds, written;
    for (int i = 0; i < writeCase.channels.size(); ++i) {
        const quint16 reg = quint16(writeCase.start + i);
        const auto pattern = quint16((*coefficients)[reg - CoefficientBlockStart]);
        const qint64 correction = result.corrections[writeCase.channels[i]];
        // The register is a 16-bit pattern the factory reads signed near zero and unsigned
        // around 0x8000. The sum is judged in the reading the coefficient sits in the middle
        // of, the same way up and down: 0x7FFF + 1 and 0x8000 - 1 cross nothing, while a
        // correction that would carry the register round its far end (a gain jumping from
        // one extreme to the other) is refused.
        const bool unsignedReading = pattern >= 0x4000 && pattern < 0xC000;
        const qint64 current = unsignedReading ? qint64(pattern) : qint64(qint16(pattern));
        const qint64 sum = current + correction;
        const bool fits =
            unsignedReading ? sum >= 0 && sum <= 0xFFFF : sum >= -0x8000 && sum <= 0x7FFF;
        if (!fits) {
            const CoefficientRow* row = FindCoefficientRow(reg);
            plan.error =
                QCoreApplication::translate("CalibrationRun",
                                            "%1: %2 %3 %4 = %5 lies outside %6..%7, the range the "
                                            "coefficient can take. Nothing was written.")
                    .arg(QLatin1String(row ? row->historyCaption : ""))
                    .arg(current)
                    .arg(correction < 0 ? QStringLiteral("-") : QStringLiteral("+"))
                    .arg(std::abs(correction))
                    .arg(sum)
                    .arg(unsignedReading ? 0 : -0x8000)
                    .arg(unsignedReading ? 0xFFFF : 0x7FFF);
            return plan;
        }
        values.append(quint16(sum & 0xFFFF));
        // In the reading the sum was judged in, so 32767 + 1 shows as 32768.
        const CoefficientRow* row = FindCoefficientRow(reg);
        const QString caption = QLatin1String(row ? row->historyCaption : "");
        meterHolds.append({caption, QString::number(current)});
        written.append({caption, QString::number(sum)});
    }
    plan.message = CoefficientWriteMessage(writeCase.start, values);
    plan.changes = ChangedFields(meterHolds, written);
    return plan;
}

LabelTexts CalibrationDisplayTexts(const LabelTexts& meteringTexts) {
    static const std::pair<const char*, const char*> names[] = {
        {"LabelUa", "LabelVaCa"},      {"LabelUb", "LabelVbCa"},       {"LabelUc", "LabelVcCa"},
        {"LabelUnavg", "LabelVavgCa"}, {"LabelUab", "LabelVabCa"},     {"LabelUbc", "LabelVbcCa"},
        {"LabelUca", "LabelVcaCa"},    {"LabelUlavg", "LabelVlavgCa"}, {"LabelIa", "LabelIaCa"},
        {"LabelIb", "LabelIbCa"},      {"LabelIc", "LabelIcCa"},       {"LabelIavg", "LabelIavgCa"},
        {"LabelIn", "LabelInCa"},      {"LabelPa", "LabelPaCa"},       {"LabelPb", "LabelPbCa"},
        {"LabelPc", "LabelPcCa"},      {"LabelPavg", "LabelPavgCa"},   {"LabelQa", "LabelQaCa"},
        {"LabelQb", "LabelQbCa"},      {"LabelQc", "LabelQcCa"},       {"LabelQavg", "LabelQavgCa"},
        {"LabelSa", "LabelSaCa"},      {"LabelSb", "LabelSbCa"},       {"LabelSc", "LabelScCa"},
        {"LabelSavg", "LabelSavgCa"},
    };
    LabelTexts out;
    for (const LabelText& t : meteringTexts) {
        for (const auto& [from, to] : names) {
            if (t.label == QLatin1String(from)) {
                out.append({QLatin1String(to), t.text});
                break;
            }
        }
    }
    return out;
}
