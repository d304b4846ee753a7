#include "SpectrumChart.h"

#include <QPainter>

SpectrumChart::SpectrumChart(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SpectrumChart::SetSpectrum(const CurrentSpectrum& spectrum) {
    spectrum_ = spectrum;
    update();
}

void SpectrumChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!spectrum_) {
        p.fillRect(rect(), palette().base());
        p.setPen(palette().color(QPalette::Disabled, QPalette::Text));
        p.drawText(rect(), Qt::AlignCenter,
                   tr("The current spectrum appears while this window is the active one."));
        return;
    }
    const DiagramColors colors{palette().color(QPalette::Base), palette().color(QPalette::Text),
                               palette().color(QPalette::Mid)};
    PaintSpectrumChart(p, rect(), *spectrum_, colors,
                       tr("Harmonic current in % of the fundamental"));
}
