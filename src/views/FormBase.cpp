#include "FormBase.h"

#include "ChildWindowFrame.h"
#include "OperatorDialogs.h"
#include "SessionState.h"
#include "ui_frmBase.h"

#include <QColor>
#include <QPalette>

namespace {

// Relay writes go first in the schedule; the energy reset shares slot 2 with the other
// register writes.
constexpr int kRelaySlot = 1;
constexpr int kEnergyResetSlot = 2;

const QString kPromptCaption = QStringLiteral("Prompt");

void SetTextColor(QWidget* w, QPalette::ColorRole role, const QColor& color) {
    QPalette p = w->palette();
    p.setColor(QPalette::Active, role, color);
    p.setColor(QPalette::Inactive, role, color);
    w->setPalette(p);
}

} // namespace

TFormBase::TFormBase(SessionState& state, OperatorDialogs& dialogs, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::FormBase>()), state_(state), dialogs_(dialogs) {
    ui->setupUi(this);
    UseFixedChildFrame(this);
    connect(ui->ButtonDO1, &QPushButton::clicked, this, &TFormBase::ButtonDO1Click);
    connect(ui->ButtonDO2, &QPushButton::clicked, this, &TFormBase::ButtonDO2Click);
    connect(ui->Button1, &QPushButton::clicked, this, &TFormBase::Button1Click);
}

TFormBase::~TFormBase() = default;

const QColor& TFormBase::OnColor() {
    static const QColor red(255, 0, 0);
    return red;
}

const QColor& TFormBase::OffColor() {
    static const QColor darkGreen(0, 128, 0);
    return darkGreen;
}

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
    SetTextColor(button, QPalette::ButtonText, on ? OnColor() : OffColor());
}

void TFormBase::ShowRelayStates(const QList<bool>& values) {
    for (int i = 0; i < 2 && i < values.size(); ++i)
        SetRelayState(i + 1, values[i]);
}

void TFormBase::ShowInputStates(const QList<bool>& values) {
    QLabel* const inputs[] = {ui->LabelDI1, ui->LabelDI2, ui->LabelDI3, ui->LabelDI4};
    for (int i = 0; i < 4 && i < values.size(); ++i) {
        inputs[i]->setText(InputStateText(values[i]));
        SetTextColor(inputs[i], QPalette::WindowText, values[i] ? OnColor() : OffColor());
    }
}

void TFormBase::ShowMeteringBlock(const QList<quint16>& values) {
    const ScaleRatios ratios{state_.PtRatio, state_.CtRatio};
    for (const LabelText& t : DecodeMeteringBlock(values, ratios, locale_)) {
        if (QLabel* label = Label(t.label))
            label->setText(t.text);
    }
}

void TFormBase::ShowTemperature(const QList<quint16>& values) {
    if (!values.isEmpty())
        ui->LabelTemp->setText(TemperatureText(values.first(), locale_));
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
    if (!state_.Connected()) {
        dialogs_.ShowNotConnected();
        return;
    }
    // Some desktops insert keyboard accelerators ("O&ff") into every button text; the
    // caption the operator sees is what tells the relay's state.
    QString caption = RelayButton(relay)->text();
    caption.remove(QLatin1Char('&'));
    const RelayClickPlan plan = PlanRelayClick(relay, caption);
    if (!dialogs_.AskYesNo(kPromptCaption, plan.question))
        return;
    // The caption shows the requested state until the meter reports the real one.
    SetRelayState(relay, plan.switchOn);
    state_.Schedule.Queue(kRelaySlot, plan.message);
}

void TFormBase::Button1Click() {
    if (!state_.Connected()) {
        dialogs_.ShowNotConnected();
        return;
    }
    if (!dialogs_.AskYesNo(kPromptCaption, QString::fromLatin1(EnergyResetQuestion)))
        return;
    state_.Schedule.Queue(kEnergyResetSlot, EnergyResetMessage());
}
