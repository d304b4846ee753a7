#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <array>
#include <functional>

// The pending-write slots by what they carry; slot 1 is sent first.
enum PendingSlot : int {
    RelaySlot = 1,       // relay output commands (function 05)
    WriteSlot = 2,       // register writes: settings, resets, presets, clock, coefficients
    SecondWriteSlot = 3, // the second message of a window that writes two or three at once
    ThirdWriteSlot = 4,  // the third such message
    ReadOnceSlot = 5,    // reads that must happen once, soon (read-backs, activation reads)
};

// Chooses the request of every transaction: the coefficient read when armed, then the
// queued writes (slot 1 first), then the one-shot reads of slot 5, then a fixed rotation of the
// blocks that are always read, whose sixth place reads the blocks of the window the operator
// activated last.
//
// Message strings are the master's request text (MessageText.h): the schedule writes the
// slave address into the first byte; the master fills in the CRC.
//
// Child windows queue writes with Queue(slot, message) after checking that the meter is
// connected. A message put into an occupied write slot replaces the one waiting there.
//
// A one-shot read (slot 5, the coefficient read, or a register read queued into a write
// slot) that the meter leaves unanswered, answers with a broken frame or refuses is asked
// again: a window opened on a busy line must not stay empty because its one read was
// lost. It waits until a reply of its block arrives, or until the window it was asked
// for is no longer the active one. Between two tries of a read at least one other
// request goes out, so a block the meter keeps refusing cannot stop the live values.
// Writes are never sent twice: a write without an echo may still have been stored.
class PollSchedule {
public:
    static constexpr int kSlotCount = 5;

    // The meter parameter read that starts every session (block 0x100, 34 registers).
    static const QString kParameterRead;
    // The coefficient block 0x51B, read once at the start of a session and after writes.
    static const QString kCoefficientRead;
    // The calibration run's raw vectors, block 0x534.
    static const QString kCalibrationRead;

    // Puts a message into pending-write slot 1..4, or a read into slot 5 (as QueueRead
    // with no window). Slot 1 carries relay commands, 2 to 4 writes. An empty message
    // empties the slot; slot 5 then forgets every one-shot read. Other slots are ignored.
    void Queue(int slot, const QString& message);
    // The message waiting in slot 1..4, or the one-shot read that goes out next (empty
    // when free or out of range).
    QString Slot(int slot) const;
    // A one-shot read into slot 5 for `window` (its activation read), kept until a reply
    // of its block arrives while that window stays active; without a window, until then
    // or the end of the session. The reads of different blocks wait in turn; a read of a
    // block already waiting takes that read's place.
    void QueueRead(const QString& message, const QString& window = QString());
    // The one-shot reads waiting, in the order they go out.
    QStringList PendingReads() const;

    // What became of the request NextMessage gave last: the meter's reply of the register
    // block starting at `startAddr` (whichever request asked for it), or a failure (no
    // reply, a broken one, an exception).
    void BlockReceived(quint16 startAddr);
    void RequestFailed();

    // The blocks a window reads in the rotation's sixth place while it is active, read in
    // turn, one per rotation. Given once, when the window's subsystem registers it.
    void SetWindowReads(const QString& window, const QStringList& messages);
    QStringList WindowReads(const QString& window) const { return windowReads_.value(window); }
    // The window became active: its reads alone take the sixth place. A window without
    // reads of its own leaves the place to the window before it. The one-shot reads of
    // every other window are forgotten.
    void SelectWindowReads(const QString& window);
    // Keeps a window's reads in the rotation behind those that are in it already (the meter
    // model window keeps its clock while the model it applied brings another window up).
    void KeepWindowReads(const QString& window);
    // The window is gone: its reads leave the rotation and its one-shot reads are
    // forgotten.
    void DropWindowReads(const QString& window);
    void ClearWindowReads() { sixthPlace_.clear(); }
    // True while the window's reads are in the rotation.
    bool ReadsWindow(const QString& window) const { return sixthPlace_.contains(window); }

    // One read of the coefficient block 0x51B before anything else; cleared when sent,
    // set again when that read fails.
    bool ReadCoefficientsOnce = true;
    // While above 0 the calibration block 0x534 is read on every request and nothing else
    // is sent. The calibration run counts it down from its replies; -1 = no run.
    qint32 CalibrationReadsLeft = -1;

    // "Start COMM": slots 1..4 emptied, the parameter read first in slot 5, rotation and
    // alternation restarted. Writes queued while polling was stopped are dropped here, and
    // the read-backs of the session before; the reads of the active window stay.
    void Restart();
    // Session reset: Restart(), window reads out of the rotation and their one-shot reads
    // forgotten, coefficient read armed, no calibration run.
    void Reset();

    // The next request with `slaveAddress` (low byte) written into its first byte. When
    // the rotation's sixth place has no window's reads it reads the temperature again:
    // the master would otherwise repeat its last request, and that may have been a write.
    QString NextMessage(int slaveAddress);

    quint32 RotationIndex() const { return rotationIndex_; }
    // Called as the rotation's sixth place is chosen, once a round: the bus overview puts
    // the read of another meter on the line there (through the request service, so the
    // rotation itself goes on unchanged after it).
    std::function<void()> OnRoundEnd;

private:
    struct OneShotRead {
        QString message;
        QString window;            // empty: serves no window in particular
        bool coefficients = false; // the armed coefficient read
    };

    QString ChooseMessage();
    QString Alternate(const QStringList& messages);
    // Puts a read behind those waiting, or merges it into the waiting read of its block;
    // `older` for a read that was asked before those waiting (one sent and failed).
    void AddRead(const OneShotRead& read, bool older);
    template <typename Gone> void ForgetReads(Gone gone);

    std::array<QString, kSlotCount - 1> writes_{};
    QList<OneShotRead> reads_;
    // The one-shot read out on the line (empty message: the request was something else).
    OneShotRead inFlight_;
    // A one-shot read just failed: the next request is another one.
    bool holdReads_ = false;
    quint32 rotationIndex_ = 0;
    qint32 alternationCounter_ = 0;
    QHash<QString, QStringList> windowReads_;
    // Windows whose reads are in the rotation; the first one is read.
    QStringList sixthPlace_;
};
