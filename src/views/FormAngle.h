#pragma once

#include "PhaseAngleDecode.h"
#include "WiringCheck.h"

#include <QList>
#include <QLocale>
#include <QWidget>
#include <memory>
#include <optional>

class QLabel;
class PhasorDiagram;

namespace Ui {
class FormAngle;
}

// "Phase Angle Parameters": the angles of the voltages and currents behind V1 and V12,
// drawn as a phasor diagram with the magnitudes of the metering block, and what the
// angles say about the wiring (reversed sequence, reversed or misplaced CTs, a missing
// voltage).
//
// Lives for the whole run. While it is the active window the rotation reads its block
// every time; the labels keep the last values otherwise.
class TFormAngle : public QWidget {
    Q_OBJECT

public:
    explicit TFormAngle(QWidget* parent = nullptr);
    ~TFormAngle() override;

    void SetLocale(const QLocale& locale) { locale_ = locale; }

    void ShowAngles(const QList<quint16>& values); // block 0x39D
    // Block 0x130: the phase voltages and currents give the arrows their lengths.
    void ShowMeteringBlock(const QList<quint16>& values);
    // Block 0x100: how the meter is wired, so that the hints judge only what is there.
    void ShowParameters(const QList<quint16>& values);

    QLabel* Label(const QString& name) const;
    PhasorDiagram* Diagram() const;
    QString WiringText() const;

private:
    void ShowPhasors();

    std::unique_ptr<Ui::FormAngle> ui;
    QLocale locale_ = QLocale::system();
    std::optional<PhaseLags> lags_;
    std::optional<PhaseMagnitudes> magnitudes_;
    WiringMode wiring_;
};
