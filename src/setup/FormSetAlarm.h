#pragma once

#include "AlarmCodec.h"
#include "ChangedFields.h"

#include <QList>
#include <QLocale>
#include <QWidget>
#include <memory>

class OperatorDialogs;
class QComboBox;
class QLineEdit;
class QPushButton;
struct SessionState;

namespace Ui {
class FormSetAlarm;
}

// "Alarm Settings": the meter's nine alarm groups (on or off, the quantity watched, below
// or above which limit, whether the group drives DO1 and DO2) and the alarm delay common
// to all groups. Each activation reads the configuration from the meter; "Set" writes it
// back in two messages, all of it or nothing. Opened on demand, destroyed when closed;
// the main window closes it once the meter has confirmed the write.
class TFormSetAlarm : public QWidget {
    Q_OBJECT

public:
    TFormSetAlarm(SessionState& state, OperatorDialogs& dialogs, QWidget* parent = nullptr);
    ~TFormSetAlarm() override;

    // Limits are written and read in this locale's number format (the user's by default).
    void SetLocale(const QLocale& locale) { locale_ = locale; }

    // The window became the active one: the configuration is read once.
    void FormActivate();
    // A reply of the configuration block 0x330.
    void ShowAlarmParameters(const QList<quint16>& values);
    // "Set".
    void Button1Click();

    // What the controls hold, and putting values into them (the fill uses it too).
    AlarmSettingsInput Input() const;
    void SetInput(const AlarmSettingsInput& input);

    // Group controls by group 1..9.
    QComboBox* SwitchCombo(int group) const;
    QComboBox* Do1Combo(int group) const;
    QComboBox* Do2Combo(int group) const;
    QComboBox* ItemCombo(int group) const;
    QComboBox* DirectionCombo(int group) const;
    QLineEdit* LimitEdit(int group) const;
    QComboBox* DelayCombo() const;
    QPushButton* SetButton() const;

private:
    template <typename T> T* GroupControl(const char* prefix, int group) const;
    // The controls' values as the window shows them, limits as the meter would store them.
    QList<FieldText> Fields(const AlarmSettingsInput& input) const;

    std::unique_ptr<Ui::FormSetAlarm> ui;
    SessionState& state_;
    OperatorDialogs& dialogs_;
    QLocale locale_ = QLocale::system();
    // The configuration as the meter last reported it, for what "Set" changes.
    std::optional<AlarmSettingsInput> meterHolds_;
};
