#pragma once

#include "SettingsMessages.h"

#include <QList>
#include <QWidget>
#include <memory>

class OperatorDialogs;
class QComboBox;
class QLineEdit;
class QPushButton;
struct SessionState;

namespace Ui {
class FormSetPara;
}

// "Meter Settings": the operator edits the meter's configuration (access code, address,
// baud rate, wiring, PT/CT, pulse and relay outputs, backlight, demand window) and "Set"
// writes all of it to the meter in one request.
//
// The controls are loaded from the meter's parameter block once after each activation;
// the polls after that leave the operator's edits alone. Opened on demand and destroyed
// when closed.
class TFormSetPara : public QWidget {
    Q_OBJECT

public:
    TFormSetPara(SessionState& state, OperatorDialogs& dialogs, QWidget* parent = nullptr);
    ~TFormSetPara() override;

    // The window became the active one: the next parameter block loads the controls.
    void FormActivate();
    bool LoadRequested() const { return loadRequest_; }
    // A reply of block 0x100 (34 registers, or the 20 of the read-back after a write).
    void FillFromMeter(const QList<quint16>& values);
    // The demand window exists only on meter models other than index 0.
    void ApplyMeterModel(quint8 model);

    // "Set".
    void Button1Click();

    // The controls as they stand, and the same put back.
    MeterSettingsForm Form() const;
    void ShowForm(const MeterSettingsForm& form);

    QComboBox* Combo(const QString& name) const;
    QLineEdit* Edit(const QString& name) const;
    QPushButton* SetButton() const;

private:
    std::unique_ptr<Ui::FormSetPara> ui;
    SessionState& state_;
    OperatorDialogs& dialogs_;
    bool loadRequest_ = false;
    // The demand window as the meter last reported it (see MeterSettingsForm).
    std::optional<quint16> meterDemandWindow_;
    // The settings as the latest poll found them in the meter, for what "Set" changes.
    std::optional<MeterSettingsRegisters> meterHolds_;
};
