#pragma once

#include <QDialog>
#include <QString>
#include <memory>

class MeterLine;
class Shell;

namespace Ui {
class TFormComm;
}

// "COMM Settings": serial port or network converter (host, TCP port, framing), baud rate, slave
// address, poll interval, meter model and whether the settings are saved on exit. OK applies them
// to the session and the line's Modbus master; the port is reopened when its name changed or when
// it is not open (a line that was lost, a port that failed to open).
//
// The port list holds the serial devices present on the machine first (USB adapters by
// their stable /dev/serial/by-id name, the COM names that are links, on-board ports), then
// the other COM names up to COM128; beside the choice the device it resolves to. A device
// path may also be typed.
// "Assign to this device" gives the chosen device a COM name (a link in the folder of port
// links), "Search..." looks for a meter whose address or baud rate is unknown.
class TFormComm : public QDialog {
    Q_OBJECT

public:
    // deviceRoot: where the present devices are looked for ("" = this machine; tests pass
    // a fake tree).
    TFormComm(Shell& shell, MeterLine& line, QWidget* parent = nullptr,
              const QString& deviceRoot = QString());
    ~TFormComm() override;

    // OK: checks every field, then applies all of them and closes with Accepted. A field
    // that is not valid is named in a box with the reason; nothing is applied and the
    // dialog stays open. Returns whether the settings were applied.
    bool Button1Click();
    // Gives the chosen device the COM name of ComboComName and selects that name. False
    // (with a box) for a port that is no device or a failed link.
    bool AssignComName();
    // Opens the search on the chosen port; a meter the operator uses fills in the baud
    // rate and the address.
    void SearchForMeter();
    // Takes a found meter's rate and address into the fields.
    void UseFoundMeter(int address, quint32 baud);
    // The port as chosen or typed.
    QString ChosenPort() const;
    // "Network" is chosen: the meter is behind a serial-to-Ethernet converter.
    bool NetworkChosen() const;

    Ui::TFormComm& Controls() { return *ui; }

private:
    void FormShow();
    void FillPortList();
    void ShowResolvedDevice(const QString& portName);
    // The serial fields for a serial line, the converter's for a network one.
    void ShowLinkChoice();
    // The converter's host and TCP port as typed; false (with a box naming the field and
    // its range) when one is not usable.
    bool ReadNetworkFields(QString& host, quint16& port);

    std::unique_ptr<Ui::TFormComm> ui;
    Shell& shell_;
    MeterLine& line_;
    QString deviceRoot_;
    QString shownPortName_;
};
