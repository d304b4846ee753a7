#pragma once

#include "HarmonicsDecode.h"
#include "PhaseAngleDecode.h"

#include <QColor>
#include <QRectF>

class QPainter;

// The phasor diagram and the current spectrum chart as drawings on any painter: the
// windows draw them on screen, the commissioning report into its PDF, so the technician
// sees the same picture in both. Sizes are in screen pixels of the painter's coordinates.

// The colours a drawing takes from its surroundings (a window's palette, or paper).
struct DiagramColors {
    QColor background{Qt::white};
    QColor text{Qt::black};
    QColor grid{160, 160, 160};
};

// V1, V2, V3 and I1, I2, I3 as arrows from the centre of `area`, V1 pointing right and
// lagging quantities turned clockwise. Voltages are drawn to the highest voltage, currents
// to the highest current (shorter, dashed), so the picture shows proportions and angles.
// Without phasors only the grid is drawn.
void PaintPhasorDiagram(QPainter& painter, const QRectF& area, const PhasorSet* phasors,
                        const DiagramColors& colors);

// Bars of harmonics 2..31 in percent of the fundamental, one per phase, with a value axis
// of SpectrumAxisTop and a legend. `caption` heads the chart.
void PaintSpectrumChart(QPainter& painter, const QRectF& area, const CurrentSpectrum& spectrum,
                        const DiagramColors& colors, const QString& caption);

// The top of the value axis for a highest bar of `largest` percent: 1, 2 or 5 times a
// power of ten, at least 1 %.
double SpectrumAxisTop(double largest);

// The colour of each phase in the chart and the phasor diagram.
QColor PhaseColor(int phase); // 0..2
