#include "FormAlarm.h"

#include "AlarmCodec.h"
#include "AlarmRecords.h"
#include "SessionState.h"
#include "WindowKit.h"
#include "WindowTable.h"
#include "ui_frmAlarm.h"

#include <QBoxLayout>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPushButton>

TFormAlarm::TFormAlarm(SessionState& state, std::function<void()> openSettings, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::FormAlarm>()), state_(state),
      openSettings_(std::move(openSettings)) {
    ui->setupUi(this);
    SetGridHeadings(ui->StringGrid1, AlarmRecordColumnHeadings(), AlarmRecordRowHeadings());
    // The item names and the values are the long texts of a record.
    const QFontMetrics metrics(ui->StringGrid1->font());
    ui->StringGrid1->setColumnWidth(0, metrics.horizontalAdvance(ShownAlarmItemText(30)) + 16);
    ui->StringGrid1->setColumnWidth(2, metrics.horizontalAdvance(QStringLiteral("-32,768,000 W")));
    // The records take whatever room a larger window gives.
    if (auto* column = qobject_cast<QBoxLayout*>(layout()))
        column->setStretchFactor(ui->StringGrid1, 1);
    ui->StringGrid1->horizontalHeader()->setStretchLastSection(true);
    PrepareChildWindow(this, ChildFrame::Resizable);
    ui->Button1->setEnabled(static_cast<bool>(openSettings_));
    connect(ui->Button1, &QPushButton::clicked, this, &TFormAlarm::Button1Click);
}

TFormAlarm::~TFormAlarm() = default;

QLabel* TFormAlarm::Label(const QString& name) const {
    return findChild<QLabel*>(name);
}

QTableWidget* TFormAlarm::RecordGrid() const {
    return ui->StringGrid1;
}

QPushButton* TFormAlarm::SetupButton() const {
    return ui->Button1;
}

void TFormAlarm::FormActivate() {
    // Asked again until the meter answers it, while this window stays in front.
    state_.Schedule.QueueRead(AlarmParamRead, WindowName::Alarm);
}

void TFormAlarm::ShowAlarmItems(const QList<quint16>& values) {
    ApplyLabelTexts(this, DecodeAlarmItems(values));
}

void TFormAlarm::ShowAlarmRecords(const QList<quint16>& values) {
    const AlarmRecordTexts texts =
        DecodeAlarmRecordBlock(values, {{state_.PtRatio, state_.CtRatio}, locale_});
    ApplyLabelTexts(this, texts.states);
    // A group in alarm must stand out from the quiet ones at a glance.
    for (qsizetype g = 0; g < texts.states.size(); ++g)
        if (QLabel* state = Label(texts.states[g].label))
            ShowOnOff(state, texts.inAlarm[g]);
    ApplyGridTexts(ui->StringGrid1, texts.records);
}

void TFormAlarm::Button1Click() {
    if (openSettings_)
        openSettings_();
}
