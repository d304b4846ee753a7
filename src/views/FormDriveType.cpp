#include "FormDriveType.h"

#include "MeterModelDecode.h"
#include "OperatorDialogs.h"
#include "PollSchedule.h"
#include "SessionState.h"
#include "WindowKit.h"
#include "WindowTable.h"
#include "WriteCommand.h"
#include "ui_frmDriveType.h"

#include <QCoreApplication>
#include <QMdiSubWindow>

TFormDriveType::TFormDriveType(SessionState& state, OperatorDialogs& dialogs,
                               std::function<void()> applyMeterModel, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::FormDriveType>()), state_(state), dialogs_(dialogs),
      applyMeterModel_(std::move(applyMeterModel)) {
    ui->setupUi(this);
    ui->ComboDriveType->setCurrentIndex(state_.MeterModel == 0 ? 0 : 1);
    // Only the operator's choice changes the model, not the list following the main window.
    connect(ui->ComboDriveType, &QComboBox::activated, this, &TFormDriveType::ComboDriveTypeChange);
    connect(ui->Button1, &QPushButton::clicked, this, &TFormDriveType::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &TFormDriveType::Button2Click);
    connect(ui->Button3, &QPushButton::clicked, this, &TFormDriveType::Button3Click);
    PrepareChildWindow(this);
}

TFormDriveType::~TFormDriveType() = default;

QLabel* TFormDriveType::Label(const QString& name) const {
    return findChild<QLabel*>(name);
}

QComboBox* TFormDriveType::Combo(const QString& name) const {
    return findChild<QComboBox*>(name);
}

QPushButton* TFormDriveType::Button(const QString& name) const {
    return findChild<QPushButton*>(name);
}

void TFormDriveType::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (centred_)
        return;
    // The first time it shows, the window sits in the middle of the client area.
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
        sub != nullptr && sub->parentWidget() != nullptr) {
        const QSize area = sub->parentWidget()->size();
        sub->move(std::max(0, (area.width() - sub->width()) / 2),
                  std::max(0, (area.height() - sub->height()) / 2));
        centred_ = true;
    }
}

void TFormDriveType::EnableClockAndRunTime() {
    for (QWidget* w :
         std::initializer_list<QWidget*>{ui->Label9, ui->LabelEquipTime, ui->Button2, ui->Label5,
                                         ui->LabelEquipRunTime, ui->Button3})
        w->setEnabled(true);
}

void TFormDriveType::FormActivate() {
    ui->ComboDriveType->setCurrentIndex(state_.MeterModel == 0 ? 0 : 1);
    // Asked again until the meter answers it, while this window stays in front.
    state_.Schedule.QueueRead(ModelBlockRead, WindowName::DriveType);
    // The main window put this window's reads (the clock and the run time) into the
    // rotation when it activated it.
    EnableClockAndRunTime();
}

void TFormDriveType::ComboDriveTypeChange(int index) {
    if (index < 0)
        return;
    state_.MeterModel = static_cast<quint8>(index);
    if (applyMeterModel_)
        applyMeterModel_();
    EnableClockAndRunTime();
    // Applying the model may have created and activated another window; the clock and the
    // run time stay in the rotation beside whatever that window reads.
    state_.Schedule.KeepWindowReads(WindowName::DriveType);
}

void TFormDriveType::ShowModelBlock(const QList<quint16>& values) {
    const ModelBlockView view = DecodeModelBlock(values);
    if (view.version)
        ApplyLabelTexts(this, {{QStringLiteral("LabelVersion"), *view.version}});
    if (view.frequencyIndex)
        ui->ComboSYSHz->setCurrentIndex(*view.frequencyIndex);
    if (view.displayIndex)
        ui->ComboDisplay->setCurrentIndex(*view.displayIndex);
    if (view.ptIndex)
        ui->ComboPT->setCurrentIndex(*view.ptIndex);
}

void TFormDriveType::ShowClock(const QList<quint16>& values) {
    if (const auto text = MeterClockText(values))
        ApplyLabelTexts(this, {{QStringLiteral("LabelEquipTime"), *text}});
}

void TFormDriveType::ShowRunTime(const QList<quint16>& values) {
    if (const auto text = RunTimeText(values, locale_))
        ApplyLabelTexts(this, {{QStringLiteral("LabelEquipRunTime"), *text}});
}

void TFormDriveType::Button1Click() {
    QueueConfirmedWrite(state_, dialogs_, QString(), WriteSlot,
                        FrequencyDisplayPtMessage(ui->ComboSYSHz->currentIndex(),
                                                  ui->ComboDisplay->currentIndex(),
                                                  ui->ComboPT->currentIndex()));
}

void TFormDriveType::Button2Click() {
    if (!MeterConnected(state_, dialogs_))
        return;
    if (!dialogs_.AskYesNo(PromptCaption(),
                           QCoreApplication::translate("WriteCommand", ClockAdjustQuestion)))
        return;
    // The PC's time as it is when the operator said yes.
    QueueWrites(state_, {{WriteSlot, ClockAdjustMessage(now_())}});
}

void TFormDriveType::Button3Click() {
    QueueConfirmedWrite(state_, dialogs_, QString::fromLatin1(RunTimeResetQuestion), WriteSlot,
                        RunTimeResetMessage());
}
