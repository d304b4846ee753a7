#include "PollSchedule.h"

#include <utility>

namespace {
// The fixed rotation: relay outputs, digital inputs, metering block, meter parameters,
// temperature. The sixth place belongs to the active measurement window.
const QString kCoilRead = QStringLiteral("00,01,00,00,00,02,00,00");
const QString kInputRead = QStringLiteral("00,02,00,00,00,04,00,00");
const QString kMeteringRead = QStringLiteral("00,03,01,30,00,36,00,00");
const QString kTemperatureRead = QStringLiteral("00,03,05,18,00,01,00,00");
const QString kMaxRead = QStringLiteral("00,03,02,39,00,77,00,00");
const QString kMinRead = QStringLiteral("00,03,02,B0,00,77,00,00");
const QString kHarmonicsRead = QStringLiteral("00,03,01,68,00,08,00,00");
const QString kCurrentSpectrumRead = QStringLiteral("00,03,01,D6,00,63,00,00");
const QString kAlarmRecordsRead = QStringLiteral("00,03,03,54,00,49,00,00");
const QString kAngleRead = QStringLiteral("00,03,03,9D,00,08,00,00");
const QString kClockRead = QStringLiteral("00,03,03,2a,00,06,00,00");
const QString kRunTimeRead = QStringLiteral("00,03,03,a5,00,02,00,00");
} // namespace

void PollSchedule::Queue(int slot, const QString& message) {
    if (slot >= 1 && slot <= kSlotCount)
        slots_[slot - 1] = message;
}

QString PollSchedule::Slot(int slot) const {
    if (slot >= 1 && slot <= kSlotCount)
        return slots_[slot - 1];
    return {};
}

void PollSchedule::ClearWindowPollFlags() {
    PollMaxMin = PollHarmonics = PollAlarm = PollAngle = PollClock = false;
}

bool* PollSchedule::FlagOf(PollFlag flag) {
    switch (flag) {
    case PollFlag::MaxMin:
        return &PollMaxMin;
    case PollFlag::Harmonics:
        return &PollHarmonics;
    case PollFlag::Alarm:
        return &PollAlarm;
    case PollFlag::Angle:
        return &PollAngle;
    case PollFlag::Clock:
        return &PollClock;
    case PollFlag::None:
        break;
    }
    return nullptr;
}

void PollSchedule::SelectWindowPollFlag(PollFlag flag) {
    ClearWindowPollFlags();
    SetPollFlag(flag, true);
}

void PollSchedule::SetPollFlag(PollFlag flag, bool on) {
    if (bool* f = FlagOf(flag))
        *f = on;
}

bool PollSchedule::IsPollFlagSet(PollFlag flag) const {
    bool* f = const_cast<PollSchedule*>(this)->FlagOf(flag);
    return f != nullptr && *f;
}

void PollSchedule::Restart() {
    for (int i = 0; i < kSlotCount - 1; ++i)
        slots_[i].clear();
    slots_[kSlotCount - 1] = kParameterRead;
    alternationCounter_ = 0;
    rotationIndex_ = 0;
}

void PollSchedule::Reset() {
    Restart();
    ClearWindowPollFlags();
    ReadCoefficientsOnce = true;
    CalibrationReadsLeft = -1;
}

QString PollSchedule::NextMessage(int slaveAddress) {
    return WithSlaveAddress(ChooseMessage(), slaveAddress);
}

QString PollSchedule::ChooseMessage() {
    if (ReadCoefficientsOnce) {
        ReadCoefficientsOnce = false;
        return kCoefficientRead;
    }
    // A calibration run owns the line: queued writes wait until it ends.
    if (CalibrationReadsLeft > 0)
        return kCalibrationRead;
    for (QString& slot : slots_) {
        if (!slot.isEmpty())
            return std::exchange(slot, QString());
    }
    switch (++rotationIndex_) {
    case 1:
        return kCoilRead;
    case 2:
        return kInputRead;
    case 3:
        return kMeteringRead;
    case 4:
        return kParameterRead;
    case 5:
        return kTemperatureRead;
    default:
        break;
    }
    rotationIndex_ = 0;
    if (PollMaxMin)
        return Alternate(kMaxRead, kMinRead);
    // The harmonics window shows the distortion and, from every other turn, the current
    // spectrum (the meter has no voltage spectrum block).
    if (PollHarmonics)
        return Alternate(kHarmonicsRead, kCurrentSpectrumRead);
    if (PollAlarm)
        return kAlarmRecordsRead;
    if (PollAngle)
        return kAngleRead;
    if (PollClock)
        return Alternate(kClockRead, kRunTimeRead);
    // The sixth place of a rotation with no measurement window active repeats the
    // rotation's last read, never whatever was sent last (a relay command or a setting
    // sent twice would switch or store twice and show two confirmations).
    return kTemperatureRead;
}

QString PollSchedule::Alternate(const QString& first, const QString& second) {
    if (++alternationCounter_ == 1)
        return first;
    alternationCounter_ = 0;
    return second;
}

QString WithSlaveAddress(const QString& message, int slaveAddress) {
    const QString address =
        QStringLiteral("%1").arg(quint8(slaveAddress), 2, 16, QLatin1Char('0')).toUpper();
    return address + message.mid(2);
}
