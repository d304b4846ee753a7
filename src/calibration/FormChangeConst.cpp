#include "FormChangeConst.h"

#include "OperatorDialogs.h"
#include "SessionState.h"
#include "WindowKit.h"
#include "ui_frmChangeConst.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

TFormChangeConst::TFormChangeConst(SessionState& state, OperatorDialogs& dialogs, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::FormChangeConst>()), state_(state),
      dialogs_(dialogs) {
    ui->setupUi(this);
    PrepareChildWindow(this);
    // A ticked clear box writes zeros whatever the group's edits hold: they are disabled.
    for (const CoefficientGroupLayout& group : CoefficientGroups()) {
        QCheckBox* clear = CheckBox(QLatin1String(group.clearBox));
        QList<QLineEdit*> edits;
        for (const QString& name : group.edits)
            edits << Edit(name);
        connect(clear, &QCheckBox::toggled, this, [edits](bool zero) {
            for (QLineEdit* e : edits)
                e->setEnabled(!zero);
        });
    }
    connect(ui->Button1, &QPushButton::clicked, this, &TFormChangeConst::Button1Click);
}

TFormChangeConst::~TFormChangeConst() = default;

QLineEdit* TFormChangeConst::Edit(const QString& name) const {
    return findChild<QLineEdit*>(name);
}

QCheckBox* TFormChangeConst::CheckBox(const QString& name) const {
    return findChild<QCheckBox*>(name);
}

QPushButton* TFormChangeConst::ConfirmButton() const {
    return ui->Button1;
}

void TFormChangeConst::ShowCoefficients(const QList<quint16>& values) {
    for (const LabelText& t : CoefficientTexts(values, true)) {
        if (QLineEdit* e = Edit(t.label))
            e->setText(t.text);
    }
}

void TFormChangeConst::Button1Click() {
    std::array<CoefficientGroupInput, 3> input;
    const auto groups = CoefficientGroups();
    for (std::size_t g = 0; g < groups.size() && g < input.size(); ++g) {
        input[g].modify = CheckBox(QLatin1String(groups[g].modifyBox))->isChecked();
        input[g].clear = CheckBox(QLatin1String(groups[g].clearBox))->isChecked();
        for (const QString& name : groups[g].edits)
            input[g].texts << Edit(name)->text();
    }
    const CoefficientWritePlan plan = PlanCoefficientWrites(input);
    if (!plan.error.isEmpty()) {
        const OperatorDialogs::AskingFor asking(dialogs_, this);
        dialogs_.ShowDefaultError(plan.error);
        return;
    }
    // The factory window asks nothing: the operator typed the values for this meter.
    for (const auto& [slot, message] : plan.writes)
        state_.Schedule.Queue(slot, message);
}
