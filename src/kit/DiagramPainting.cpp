#include "DiagramPainting.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Currents are drawn shorter than voltages so that the two families stay apart.
constexpr double kCurrentLength = 0.62;
constexpr int kTicks = 5;

QPointF Tip(const QPointF& centre, double radius, double lagDegrees) {
    const double a = lagDegrees * std::numbers::pi / 180.0;
    // Lagging quantities turn clockwise; screen y grows downwards.
    return centre + QPointF(radius * std::cos(a), radius * std::sin(a));
}

void Arrow(QPainter& p, const QPointF& from, const QPointF& to, const QColor& color, bool dashed,
           const QString& name) {
    const QLineF line(from, to);
    if (line.length() < 4.0)
        return;
    QPen pen(color, dashed ? 2.0 : 2.5, dashed ? Qt::DashLine : Qt::SolidLine, Qt::RoundCap);
    p.setPen(pen);
    const QLineF unit = line.unitVector();
    const QPointF dir(unit.dx(), unit.dy());
    const QPointF normal(-dir.y(), dir.x());
    const QPointF base = to - 10.0 * dir;
    p.drawLine(from, base);
    QPainterPath head;
    head.moveTo(to);
    head.lineTo(base + 4.5 * normal);
    head.lineTo(base - 4.5 * normal);
    head.closeSubpath();
    p.fillPath(head, color);
    p.setPen(color);
    const QPointF label = to + 11.0 * dir;
    p.drawText(QRectF(label.x() - 14, label.y() - 8, 28, 16), Qt::AlignCenter, name);
}

} // namespace

QColor PhaseColor(int phase) {
    static const QColor colors[] = {QColor(200, 50, 40), QColor(220, 150, 0), QColor(40, 90, 200)};
    return colors[std::clamp(phase, 0, 2)];
}

double SpectrumAxisTop(double largest) {
    if (!(largest > 1.0))
        return 1.0;
    const double power = std::pow(10.0, std::floor(std::log10(largest)));
    for (const double step : {1.0, 2.0, 5.0, 10.0}) {
        if (largest <= step * power)
            return step * power;
    }
    return 10.0 * power;
}

void PaintPhasorDiagram(QPainter& p, const QRectF& area, const PhasorSet* phasors,
                        const DiagramColors& colors) {
    p.save();
    p.fillRect(area, colors.background);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QPointF centre = area.center();
    const double radius = std::min(area.width(), area.height()) / 2.0 - 22.0;
    if (radius >= 20) {
        p.setPen(QPen(colors.grid, 1.0, Qt::DotLine));
        p.drawEllipse(centre, radius, radius);
        p.drawEllipse(centre, radius * kCurrentLength, radius * kCurrentLength);
        for (int a = 0; a < 360; a += 30)
            p.drawLine(centre, Tip(centre, radius, a));
    }
    if (radius >= 20 && phasors) {
        const PhasorSet& s = *phasors;
        const double vmax = *std::max_element(s.volts.begin(), s.volts.end());
        const double imax = *std::max_element(s.amps.begin(), s.amps.end());
        for (int k = 0; k < 3; ++k) {
            if (vmax > 0)
                Arrow(p, centre, Tip(centre, radius * s.volts[k] / vmax, s.voltageLag[k]),
                      PhaseColor(k), false, QStringLiteral("V%1").arg(k + 1));
        }
        for (int k = 0; k < 3; ++k) {
            if (imax > 0)
                Arrow(p, centre,
                      Tip(centre, radius * kCurrentLength * s.amps[k] / imax, s.currentLag[k]),
                      PhaseColor(k).darker(130), true, QStringLiteral("I%1").arg(k + 1));
        }
    }
    p.restore();
}

void PaintSpectrumChart(QPainter& p, const QRectF& area, const CurrentSpectrum& spectrum,
                        const DiagramColors& colors, const QString& caption) {
    p.save();
    const QRect r = area.toRect();
    p.fillRect(r, colors.background);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QFontMetrics fm = p.fontMetrics();

    double largest = 0;
    for (const auto& phase : spectrum.percent)
        largest = std::max(largest, *std::max_element(phase.begin(), phase.end()));
    const double top = SpectrumAxisTop(largest);

    const int left = fm.horizontalAdvance(QStringLiteral("100 %")) + 10;
    const int legendHeight = fm.height() + 6;
    const QRect plot(r.left() + left, r.top() + legendHeight + 4, r.width() - left - 10,
                     r.height() - legendHeight - 8 - fm.height() - 6);
    if (plot.width() < 60 || plot.height() < 40) {
        p.restore();
        return;
    }

    // Value axis with grid lines.
    for (int t = 0; t <= kTicks; ++t) {
        const double value = top * t / kTicks;
        const int y = plot.bottom() - int(std::lround(plot.height() * double(t) / kTicks));
        p.setPen(t == 0 ? colors.text : colors.grid);
        p.drawLine(plot.left(), y, plot.right(), y);
        p.setPen(colors.text);
        const QString label = QString::number(value, 'g', 3) + QStringLiteral(" %");
        p.drawText(QRect(r.left(), y - fm.height() / 2, left - 6, fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, label);
    }

    // One group of three bars per harmonic.
    const double groupWidth = double(plot.width()) / HarmonicCount;
    const double barWidth = std::max(1.0, (groupWidth - 3.0) / 3.0);
    for (int h = 0; h < HarmonicCount; ++h) {
        const double x0 = plot.left() + h * groupWidth + 1.5;
        for (int phase = 0; phase < 3; ++phase) {
            const double value = std::clamp(spectrum.percent[phase][h], 0.0, top);
            const double barHeight = plot.height() * value / top;
            p.fillRect(
                QRectF(x0 + phase * barWidth, plot.bottom() - barHeight, barWidth, barHeight),
                PhaseColor(phase));
        }
        // Every harmonic number where there is room, else the odd ones.
        const QString number = QString::number(h + FirstHarmonic);
        if (groupWidth >= fm.horizontalAdvance(QStringLiteral("31")) + 2 ||
            (h + FirstHarmonic) % 2 == 1) {
            p.setPen(colors.text);
            p.drawText(
                QRectF(plot.left() + h * groupWidth, plot.bottom() + 3, groupWidth, fm.height()),
                Qt::AlignHCenter | Qt::AlignTop, number);
        }
    }

    // Legend, top right.
    int x = plot.right();
    const int legendTop = r.top() + 2;
    for (int phase = 2; phase >= 0; --phase) {
        const QString name = QStringLiteral("I%1").arg(phase + 1);
        x -= fm.horizontalAdvance(name) + 4;
        p.setPen(colors.text);
        p.drawText(x, legendTop + fm.ascent(), name);
        x -= 14;
        p.fillRect(QRect(x, legendTop + (fm.height() - 10) / 2, 10, 10), PhaseColor(phase));
        x -= 10;
    }
    p.drawText(plot.left(), legendTop + fm.ascent(), caption);
    p.restore();
}
