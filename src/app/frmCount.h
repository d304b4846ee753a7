#pragma once

#include <QDialog>
#include <QString>

#include <memory>
#include <optional>

namespace Ui {
class TFormCount;
}

// Asks the operator for the number of readings of a calibration run, in one of two
// captions: an angle (phase) calibration or a magnitude calibration.
//
// The calibration window opens it without an owner, modally, pre-filled with the main
// window's CalibrationCount, and on OK stores the returned text as the new
// CalibrationCount; Cancel changes nothing:
//     if (const auto count = TFormAngleCount::ask(calibrationCount))
//         calibrationCount = *count;
class TFormCount : public QDialog {
    Q_OBJECT

public:
    enum class Kind { Angle, Magnitude };

    explicit TFormCount(Kind kind, QWidget* parent = nullptr);
    ~TFormCount() override;

    // The text of Edit1, taken as typed (the caller converts it).
    QString count() const;
    void setCount(const QString& count);

    // Shows the dialog modally with `current` in Edit1; the text on OK, nothing on Cancel.
    static std::optional<QString> ask(Kind kind, const QString& current, QWidget* parent = nullptr);

private:
    std::unique_ptr<Ui::TFormCount> ui;
};

// The two captions by their window names.
class TFormAngleCount : public TFormCount {
    Q_OBJECT
public:
    explicit TFormAngleCount(QWidget* parent = nullptr) : TFormCount(Kind::Angle, parent) {}
    static std::optional<QString> ask(const QString& current, QWidget* parent = nullptr) {
        return TFormCount::ask(Kind::Angle, current, parent);
    }
};

class TFormValueCount : public TFormCount {
    Q_OBJECT
public:
    explicit TFormValueCount(QWidget* parent = nullptr) : TFormCount(Kind::Magnitude, parent) {}
    static std::optional<QString> ask(const QString& current, QWidget* parent = nullptr) {
        return TFormCount::ask(Kind::Magnitude, current, parent);
    }
};
