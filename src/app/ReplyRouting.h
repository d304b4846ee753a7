#pragma once

#include "ValueFreshness.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QtGlobal>
#include <functional>

class OperatorDialogs;
struct SessionState;
struct TqvModbusEvents;

// Hands each accepted reply of the meter to the windows that registered for it, shows
// the confirmations of writes and queues their read-backs, and confirms changes of the
// meter's address and baud rate when the line goes quiet after them.
//
// Windows register from their subsystem's registration function (or their constructor)
// and never learn about each other. A block nobody registered for is dropped.
class ReplyRouting {
public:
    // Decodes one register block: Values[i] is register StartAddr + i.
    using BlockDecoder = std::function<void(const QList<quint16>& Values)>;
    // Coil (function 01) or discrete input (function 02) states, in request order.
    using BitsHandler = std::function<void(quint16 StartAddr, const QList<bool>& Values)>;
    // The meter's echo of a relay command (function 05): coil address and new state.
    using RelayWriteHandler = std::function<void(quint16 DestAddr, bool Value)>;
    // Runs after the meter confirmed a write starting at a given register.
    using WriteConfirmedHandler = std::function<void()>;

    // What the routing needs of the main window.
    struct Host {
        std::function<bool(const QString& name)> windowOpen;
        std::function<void(const QString& name)> closeWindow;
        // Posted, not run at once: once the current reply has been handled, the main
        // window stops polling, reopens the port at MeterBaudRate and polls again unless
        // the operator stopped polling in the meantime.
        std::function<void()> requestPortReopen;
    };

    // When a block's decoders run. A reply can change what the others show: block 0x100
    // carries the PT and CT ratios that every voltage, current and power text is scaled
    // by, so whatever updates the shared state from a block runs before any window is
    // filled from it.
    enum class DecodeStage {
        SharedState, // the main window's state (ratios, meter address and baud rate)
        Windows,     // the windows' controls
    };

    ReplyRouting(SessionState& state, OperatorDialogs& dialogs, Host host);

    // Several decoders may share a start address; they run stage by stage and in
    // registration order within a stage, each in its own guard: an exception thrown by a
    // decoder ends that decoder only, and the controls it already wrote keep their new
    // text. Returns a key for RemoveBlockDecoder.
    int AddBlockDecoder(quint16 startAddr, BlockDecoder decoder,
                        DecodeStage stage = DecodeStage::Windows);
    void RemoveBlockDecoder(int key);
    bool HasBlockDecoder(quint16 startAddr) const;

    // One handler each; a later call replaces the earlier one, an empty function removes it.
    void SetCoilHandler(BitsHandler handler) { coilHandler_ = std::move(handler); }
    void SetInputHandler(BitsHandler handler) { inputHandler_ = std::move(handler); }
    void SetRelayWriteHandler(RelayWriteHandler handler) { relayHandler_ = std::move(handler); }

    // What follows the meter's echo of a write (functions 06, 10, B0), in this order: the
    // confirmation box, the window whose work the write finished closed when open, the
    // read-back queued into the read-once slot so that the windows show what the meter
    // stored, and last the follow-ups of AddWriteConfirmedHandler. Each applies to every
    // write it covers, in registration order.
    //
    // The box (and the window to close, when not empty) of a write at `startAddr`.
    void AddWriteConfirmation(quint16 startAddr, const QString& text,
                              const QString& closeWindow = QString());
    // The read-back of a write at any register from `firstAddr` to `lastAddr` (the
    // coefficient area is read back after every write into it).
    void AddReadBack(quint16 firstAddr, quint16 lastAddr, const QString& message);

    // Extra work after the confirmation box of a write at `startAddr` (for example the
    // energy presetting window reloading its edits after 0x156). Returns a key.
    int AddWriteConfirmedHandler(quint16 startAddr, WriteConfirmedHandler handler);
    void RemoveWriteConfirmedHandler(int key);

    // When each block was last shown and whether that is the meter's present value; every
    // reply of a block is recorded here before its decoders run, and while they run it is
    // the block the window kit marks their controls with.
    ValueFreshness& Freshness() { return freshness_; }
    const ValueFreshness& Freshness() const { return freshness_; }

    // The master's reply events (F01, F02, F03, F05, F10) bound to the entry points below;
    // a register block also ends the poll schedule's one-shot read of it.
    void BindReplyEvents(TqvModbusEvents& events);
    // Entry points for the master's reply events.
    void RegistersReceived(quint16 startAddr, const QList<quint16>& values);
    void CoilsReceived(quint16 startAddr, const QList<bool>& values);
    void InputsReceived(quint16 startAddr, const QList<bool>& values);
    void RelayWriteConfirmed(quint16 destAddr, bool value);
    // A write (functions 06, 10, B0) was echoed by the meter.
    void WriteConfirmed(quint16 startAddr);
    // A reply failed (after the counters were updated): confirms pending address and baud
    // changes, address first.
    void ResponseFailed();

private:
    template <typename Handler> struct Entry {
        int key;
        quint16 startAddr;
        Handler handler;
        DecodeStage stage = DecodeStage::Windows;
    };

    SessionState& state_;
    OperatorDialogs& dialogs_;
    Host host_;
    ValueFreshness freshness_;
    int nextKey_ = 1;
    QList<Entry<BlockDecoder>> decoders_;
    QList<Entry<WriteConfirmedHandler>> writeHandlers_;
    struct Confirmation {
        quint16 startAddr;
        QString text;
        QString closeWindow;
    };
    struct ReadBack {
        quint16 firstAddr;
        quint16 lastAddr;
        QString message;
    };
    QList<Confirmation> confirmations_;
    QList<ReadBack> readBacks_;
    BitsHandler coilHandler_;
    BitsHandler inputHandler_;
    RelayWriteHandler relayHandler_;
};
