#pragma once

#include <QStatusBar>

class QLabel;
class QPushButton;

// The main window's bar for what the operator should know about the line: why the meter
// is silent (with the search for it one click away) and how often the line was lost. It
// is shown only while it has something to say.
class LineNoticeBar : public QStatusBar {
    Q_OBJECT

public:
    explicit LineNoticeBar(QWidget* parent = nullptr);

    // Why the meter is silent; "" once it answers.
    void SetNoAnswer(const QString& text);
    // The losses of the line ("Line lost 3 times since 14:02"); "" when none.
    void SetLosses(const QString& text);

    QString NoAnswer() const;
    QString Losses() const;
    QPushButton* SearchButton() const { return search_; }

signals:
    // The operator asked for the search for the meter.
    void SearchRequested();

private:
    void ShowWhenNeeded();

    QLabel* noAnswer_ = nullptr;
    QPushButton* search_ = nullptr;
    QLabel* losses_ = nullptr;
};
