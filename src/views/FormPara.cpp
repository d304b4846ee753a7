#include "FormPara.h"

#include "MeterParamDecode.h"
#include "WindowKit.h"
#include "ui_frmPara.h"

TFormPara::TFormPara(std::function<void()> openSettings, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::FormPara>()),
      openSettings_(std::move(openSettings)) {
    ui->setupUi(this);
    PrepareChildWindow(this);
    ui->Button1->setEnabled(static_cast<bool>(openSettings_));
    connect(ui->Button1, &QPushButton::clicked, this, &TFormPara::Button1Click);
}

TFormPara::~TFormPara() = default;

QLabel* TFormPara::Label(const QString& name) const {
    return findChild<QLabel*>(name);
}

QPushButton* TFormPara::SetupButton() const {
    return ui->Button1;
}

void TFormPara::ShowParameters(const QList<quint16>& values) {
    ApplyLabelTexts(this, DecodeMeterParamBlock(values));
}

void TFormPara::ApplyMeterModel(quint8 model) {
    const bool hasDemand = model != 0;
    ui->Label12->setEnabled(hasDemand);
    ui->LabelDemaTime->setEnabled(hasDemand);
}

void TFormPara::Button1Click() {
    if (openSettings_)
        openSettings_();
}
