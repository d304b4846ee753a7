#include "frmAngleCount.h"

#include "ui_frmAngleCount.h"

#include <QLineEdit>

// The operator must answer with one of the two buttons: no close box.
TFormAngleCount::TFormAngleCount(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      ui(std::make_unique<Ui::TFormAngleCount>()) {
    ui->setupUi(this);
}

TFormAngleCount::~TFormAngleCount() = default;

QString TFormAngleCount::count() const {
    return ui->Edit1->text();
}

void TFormAngleCount::setCount(const QString& count) {
    ui->Edit1->setText(count);
}

std::optional<QString> TFormAngleCount::ask(const QString& current, QWidget* parent) {
    TFormAngleCount dialog(parent);
    dialog.setCount(current);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.count();
}
