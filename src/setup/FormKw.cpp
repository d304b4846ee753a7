#include "FormKw.h"

#include "ChangedFields.h"
#include "MeteringDecode.h"
#include "OperatorDialogs.h"
#include "PollSchedule.h"
#include "SettingsMessages.h"
#include "WindowKit.h"
#include "WriteCommand.h"
#include "ui_frmKW.h"

TFormKw::TFormKw(SessionState& state, OperatorDialogs& dialogs, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::FormKw>()), state_(state), dialogs_(dialogs) {
    ui->setupUi(this);
    PrepareChildWindow(this);
    connect(ui->Button1, &QPushButton::clicked, this, &TFormKw::Button1Click);
}

TFormKw::~TFormKw() = default;

QList<QLineEdit*> TFormKw::Edits() const {
    return {ui->Edit1, ui->Edit2, ui->Edit3, ui->Edit4, ui->Edit5, ui->Edit6, ui->Edit7, ui->Edit8};
}

QLineEdit* TFormKw::Edit(int n) const {
    const QList<QLineEdit*> edits = Edits();
    return n >= 1 && n <= edits.size() ? edits[n - 1] : nullptr;
}

QPushButton* TFormKw::PresetButton() const {
    return ui->Button1;
}

QStringList TFormKw::EditTexts() const {
    QStringList texts;
    for (const QLineEdit* e : Edits())
        texts << e->text();
    return texts;
}

void TFormKw::FillFromMeter(const QList<quint16>& values) {
    const QList<QString> texts = EnergyEditTexts(values, locale_);
    if (texts.size() != EnergyCounterCount)
        return;
    meterHolds_ = CheckEnergyPresets(texts, locale_).presets;
    if (!loadRequest_)
        return;
    const QList<QLineEdit*> edits = Edits();
    for (int i = 0; i < EnergyCounterCount; ++i)
        edits[i]->setText(texts[i]);
    loadRequest_ = false;
}

void TFormKw::EnergyWriteConfirmed() {
    loadRequest_ = true;
}

void TFormKw::Button1Click() {
    if (!MeterConnected(state_, dialogs_))
        return;
    const EnergyPresetCheck check = CheckEnergyPresets(EditTexts(), locale_);
    if (!check.presets) {
        dialogs_.Warn(windowTitle(), check.problem.message);
        if (auto* control = findChild<QWidget*>(check.problem.control))
            control->setFocus();
        return;
    }
    QString detail;
    if (meterHolds_)
        detail = ChangedFieldsDetail(ChangedFields(EnergyPresetFields(*meterHolds_, locale_),
                                                   EnergyPresetFields(*check.presets, locale_)));
    QueueConfirmedWrite(state_, dialogs_, QString::fromLatin1(EnergyPresetQuestion), WriteSlot,
                        EnergyPresetMessage(*check.presets), detail);
}
