#pragma once

#include "TrendHistory.h"

#include <QList>
#include <QString>

// The samples of chosen trend quantities in [t0, t1) as a data log file: "Time" and the
// quantities' log columns with their units, comma between fields, decimal point, ISO 8601
// local times to the millisecond, so "Open Log…" reads it back. A gap is a line with its time and
// no values.
QString TrendSpanCsv(const TrendHistory& history, const QList<int>& quantities, qint64 t0,
                     qint64 t1);
