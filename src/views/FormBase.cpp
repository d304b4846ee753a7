#include "FormBase.h"

#include "OperatorDialogs.h"
#include "SessionState.h"
#include "WindowKit.h"
#include "WriteCommand.h"
#include "ui_frmBase.h"

TFormBase::TFormBase(SessionState& state, OperatorDialogs& dialogs, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::FormBase>()), state_(state), dialogs_(dialogs) {
    ui->setupUi(this);
    PrepareChildWindow(this);
    connect(ui->ButtonDO1, &QPushButton::clicked, this, &TFormBase::ButtonDO1Click);
    connect(ui->ButtonDO2, &QPushButton::clicked, this, &TFormBase::ButtonDO2Click);
    connect(ui->Button1, &QPushButton::clicked, this, &TFormBase::Button1Click);
}

TFormBase::~TFormBase() = default;

QLabel* TFormBase::Label(const QString& name) const {
    return findChild<QLabel*>(name);
}

QPushButton* TFormBase::RelayButton(int relay) const {
    return relay == 1 ? ui->ButtonDO1 : relay == 2 ? ui->ButtonDO2 : nullptr;
}

QPushButton* TFormBase::EnergyResetButton() const {
    return ui->Button1;
}

void TFormBase::SetRelayState(int relay, bool on) {
    QPushButton* button = RelayButton(relay);
    button->setText(RelayStateText(on));
    ShowOnOff(button, on);
}

void TFormBase::ShowRelayStates(const QList<bool>& values) {
    for (int i = 0; i < 2 && i < values.size(); ++i)
        SetRelayState(i + 1, values[i]);
}

void TFormBase::ShowInputStates(const QList<bool>& values) {
    QLabel* const inputs[] = {ui->LabelDI1, ui->LabelDI2, ui->LabelDI3, ui->LabelDI4};
    for (int i = 0; i < 4 && i < values.size(); ++i) {
        inputs[i]->setText(InputStateText(values[i]));
        ShowOnOff(inputs[i], values[i]);
    }
}

void TFormBase::ShowMeteringBlock(const QList<quint16>& values) {
    ApplyLabelTexts(this, DecodeMeteringBlock(values, {state_.PtRatio, state_.CtRatio}, locale_));
}

void TFormBase::ShowTemperature(const QList<quint16>& values) {
    if (!values.isEmpty())
        ApplyLabelTexts(this,
                        {{QStringLiteral("LabelTemp"), TemperatureText(values.first(), locale_)}});
}

void TFormBase::RelayWriteConfirmed(quint16 coil, bool value) {
    const auto confirmation = RelayConfirmationFor(coil);
    if (!confirmation)
        return;
    dialogs_.Confirm(confirmation->message);
    SetRelayState(confirmation->relay, value);
}

void TFormBase::ButtonDO1Click() {
    RelayClick(1);
}

void TFormBase::ButtonDO2Click() {
    RelayClick(2);
}

void TFormBase::RelayClick(int relay) {
    if (!MeterConnected(state_, dialogs_))
        return;
    // Some desktops insert keyboard accelerators ("O&ff") into every button text; the
    // caption the operator sees is what tells the relay's state.
    QString caption = RelayButton(relay)->text();
    caption.remove(QLatin1Char('&'));
    const RelayClickPlan plan = PlanRelayClick(relay, caption);
    if (!QueueConfirmedWrite(state_, dialogs_, plan.question, RelaySlot, plan.message))
        return;
    // The caption shows the requested state until the meter reports the real one.
    SetRelayState(relay, plan.switchOn);
}

void TFormBase::Button1Click() {
    QueueConfirmedWrite(state_, dialogs_, QString::fromLatin1(EnergyResetQuestion), WriteSlot,
                        EnergyResetMessage());
}
