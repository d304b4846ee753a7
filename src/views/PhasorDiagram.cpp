#include "PhasorDiagram.h"

#include "SpectrumChart.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Currents are drawn shorter than voltages so that the two families stay apart.
constexpr double kCurrentLength = 0.62;

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

PhasorDiagram::PhasorDiagram(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PhasorDiagram::SetPhasors(const PhasorSet& phasors) {
    phasors_ = phasors;
    update();
}

void PhasorDiagram::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    p.setRenderHint(QPainter::Antialiasing, true);
    const QPointF centre = QRectF(rect()).center();
    const double radius = std::min(width(), height()) / 2.0 - 22.0;
    if (radius < 20)
        return;

    const QColor grid = palette().color(QPalette::Mid);
    p.setPen(QPen(grid, 1.0, Qt::DotLine));
    p.drawEllipse(centre, radius, radius);
    p.drawEllipse(centre, radius * kCurrentLength, radius * kCurrentLength);
    for (int a = 0; a < 360; a += 30)
        p.drawLine(centre, Tip(centre, radius, a));

    if (!phasors_) {
        p.setPen(palette().color(QPalette::Disabled, QPalette::Text));
        p.drawText(rect(), Qt::AlignCenter, tr("Waiting for the angles"));
        return;
    }
    const PhasorSet& s = *phasors_;
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
