#pragma once

#include <QString>
#include <array>

// The pending-write slots by what they carry; slot 1 is sent first.
enum PendingSlot : int {
    RelaySlot = 1,       // relay output commands (function 05)
    WriteSlot = 2,       // register writes: settings, resets, presets, clock, coefficients
    SecondWriteSlot = 3, // the second message of a window that writes two or three at once
    ThirdWriteSlot = 4,  // the third such message
    ReadOnceSlot = 5,    // reads that must happen once, soon (read-backs, activation reads)
};

// The optional block of the rotation's sixth place, by the window that asks for it.
enum class PollFlag {
    None,
    MaxMin,    // 0x239 and 0x2B0, alternating
    Harmonics, // 0x168 and 0x1D6, alternating
    Alarm,     // 0x354
    Angle,     // 0x39D
    Clock,     // 0x32A and 0x3A5, alternating
};

// Chooses the request of every transaction: one-shot reads first, then the queued writes
// (slot 1 first), then a fixed rotation of the blocks that are always read, whose sixth
// place reads the block of the measurement window the operator activated last.
//
// Message strings are the master's request text ("00,03,01,30,00,36,00,00"): "00" in
// place of the slave address and "00,00" in place of the CRC. The schedule writes the
// slave address into the first byte; the master fills in the CRC.
//
// Child windows queue writes with Queue(slot, message) after checking that the meter is
// connected. A message put into an occupied slot replaces the one waiting there.
class PollSchedule {
public:
    static constexpr int kSlotCount = 5;

    // The meter parameter read that starts every session (block 0x100, 34 registers).
    static inline const QString kParameterRead = QStringLiteral("00,03,01,00,00,22,00,00");
    static inline const QString kCoefficientRead = QStringLiteral("00,03,05,1b,00,19,00,00");
    static inline const QString kCalibrationRead = QStringLiteral("00,03,05,34,00,0c,00,00");

    // Puts a message into pending-write slot 1..5. Slot 1 carries relay commands, 2 to 4
    // writes, 5 reads that must happen once, soon. Out-of-range slots are ignored.
    void Queue(int slot, const QString& message);
    // The message waiting in slot 1..5 (empty when free or out of range).
    QString Slot(int slot) const;

    // Per-window poll flags: which optional block is read in the sixth place of the
    // rotation. A measurement window's activation calls ClearWindowPollFlags() and then
    // sets its own flag; its destruction clears its own flag.
    bool PollMaxMin = false;    // 0x239 and 0x2B0, alternating
    bool PollHarmonics = false; // 0x168 and 0x1D6, alternating
    bool PollAlarm = false;     // 0x354
    bool PollAngle = false;     // 0x39D
    bool PollClock = false;     // 0x32A and 0x3A5, alternating
    void ClearWindowPollFlags();
    // A measurement window became active: its flag alone is set (None clears them all).
    void SelectWindowPollFlag(PollFlag flag);
    // Sets or clears one flag, leaving the others (a window's destruction clears its own).
    void SetPollFlag(PollFlag flag, bool on);
    bool IsPollFlagSet(PollFlag flag) const;

    // One read of the coefficient block 0x51B before anything else; cleared when sent.
    bool ReadCoefficientsOnce = true;
    // While above 0 the calibration block 0x534 is read on every request and nothing else
    // is sent. The calibration run counts it down from its replies; -1 = no run.
    qint32 CalibrationReadsLeft = -1;

    // "Start COMM": slots 1..4 emptied, slot 5 := parameter read, rotation and
    // alternation restarted. Writes queued while polling was stopped are dropped here.
    void Restart();
    // Session reset: Restart(), window flags cleared, coefficient read armed, no
    // calibration run.
    void Reset();

    // The next request with `slaveAddress` (low byte) written into its first byte. When
    // the rotation's sixth place has no window flag set it reads the temperature again:
    // the master would otherwise repeat its last request, and that may have been a write.
    QString NextMessage(int slaveAddress);

    quint32 RotationIndex() const { return rotationIndex_; }
    qint32 AlternationCounter() const { return alternationCounter_; }

private:
    bool* FlagOf(PollFlag flag);
    QString ChooseMessage();
    QString Alternate(const QString& first, const QString& second);

    std::array<QString, kSlotCount> slots_{};
    quint32 rotationIndex_ = 0;
    qint32 alternationCounter_ = 0;
};

// Replaces the first byte of a message string by `slaveAddress` (low byte) as two
// upper-case hex digits: ("00,03,...", 247) gives "F7,03,...".
QString WithSlaveAddress(const QString& message, int slaveAddress);
