#pragma once

#include <QDialog>
#include <QString>
#include <memory>

class TFormTeskLink;

namespace Ui {
class TFormComm;
}

// "COMM Settings": port, baud rate, slave address, poll interval, meter model and whether
// the settings are saved on exit. OK applies them to the main window and its Modbus
// master; the port is reopened only when its name changed.
class TFormComm : public QDialog {
    Q_OBJECT

public:
    explicit TFormComm(TFormTeskLink& shell, QWidget* parent = nullptr);
    ~TFormComm() override;

    // OK: checks every field, then applies all of them and closes with Accepted. A field
    // that does not hold a whole number is named in a box; nothing is applied and the
    // dialog stays open. Returns whether the settings were applied.
    bool Button1Click();

    Ui::TFormComm& Controls() { return *ui; }

private:
    void FormShow();
    void ShowResolvedDevice(const QString& portName);

    std::unique_ptr<Ui::TFormComm> ui;
    TFormTeskLink& shell_;
    QString shownPortName_;
};
