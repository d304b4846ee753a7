#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>
#include <optional>

// Reading a quantity the operator typed, in the user's number format, so that a number
// reaches the meter as the number meant or not at all. The text is read the way a person
// of the user's locale reads it:
// - plain digits 0..9, an optional sign where the field takes negative values;
// - the locale's decimal separator; a plain '.' only where the locale's decimal separator
//   is something else and '.' is not its group separator either (so "12.345" on a German
//   desktop, twelve thousand there, is never read as twelve point three);
// - the locale's group separator only between groups of three digits before the decimal
//   separator ("1,234.5" in English, "1.234,5" in German; a blank or no-break space
//   stands for a space-like separator, which hardly anyone can type);
// - optionally, after the number, one of the units the window shows (any case), with a
//   "k" before it (or alone) where the window shows thousands that way.
// Anything else is refused: exponents, hexadecimal, stray characters, control characters
// (an embedded NUL included), two decimal separators, misplaced groups, an empty text.
struct NumberField {
    bool negative = false; // a leading sign ('-', '+' or the locale's own) is allowed
    bool fraction = true;  // decimals are allowed
    QStringList units;     // the units the window writes after the number
    bool kilo = false;     // a 'k' before the unit multiplies by 1000
};

// The number meant, or nothing when the text is not one the field takes.
std::optional<double> ReadNumber(const QString& text, const NumberField& field,
                                 const QLocale& locale = QLocale());

// A whole number (no decimals, no units) in min..max; nothing otherwise.
std::optional<qint64> ReadWholeNumber(const QString& text, qint64 min, qint64 max,
                                      const QLocale& locale = QLocale());
