#pragma once

#include <QList>
#include <QLocale>
#include <QWidget>
#include <memory>

class OperatorDialogs;
class QPushButton;
class QTableWidget;
struct SessionState;

namespace Ui {
class FormSuperNum;
}

// "Max / Min Statistics with Time Stamps": for seventeen quantities the largest and the
// smallest value the meter has seen since its statistics were last cleared, each with the
// moment it occurred, and "Clear Statistics".
//
// Lives for the whole run. While it is the active window the rotation reads the maximum
// and the minimum block in turn; the grids keep their last contents otherwise.
class TFormSuperNum : public QWidget {
    Q_OBJECT

public:
    TFormSuperNum(SessionState& state, OperatorDialogs& dialogs, QWidget* parent = nullptr);
    ~TFormSuperNum() override;

    void SetLocale(const QLocale& locale) { locale_ = locale; }

    void ShowMaxBlock(const QList<quint16>& values); // block 0x239
    void ShowMinBlock(const QList<quint16>& values); // block 0x2B0

    void Button1Click();

    QTableWidget* MaxGrid() const;
    QTableWidget* MinGrid() const;
    QPushButton* ClearButton() const;

private:
    std::unique_ptr<Ui::FormSuperNum> ui;
    SessionState& state_;
    OperatorDialogs& dialogs_;
    QLocale locale_ = QLocale::system();
};
