#pragma once

#include "CoefficientMessages.h"

#include <QList>
#include <QWidget>
#include <memory>

class OperatorDialogs;
class QCheckBox;
class QLineEdit;
class QPushButton;
struct SessionState;

namespace Ui {
class FormChangeConst;
}

// The meter's calibration coefficients by hand: 22 edits in three groups (gain
// coefficients, angle constants, the low-range others), each group with a box that writes
// it and a box that writes it as zeros. The edits follow every reply of the coefficient
// block while the window is open; "确认" queues the groups' function-0xB0 writes.
//
// Opened from the calibration window; closed by the main window once the meter confirms
// a gain or angle-constant write.
class TFormChangeConst : public QWidget {
    Q_OBJECT

public:
    TFormChangeConst(SessionState& state, OperatorDialogs& dialogs, QWidget* parent = nullptr);
    ~TFormChangeConst() override;

    // Block 0x51B: every edit shows its register as a signed number.
    void ShowCoefficients(const QList<quint16>& values);

    // "确认": checks every edit of every group to be written, then queues all of them in
    // slots 2, 3, 4, or none and says which edit is wrong.
    void Button1Click();

    QLineEdit* Edit(const QString& name) const;
    QCheckBox* CheckBox(const QString& name) const;
    QPushButton* ConfirmButton() const;

private:
    std::unique_ptr<Ui::FormChangeConst> ui;
    SessionState& state_;
    OperatorDialogs& dialogs_;
};
