#pragma once

#include "MeteringDecode.h"

#include <QList>
#include <QLocale>
#include <QWidget>
#include <memory>

class OperatorDialogs;
class QLabel;
class QPushButton;
struct SessionState;

namespace Ui {
class FormBase;
}

// "Metering Parameters": the live read-out of the meter (voltages, currents, powers,
// power factors, frequency, unbalance, load, demands, energies, temperature), the four
// digital inputs and the two relay outputs with their switches, and "Energy Reset".
//
// The window never talks to the line: the reply routing hands it the blocks of the fixed
// poll rotation, and its writes go into the main window's pending-write slots. Lives for
// the whole run.
class TFormBase : public QWidget {
    Q_OBJECT

public:
    TFormBase(SessionState& state, OperatorDialogs& dialogs, QWidget* parent = nullptr);
    ~TFormBase() override;

    // Numbers follow this locale's decimal and group separators (the user's by default).
    void SetLocale(const QLocale& locale) { locale_ = locale; }

    // Replies of the poll rotation.
    void ShowRelayStates(const QList<bool>& values);      // coils 0..1: RO1, RO2
    void ShowInputStates(const QList<bool>& values);      // inputs 0..3: DI1..DI4
    void ShowMeteringBlock(const QList<quint16>& values); // block 0x130
    void ShowTemperature(const QList<quint16>& values);   // register 0x518
    // The meter's echo of a relay command.
    void RelayWriteConfirmed(quint16 coil, bool value);

    // The button handlers.
    void ButtonDO1Click();
    void ButtonDO2Click();
    void Button1Click();

    // The controls, for the windows and tests that look at them.
    QLabel* Label(const QString& name) const;
    QPushButton* RelayButton(int relay) const;
    QPushButton* EnergyResetButton() const;

private:
    void RelayClick(int relay);
    void SetRelayState(int relay, bool on);

    std::unique_ptr<Ui::FormBase> ui;
    SessionState& state_;
    OperatorDialogs& dialogs_;
    QLocale locale_ = QLocale::system();
};
