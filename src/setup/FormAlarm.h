#pragma once

#include <QList>
#include <QLocale>
#include <QWidget>
#include <functional>
#include <memory>

class QLabel;
class QPushButton;
class QTableWidget;
struct SessionState;

namespace Ui {
class FormAlarm;
}

// "Alarm Parameters": for each of the meter's nine alarm groups the quantity it watches
// and whether it is in alarm now, and the meter's last nine alarm events (item, alarm or
// reset, value, date and time). Exists while the meter model has alarms; its close box
// minimises it. While it is the active window the record block is part of the poll
// rotation, so the states and records follow the meter.
class TFormAlarm : public QWidget {
    Q_OBJECT

public:
    // `openSettings` opens the alarm settings window; without it "Setup (&S) ..." is
    // disabled.
    explicit TFormAlarm(SessionState& state, std::function<void()> openSettings = {},
                        QWidget* parent = nullptr);
    ~TFormAlarm() override;

    // Record values follow this locale's number format (the user's by default).
    void SetLocale(const QLocale& locale) { locale_ = locale; }

    // The window became the active one: the group items are read once.
    void FormActivate();
    // A reply of the configuration block 0x330: the item of each group.
    void ShowAlarmItems(const QList<quint16>& values);
    // A reply of the record block 0x354: states and records.
    void ShowAlarmRecords(const QList<quint16>& values);
    void Button1Click();

    QLabel* Label(const QString& name) const;
    QTableWidget* RecordGrid() const;
    QPushButton* SetupButton() const;

private:
    std::unique_ptr<Ui::FormAlarm> ui;
    SessionState& state_;
    std::function<void()> openSettings_;
    QLocale locale_ = QLocale::system();
};
