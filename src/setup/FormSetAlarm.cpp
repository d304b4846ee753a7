#include "FormSetAlarm.h"

#include "OperatorDialogs.h"
#include "SessionState.h"
#include "WindowKit.h"
#include "WindowTable.h"
#include "WriteCommand.h"
#include "ui_frmSetAlarm.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

TFormSetAlarm::TFormSetAlarm(SessionState& state, OperatorDialogs& dialogs, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::FormSetAlarm>()), state_(state), dialogs_(dialogs) {
    ui->setupUi(this);
    const QStringList items = ShownAlarmItemTexts();
    for (int g = 1; g <= AlarmGroupCount; ++g)
        ItemCombo(g)->addItems(items);
    ui->ComboPreAlarmTime->addItems(AlarmDelayTexts());
    ui->ComboPreAlarmTime->setMaxVisibleItems(20);
    // Nothing is selected until the meter's configuration has been read.
    for (QComboBox* combo : findChildren<QComboBox*>())
        combo->setCurrentIndex(-1);
    PrepareChildWindow(this);
    connect(ui->Button1, &QPushButton::clicked, this, &TFormSetAlarm::Button1Click);
}

TFormSetAlarm::~TFormSetAlarm() = default;

template <typename T> T* TFormSetAlarm::GroupControl(const char* prefix, int group) const {
    return findChild<T*>(QLatin1String(prefix) + QString::number(group));
}

QComboBox* TFormSetAlarm::SwitchCombo(int group) const {
    return GroupControl<QComboBox>("ComboSwitch", group);
}
QComboBox* TFormSetAlarm::Do1Combo(int group) const {
    return GroupControl<QComboBox>("ComboAlarm1", group);
}
QComboBox* TFormSetAlarm::Do2Combo(int group) const {
    return GroupControl<QComboBox>("ComboAlarm2", group);
}
QComboBox* TFormSetAlarm::ItemCombo(int group) const {
    return GroupControl<QComboBox>("ComboAlarmType", group);
}
QComboBox* TFormSetAlarm::DirectionCombo(int group) const {
    return GroupControl<QComboBox>("ComboLimited", group);
}
QLineEdit* TFormSetAlarm::LimitEdit(int group) const {
    return GroupControl<QLineEdit>("EditAlarmNum", group);
}
QComboBox* TFormSetAlarm::DelayCombo() const {
    return ui->ComboPreAlarmTime;
}
QPushButton* TFormSetAlarm::SetButton() const {
    return ui->Button1;
}

AlarmSettingsInput TFormSetAlarm::Input() const {
    AlarmSettingsInput in;
    for (int g = 1; g <= AlarmGroupCount; ++g) {
        AlarmGroupInput& group = in.groups[g - 1];
        group.status = SwitchCombo(g)->currentIndex();
        group.do1 = Do1Combo(g)->currentIndex();
        group.do2 = Do2Combo(g)->currentIndex();
        group.item = ItemCombo(g)->currentIndex();
        group.direction = DirectionCombo(g)->currentIndex();
        group.limit = LimitEdit(g)->text();
    }
    in.delay = ui->ComboPreAlarmTime->currentIndex();
    return in;
}

void TFormSetAlarm::SetInput(const AlarmSettingsInput& input) {
    for (int g = 1; g <= AlarmGroupCount; ++g) {
        const AlarmGroupInput& group = input.groups[g - 1];
        SwitchCombo(g)->setCurrentIndex(group.status);
        Do1Combo(g)->setCurrentIndex(group.do1);
        Do2Combo(g)->setCurrentIndex(group.do2);
        ItemCombo(g)->setCurrentIndex(group.item);
        DirectionCombo(g)->setCurrentIndex(group.direction);
        LimitEdit(g)->setText(group.limit);
    }
    ui->ComboPreAlarmTime->setCurrentIndex(input.delay);
}

void TFormSetAlarm::FormActivate() {
    // Asked again until the meter answers it, while this window stays in front.
    state_.Schedule.QueueRead(AlarmParamRead, WindowName::SetAlarm);
}

void TFormSetAlarm::ShowAlarmParameters(const QList<quint16>& values) {
    if (const auto input =
            AlarmSettingsFromBlock(values, {state_.PtRatio, state_.CtRatio}, locale_)) {
        meterHolds_ = input;
        SetInput(*input);
    }
}

QList<FieldText> TFormSetAlarm::Fields(const AlarmSettingsInput& input) const {
    const ScaleRatios ratios{state_.PtRatio, state_.CtRatio};
    QList<FieldText> fields;
    for (int g = 1; g <= AlarmGroupCount; ++g) {
        const AlarmGroupInput& group = input.groups[g - 1];
        const QString prefix = tr("Group %1 ").arg(g);
        // "220" typed where the meter reported "220.0 V" writes the same register.
        QString limit = group.limit;
        if (const auto value = ParseAlarmLimit(group.item, limit, locale_)) {
            const EncodedLimit encoded = EncodeAlarmLimit(group.item, *value, ratios);
            if (encoded.fault == EncodedLimit::Fault::None)
                limit = AlarmLimitText(group.item, encoded.reg, ratios, locale_);
        }
        fields << FieldText{prefix + tr("Status"), SwitchCombo(g)->itemText(group.status)}
               << FieldText{prefix + QStringLiteral("DO1"), Do1Combo(g)->itemText(group.do1)}
               << FieldText{prefix + QStringLiteral("DO2"), Do2Combo(g)->itemText(group.do2)}
               << FieldText{prefix + tr("Item"), ItemCombo(g)->itemText(group.item)}
               << FieldText{prefix + tr("Limit"), DirectionCombo(g)->itemText(group.direction)}
               << FieldText{prefix + tr("Value"), limit};
    }
    fields << FieldText{tr("Alarm Delay"),
                        ui->ComboPreAlarmTime->itemText(input.delay) + QStringLiteral(" ms")};
    return fields;
}

void TFormSetAlarm::Button1Click() {
    if (!MeterConnected(state_, dialogs_))
        return;
    // Every group, list and limit is checked before anything is queued: the two messages
    // share the enable word, so one sent without the other would switch groups on with
    // settings the operator never saw.
    const AlarmWritePlan plan = PlanAlarmWrite(Input(), {state_.PtRatio, state_.CtRatio}, locale_);
    if (!plan.ok()) {
        dialogs_.Warn(tr("Parameters"), plan.error);
        return;
    }
    // The schedule sends slot 2 before slot 3: groups 5..9 reach the meter first, then
    // the enable word with groups 1..4, then the configuration is read back.
    const QString detail =
        meterHolds_ ? ChangedFieldsDetail(ChangedFields(Fields(*meterHolds_), Fields(Input())))
                    : QString();
    QueueConfirmedWrites(state_, dialogs_, AlarmWriteQuestion,
                         {{WriteSlot, plan.groups5to9},
                          {SecondWriteSlot, plan.groups1to4},
                          {ReadOnceSlot, AlarmParamRead}},
                         detail);
}
