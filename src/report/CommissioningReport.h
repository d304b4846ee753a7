#pragma once

#include "ReportSnapshot.h"
#include "SafeFiles.h"

#include <QDateTime>
#include <QPageSize>
#include <QString>

class QPagedPaintDevice;

// The commissioning report: the record a technician hands over after commissioning a
// meter (site, the meter and its configuration, what it measures, the wiring verdict with
// the phasor diagram, power quality, max/min and alarm records, the line's health), laid
// out on pages with the program's name and version, the date and the page number in the
// footer. Drawn with vectors only, so it prints sharp at any size.

// Paints the report onto `device` (a PDF writer or a printer), one page after another.
// `printedAt` is the date the footer shows. Returns the number of pages.
int PaintCommissioningReport(QPagedPaintDevice& device, const ReportSnapshot& snapshot,
                             const QDateTime& printedAt);

// Writes the report as a PDF file, whole or not at all (SaveFileAtomically, through `sink`
// when given): on failure the file that was there stays, `error` says why and the result
// is false.
bool WriteCommissioningReport(const QString& path, const ReportSnapshot& snapshot,
                              QPageSize::PageSizeId paper, const QDateTime& printedAt,
                              QString* error, FileSink* sink = nullptr);

// The text a block that did not answer shows in its place.
inline constexpr auto NotReadText = QT_TRANSLATE_NOOP("CommissioningReport", "not read");
// In place of a value the meter did send but that needs the PT and CT ratios of its
// settings block, when that block did not answer: scaled with ratio 1 it would be wrong by
// the whole ratio (a 20 kV feeder shown as 200 V).
inline constexpr auto NeedsSettingsText =
    QT_TRANSLATE_NOOP("CommissioningReport", "not read (needs the meter settings)");
