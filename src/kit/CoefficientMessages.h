#pragma once

#include "LabelText.h"

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <span>

// The meter's factory calibration: 25 coefficient registers at 0x51B..0x533 (gain
// coefficients that scale each channel's amplitude, angle constants that turn each
// channel's phase), read with function 03 and written with the meter's own function 0xB0,
// which is framed exactly like function 0x10.

inline constexpr quint16 CoefficientBlockStart = 0x51B;
inline constexpr int CoefficientBlockCount = 25;
// The display mode setting that lives inside the coefficient block.
inline constexpr quint16 DisplayModeRegister = 0x52A;

// The coefficients as the meter last reported them, as signed numbers; index = register -
// 0x51B. Empty until the first reply of block 0x51B.
using CoefficientValues = std::array<qint16, CoefficientBlockCount>;

// One coefficient shown in the coefficients window and the calibration window.
struct CoefficientRow {
    quint16 reg;
    const char* edit;         // edit of the coefficients window
    const char* editCaption;  // its caption there
    const char* historyLabel; // label of the calibration window ("History Value")
    const char* historyCaption;
};
// Every coefficient with a control, in register order (0x529..0x52B have none).
std::span<const CoefficientRow> CoefficientRows();
const CoefficientRow* FindCoefficientRow(quint16 reg);

// Signed decimal texts of the coefficients: for the coefficients window's edits
// (`edits` true) or the calibration window's history labels.
LabelTexts CoefficientTexts(const QList<quint16>& values, bool edits);
// The kept signed values of a reply; nothing when the reply is short.
std::optional<CoefficientValues> CoefficientsOf(const QList<quint16>& values);
// The display mode byte the main window keeps from register 0x52A: 1 when it holds 1.
std::optional<quint8> DisplayModeOf(const QList<quint16>& values);

// A function-0xB0 write of consecutive coefficient registers as a message string:
// "00,b0,05,20,00,09,12," + each value as two upper-case bytes + "00,00".
QString CoefficientWriteMessage(quint16 start, const QList<quint16>& values);

// What a coefficient edit may hold: a whole decimal number the register can take, as
// signed (-32768..32767) or as its 16-bit pattern (32768..65535), written as the user's
// locale writes numbers (see ReadWholeNumber).
inline constexpr qint32 CoefficientMin = -32768;
inline constexpr qint32 CoefficientMax = 65535;
std::optional<quint16> ParseCoefficient(const QString& text, const QLocale& locale = QLocale());
// The 16-bit pattern of a value in CoefficientMin..CoefficientMax; nothing outside.
std::optional<quint16> CoefficientPattern(qint64 value);

// The three groups of the coefficients window, written into pending-write slots 2, 3, 4.
enum class CoefficientGroup { Gain, AngleConstants, Others };
struct CoefficientGroupLayout {
    CoefficientGroup group;
    int slot;
    quint16 start;
    QStringList edits; // in register order
    const char* modifyBox;
    const char* clearBox;
};
std::span<const CoefficientGroupLayout> CoefficientGroups();

// What the operator set for one group.
struct CoefficientGroupInput {
    bool modify = false;
    bool clear = false;
    QStringList texts; // the edits' texts in the group's order
};

// The writes of "确认", or the reason none is queued. Every edit of every group to be
// written is checked before anything is queued, so a typo never leaves the meter with one
// group changed and the next one not.
struct CoefficientWritePlan {
    QList<std::pair<int, QString>> writes; // slot, message
    QString error;                         // names the edit and the range
};
CoefficientWritePlan PlanCoefficientWrites(const std::array<CoefficientGroupInput, 3>& groups);

// The sample count of a calibration run: a whole number of at least 1. A count of 0 would
// start a run that never reads and so never ends.
std::optional<int> ParseCalibrationCount(const QString& text, const QLocale& locale = QLocale());
QString CalibrationCountError(const QString& text);
