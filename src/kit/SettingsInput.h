#pragma once

#include <QLocale>
#include <QString>
#include <QtGlobal>
#include <optional>

// Checks of what the operator typed into the setup windows, before any message for the
// meter is built from it. Every refusal comes as a message that names the field by its
// caption and says what it accepts.

// A refused input: the object name of the control (so the window can put the cursor
// there) and the message for the operator.
struct InputProblem {
    QString control;
    QString message;
};

// A whole decimal number in min..max as the user's locale writes it (see ReadNumber):
// digits, group separators in their places, no sign, no decimals. Anything else, the
// empty text included, is refused.
std::optional<quint64> ParseWholeNumber(const QString& text, quint64 min, quint64 max,
                                        const QLocale& locale = QLocale());

// A field's caption as a name: without the colon behind it, ASCII or full-width (as the
// Chinese captions end). "Access Code:" becomes "Access Code".
QString CaptionName(const QString& caption);

// The message for a field that does not hold a whole number in min..max. `caption` is the
// field's caption as the window shows it.
// A text the locale would read two ways, or no number at all, is told how to type it.
QString WholeNumberProblem(const QString& caption, const QString& text, quint64 min, quint64 max,
                           const QLocale& locale = QLocale());

// The message for a drop-down list with nothing selected.
QString NoSelectionProblem(const QString& caption);

// An energy counter as the meter holds it: tenths of a kWh or kvarh, signed 32-bit. The
// text is read as `locale` writes numbers (see ReadNumber), so "12.345" on a German
// desktop is twelve thousand and on an English one twelve, and on neither is it read as
// the other; a plain '.' is taken as decimal point only where the locale has no other use
// for it. The number times ten is rounded to the nearest whole tenth, ties to the even
// one. Not a number, or outside the counter's range after rounding: nothing.
std::optional<qint32> ParseEnergyTenths(const QString& text, const QLocale& locale);

// The message for an energy edit that ParseEnergyTenths refused; the range is written in
// `locale`.
QString EnergyProblem(const QString& caption, const QString& text, const QLocale& locale);
