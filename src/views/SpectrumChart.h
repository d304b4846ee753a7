#pragma once

#include "DiagramPainting.h"
#include "HarmonicsDecode.h"

#include <QWidget>
#include <optional>

// A bar chart of the current spectrum: harmonics 2..31 along the bottom, one bar per
// phase (I1, I2, I3) for each, in percent of the fundamental. Redrawn with every spectrum
// reply; until the first one it says what it is waiting for.
class SpectrumChart : public QWidget {
    Q_OBJECT

public:
    explicit SpectrumChart(QWidget* parent = nullptr);

    void SetSpectrum(const CurrentSpectrum& spectrum);
    const std::optional<CurrentSpectrum>& Spectrum() const { return spectrum_; }

    QSize sizeHint() const override { return {860, 240}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<CurrentSpectrum> spectrum_;
};
