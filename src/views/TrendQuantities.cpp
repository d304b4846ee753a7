#include "TrendQuantities.h"

#include <cmath>
#include <limits>

namespace {

// The log's columns the trends follow; the load type is a text and the energy counters
// only ever climb, so a chart of them says nothing the metering window does not.
// clang-format off
const char* const kColumns[] = {
    "V1 (V)", "V2 (V)", "V3 (V)", "V12 (V)", "V23 (V)", "V31 (V)",
    "I1 (A)", "I2 (A)", "I3 (A)", "In (A)",
    "P1 (W)", "P2 (W)", "P3 (W)", "Psum (W)",
    "Q1 (var)", "Q2 (var)", "Q3 (var)", "Qsum (var)",
    "S1 (VA)", "S2 (VA)", "S3 (VA)", "Ssum (VA)",
    "PF1", "PF2", "PF3", "PF",
    "F (Hz)", "U_unbl (%)", "I_unbl (%)",
    "Dmd_P (W)", "Dmd_Q (var)", "Dmd_S (VA)",
    "Temp (degC)",
};
// clang-format on

struct Table {
    QList<TrendQuantity> quantities;
    QList<int> logColumn; // index into MeteringCsvColumns()
    int temperature = -1;
};

const Table& TheTable() {
    static const Table table = [] {
        Table t;
        const QStringList log = MeteringCsvColumns();
        for (const char* column : kColumns) {
            const QString c = QString::fromLatin1(column);
            const qsizetype open = c.indexOf(QLatin1String(" ("));
            TrendQuantity q{c, open < 0 ? c : c.left(open),
                            open < 0 ? QString() : c.mid(open + 2).chopped(1)};
            if (q.unit == QLatin1String("degC"))
                q.unit = QStringLiteral("\u00B0C");
            if (c == QLatin1String("Temp (degC)"))
                t.temperature = int(t.quantities.size());
            t.logColumn << int(log.indexOf(c));
            t.quantities << q;
        }
        return t;
    }();
    return table;
}

} // namespace

const QList<TrendQuantity>& TrendQuantities() {
    return TheTable().quantities;
}

int TrendQuantityCount() {
    return int(TheTable().quantities.size());
}

int TrendQuantityOfColumn(const QString& column) {
    const auto& q = TheTable().quantities;
    for (int i = 0; i < q.size(); ++i) {
        if (q[i].column == column)
            return i;
    }
    return -1;
}

std::vector<float> TrendSample(const QList<quint16>& block, const ScaleRatios& ratios,
                               std::optional<quint16> temperature) {
    if (block.size() < MeteringBlockCount)
        return {};
    const Table& t = TheTable();
    std::vector<float> sample(t.quantities.size());
    for (int i = 0; i < t.quantities.size(); ++i)
        sample[i] = float(MeteringCsvNumber(t.logColumn[i], block, ratios));
    sample[t.temperature] = temperature ? float(TemperatureCelsius(*temperature))
                                        : std::numeric_limits<float>::quiet_NaN();
    return sample;
}
