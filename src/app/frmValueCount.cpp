#include "frmValueCount.h"

#include "ui_frmValueCount.h"

#include <QLineEdit>

// The operator must answer with one of the two buttons: no close box.
TFormValueCount::TFormValueCount(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      ui(std::make_unique<Ui::TFormValueCount>()) {
    ui->setupUi(this);
}

TFormValueCount::~TFormValueCount() = default;

QString TFormValueCount::count() const {
    return ui->Edit1->text();
}

void TFormValueCount::setCount(const QString& count) {
    ui->Edit1->setText(count);
}

std::optional<QString> TFormValueCount::ask(const QString& current, QWidget* parent) {
    TFormValueCount dialog(parent);
    dialog.setCount(current);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.count();
}
