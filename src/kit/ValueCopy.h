#pragma once

#include <QList>
#include <QString>

// What a measurement window hands to the clipboard: its quantities with their values and
// units, as plain text a text editor shows in columns and as a table a spreadsheet takes
// cell by cell.

struct CopiedValue {
    QString quantity; // the caption beside the value, without its colon ("P1")
    QString value;    // the number as shown, separators of the user's locale ("33.449")
    QString unit;     // "MW", "°C"; empty for a pure number or a word ("Capacitive")
};

// A shown value text split into number and unit: "33.449 MW" -> "33.449", "MW";
// "-20.0 °C" -> "-20.0", "°C"; "0.985" and "Capacitive" have no unit.
CopiedValue SplitValueText(const QString& quantity, const QString& text);

// "Quantity\tValue\tUnit" and one line per value, tab-separated, lines ending in "\n".
QString CopiedValuesText(const QList<CopiedValue>& values);
// The same as an HTML table with a heading row, every text escaped.
QString CopiedValuesHtml(const QList<CopiedValue>& values);
