#pragma once

#include "SettingsMessages.h"

#include <QList>
#include <QLocale>
#include <QStringList>
#include <QWidget>
#include <memory>

class OperatorDialogs;
class QLineEdit;
class QPushButton;
struct SessionState;

namespace Ui {
class FormKw;
}

// "Energy Parameters": the meter's eight energy counters in edits, and "Preset" writes
// all eight in one request. The edits show the counters as the metering block reports
// them once after creation and once after each preset the meter confirmed; the polls in
// between leave the operator's numbers alone. Opened on demand, destroyed when closed.
class TFormKw : public QWidget {
    Q_OBJECT

public:
    TFormKw(SessionState& state, OperatorDialogs& dialogs, QWidget* parent = nullptr);
    ~TFormKw() override;

    // Numbers are shown and read in this locale (the user's by default); a plain '.' as
    // decimal separator is read as well.
    void SetLocale(const QLocale& locale) { locale_ = locale; }

    // A reply of the metering block 0x130.
    void FillFromMeter(const QList<quint16>& values);
    // The meter confirmed a preset: the next metering block shows what it now holds.
    void EnergyWriteConfirmed();
    bool LoadRequested() const { return loadRequest_; }

    // "Preset".
    void Button1Click();

    QStringList EditTexts() const;
    QLineEdit* Edit(int n) const; // 1..8
    QPushButton* PresetButton() const;

private:
    QList<QLineEdit*> Edits() const;

    std::unique_ptr<Ui::FormKw> ui;
    SessionState& state_;
    OperatorDialogs& dialogs_;
    QLocale locale_ = QLocale::system();
    bool loadRequest_ = true;
    // The counters as the latest metering block reported them, for what "Preset" changes.
    std::optional<EnergyPresets> meterHolds_;
};
