#include "ReplyRouting.h"

#include "OperatorDialogs.h"
#include "ReplyEvents.h"
#include "SessionState.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <algorithm>
#include <exception>

Q_LOGGING_CATEGORY(lcRouting, "qetra.routing")

namespace {
// Runs a window's handler so that nothing it throws reaches the master: polling must go
// on whatever a window makes of a reply.
template <typename Fn> void Guarded(const char* what, quint16 address, Fn&& fn) {
    try {
        fn();
    } catch (const std::exception& e) {
        qCDebug(lcRouting, "%s 0x%04X ended early: %s", what, unsigned(address), e.what());
    } catch (...) {
        qCDebug(lcRouting, "%s 0x%04X ended early", what, unsigned(address));
    }
}
} // namespace

ReplyRouting::ReplyRouting(SessionState& state, OperatorDialogs& dialogs, Host host)
    : state_(state), dialogs_(dialogs), host_(std::move(host)) {}

int ReplyRouting::AddBlockDecoder(quint16 startAddr, BlockDecoder decoder, DecodeStage stage) {
    const int key = nextKey_++;
    // Kept in running order: stage first, then registration.
    const auto at = std::find_if(decoders_.begin(), decoders_.end(),
                                 [stage](const auto& e) { return e.stage > stage; });
    decoders_.insert(at, {key, startAddr, std::move(decoder), stage});
    return key;
}

void ReplyRouting::RemoveBlockDecoder(int key) {
    decoders_.removeIf([key](const auto& e) { return e.key == key; });
}

bool ReplyRouting::HasBlockDecoder(quint16 startAddr) const {
    return std::any_of(decoders_.cbegin(), decoders_.cend(),
                       [startAddr](const auto& e) { return e.startAddr == startAddr; });
}

int ReplyRouting::AddWriteConfirmedHandler(quint16 startAddr, WriteConfirmedHandler handler) {
    const int key = nextKey_++;
    writeHandlers_.append({key, startAddr, std::move(handler)});
    return key;
}

void ReplyRouting::RemoveWriteConfirmedHandler(int key) {
    writeHandlers_.removeIf([key](const auto& e) { return e.key == key; });
}

void ReplyRouting::BindReplyEvents(TqvModbusEvents& events) {
    events.OnF01Response = [this](TqvModbus*, quint8, quint16 start, QList<bool> values) {
        CoilsReceived(start, values);
    };
    events.OnF02Response = [this](TqvModbus*, quint8, quint16 start, QList<bool> values) {
        InputsReceived(start, values);
    };
    events.OnF03Response = [this](TqvModbus*, quint8, quint16 start, QList<quint16> values) {
        state_.Schedule.BlockReceived(start);
        RegistersReceived(start, values);
    };
    events.OnF05Response = [this](TqvModbus*, quint8, quint16 dest, bool value) {
        RelayWriteConfirmed(dest, value);
    };
    events.OnF10Response = [this](TqvModbus*, quint8, quint16 start, quint16) {
        WriteConfirmed(start);
    };
}

void ReplyRouting::RegistersReceived(quint16 startAddr, const QList<quint16>& values) {
    freshness_.Decoded(startAddr);
    const ValueFreshness::DecodeScope scope(freshness_, startAddr);
    // A copy: a decoder may register or remove decoders (a window opening or closing).
    const auto decoders = decoders_;
    for (const auto& e : decoders) {
        if (e.startAddr != startAddr || !e.handler)
            continue;
        // A decoder that fails leaves the controls it did not reach as they were; the
        // meter is polled again soon, so the failure is not worth a box.
        Guarded("decoder of block", startAddr, [&] { e.handler(values); });
    }
}

void ReplyRouting::CoilsReceived(quint16 startAddr, const QList<bool>& values) {
    if (coilHandler_)
        Guarded("coil handler at", startAddr, [&] { coilHandler_(startAddr, values); });
}

void ReplyRouting::InputsReceived(quint16 startAddr, const QList<bool>& values) {
    if (inputHandler_)
        Guarded("input handler at", startAddr, [&] { inputHandler_(startAddr, values); });
}

void ReplyRouting::RelayWriteConfirmed(quint16 destAddr, bool value) {
    if (relayHandler_)
        Guarded("relay confirmation of coil", destAddr, [&] { relayHandler_(destAddr, value); });
}

void ReplyRouting::AddWriteConfirmation(quint16 startAddr, const QString& text,
                                        const QString& closeWindow) {
    confirmations_.append({startAddr, text, closeWindow});
}

void ReplyRouting::AddReadBack(quint16 firstAddr, quint16 lastAddr, const QString& message) {
    readBacks_.append({firstAddr, lastAddr, message});
}

void ReplyRouting::WriteConfirmed(quint16 startAddr) {
    // The operator reads the box before the window goes and before anything else is sent.
    for (const Confirmation& c : std::as_const(confirmations_)) {
        if (c.startAddr == startAddr && !c.text.isEmpty())
            dialogs_.Confirm(c.text);
    }
    for (const Confirmation& c : std::as_const(confirmations_)) {
        if (c.startAddr == startAddr && !c.closeWindow.isEmpty() && host_.windowOpen &&
            host_.windowOpen(c.closeWindow) && host_.closeWindow)
            host_.closeWindow(c.closeWindow);
    }
    for (const ReadBack& r : std::as_const(readBacks_)) {
        if (startAddr >= r.firstAddr && startAddr <= r.lastAddr)
            state_.Schedule.Queue(ReadOnceSlot, r.message);
    }

    const auto handlers = writeHandlers_;
    for (const auto& e : handlers) {
        if (e.startAddr == startAddr && e.handler)
            Guarded("follow-up of the write at", startAddr, e.handler);
    }
}

void ReplyRouting::ResponseFailed() {
    // After the meter stored a new address or baud rate it no longer answers the old
    // ones, so the first failure after such a write is its confirmation.
    if (state_.AddressChangePending) {
        dialogs_.Confirm(QCoreApplication::translate("ReplyRouting",
                                                     "Meter Address has modified successfully!"));
        state_.AddressChangePending = false;
        state_.DevAddr = state_.MeterAddress;
    }
    if (state_.BaudChangePending) {
        dialogs_.Confirm(QCoreApplication::translate("ReplyRouting",
                                                     "Meter Baudrate has modified successfully!"));
        state_.BaudChangePending = false;
        if (host_.requestPortReopen)
            host_.requestPortReopen();
    }
}
