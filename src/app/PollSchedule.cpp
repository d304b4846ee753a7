#include "PollSchedule.h"

#include "MessageText.h"

#include <utility>

namespace {
// The fixed rotation: relay outputs, digital inputs, metering block, meter parameters,
// temperature. The sixth place belongs to the active window.
const QString kCoilRead = QStringLiteral("00,01,00,00,00,02,00,00");
const QString kInputRead = QStringLiteral("00,02,00,00,00,04,00,00");
const QString kMeteringRead = ReadMessage(0x130, 0x36);
const QString kTemperatureRead = ReadMessage(0x518, 1);
} // namespace

const QString PollSchedule::kParameterRead = ReadMessage(0x100, 0x22);
const QString PollSchedule::kCoefficientRead = ReadMessage(0x51B, 0x19);
const QString PollSchedule::kCalibrationRead = ReadMessage(0x534, 0x0C);

void PollSchedule::Queue(int slot, const QString& message) {
    if (slot >= 1 && slot <= kSlotCount)
        slots_[slot - 1] = message;
}

QString PollSchedule::Slot(int slot) const {
    if (slot >= 1 && slot <= kSlotCount)
        return slots_[slot - 1];
    return {};
}

void PollSchedule::SetWindowReads(const QString& window, const QStringList& messages) {
    windowReads_.insert(window, messages);
}

void PollSchedule::SelectWindowReads(const QString& window) {
    if (!windowReads_.contains(window))
        return;
    sixthPlace_ = QStringList{window};
}

void PollSchedule::KeepWindowReads(const QString& window) {
    if (windowReads_.contains(window) && !sixthPlace_.contains(window))
        sixthPlace_ << window;
}

void PollSchedule::DropWindowReads(const QString& window) {
    sixthPlace_.removeAll(window);
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
    ClearWindowReads();
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
    if (!sixthPlace_.isEmpty())
        return Alternate(windowReads_.value(sixthPlace_.first()));
    // The sixth place of a rotation with no measurement window active repeats the
    // rotation's last read, never whatever was sent last (a relay command or a setting
    // sent twice would switch or store twice and show two confirmations).
    return kTemperatureRead;
}

QString PollSchedule::Alternate(const QStringList& messages) {
    // A window with one block reads it every time and leaves the turn where it is; the
    // turn is shared, so a window brought up in the middle goes on from there.
    if (messages.size() == 1)
        return messages.first();
    if (messages.isEmpty())
        return kTemperatureRead;
    const qint32 turn = alternationCounter_ % qint32(messages.size());
    alternationCounter_ = (turn + 1) % qint32(messages.size());
    return messages[turn];
}
