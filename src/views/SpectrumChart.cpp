#include "SpectrumChart.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {
constexpr int kTicks = 5;
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

SpectrumChart::SpectrumChart(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SpectrumChart::SetSpectrum(const CurrentSpectrum& spectrum) {
    spectrum_ = spectrum;
    update();
}

void SpectrumChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    p.setRenderHint(QPainter::Antialiasing, false);
    const QFontMetrics fm = p.fontMetrics();
    if (!spectrum_) {
        p.setPen(palette().color(QPalette::Disabled, QPalette::Text));
        p.drawText(rect(), Qt::AlignCenter,
                   tr("The current spectrum appears while this window is the active one."));
        return;
    }

    double largest = 0;
    for (const auto& phase : spectrum_->percent)
        largest = std::max(largest, *std::max_element(phase.begin(), phase.end()));
    const double top = SpectrumAxisTop(largest);

    const int left = fm.horizontalAdvance(QStringLiteral("100 %")) + 10;
    const int legendHeight = fm.height() + 6;
    const QRect plot(left, legendHeight + 4, width() - left - 10,
                     height() - legendHeight - 8 - fm.height() - 6);
    if (plot.width() < 60 || plot.height() < 40)
        return;

    // Value axis with grid lines.
    const QColor grid = palette().color(QPalette::Mid);
    for (int t = 0; t <= kTicks; ++t) {
        const double value = top * t / kTicks;
        const int y = plot.bottom() - int(std::lround(plot.height() * double(t) / kTicks));
        p.setPen(t == 0 ? palette().color(QPalette::Text) : grid);
        p.drawLine(plot.left(), y, plot.right(), y);
        p.setPen(palette().color(QPalette::Text));
        const QString label = QString::number(value, 'g', 3) + QStringLiteral(" %");
        p.drawText(QRect(0, y - fm.height() / 2, left - 6, fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, label);
    }

    // One group of three bars per harmonic.
    const double groupWidth = double(plot.width()) / HarmonicCount;
    const double barWidth = std::max(1.0, (groupWidth - 3.0) / 3.0);
    for (int h = 0; h < HarmonicCount; ++h) {
        const double x0 = plot.left() + h * groupWidth + 1.5;
        for (int phase = 0; phase < 3; ++phase) {
            const double value = std::clamp(spectrum_->percent[phase][h], 0.0, top);
            const double barHeight = plot.height() * value / top;
            p.fillRect(
                QRectF(x0 + phase * barWidth, plot.bottom() - barHeight, barWidth, barHeight),
                PhaseColor(phase));
        }
        // Every harmonic number where there is room, else the odd ones.
        const QString number = QString::number(h + FirstHarmonic);
        if (groupWidth >= fm.horizontalAdvance(QStringLiteral("31")) + 2 ||
            (h + FirstHarmonic) % 2 == 1) {
            p.setPen(palette().color(QPalette::Text));
            p.drawText(
                QRectF(plot.left() + h * groupWidth, plot.bottom() + 3, groupWidth, fm.height()),
                Qt::AlignHCenter | Qt::AlignTop, number);
        }
    }

    // Legend, top right.
    int x = plot.right();
    for (int phase = 2; phase >= 0; --phase) {
        const QString name = QStringLiteral("I%1").arg(phase + 1);
        x -= fm.horizontalAdvance(name) + 4;
        p.setPen(palette().color(QPalette::Text));
        p.drawText(x, 2 + fm.ascent(), name);
        x -= 14;
        p.fillRect(QRect(x, 2 + (fm.height() - 10) / 2, 10, 10), PhaseColor(phase));
        x -= 10;
    }
    p.drawText(plot.left(), 2 + fm.ascent(), tr("Harmonic current in % of the fundamental"));
}
