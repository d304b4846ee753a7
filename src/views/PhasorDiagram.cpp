#include "PhasorDiagram.h"

#include "DiagramPainting.h"

#include <QPainter>

PhasorDiagram::PhasorDiagram(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PhasorDiagram::SetPhasors(const PhasorSet& phasors) {
    phasors_ = phasors;
    update();
}

void PhasorDiagram::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const DiagramColors colors{palette().color(QPalette::Base), palette().color(QPalette::Text),
                               palette().color(QPalette::Mid)};
    PaintPhasorDiagram(p, rect(), phasors_ ? &*phasors_ : nullptr, colors);
    if (!phasors_ && std::min(width(), height()) / 2.0 - 22.0 >= 20) {
        p.setPen(palette().color(QPalette::Disabled, QPalette::Text));
        p.drawText(rect(), Qt::AlignCenter, tr("Waiting for the angles"));
    }
}
