#pragma once

#include <QDialog>
#include <QString>

#include <memory>
#include <optional>

namespace Ui {
class TFormValueCount;
}

// Asks the operator for the number of readings of an amplitude calibration.
//
// The calibration window opens it without an owner, modally, pre-filled with
// the main window's CalibrationCount, and on OK stores the returned text as the
// new CalibrationCount; Cancel changes nothing:
//     if (const auto count = TFormValueCount::ask(calibrationCount))
//         calibrationCount = *count;
class TFormValueCount : public QDialog {
    Q_OBJECT

public:
    explicit TFormValueCount(QWidget* parent = nullptr);
    ~TFormValueCount() override;

    // The text of Edit1, taken as typed (the caller converts it).
    QString count() const;
    void setCount(const QString& count);

    // Shows the dialog modally with `current` in Edit1; the text on OK, nothing on Cancel.
    static std::optional<QString> ask(const QString& current, QWidget* parent = nullptr);

private:
    std::unique_ptr<Ui::TFormValueCount> ui;
};
