#include "FormCalirate.h"

#include "ChangedFields.h"
#include "MeteringDecode.h"
#include "OperatorDialogs.h"
#include "PollSchedule.h"
#include "SessionState.h"
#include "WindowKit.h"
#include "frmCount.h"
#include "ui_frmCalirate.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>

namespace {

// The count dialogs are the shell's; they are used by their Edit1 alone. They belong to
// the calibration window, so they open above it.
template <class Dialog>
std::optional<QString> AskCountWith(QWidget* window, const QString& current) {
    Dialog dialog(window);
    auto* edit = dialog.template findChild<QLineEdit*>(QStringLiteral("Edit1"));
    if (edit != nullptr)
        edit->setText(current);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return edit != nullptr ? edit->text() : current;
}

// A fixed window with a title bar, system menu, minimise and close boxes.
constexpr Qt::WindowFlags kFrame = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;

} // namespace

TFormCalirate::TFormCalirate(SessionState& state, OperatorDialogs& dialogs, CalibrationHost host,
                             QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::FormCalirate>()), state_(state),
      dialogs_(dialogs), host_(std::move(host)) {
    ui->setupUi(this);
    if (!host_.AskCount)
        host_.AskCount = [this](CalibrationMode mode, const QString& current) {
            return mode == CalibrationMode::Angle ? AskCountWith<TFormAngleCount>(this, current)
                                                  : AskCountWith<TFormValueCount>(this, current);
        };

    // Two status bars of four equal panels below the controls.
    for (int b = 0; b < 2; ++b) {
        auto* bar = new QStatusBar(ui->centralwidget);
        bar->setObjectName(QStringLiteral("StatusBar%1").arg(b + 1));
        bar->setSizeGripEnabled(false);
        for (int i = 0; i < 4; ++i) {
            auto* panel = new QLabel(bar);
            panel->setObjectName(QStringLiteral("StatusBar%1Panel%2").arg(b + 1).arg(i));
            panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            panel->setMinimumWidth(1);
            bar->addWidget(panel, 1);
            panels_[b] << panel;
        }
        ui->CentralLayout->addWidget(bar);
    }

    StyleValueLabels(this);
    ApplyWindowFrame();
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    connect(ui->Button1, &QPushButton::clicked, this, &TFormCalirate::AngleCalibrating);
    connect(ui->MenuAngle, &QAction::triggered, this, &TFormCalirate::AngleCalibrating);
    connect(ui->Button2, &QPushButton::clicked, this, &TFormCalirate::AmplitudeCalibrating);
    connect(ui->MenuAmplitude, &QAction::triggered, this, &TFormCalirate::AmplitudeCalibrating);
    connect(ui->Button3, &QPushButton::clicked, this, &TFormCalirate::ParameterModification);
    connect(ui->MenuParameter, &QAction::triggered, this, &TFormCalirate::ParameterModification);
    connect(ui->Button4, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->MenuQuit, &QAction::triggered, this, &QWidget::close);
    connect(ui->MenuStop, &QAction::triggered, this, &TFormCalirate::StopCalibrating);
    connect(ui->Menu380V, &QAction::triggered, this, [this] { SetPt380V(true); });
    connect(ui->Menu100V, &QAction::triggered, this, [this] { SetPt380V(false); });
    connect(ui->RadioButton380V, &QRadioButton::clicked, this, [this] { SetPt380V(true); });
    connect(ui->RadioButton100V, &QRadioButton::clicked, this, [this] { SetPt380V(false); });
    connect(ui->Menu100, &QAction::triggered, this, [this] { SetStandard100(true); });
    connect(ui->Menu10, &QAction::triggered, this, [this] { SetStandard100(false); });
    connect(ui->RadioButton100, &QRadioButton::clicked, this, [this] { SetStandard100(true); });
    connect(ui->RadioButton10, &QRadioButton::clicked, this, [this] { SetStandard100(false); });
}

TFormCalirate::~TFormCalirate() = default;

void TFormCalirate::ApplyWindowFrame() {
    if (windowFlags() != kFrame)
        setWindowFlags(kFrame);
}

void TFormCalirate::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // The main window makes this a window of its own when it takes it in; the frame must
    // survive that.
    if (event->type() == QEvent::ParentChange)
        ApplyWindowFrame();
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

QString TFormCalirate::StatusText(int bar, int panel) const {
    if (bar < 1 || bar > 2 || panel < 0 || panel >= panels_[bar - 1].size())
        return {};
    return panels_[bar - 1][panel]->text();
}

void TFormCalirate::SetPanel(int bar, int panel, const QString& text) {
    panels_[bar - 1][panel]->setText(text);
}

QLabel* TFormCalirate::Label(const QString& name) const {
    return findChild<QLabel*>(name);
}

QAction* TFormCalirate::MenuAction(const QString& name) const {
    if (name == QLatin1String("MenuOthers"))
        return ui->MenuOthers->menuAction();
    return findChild<QAction*>(name);
}

QPushButton* TFormCalirate::Button(int number) const {
    return findChild<QPushButton*>(QStringLiteral("Button%1").arg(number));
}

QRadioButton* TFormCalirate::Radio(const QString& name) const {
    return findChild<QRadioButton*>(name);
}

// ---------------------------------------------------------------- show, activate, close

void TFormCalirate::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    FormShow();
}

void TFormCalirate::FormShow() {
    ShowModeAndCount();
    SetPanel(1, 3, tr("校正停止"));
    ShowSettings();
}

void TFormCalirate::FormActivate() {
    ShowSettings();
    state_.Schedule.ReadCoefficientsOnce = true;
    // The bench operator looks at this window alone.
    if (host_.MinimiseChildren)
        host_.MinimiseChildren();
}

void TFormCalirate::closeEvent(QCloseEvent* event) {
    StopRun();
    if (host_.RestoreMetering)
        host_.RestoreMetering();
    // Hidden, not destroyed: the window lives until the program ends.
    QMainWindow::closeEvent(event);
}

void TFormCalirate::ShowModeAndCount() {
    SetPanel(2, 0, state_.CalibrationAngleMode ? tr("角度校正") : tr("模值校正"));
    SetPanel(2, 1, tr("校正次数：") + state_.CalibrationCount);
}

// The menu items, the radio buttons and status bar 1 follow the settings the main window
// keeps (a session reset puts them back to 380 V and 100 %).
void TFormCalirate::ShowSettings() {
    const bool pt380 = state_.CalibrationPt380V;
    const bool standard100 = state_.CalibrationStandard100;
    ui->Menu380V->setChecked(pt380);
    ui->Menu100V->setChecked(!pt380);
    ui->RadioButton380V->setChecked(pt380);
    ui->RadioButton100V->setChecked(!pt380);
    ui->Menu100->setChecked(standard100);
    ui->Menu10->setChecked(!standard100);
    ui->RadioButton100->setChecked(standard100);
    ui->RadioButton10->setChecked(!standard100);
    SetPanel(1, 0, pt380 ? tr("PT电压= 380V") : tr("PT电压= 100V"));
    SetPanel(1, 1, standard100 ? tr("标准值= 100%") : tr("标准值= 10%"));
}

void TFormCalirate::SetPt380V(bool on) {
    state_.CalibrationPt380V = on;
    ShowSettings();
}

void TFormCalirate::SetStandard100(bool on) {
    state_.CalibrationStandard100 = on;
    ShowSettings();
}

// ---------------------------------------------------------------- replies

void TFormCalirate::ShowMetering(const QList<quint16>& values) {
    ApplyLabelTexts(this, CalibrationDisplayTexts(DecodeMeteringBlock(
                              values, {state_.PtRatio, state_.CtRatio}, locale_)));
}

void TFormCalirate::ShowCoefficients(const QList<quint16>& values) {
    ApplyLabelTexts(this, CoefficientTexts(values, false));
    if (const auto kept = CoefficientsOf(values))
        coefficients_ = kept;
    SetPanel(1, 0, state_.CalibrationPt380V ? tr("PT Voltage= 380V") : tr("PT Voltage= 100V"));
}

void TFormCalirate::TakeReading(const QList<quint16>& values) {
    if (!run_.Running() || values.size() < RawVectorBlockCount)
        return;
    const bool finished = run_.AddReading(values);
    state_.Schedule.CalibrationReadsLeft = run_.ReadsLeft();
    SetPanel(1, 2, tr("正在读取RI数据= ") + QString::number(run_.ReadingsTaken()));
    SetPanel(1, 3, tr("校验进行中"));
    if (finished)
        FinishRun();
}

// ---------------------------------------------------------------- runs

void TFormCalirate::AngleCalibrating() {
    StartRun(CalibrationMode::Angle);
}

void TFormCalirate::AmplitudeCalibrating() {
    StartRun(CalibrationMode::Amplitude);
}

void TFormCalirate::StartRun(CalibrationMode mode) {
    const OperatorDialogs::AskingFor asking(dialogs_, this);
    // Only a warning: the run waits for the replies, whenever the line delivers them.
    if (!state_.Connected())
        dialogs_.Warn(tr("通讯没建立"), tr("请先与设备通讯！"));
    if (const auto text = host_.AskCount(mode, state_.CalibrationCount)) {
        if (const auto count = ParseCalibrationCount(*text)) {
            state_.CalibrationCount = *text;
            // The corrections are added to what the meter holds now.
            state_.Schedule.ReadCoefficientsOnce = true;
            state_.CalibrationAngleMode = mode == CalibrationMode::Angle;
            run_.Start(*count, {mode, state_.CalibrationPt380V, state_.CalibrationStandard100});
            state_.Schedule.CalibrationReadsLeft = run_.ReadsLeft();
            SetRunning(true);
        } else {
            dialogs_.ShowDefaultError(CalibrationCountError(*text));
        }
    }
    ShowModeAndCount();
}

void TFormCalirate::FinishRun() {
    // The question is about the corrections shown here: it must not sink below them.
    const OperatorDialogs::AskingFor asking(dialogs_, this);
    SetPanel(1, 2, tr("读取数据完毕！"));
    SetPanel(1, 3, tr("校验完毕！"));
    SetRunning(false);
    const CalibrationSettings settings = run_.Settings();
    const CalibrationResult result = run_.Finish();
    for (int i = 0; i < result.overLimit.size(); ++i)
        dialogs_.Error(tr("错误"), tr("计算角差超限（-5~+5）"));

    const CalibrationWriteCase& writeCase = WriteCaseFor(settings);
    ApplyLabelTexts(this, CorrectionTexts(writeCase, result));
    const CalibrationWrite write = PlanCalibrationWrite(writeCase, coefficients_, result);
    const QString caption = tr("提示信息");
    if (!write.error.isEmpty()) {
        dialogs_.Error(caption, write.error);
        return;
    }
    if (dialogs_.AskYesNoWithDetail(
            caption, QCoreApplication::translate("CalibrationRun", writeCase.question),
            ChangedFieldsDetail(write.changes)))
        state_.Schedule.Queue(WriteSlot, write.message);
}

void TFormCalirate::StopCalibrating() {
    const OperatorDialogs::AskingFor asking(dialogs_, this);
    if (dialogs_.AskOkCancel(tr("停止校正"), tr("您确定要停止校正程序？")))
        StopRun();
}

void TFormCalirate::StopRun() {
    run_.Stop();
    state_.Schedule.CalibrationReadsLeft = -1;
    SetPanel(1, 2, tr("停止读取数据！"));
    SetPanel(1, 3, tr("停止校验！"));
    SetRunning(false);
}

// While a run reads, the commands that would start another run, change the reference it
// is computed against or write coefficients under it are disabled; only the stop is
// offered.
void TFormCalirate::SetRunning(bool running) {
    ui->MenuAngle->setEnabled(!running);
    ui->MenuAmplitude->setEnabled(!running);
    ui->MenuOthers->menuAction()->setEnabled(!running);
    ui->MenuParameter->setEnabled(!running);
    ui->MenuStop->setEnabled(running);
    ui->Button1->setEnabled(!running);
    ui->Button2->setEnabled(!running);
    ui->Button3->setEnabled(!running);
    ui->GroupStandard->setEnabled(!running);
    ui->GroupPt->setEnabled(!running);
}

void TFormCalirate::ParameterModification() {
    if (!state_.Connected()) {
        const OperatorDialogs::AskingFor asking(dialogs_, this);
        dialogs_.ShowNotConnected();
    }
    if (host_.OpenCoefficients)
        host_.OpenCoefficients();
    state_.Schedule.Queue(ThirdWriteSlot, PollSchedule::kCoefficientRead);
}
