#include "frmComm.h"

#include "MeterLine.h"
#include "NumberInput.h"
#include "OperatorDialogs.h"
#include "PortList.h"
#include "PortName.h"
#include "SessionState.h"
#include "Settings.h"
#include "Shell.h"
#include "TqvModbus.h"
#include "frmSearch.h"
#include "ui_frmComm.h"

#include <QIntValidator>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>

#include <limits>

namespace {
// A field's text as an unsigned number; false when it is not one.
bool ParseNumber(const QString& text, quint32& out) {
    const auto value = ReadWholeNumber(text, 0, std::numeric_limits<quint32>::max());
    out = value ? quint32(*value) : 0;
    return value.has_value();
}
// Where the details of a present device are kept in the port list.
constexpr int kDetailsRole = Qt::UserRole + 1;
} // namespace

TFormComm::TFormComm(Shell& shell, MeterLine& line, QWidget* parent, const QString& deviceRoot)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      ui(std::make_unique<Ui::TFormComm>()), shell_(shell), line_(line), deviceRoot_(deviceRoot) {
    ui->setupUi(this);
    FillPortList();
    for (int i = 1; i <= 247; ++i)
        ui->ComboBox3->addItem(QString::number(i));
    // The address is typed as often as it is picked: "125" must not jump through the list
    // by its first digits. The list stays for picking; OK checks the range.
    ui->ComboBox3->setEditable(true);
    ui->ComboBox3->setInsertPolicy(QComboBox::NoInsert);
    ui->ComboBox3->setCompleter(nullptr);
    ui->ComboBox3->setValidator(new QIntValidator(1, 247, ui->ComboBox3));
    for (int i = 1; i <= kMaxComPort; ++i)
        ui->ComboComName->addItem(QStringLiteral("COM%1").arg(i));
    connect(ui->ComboBox1, &QComboBox::currentTextChanged, this, &TFormComm::ShowResolvedDevice);
    connect(ui->Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(ui->Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->ButtonAssign, &QPushButton::clicked, this, [this] { AssignComName(); });
    connect(ui->ButtonSearch, &QPushButton::clicked, this, &TFormComm::SearchForMeter);
    connect(ui->RadioNetwork, &QRadioButton::toggled, this, &TFormComm::ShowLinkChoice);
    FormShow();
}

TFormComm::~TFormComm() = default;

void TFormComm::FillPortList() {
    // A device path may be typed as well; a long by-id name must not widen the dialog.
    ui->ComboBox1->setEditable(true);
    ui->ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ui->ComboBox1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ui->ComboBox1->setMinimumContentsLength(12);
    // Filling the list again (a COM name just given to a device) keeps what was chosen.
    const QString chosen = ui->ComboBox1->currentText();
    const QSignalBlocker quiet(ui->ComboBox1);
    ui->ComboBox1->clear();
    for (const PortChoice& c : ListPortChoices(deviceRoot_)) {
        ui->ComboBox1->addItem(c.name);
        const int row = ui->ComboBox1->count() - 1;
        ui->ComboBox1->setItemData(row, c.details, kDetailsRole);
        ui->ComboBox1->setItemData(row, c.line, Qt::ToolTipRole);
    }
    ui->ComboBox1->setCurrentIndex(ui->ComboBox1->findText(chosen));
    if (ui->ComboBox1->currentIndex() < 0)
        ui->ComboBox1->setEditText(chosen);
}

void TFormComm::FormShow() {
    const SessionState& s = shell_.State();
    shownPortName_ = s.PortName;
    // A value that is not in a list leaves that list without a selection; a port outside
    // the list (a device path kept in the settings file) is still shown as typed text.
    ui->ComboBox1->setCurrentIndex(ui->ComboBox1->findText(s.PortName));
    if (ui->ComboBox1->currentIndex() < 0)
        ui->ComboBox1->setEditText(s.PortName);
    ui->ComboBox2->setCurrentIndex(
        ui->ComboBox2->findText(QString::number(line_.Modbus().BaudRate())));
    ui->ComboBox3->setCurrentIndex(ui->ComboBox3->findText(QString::number(s.DevAddr)));
    ui->Edit2->setText(QString::number(line_.Modbus().QueryInterval()));
    ui->CheckBox1->setChecked(s.SaveSettings);
    ui->ComboDriveType->setCurrentIndex(s.MeterModel);
    ShowResolvedDevice(ChosenPort());
    ui->RadioNetwork->setChecked(s.Network);
    ui->RadioSerial->setChecked(!s.Network);
    ui->EditHost->setText(s.NetHost);
    ui->EditTcpPort->setText(QString::number(s.NetPort));
    ui->ComboFraming->setCurrentIndex(s.NetFraming == NetworkFraming::ModbusTcp ? 0 : 1);
    ShowLinkChoice();
}

bool TFormComm::NetworkChosen() const {
    return ui->RadioNetwork->isChecked();
}

void TFormComm::ShowLinkChoice() {
    const bool network = NetworkChosen();
    ui->GroupNetwork->setEnabled(network);
    // The meter's baud rate stays: a converter's serial side runs at it too.
    for (QWidget* w :
         {static_cast<QWidget*>(ui->ComboBox1), static_cast<QWidget*>(ui->Label1),
          static_cast<QWidget*>(ui->LabelDevice), static_cast<QWidget*>(ui->ComboComName),
          static_cast<QWidget*>(ui->LabelComName), static_cast<QWidget*>(ui->ButtonAssign)})
        w->setEnabled(!network);
}

bool TFormComm::ReadNetworkFields(QString& host, quint16& port) {
    host = ui->EditHost->text().trimmed();
    if (const QString why = CheckNetworkHost(host); !why.isEmpty()) {
        shell_.Dialogs().Warn(windowTitle(), tr("Host: %1. Nothing was changed.").arg(why));
        return false;
    }
    const auto number = ReadWholeNumber(ui->EditTcpPort->text(), 1, 65535);
    if (!number) {
        shell_.Dialogs().Warn(windowTitle(),
                              tr("TCP Port \"%1\" must be a whole number from 1 to 65535. "
                                 "Nothing was changed.")
                                  .arg(ui->EditTcpPort->text()));
        return false;
    }
    port = quint16(*number);
    return true;
}

QString TFormComm::ChosenPort() const {
    const QString typed = ui->ComboBox1->currentText().trimmed();
    return typed.isEmpty() ? shownPortName_ : typed;
}

void TFormComm::ShowResolvedDevice(const QString& portName) {
    if (portName.isEmpty()) {
        ui->LabelDevice->clear();
        return;
    }
    const int row = ui->ComboBox1->findText(portName);
    const QString details =
        row >= 0 ? ui->ComboBox1->itemData(row, kDetailsRole).toString() : QString();
    if (!details.isEmpty())
        ui->LabelDevice->setText(details);
    else
        ui->LabelDevice->setText(ResolvedDeviceText(portName));
}

bool TFormComm::AssignComName() {
    const QString device = BarePortName(ChosenPort());
    const QString com = ui->ComboComName->currentText();
    auto refuse = [this](const QString& why) {
        shell_.Dialogs().Warn(windowTitle(), tr("COM name: %1. Nothing was changed.").arg(why));
        return false;
    };
    if (ComPortNumber(device) != 0)
        return refuse(tr("choose a device (such as a /dev/serial/by-id name) to "
                         "give %1 to, not a COM name")
                          .arg(com));
    if (const QString why = CheckPortChoice(device); !why.isEmpty())
        return refuse(why);
    QString why;
    if (!RegisterComPort(com, device, &why))
        return refuse(why);
    // The COM name is a link now and moves up among the machine's devices.
    FillPortList();
    ui->ComboBox1->setCurrentIndex(ui->ComboBox1->findText(com));
    ShowResolvedDevice(com);
    return true;
}

void TFormComm::SearchForMeter() {
    if (NetworkChosen()) {
        QString host;
        quint16 tcpPort = 0;
        if (!ReadNetworkFields(host, tcpPort))
            return;
        TFormSearch search(shell_.Dialogs(), line_, ChosenPort(), this);
        search.SearchNetwork(host, tcpPort,
                             ui->ComboFraming->currentIndex() == 1 ? NetworkFraming::RtuOverTcp
                                                                   : NetworkFraming::ModbusTcp);
        if (search.exec() == QDialog::Accepted && search.Chosen())
            UseFoundMeter(search.Chosen()->address, search.Chosen()->baud);
        return;
    }
    const QString port = ChosenPort();
    if (const QString why = CheckPortChoice(port); !why.isEmpty()) {
        shell_.Dialogs().Warn(windowTitle(), tr("COMM Port: %1.").arg(why));
        return;
    }
    TFormSearch search(shell_.Dialogs(), line_, port, this);
    if (search.exec() == QDialog::Accepted && search.Chosen())
        UseFoundMeter(search.Chosen()->address, search.Chosen()->baud);
}

void TFormComm::UseFoundMeter(int address, quint32 baud) {
    ui->ComboBox2->setCurrentIndex(ui->ComboBox2->findText(QString::number(baud)));
    ui->ComboBox3->setCurrentIndex(ui->ComboBox3->findText(QString::number(address)));
}

bool TFormComm::Button1Click() {
    quint32 address = 0, interval = 0, baud = 0;
    auto bad = [this](const QString& field, const QString& text) {
        shell_.Dialogs().Warn(
            windowTitle(),
            tr("%1 \"%2\" is not a whole number. Nothing was changed.").arg(field, text));
        return false;
    };
    // A newly chosen port must be one; the port already in use was checked when chosen
    // (its device may be away just now, and the other settings can still be changed).
    const QString port = ChosenPort();
    const bool network = NetworkChosen();
    QString host;
    quint16 tcpPort = 0;
    if (network && !ReadNetworkFields(host, tcpPort))
        return false;
    if (!network && port != shownPortName_) {
        if (const QString why = CheckPortChoice(port); !why.isEmpty()) {
            shell_.Dialogs().Warn(windowTitle(),
                                  tr("COMM Port: %1. Nothing was changed.").arg(why));
            return false;
        }
    }
    if (!ParseNumber(ui->ComboBox3->currentText(), address))
        return bad(tr("Meter Address"), ui->ComboBox3->currentText());
    if (address < 1 || address > 247) {
        shell_.Dialogs().Warn(windowTitle(), tr("Meter Address %1 is not within 1 to 247. Nothing "
                                                "was changed.")
                                                 .arg(address));
        ui->ComboBox3->setFocus();
        return false;
    }
    if (!ParseNumber(ui->Edit2->text(), interval))
        return bad(tr("Query Interval"), ui->Edit2->text());
    if (!ParseNumber(ui->ComboBox2->currentText(), baud))
        return bad(tr("Baudrate"), ui->ComboBox2->currentText());

    SessionState& s = shell_.State();
    // Another address is another meter; a new rate alone is the same meter (its counters
    // go on).
    const bool otherMeter = int(address) != s.DevAddr;
    if (ui->ComboDriveType->currentIndex() >= 0)
        s.MeterModel = quint8(ui->ComboDriveType->currentIndex());
    s.DevAddr = int(address);
    line_.Modbus().SetQueryInterval(interval);
    try {
        line_.Modbus().SetBaudRate(baud);
    } catch (const std::exception& e) {
        // The line keeps the rate it had; the operator learns why the new one is not in use.
        shell_.Dialogs().Warn(windowTitle(), QString::fromLocal8Bit(e.what()));
    }
    s.Baudrate = line_.Modbus().BaudRate();
    s.SaveSettings = ui->CheckBox1->isChecked();

    // Another port or converter, or the same one when it is not open (a lost line, a port
    // that failed to open) or when its name now leads to another device (the operator moved
    // its COM link; that is their choice): open it now, the name resolved afresh.
    const NetworkFraming framing = ui->ComboFraming->currentIndex() == 1
                                       ? NetworkFraming::RtuOverTcp
                                       : NetworkFraming::ModbusTcp;
    const bool otherLine =
        network != s.Network ||
        (network && (host != s.NetHost || tcpPort != s.NetPort || framing != s.NetFraming)) ||
        (!network && port != shownPortName_);
    const bool moved =
        !network && port == shownPortName_ && line_.Modbus().Port().NameLeadsElsewhere();
    if (otherLine || !line_.Modbus().PortOpen() || moved) {
        line_.Modbus().Close();
        shell_.ResetSession();
        s.Network = network;
        if (!network)
            s.PortName = port;
        if (network) {
            s.NetHost = host;
            s.NetPort = tcpPort;
            s.NetFraming = framing;
        }
        line_.Open();
        line_.NewMeterSession();
    } else if (otherMeter) {
        line_.NewMeterSession();
    }
    accept();
    return true;
}
