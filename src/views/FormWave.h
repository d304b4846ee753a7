#pragma once

#include <QList>
#include <QLocale>
#include <QWidget>
#include <memory>

class QLabel;
class QTableWidget;
class SpectrumChart;
struct SessionState;

namespace Ui {
class FormWave;
}

// "Voltage / Current Harmonics": the total harmonic distortion of the three voltages and
// currents, the current spectrum per phase (harmonics 2..31, odd and even sums, K factor)
// in a grid and as a bar chart. The voltage grid keeps only its headings: the meter reports
// no voltage spectrum.
//
// Lives for the whole run. While it is the active window the rotation reads the
// distortion block and the current spectrum in turn.
class TFormWave : public QWidget {
    Q_OBJECT

public:
    explicit TFormWave(const SessionState& state, QWidget* parent = nullptr);
    ~TFormWave() override;

    void SetLocale(const QLocale& locale) { locale_ = locale; }

    void ShowThd(const QList<quint16>& values);             // block 0x168
    void ShowCurrentSpectrum(const QList<quint16>& values); // block 0x1D6

    // The grids belong to the QETRA 7300 (model index 1): enabled only for it, at every
    // activation and whenever the main window applies a model.
    void FormActivate();
    void ApplyMeterModel(quint8 model);

    QLabel* Label(const QString& name) const;
    QTableWidget* VoltageGrid() const;
    QTableWidget* CurrentGrid() const;
    SpectrumChart* Chart() const;

private:
    std::unique_ptr<Ui::FormWave> ui;
    const SessionState& state_;
    QLocale locale_ = QLocale::system();
};
