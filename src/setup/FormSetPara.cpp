#include "FormSetPara.h"

#include "ChangedFields.h"
#include "OperatorDialogs.h"
#include "PollSchedule.h"
#include "SessionState.h"
#include "WindowKit.h"
#include "WriteCommand.h"
#include "ui_frmSetPara.h"

TFormSetPara::TFormSetPara(SessionState& state, OperatorDialogs& dialogs, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::FormSetPara>()), state_(state), dialogs_(dialogs) {
    ui->setupUi(this);
    ui->ComboBaudRate->addItems(BaudRateItems());
    ui->ComboUWire->addItems(VoltageWiringItems());
    ui->ComboIWire->addItems(CurrentWiringItems());
    ui->ComboAddr->addItems(AddressItems());
    ui->ComboDO1Output->addItems(PulseSourceItems());
    ui->ComboDO2Output->addItems(PulseSourceItems());
    ui->ComboRO1Mode->addItems(RelayModeItems());
    ui->ComboRO2Mode->addItems(RelayModeItems());
    ui->ComboPulseWidth->addItems(PulseWidthItems());
    ui->ComboLightTime->addItems(BacklightItems());
    ui->ComboDemaTime->addItems(DemandWindowItems());
    ui->ComboDOWork->addItems(DoModeItems());
    ShowForm(InitialMeterSettingsForm());
    PrepareChildWindow(this);
    connect(ui->Button1, &QPushButton::clicked, this, &TFormSetPara::Button1Click);
}

TFormSetPara::~TFormSetPara() = default;

QComboBox* TFormSetPara::Combo(const QString& name) const {
    return findChild<QComboBox*>(name);
}

QLineEdit* TFormSetPara::Edit(const QString& name) const {
    return findChild<QLineEdit*>(name);
}

QPushButton* TFormSetPara::SetButton() const {
    return ui->Button1;
}

MeterSettingsForm TFormSetPara::Form() const {
    MeterSettingsForm f;
    f.accessCode = ui->EditPassWord->text();
    f.pt1 = ui->EditPT1->text();
    f.pt2 = ui->EditPT2->text();
    f.ct1 = ui->EditCT1->text();
    f.pulseConst = ui->EditPulseConst->text();
    f.ro1Time = ui->EditRO1Time->text();
    f.ro2Time = ui->EditRO2Time->text();
    f.baudRate = ui->ComboBaudRate->currentIndex();
    f.voltageWiring = ui->ComboUWire->currentIndex();
    f.currentWiring = ui->ComboIWire->currentIndex();
    f.address = ui->ComboAddr->currentIndex();
    f.do1Output = ui->ComboDO1Output->currentIndex();
    f.do2Output = ui->ComboDO2Output->currentIndex();
    f.ro1Mode = ui->ComboRO1Mode->currentIndex();
    f.ro2Mode = ui->ComboRO2Mode->currentIndex();
    f.pulseWidth = ui->ComboPulseWidth->currentIndex();
    f.lightTime = ui->ComboLightTime->currentIndex();
    f.demandTime = ui->ComboDemaTime->currentIndex();
    f.doWork = ui->ComboDOWork->currentIndex();
    if (!ui->ComboDemaTime->isEnabled())
        f.keptDemandWindow = meterDemandWindow_;
    return f;
}

void TFormSetPara::ShowForm(const MeterSettingsForm& f) {
    ui->EditPassWord->setText(f.accessCode);
    ui->EditPT1->setText(f.pt1);
    ui->EditPT2->setText(f.pt2);
    ui->EditCT1->setText(f.ct1);
    ui->EditPulseConst->setText(f.pulseConst);
    ui->EditRO1Time->setText(f.ro1Time);
    ui->EditRO2Time->setText(f.ro2Time);
    ui->ComboBaudRate->setCurrentIndex(f.baudRate);
    ui->ComboUWire->setCurrentIndex(f.voltageWiring);
    ui->ComboIWire->setCurrentIndex(f.currentWiring);
    ui->ComboAddr->setCurrentIndex(f.address);
    ui->ComboDO1Output->setCurrentIndex(f.do1Output);
    ui->ComboDO2Output->setCurrentIndex(f.do2Output);
    ui->ComboRO1Mode->setCurrentIndex(f.ro1Mode);
    ui->ComboRO2Mode->setCurrentIndex(f.ro2Mode);
    ui->ComboPulseWidth->setCurrentIndex(f.pulseWidth);
    ui->ComboLightTime->setCurrentIndex(f.lightTime);
    ui->ComboDemaTime->setCurrentIndex(f.demandTime);
    ui->ComboDOWork->setCurrentIndex(f.doWork);
}

void TFormSetPara::FormActivate() {
    loadRequest_ = true;
}

void TFormSetPara::FillFromMeter(const QList<quint16>& values) {
    if (values.size() >= MeterSettingsCount) {
        MeterSettingsRegisters held{};
        std::copy_n(values.cbegin(), MeterSettingsCount, held.begin());
        meterHolds_ = held;
    }
    if (!loadRequest_)
        return;
    const std::optional<MeterSettingsForm> fill = MeterSettingsFill(values);
    if (!fill)
        return;
    loadRequest_ = false;
    meterDemandWindow_ = values[0x13];
    ShowForm(*fill);
    NoteSettingsRead(state_, values, *fill);
}

void TFormSetPara::ApplyMeterModel(quint8 model) {
    const bool hasDemand = model != 0;
    ui->Label48->setEnabled(hasDemand);
    ui->ComboDemaTime->setEnabled(hasDemand);
}

void TFormSetPara::Button1Click() {
    if (!MeterConnected(state_, dialogs_))
        return;
    // Everything is checked before the question, so the operator is never asked to
    // confirm a write that cannot be built.
    const MeterSettingsCheck check = CheckMeterSettings(Form());
    if (!check.registers) {
        dialogs_.Warn(windowTitle(), check.problem.message);
        if (auto* control = findChild<QWidget*>(check.problem.control))
            control->setFocus();
        return;
    }
    QString detail;
    if (meterHolds_)
        detail = ChangedFieldsDetail(ChangedFields(MeterSettingsFields(*meterHolds_),
                                                   MeterSettingsFields(*check.registers)));
    // Behind a network converter the program cannot follow the meter to its new rate: the
    // converter's serial side must be set to it too, or the meter falls silent.
    const quint16 newBaud = (*check.registers)[0x02];
    if (state_.Network && newBaud != state_.MeterBaudRate) {
        const QString note = tr("The meter is reached through a network converter: set the "
                                "converter's serial side to %1 baud as well, or the meter no "
                                "longer answers.")
                                 .arg(newBaud);
        detail = detail.isEmpty() ? note : detail + QStringLiteral("\n\n") + note;
    }
    if (!QueueConfirmedWrite(state_, dialogs_, QString::fromLatin1(MeterSettingsQuestion),
                             WriteSlot, MeterSettingsMessage(*check.registers), detail))
        return;
    NoteSettingsWrite(state_, *check.registers);
}
