#pragma once

#include "MeteringCsv.h"

#include <QDialog>

#include <optional>

class OperatorDialogs;
class QComboBox;
class QLineEdit;
class QSpinBox;

// "Log to file…": where the metering values go, how often, and whether a new file is
// begun every hour or day. Accept checks the fields first and names the one that is
// wrong; nothing starts until they are right.
class TFormLogToFile : public QDialog {
    Q_OBJECT
public:
    explicit TFormLogToFile(OperatorDialogs& dialogs, QWidget* parent = nullptr);

    // The choices, or nothing (after telling the operator which field is wrong).
    std::optional<MeteringLogSettings> Checked();
    MeteringLogSettings Settings() const;
    void SetSettings(const MeteringLogSettings& settings);

    QLineEdit* EditFile() const { return file_; }
    QComboBox* ComboInterval() const { return every_; }
    QSpinBox* SpinSeconds() const { return seconds_; }
    QComboBox* ComboRotation() const { return rotation_; }

    void accept() override;

private:
    OperatorDialogs& dialogs_;
    QLineEdit* file_ = nullptr;
    QComboBox* every_ = nullptr;
    QSpinBox* seconds_ = nullptr;
    QComboBox* rotation_ = nullptr;
};

// The seconds a log may wait between lines: one second to one day.
inline constexpr int kMinLogIntervalS = 1;
inline constexpr int kMaxLogIntervalS = 86400;
