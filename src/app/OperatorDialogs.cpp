#include "OperatorDialogs.h"

#include <QCoreApplication>
#include <QMessageBox>

void MessageBoxDialogs::ShowMessage(Icon icon, const QString& caption, const QString& text) {
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
    QMessageBox box(boxIcon, caption, text, QMessageBox::Ok, Parent());
    box.exec();
}

bool MessageBoxDialogs::AskYesNo(const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                    Parent());
    return box.exec() == QMessageBox::Yes;
}

bool MessageBoxDialogs::AskYesNoWithDetail(const QString& caption, const QString& text,
                                           const QString& detail) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                    Parent());
    box.setInformativeText(detail);
    return box.exec() == QMessageBox::Yes;
}

bool MessageBoxDialogs::AskOkCancel(const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Ok | QMessageBox::Cancel,
                    Parent());
    return box.exec() == QMessageBox::Ok;
}

void MessageBoxDialogs::ShowDefaultError(const QString& text) {
    QMessageBox box(QMessageBox::Critical, QCoreApplication::applicationName(), text,
                    QMessageBox::Ok, Parent());
    box.exec();
}
