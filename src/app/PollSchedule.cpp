#include "PollSchedule.h"

#include "MessageText.h"

#include <optional>
#include <utility>

namespace {
// The fixed rotation: relay outputs, digital inputs, metering block, meter parameters,
// temperature. The sixth place belongs to the active window.
const QString kCoilRead = QStringLiteral("00,01,00,00,00,02,00,00");
const QString kInputRead = QStringLiteral("00,02,00,00,00,04,00,00");
const QString kMeteringRead = ReadMessage(0x130, 0x36);
const QString kTemperatureRead = ReadMessage(0x518, 1);

// The first register of a register read (function 03); nothing for any other message.
std::optional<quint16> ReadStart(const QString& message) {
    const QStringList bytes = message.split(QLatin1Char(','));
    if (bytes.size() < 4 || bytes[1].compare(QLatin1String("03")) != 0)
        return std::nullopt;
    bool high = false, low = false;
    const uint start = (bytes[2].toUInt(&high, 16) << 8) | bytes[3].toUInt(&low, 16);
    if (!high || !low)
        return std::nullopt;
    return quint16(start);
}
} // namespace

const QString PollSchedule::kParameterRead = ReadMessage(0x100, 0x22);
const QString PollSchedule::kCoefficientRead = ReadMessage(0x51B, 0x19);
const QString PollSchedule::kCalibrationRead = ReadMessage(0x534, 0x0C);

void PollSchedule::Queue(int slot, const QString& message) {
    if (slot == ReadOnceSlot) {
        if (message.isEmpty())
            reads_.clear();
        else
            QueueRead(message);
    } else if (slot >= 1 && slot < ReadOnceSlot) {
        writes_[slot - 1] = message;
    }
}

QString PollSchedule::Slot(int slot) const {
    if (slot == ReadOnceSlot)
        return reads_.isEmpty() ? QString() : reads_.first().message;
    if (slot >= 1 && slot < ReadOnceSlot)
        return writes_[slot - 1];
    return {};
}

void PollSchedule::QueueRead(const QString& message, const QString& window) {
    if (!message.isEmpty())
        AddRead({message, window}, false);
}

QStringList PollSchedule::PendingReads() const {
    QStringList out;
    for (const OneShotRead& r : reads_)
        out << r.message;
    return out;
}

void PollSchedule::AddRead(const OneShotRead& read, bool older) {
    const auto start = ReadStart(read.message);
    for (OneShotRead& waiting : reads_) {
        if (!start || ReadStart(waiting.message) != start)
            continue;
        // One read of a block is enough. It serves every window that asked for it, so it
        // stays as long as the most lasting of them wants it; the later request's message
        // is the one sent.
        if (read.window.isEmpty())
            waiting.window.clear();
        else if (!waiting.window.isEmpty() && !older)
            waiting.window = read.window;
        if (!older)
            waiting.message = read.message;
        return;
    }
    reads_.append(read);
}

template <typename Gone> void PollSchedule::ForgetReads(Gone gone) {
    reads_.removeIf(gone);
    if (!inFlight_.message.isEmpty() && gone(inFlight_))
        inFlight_ = {};
}

void PollSchedule::BlockReceived(quint16 startAddr) {
    ForgetReads([startAddr](const OneShotRead& r) { return ReadStart(r.message) == startAddr; });
}

void PollSchedule::RequestFailed() {
    const OneShotRead failed = std::exchange(inFlight_, {});
    if (failed.message.isEmpty())
        return;
    holdReads_ = true;
    if (failed.coefficients)
        ReadCoefficientsOnce = true;
    else
        // Behind the reads still waiting: one block the meter keeps refusing does not
        // hold up the others.
        AddRead(failed, true);
}

void PollSchedule::SetWindowReads(const QString& window, const QStringList& messages) {
    windowReads_.insert(window, messages);
}

void PollSchedule::SelectWindowReads(const QString& window) {
    // A window left behind no longer needs what it asked for; it asks again when the
    // operator comes back to it.
    ForgetReads(
        [&window](const OneShotRead& r) { return !r.window.isEmpty() && r.window != window; });
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
    ForgetReads([&window](const OneShotRead& r) { return r.window == window; });
}

void PollSchedule::Restart() {
    writes_.fill(QString());
    // A read cut short by the stop is still owed: the coefficients, or the block of the
    // window still in front.
    if (inFlight_.coefficients)
        ReadCoefficientsOnce = true;
    else if (!inFlight_.window.isEmpty())
        AddRead(inFlight_, true);
    inFlight_ = {};
    holdReads_ = false;
    reads_.removeIf([](const OneShotRead& r) { return r.window.isEmpty(); });
    reads_.prepend({kParameterRead, {}});
    alternationCounter_ = 0;
    rotationIndex_ = 0;
}

void PollSchedule::Reset() {
    Restart();
    reads_.removeIf([](const OneShotRead& r) { return !r.window.isEmpty(); });
    ClearWindowReads();
    ReadCoefficientsOnce = true;
    CalibrationReadsLeft = -1;
}

QString PollSchedule::NextMessage(int slaveAddress) {
    return WithSlaveAddress(ChooseMessage(), slaveAddress);
}

QString PollSchedule::ChooseMessage() {
    // The request before has had its outcome by now: a failure is reported before the
    // master asks for the next request.
    inFlight_ = {};
    const bool readsNow = !std::exchange(holdReads_, false);
    if (ReadCoefficientsOnce && readsNow) {
        ReadCoefficientsOnce = false;
        inFlight_ = {kCoefficientRead, {}, true};
        return kCoefficientRead;
    }
    // A calibration run owns the line: queued writes wait until it ends.
    if (CalibrationReadsLeft > 0)
        return kCalibrationRead;
    for (QString& slot : writes_) {
        if (slot.isEmpty())
            continue;
        QString message = std::exchange(slot, QString());
        // A read queued behind writes (the coefficients the factory window asks for) is a
        // one-shot read like any other; the writes themselves are never repeated.
        if (ReadStart(message))
            inFlight_ = {message, {}};
        return message;
    }
    if (readsNow && !reads_.isEmpty()) {
        inFlight_ = reads_.takeFirst();
        return inFlight_.message;
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
    if (OnRoundEnd)
        OnRoundEnd();
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
