#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <array>

// The pending-write slots by what they carry; slot 1 is sent first.
enum PendingSlot : int {
    RelaySlot = 1,       // relay output commands (function 05)
    WriteSlot = 2,       // register writes: settings, resets, presets, clock, coefficients
    SecondWriteSlot = 3, // the second message of a window that writes two or three at once
    ThirdWriteSlot = 4,  // the third such message
    ReadOnceSlot = 5,    // reads that must happen once, soon (read-backs, activation reads)
};

// Chooses the request of every transaction: one-shot reads first, then the queued writes
// (slot 1 first), then a fixed rotation of the blocks that are always read, whose sixth
// place reads the blocks of the window the operator activated last.
//
// Message strings are the master's request text (MessageText.h): the schedule writes the
// slave address into the first byte; the master fills in the CRC.
//
// Child windows queue writes with Queue(slot, message) after checking that the meter is
// connected. A message put into an occupied slot replaces the one waiting there.
class PollSchedule {
public:
    static constexpr int kSlotCount = 5;

    // The meter parameter read that starts every session (block 0x100, 34 registers).
    static const QString kParameterRead;
    // The coefficient block 0x51B, read once at the start of a session and after writes.
    static const QString kCoefficientRead;
    // The calibration run's raw vectors, block 0x534.
    static const QString kCalibrationRead;

    // Puts a message into pending-write slot 1..5. Slot 1 carries relay commands, 2 to 4
    // writes, 5 reads that must happen once, soon. Out-of-range slots are ignored.
    void Queue(int slot, const QString& message);
    // The message waiting in slot 1..5 (empty when free or out of range).
    QString Slot(int slot) const;

    // The blocks a window reads in the rotation's sixth place while it is active, read in
    // turn, one per rotation. Given once, when the window's subsystem registers it.
    void SetWindowReads(const QString& window, const QStringList& messages);
    QStringList WindowReads(const QString& window) const { return windowReads_.value(window); }
    // The window became active: its reads alone take the sixth place. A window without
    // reads of its own leaves the place to the window before it.
    void SelectWindowReads(const QString& window);
    // Keeps a window's reads in the rotation behind those that are in it already (the meter
    // model window keeps its clock while the model it applied brings another window up).
    void KeepWindowReads(const QString& window);
    // The window is gone: its reads leave the rotation.
    void DropWindowReads(const QString& window);
    void ClearWindowReads() { sixthPlace_.clear(); }
    // True while the window's reads are in the rotation.
    bool ReadsWindow(const QString& window) const { return sixthPlace_.contains(window); }

    // One read of the coefficient block 0x51B before anything else; cleared when sent.
    bool ReadCoefficientsOnce = true;
    // While above 0 the calibration block 0x534 is read on every request and nothing else
    // is sent. The calibration run counts it down from its replies; -1 = no run.
    qint32 CalibrationReadsLeft = -1;

    // "Start COMM": slots 1..4 emptied, slot 5 := parameter read, rotation and
    // alternation restarted. Writes queued while polling was stopped are dropped here.
    void Restart();
    // Session reset: Restart(), window reads out of the rotation, coefficient read armed,
    // no calibration run.
    void Reset();

    // The next request with `slaveAddress` (low byte) written into its first byte. When
    // the rotation's sixth place has no window's reads it reads the temperature again:
    // the master would otherwise repeat its last request, and that may have been a write.
    QString NextMessage(int slaveAddress);

    quint32 RotationIndex() const { return rotationIndex_; }

private:
    QString ChooseMessage();
    QString Alternate(const QStringList& messages);

    std::array<QString, kSlotCount> slots_{};
    quint32 rotationIndex_ = 0;
    qint32 alternationCounter_ = 0;
    QHash<QString, QStringList> windowReads_;
    // Windows whose reads are in the rotation; the first one is read.
    QStringList sixthPlace_;
};
