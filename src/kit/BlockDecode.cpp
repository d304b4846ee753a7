#include "BlockDecode.h"

#include "NumberText.h"
#include "ValueText.h"

qint64 ReadQuantity(const QList<quint16>& values, int offset, RegWidth width) {
    switch (width) {
    case RegWidth::U16:
        return values[offset];
    case RegWidth::S16:
        return static_cast<qint16>(values[offset]);
    case RegWidth::U32:
        return (static_cast<quint32>(values[offset]) << 16) | values[offset + 1];
    case RegWidth::S32:
        return static_cast<qint32>((static_cast<quint32>(values[offset]) << 16) |
                                   values[offset + 1]);
    }
    return 0;
}

QString ValueFormat::Text(qint64 value, const DecodeContext& c) const {
    const QString suffix = QString::fromUtf8(unit);
    switch (kind) {
    case Kind::Decimal:
        return QString::number(value) + suffix;
    case Kind::Fixed:
        return FixedText(double(value) / divisor, decimals, c.locale) + suffix;
    case Kind::Grouped:
        return GroupedText(double(value) / divisor, decimals, c.locale) + suffix;
    // The value-to-text functions take the register as the meter sends it and read its
    // sign themselves (watts and vars signed, volt-amperes not).
    case Kind::Voltage:
        return FormatVoltageText(static_cast<quint16>(value), c.ratios.pt, c.locale);
    case Kind::Current:
        return FormatCurrentText(static_cast<quint16>(value), c.ratios.ct, c.locale);
    case Kind::Power:
        return FormatPowerText(static_cast<quint16>(value), powerKind, c.ratios.pt, c.ratios.ct,
                               c.locale);
    case Kind::Energy:
        return FormatEnergyText(value, suffix, c.locale);
    case Kind::Custom:
        return custom ? custom(value, c) : QString();
    }
    return {};
}

LabelTexts DecodeBlock(std::span<const BlockRow> rows, const QList<quint16>& values,
                       const DecodeContext& context) {
    LabelTexts texts;
    for (const BlockRow& row : rows) {
        if (row.offset + RegisterCount(row.width) > values.size())
            break;
        texts.append({QString::fromLatin1(row.target),
                      row.format.Text(ReadQuantity(values, row.offset, row.width), context)});
    }
    return texts;
}

GridTexts DecodeGrid(const GridLayout& layout, const QList<quint16>& values,
                     const DecodeContext& context) {
    GridTexts cells;
    for (int r = 0; r < layout.recordCount; ++r) {
        const int base = r * layout.recordSize;
        for (const GridColumns& run : layout.columns) {
            const ValueFormat& format = run.rowFormat && r < int(layout.rowFormats.size())
                                            ? layout.rowFormats[r]
                                            : run.format;
            const int step = RegisterCount(run.width);
            for (int i = 0; i < run.count; ++i) {
                const int offset = base + run.offset + i * step;
                if (offset + step > values.size())
                    return cells;
                cells.append({layout.firstRow + r, run.column + i,
                              format.Text(ReadQuantity(values, offset, run.width), context)});
            }
        }
    }
    return cells;
}
