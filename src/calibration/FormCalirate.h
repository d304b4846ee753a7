#pragma once

#include "CalibrationRun.h"

#include <QLocale>
#include <QMainWindow>
#include <functional>
#include <memory>
#include <optional>

class OperatorDialogs;
class QAction;
class QLabel;
class QPushButton;
class QRadioButton;
struct SessionState;

namespace Ui {
class FormCalirate;
}

// What the calibration window needs of the main window.
struct CalibrationHost {
    // Shows the coefficients window, creating it when it is not open.
    std::function<void()> OpenCoefficients;
    // Minimises every child window of the main window.
    std::function<void()> MinimiseChildren;
    // Brings the metering window back to its normal state and to the front.
    std::function<void()> RestoreMetering;
    // Asks for the number of readings of an angle or amplitude run, showing `current`;
    // the text on OK, nothing on Cancel. Unset: the count dialogs of the shell.
    std::function<std::optional<QString>(CalibrationMode mode, const QString& current)> AskCount;
};

// "Calibrating": the factory window that calibrates the meter against a reference source.
// A run reads the meter's raw channel vectors a chosen number of times, shows the averaged
// corrections and, once the operator agrees, writes corrected coefficients. The window
// also shows the live values and the coefficients the meter holds.
//
// A window of its own beside the main window (not a child of its client area), created at
// start-up and kept until exit: closing hides it, stops a run and brings the metering
// window back.
class TFormCalirate : public QMainWindow {
    Q_OBJECT

public:
    TFormCalirate(SessionState& state, OperatorDialogs& dialogs, CalibrationHost host,
                  QWidget* parent = nullptr);
    ~TFormCalirate() override;

    void SetLocale(const QLocale& locale) { locale_ = locale; }
    // Replaces the count dialogs (tests answer the count themselves).
    void SetCountPrompt(decltype(CalibrationHost::AskCount) ask) {
        host_.AskCount = std::move(ask);
    }

    // Replies.
    void ShowMetering(const QList<quint16>& values);     // block 0x130
    void ShowCoefficients(const QList<quint16>& values); // block 0x51B
    void TakeReading(const QList<quint16>& values);      // block 0x534

    // Commands of the buttons and the menu.
    void AngleCalibrating();
    void AmplitudeCalibrating();
    void ParameterModification();
    void StopCalibrating(); // asks first
    void SetPt380V(bool on);
    void SetStandard100(bool on);

    // What the window does when shown and when it becomes the active window.
    void FormShow();
    void FormActivate();

    // Status bar 1 or 2, panel 0..3.
    QString StatusText(int bar, int panel) const;
    QLabel* Label(const QString& name) const;
    QAction* MenuAction(const QString& name) const;
    QPushButton* Button(int number) const;
    QRadioButton* Radio(const QString& name) const;
    const CalibrationRun& Run() const { return run_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void StartRun(CalibrationMode mode);
    void FinishRun();
    void StopRun();
    void SetRunning(bool running);
    void SetPanel(int bar, int panel, const QString& text);
    void ShowModeAndCount();
    void ShowSettings();
    void ApplyWindowFrame();

    std::unique_ptr<Ui::FormCalirate> ui;
    SessionState& state_;
    OperatorDialogs& dialogs_;
    CalibrationHost host_;
    QLocale locale_ = QLocale::system();
    CalibrationRun run_;
    std::optional<CoefficientValues> coefficients_;
    QList<QLabel*> panels_[2];
};
