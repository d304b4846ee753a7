#pragma once

#include "MeteringCsv.h"

#include <QList>
#include <QString>
#include <optional>
#include <vector>

// What the trends record of the metering block: the quantities a technician follows over
// time (phase and line voltages, currents, powers per phase and in total, power factors,
// frequency, unbalance, demands and the meter's temperature), each named as its column in
// the data log, so a log file and the live history hold the same series in the same units.

struct TrendQuantity {
    QString column; // the data log's column, "V1 (V)"
    QString name;   // "V1"
    QString unit;   // "V"; empty for the power factors
};

// In the order the window offers them.
const QList<TrendQuantity>& TrendQuantities();
int TrendQuantityCount();
// The quantity recorded from a data log column; -1 for a column the trends do not draw.
int TrendQuantityOfColumn(const QString& column);

// Every quantity of one reply of block 0x130, scaled by the PT and CT ratios exactly as
// the data log writes them; the temperature is the last read one (NaN until one was).
// Empty when the block is short.
std::vector<float> TrendSample(const QList<quint16>& block, const ScaleRatios& ratios,
                               std::optional<quint16> temperature);
