#include "frmComm.h"

#include "PortName.h"
#include "TqvModbus.h"
#include "frmMain.h"
#include "ui_frmComm.h"

namespace {
// A field's text as an unsigned number; false when it is not one.
bool ParseNumber(const QString& text, quint32& out) {
    bool ok = false;
    out = text.trimmed().toUInt(&ok);
    return ok;
}
} // namespace

TFormComm::TFormComm(TFormTeskLink& shell, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      ui(std::make_unique<Ui::TFormComm>()), shell_(shell) {
    ui->setupUi(this);
    for (int i = 1; i <= 128; ++i)
        ui->ComboBox1->addItem(QStringLiteral("COM%1").arg(i));
    for (int i = 1; i <= 247; ++i)
        ui->ComboBox3->addItem(QString::number(i));
    connect(ui->ComboBox1, &QComboBox::currentTextChanged, this, &TFormComm::ShowResolvedDevice);
    connect(ui->Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(ui->Button2, &QPushButton::clicked, this, &QDialog::reject);
    FormShow();
}

TFormComm::~TFormComm() = default;

void TFormComm::FormShow() {
    const SessionState& s = shell_.State();
    shownPortName_ = s.PortName;
    // A value that is not in a list leaves that list without a selection.
    ui->ComboBox1->setCurrentIndex(ui->ComboBox1->findText(s.PortName));
    ui->ComboBox2->setCurrentIndex(
        ui->ComboBox2->findText(QString::number(shell_.Modbus().BaudRate())));
    ui->ComboBox3->setCurrentIndex(ui->ComboBox3->findText(QString::number(s.DevAddr)));
    ui->Edit2->setText(QString::number(shell_.Modbus().QueryInterval()));
    ui->CheckBox1->setChecked(s.SaveSettings);
    ui->ComboDriveType->setCurrentIndex(s.MeterModel);
    ShowResolvedDevice(ui->ComboBox1->currentIndex() >= 0 ? ui->ComboBox1->currentText()
                                                          : shownPortName_);
}

void TFormComm::ShowResolvedDevice(const QString& portName) {
    ui->LabelDevice->setText(portName.isEmpty() ? QString()
                                                : QStringLiteral("= ") + ResolvePortName(portName));
}

bool TFormComm::Button1Click() {
    quint32 address = 0, interval = 0, baud = 0;
    auto bad = [this](const QString& field, const QString& text) {
        shell_.Dialogs().Warn(
            windowTitle(), QStringLiteral("%1 \"%2\" is not a whole number. Nothing was changed.")
                               .arg(field, text));
        return false;
    };
    if (!ParseNumber(ui->ComboBox3->currentText(), address))
        return bad(QStringLiteral("Meter Address"), ui->ComboBox3->currentText());
    if (!ParseNumber(ui->Edit2->text(), interval))
        return bad(QStringLiteral("Query Interval"), ui->Edit2->text());
    if (!ParseNumber(ui->ComboBox2->currentText(), baud))
        return bad(QStringLiteral("Baudrate"), ui->ComboBox2->currentText());

    SessionState& s = shell_.State();
    if (ui->ComboDriveType->currentIndex() >= 0)
        s.MeterModel = quint8(ui->ComboDriveType->currentIndex());
    s.DevAddr = int(address);
    shell_.Modbus().SetQueryInterval(interval);
    try {
        shell_.Modbus().SetBaudRate(baud);
    } catch (const std::exception& e) {
        // The line keeps the rate it had; the operator learns why the new one is not in use.
        shell_.Dialogs().Warn(windowTitle(), QString::fromLocal8Bit(e.what()));
    }
    s.Baudrate = shell_.Modbus().BaudRate();
    s.SaveSettings = ui->CheckBox1->isChecked();

    // A port outside the list (a device path kept in the settings file) leaves the list
    // without a selection; the operator has not chosen another port then, and the one in
    // use stays open.
    const QString port =
        ui->ComboBox1->currentIndex() >= 0 ? ui->ComboBox1->currentText() : shownPortName_;
    if (port != shownPortName_) {
        shell_.Modbus().Close();
        shell_.ResetSession();
        s.PortName = port;
        shell_.OpenPort();
    }
    accept();
    return true;
}
