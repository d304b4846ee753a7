#include "FormAngle.h"

#include "PhasorDiagram.h"
#include "WindowKit.h"
#include "WiringCheck.h"
#include "ui_frmAngle.h"

#include <QCoreApplication>

TFormAngle::TFormAngle(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::FormAngle>()) {
    ui->setupUi(this);
    // The hints wrap within the width of the groups above and have room for a few lines,
    // so the window keeps its size as they come and go.
    QLabel* hints = ui->LabelWiringHints;
    hints->setTextFormat(Qt::PlainText);
    hints->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    hints->setFixedHeight(6 * hints->fontMetrics().lineSpacing());
    PrepareChildWindow(this);
}

TFormAngle::~TFormAngle() = default;

QLabel* TFormAngle::Label(const QString& name) const {
    return findChild<QLabel*>(name);
}

PhasorDiagram* TFormAngle::Diagram() const {
    return ui->DiagramPhasors;
}

QString TFormAngle::WiringText() const {
    return ui->LabelWiringHints->text();
}

void TFormAngle::ShowAngles(const QList<quint16>& values) {
    ApplyLabelTexts(this, DecodePhaseAngleBlock(values, locale_));
    if (const auto lags = PhaseLagsFromBlock(values)) {
        lags_ = lags;
        ShowPhasors();
    }
}

void TFormAngle::ShowMeteringBlock(const QList<quint16>& values) {
    if (const auto m = PhaseMagnitudesFromMeteringBlock(values))
        magnitudes_ = m;
}

void TFormAngle::ShowParameters(const QList<quint16>& values) {
    if (values.size() > 4)
        wiring_ = {values[3], values[4]};
}

void TFormAngle::ShowPhasors() {
    // The metering block is read in every rotation, so its magnitudes are there before the
    // first angles; without them there is nothing to draw to scale.
    if (!lags_ || !magnitudes_)
        return;
    const PhasorSet phasors = MakePhasorSet(*magnitudes_, *lags_);
    ui->DiagramPhasors->SetPhasors(phasors);
    const QList<WiringHint> hints = CheckWiring(phasors, wiring_);
    QStringList lines;
    for (const WiringHint& h : hints)
        lines << QStringLiteral("\u2022 ") + h.text;
    ui->LabelWiringHints->setText(hints.isEmpty()
                                      ? QCoreApplication::translate("WiringCheck", WiringLooksRight)
                                      : lines.join(QLatin1Char('\n')));
}
