#include "OperatorDialogs.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace {
QMessageBox::Icon BoxIcon(OperatorDialogs::Icon icon) {
    using Icon = OperatorDialogs::Icon;
    QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
    switch (icon) {
    case Icon::None:
        break;
    case Icon::Information:
        boxIcon = QMessageBox::Information;
        break;
    case Icon::Warning:
        boxIcon = QMessageBox::Warning;
        break;
    case Icon::Error:
        boxIcon = QMessageBox::Critical;
        break;
    case Icon::Question:
        boxIcon = QMessageBox::Question;
        break;
    }
    return boxIcon;
}

// A box the caller gave no caption carries the program's name, never the settings key's
// historic one.
QString BoxTitle(const QString& caption) {
    return caption.isEmpty() ? QStringLiteral("QetraLink") : caption;
}
} // namespace

void MessageBoxDialogs::ShowMessage(Icon icon, const QString& caption, const QString& text) {
    QMessageBox box(BoxIcon(icon), BoxTitle(caption), text, QMessageBox::Ok, Parent());
    box.exec();
}

void MessageBoxDialogs::ShowNotice(const QString& key, Icon icon, const QString& caption,
                                   const QString& text) {
    QPointer<QObject>& open = notices_[key];
    if (open.isNull()) {
        auto* box =
            new QMessageBox(BoxIcon(icon), BoxTitle(caption), text, QMessageBox::Ok, parent_);
        box->setAttribute(Qt::WA_DeleteOnClose);
        open = box;
        // Modal to the main window like the other boxes, but without a nested event loop:
        // the line goes on being watched while the box is up.
        box->open();
        return;
    }
    auto* box = static_cast<QMessageBox*>(open.data());
    box->setIcon(BoxIcon(icon));
    box->setWindowTitle(BoxTitle(caption));
    box->setText(text);
}

void MessageBoxDialogs::CloseNotice(const QString& key) {
    const QPointer<QObject> open = notices_.take(key);
    if (!open.isNull())
        static_cast<QMessageBox*>(open.data())->close();
}

bool MessageBoxDialogs::AskYesNo(const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Question, BoxTitle(caption), text,
                    QMessageBox::Yes | QMessageBox::No, Parent());
    return box.exec() == QMessageBox::Yes;
}

bool MessageBoxDialogs::AskYesNoWithDetail(const QString& caption, const QString& text,
                                           const QString& detail) {
    QMessageBox box(QMessageBox::Question, BoxTitle(caption), text,
                    QMessageBox::Yes | QMessageBox::No, Parent());
    box.setInformativeText(detail);
    return box.exec() == QMessageBox::Yes;
}

bool MessageBoxDialogs::AskOkCancel(const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Question, BoxTitle(caption), text,
                    QMessageBox::Ok | QMessageBox::Cancel, Parent());
    return box.exec() == QMessageBox::Ok;
}

void MessageBoxDialogs::ShowDefaultError(const QString& text) {
    QMessageBox box(QMessageBox::Critical, BoxTitle({}), text, QMessageBox::Ok, Parent());
    box.exec();
}
