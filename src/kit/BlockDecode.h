#pragma once

#include "LabelText.h"
#include "ValueText.h"

#include <QList>
#include <QLocale>
#include <QString>
#include <span>

// Register blocks as tables: a window's decoder is a list of rows (where a quantity sits
// in the block, how wide it is, where its text goes and how it is written), and one
// function turns a reply into texts. Every decoder applies the same short-block rule: a
// row whose registers are missing ends the decoding, so a short reply fills what it holds
// and leaves the rest of the window as it was.

// How a quantity is stored: one register or two (high word at the lower address), read
// as unsigned or two's-complement signed.
enum class RegWidth : quint8 { U16, S16, U32, S32 };
constexpr int RegisterCount(RegWidth w) {
    return (w == RegWidth::U32 || w == RegWidth::S32) ? 2 : 1;
}
// The quantity at `offset`; the caller has checked that its registers are there.
qint64 ReadQuantity(const QList<quint16>& values, int offset, RegWidth width);

// What a text depends on besides the register: the PT/CT ratios of the main window and
// the user's number format.
struct DecodeContext {
    ScaleRatios ratios;
    QLocale locale = QLocale();
};

// How a quantity becomes text.
struct ValueFormat {
    enum class Kind : quint8 {
        Decimal, // the number as it is, then the unit
        Fixed,   // value / divisor with `decimals` decimals, no grouping, then the unit
        Grouped, // the same with thousands grouped
        Voltage, // FormatVoltageText with the PT ratio
        Current, // FormatCurrentText with the CT ratio
        Power,   // FormatPowerText of `powerKind` with both ratios
        Energy,  // FormatEnergyText of a counter in tenths of k`unit` ("Wh", "varh")
        Custom,  // `custom`
    };
    using CustomFormat = QString (*)(qint64 value, const DecodeContext& context);

    Kind kind = Kind::Decimal;
    int divisor = 1;
    int decimals = 0;
    const char* unit = ""; // appended as it is (" Hz", " %", "")
    int powerKind = PowerWatt;
    CustomFormat custom = nullptr;

    QString Text(qint64 value, const DecodeContext& context) const;
};

// Whether a quantity's text is scaled by the PT or CT ratio: without the meter's settings
// it cannot be told.
constexpr bool ScaledByRatios(const ValueFormat& format) {
    return format.kind == ValueFormat::Kind::Voltage || format.kind == ValueFormat::Kind::Current ||
           format.kind == ValueFormat::Kind::Power;
}

// Shorthands for table rows.
constexpr ValueFormat DecimalFormat(const char* unit = "") {
    return {ValueFormat::Kind::Decimal, 1, 0, unit};
}
constexpr ValueFormat FixedFormat(int divisor, int decimals, const char* unit = "") {
    return {ValueFormat::Kind::Fixed, divisor, decimals, unit};
}
constexpr ValueFormat GroupedFormat(int divisor, int decimals, const char* unit = "") {
    return {ValueFormat::Kind::Grouped, divisor, decimals, unit};
}
constexpr ValueFormat VoltageFormat() {
    return {ValueFormat::Kind::Voltage};
}
constexpr ValueFormat CurrentFormat() {
    return {ValueFormat::Kind::Current};
}
constexpr ValueFormat EnergyFormat(const char* unit) {
    return {ValueFormat::Kind::Energy, 10, 1, unit};
}
constexpr ValueFormat PowerFormat(int powerKind) {
    return {ValueFormat::Kind::Power, 1, 0, "", powerKind};
}
constexpr ValueFormat CustomFormat(ValueFormat::CustomFormat format) {
    return {ValueFormat::Kind::Custom, 1, 0, "", PowerWatt, format};
}

// One labelled quantity of a block.
struct BlockRow {
    int offset; // register - block start
    RegWidth width;
    const char* target; // object name of the label
    ValueFormat format;
};

// Texts of `rows` in table order, up to the first row whose registers are missing.
LabelTexts DecodeBlock(std::span<const BlockRow> rows, const QList<quint16>& values,
                       const DecodeContext& context);

// --- grids ---------------------------------------------------------------------------

// One cell of a grid in the meter's grid coordinates: row 0 and column 0 are the fixed
// headings, values start at row 1, column 1.
struct GridText {
    int row;
    int column;
    QString text;
    friend bool operator==(const GridText&, const GridText&) = default;
};
using GridTexts = QList<GridText>;

// A block of equal records, one grid row each: record r (0-based) starts at register
// r * recordSize and fills grid row firstRow + r.
struct GridColumns {
    int offset; // first register of the run within the record
    int column; // grid column of that register
    int count;  // consecutive registers into consecutive columns
    RegWidth width;
    ValueFormat format;
    bool rowFormat = false; // use the record's own format (GridLayout::rowFormats) instead
};
struct GridLayout {
    int recordSize;
    int recordCount;
    int firstRow;
    std::span<const GridColumns> columns;
    std::span<const ValueFormat> rowFormats = {}; // one per record, for rowFormat columns
};

// Cells record by record, column run by column run, up to the first cell whose registers
// are missing.
GridTexts DecodeGrid(const GridLayout& layout, const QList<quint16>& values,
                     const DecodeContext& context);
