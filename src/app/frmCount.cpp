#include "frmCount.h"

#include "ui_frmCount.h"

#include <QLineEdit>

namespace {

struct Captions {
    const char* caption;
    const char* prompt;
    const char* designCount;
};

Captions CaptionsOf(TFormCount::Kind kind) {
    if (kind == TFormCount::Kind::Angle)
        return {QT_TRANSLATE_NOOP("TFormCount", "角度校正"),
                QT_TRANSLATE_NOOP("TFormCount", "现在将进行角度校正！先输入读取次数！"), "0000"};
    return {QT_TRANSLATE_NOOP("TFormCount", "模值校正"),
            QT_TRANSLATE_NOOP("TFormCount", "现在将进行模值校正！先输入读取次数！"), "Edit1"};
}

} // namespace

// The operator must answer with one of the two buttons: no close box.
TFormCount::TFormCount(Kind kind, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      ui(std::make_unique<Ui::TFormCount>()) {
    ui->setupUi(this);
    const Captions c = CaptionsOf(kind);
    setObjectName(kind == Kind::Angle ? QStringLiteral("FormAngleCount")
                                      : QStringLiteral("FormValueCount"));
    setWindowTitle(tr(c.caption));
    ui->Label1->setText(tr(c.prompt));
    ui->Edit1->setText(QString::fromUtf8(c.designCount));
}

TFormCount::~TFormCount() = default;

QString TFormCount::count() const {
    return ui->Edit1->text();
}

void TFormCount::setCount(const QString& count) {
    ui->Edit1->setText(count);
}

std::optional<QString> TFormCount::ask(Kind kind, const QString& current, QWidget* parent) {
    TFormCount dialog(kind, parent);
    dialog.setCount(current);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.count();
}
