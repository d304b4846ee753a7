#pragma once

#include "CoefficientMessages.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// One calibration run against a reference source: the meter's raw channel vectors
// (block 0x534: real and imaginary part of voltages A, B, C and currents A, B, C) are read
// a chosen number of times; an amplitude run averages each channel's magnitude error
// against the reference, an angle run each channel's phase error against voltage A. The
// averages become corrections to the coefficients of the range the bench feeds.
//
// No window and no line here: the calibration window feeds the readings and shows what
// comes out.

inline constexpr quint16 RawVectorBlockStart = 0x534;
inline constexpr int RawVectorBlockCount = 12;

enum Channel : int { VoltageA, VoltageB, VoltageC, CurrentA, CurrentB, CurrentC, ChannelCount };

enum class CalibrationMode { Angle, Amplitude };

// What the bench feeds: 380 V or 100 V on the PT input, 100 % or 10 % of rated current.
struct CalibrationSettings {
    CalibrationMode mode = CalibrationMode::Angle;
    bool pt380V = true;
    bool standard100 = true;
};

// Magnitudes the meter reports for the reference: 3800 / 1000 for 380 V / 100 V,
// 5000 / 500 for 100 % / 10 % of rated current.
double ReferenceVoltage(bool pt380V);
double ReferenceCurrent(bool standard100);

// Angle of a raw vector in degrees, 0..360; nothing for a zero vector.
std::optional<double> VectorAngle(double re, double im);
// Brings an angle difference into -90..270.
double NormalisedAngle(double degrees);
// Nearest integer, ties to the even one (2.5 -> 2, 3.5 -> 4).
qint64 RoundHalfEven(double value);

struct CalibrationResult {
    CalibrationMode mode = CalibrationMode::Angle;
    int readings = 0;
    std::array<double, ChannelCount> averages{};
    // Amplitude: gain counts; angle: thousandths of a degree (voltage A: always 0).
    std::array<qint64, ChannelCount> corrections{};
    // Angle runs: channels whose average error lies beyond 5 degrees.
    QList<Channel> overLimit;
};

class CalibrationRun {
public:
    // Starts a run of `count` readings: accumulators and readings taken back to 0.
    void Start(int count, const CalibrationSettings& settings);
    // Ends a run without computing anything; its accumulators are dropped.
    void Stop();

    bool Running() const { return running_; }
    // Readings still to take (the poll asks for block 0x534 while this is 1 or more);
    // -1 when no run is going on.
    int ReadsLeft() const { return readsLeft_; }
    int ReadingsTaken() const { return taken_; }
    const CalibrationSettings& Settings() const { return settings_; }

    // One reply of block 0x534. Ignored when no run is going on (a reply still on the
    // line after a stop) or when it is short. True when this reading ended the run; the
    // caller then calls Finish().
    bool AddReading(const QList<quint16>& values);
    // Averages and corrections of the readings taken; resets accumulators and readings.
    CalibrationResult Finish();

private:
    CalibrationSettings settings_;
    bool running_ = false;
    int readsLeft_ = -1;
    int taken_ = 0;
    std::array<double, ChannelCount> accumulators_{};
};

// What a finished run offers to write, by mode and reference: which channels' corrections
// are shown where, the question, and the coefficient registers they go to.
struct CalibrationWriteCase {
    CalibrationMode mode;
    const char* question;
    quint16 start;
    QList<Channel> channels; // register start + i takes the correction of channels[i]
    QStringList labels;      // "Calculate Value" label of channels[i]
};
const CalibrationWriteCase& WriteCaseFor(const CalibrationSettings& settings);

// The correction texts for the case's labels.
LabelTexts CorrectionTexts(const CalibrationWriteCase& writeCase, const CalibrationResult& result);

// The function-0xB0 write of coefficient + correction for the case's registers, or the
// reason it must not be written: no coefficients read from the meter yet, or a sum that
// would carry the register round its far end. A coefficient near zero is read signed
// (-32768..32767), one around 0x8000 unsigned (0..65535), so 32767 + 1 goes out as 80 00
// and 0x8000 - 1 as 7F FF, while 0xFFFF + 1 is 00 00 (-1 + 1).
// `changes` lists, for the lines below the write question, each coefficient the write
// changes as "UA--ADJ: 1200 → 1210", in register order.
struct CalibrationWrite {
    QString message;
    QString error;
    QStringList changes;
};
CalibrationWrite PlanCalibrationWrite(const CalibrationWriteCase& writeCase,
                                      const std::optional<CoefficientValues>& coefficients,
                                      const CalibrationResult& result);

// The calibration window's copies of the metering window's voltage, current and power
// texts (same text, its own label names).
LabelTexts CalibrationDisplayTexts(const LabelTexts& meteringTexts);
