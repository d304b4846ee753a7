#pragma once

#include <QLocale>
#include <QString>

// Number texts in the two styles every window and status panel uses. Both take the
// decimal separator from `locale` and keep plain digits and a hyphen-minus (some locales
// bring their own digits, a typographic minus or direction marks, which the meter's
// values never show); the fixed style never groups thousands, the grouped style always
// does, in threes with the locale's group separator (also in locales whose default is to
// omit it). Values are rounded half away from zero at the last shown decimal, as the
// meter's decimal fixed-point registers are meant to be read.
QString FixedText(double value, int decimals, const QLocale& locale = QLocale());
QString GroupedText(double value, int decimals, const QLocale& locale = QLocale());
// The shortest text that reads back as `value` (no exponent, no grouping), with the
// locale's decimal separator and plain digits: what a field the operator may edit shows.
QString ShortestText(double value, const QLocale& locale = QLocale());
