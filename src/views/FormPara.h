#pragma once

#include <QList>
#include <QWidget>
#include <functional>
#include <memory>

class QLabel;
class QPushButton;

namespace Ui {
class FormPara;
}

// "Meter Parameters": a read-only view of the meter's parameter block (address, baud
// rate, wiring, PT/CT, pulse and relay outputs, backlight, demand window). Opened on
// demand and destroyed when closed; while it is open every reply of the block refreshes it.
class TFormPara : public QWidget {
    Q_OBJECT

public:
    // `openSettings` opens the meter settings window; without it "Setup (&S) ..." is
    // disabled.
    explicit TFormPara(std::function<void()> openSettings = {}, QWidget* parent = nullptr);
    ~TFormPara() override;

    // A reply of block 0x100 (34 registers, or the 20 of a read-back).
    void ShowParameters(const QList<quint16>& values);
    // The demand window exists only on meter models other than index 0.
    void ApplyMeterModel(quint8 model);

    void Button1Click();

    QLabel* Label(const QString& name) const;
    QPushButton* SetupButton() const;

private:
    std::unique_ptr<Ui::FormPara> ui;
    std::function<void()> openSettings_;
};
