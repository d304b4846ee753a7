#pragma once

#include "PhaseAngleDecode.h"

#include <QWidget>
#include <optional>

// The phasors the meter measures: V1, V2, V3 and I1, I2, I3 as arrows from the centre,
// V1 pointing right and lagging quantities turned clockwise. Voltages are drawn to the
// highest voltage, currents to the highest current (shorter, dashed), so the picture shows
// proportions and angles, not units.
class PhasorDiagram : public QWidget {
    Q_OBJECT

public:
    explicit PhasorDiagram(QWidget* parent = nullptr);

    void SetPhasors(const PhasorSet& phasors);
    const std::optional<PhasorSet>& Phasors() const { return phasors_; }

    QSize sizeHint() const override { return {260, 260}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<PhasorSet> phasors_;
};
