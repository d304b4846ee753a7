#pragma once

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QWidget>
#include <functional>
#include <memory>

class OperatorDialogs;
class QComboBox;
class QLabel;
class QPushButton;
struct SessionState;

namespace Ui {
class FormDriveType;
}

// "Select Meter Model": which of the two meter models is connected (the main window's
// title, menus and windows follow it), the meter's firmware version, clock and run time,
// "Adjust" to set the meter clock to the PC's and "Reset RunTime"; the meter's system
// frequency and display mode are shown read-only.
//
// Opened on demand and destroyed when closed. Each activation reads block 0x510 once;
// while it is the active window the rotation reads the clock and the run time in turn.
class TFormDriveType : public QWidget {
    Q_OBJECT

public:
    // `applyMeterModel` lets the main window apply SessionState::MeterModel (title, menus,
    // resident windows, harmonics grids) after the operator chose a model.
    TFormDriveType(SessionState& state, OperatorDialogs& dialogs,
                   std::function<void()> applyMeterModel, QWidget* parent = nullptr);
    ~TFormDriveType() override;

    void SetLocale(const QLocale& locale) { locale_ = locale; }
    // The PC's local time for "Adjust" (tests fix it).
    void SetClock(std::function<QDateTime()> now) { now_ = std::move(now); }

    // Activation: the model list shows the main window's model, block 0x510 is read once,
    // the clock and run-time controls are enabled.
    void FormActivate();
    // The operator chose a model in the list.
    void ComboDriveTypeChange(int index);

    void ShowModelBlock(const QList<quint16>& values); // block 0x510
    void ShowClock(const QList<quint16>& values);      // block 0x32A
    void ShowRunTime(const QList<quint16>& values);    // block 0x3A5

    void Button1Click(); // "Set" (hidden)
    void Button2Click(); // "Adjust"
    void Button3Click(); // "Reset RunTime"

    QLabel* Label(const QString& name) const;
    QComboBox* Combo(const QString& name) const;
    QPushButton* Button(const QString& name) const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void EnableClockAndRunTime();

    std::unique_ptr<Ui::FormDriveType> ui;
    SessionState& state_;
    OperatorDialogs& dialogs_;
    std::function<void()> applyMeterModel_;
    std::function<QDateTime()> now_ = [] { return QDateTime::currentDateTime(); };
    QLocale locale_ = QLocale::system();
    bool centred_ = false;
};
