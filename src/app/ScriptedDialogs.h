#pragma once

#include "OperatorDialogs.h"

#include <QList>
#include <QMap>
#include <QStringList>
#include <functional>

// Operator dialogs for tests: nothing is shown; every box is recorded in order, and each
// Yes/No question takes the next answer the test queued. A question with no answer left
// is answered No and counted in UnansweredQuestions, so a test can assert that it
// scripted every question it expected. A notice is closed at once too, unless the test
// holds notices open (as an operator away from the desk would leave them): then a notice
// of a key still open updates its recorded box in place.
class ScriptedDialogs : public OperatorDialogs {
public:
    enum class Kind { Message, Question, DefaultError, Notice };

    struct Box {
        Kind kind;
        Icon icon;
        QString caption;
        QString text;
        QString detail; // the lines below a question's text
        // The window the box was modal to (OperatorDialogs::AboutWindow), null for the
        // main window.
        const QWidget* window = nullptr;
    };

    void ShowMessage(Icon icon, const QString& caption, const QString& text) override;
    bool AskYesNo(const QString& caption, const QString& text) override;
    bool AskYesNoWithDetail(const QString& caption, const QString& text,
                            const QString& detail) override;
    void ShowDefaultError(const QString& text) override;
    void ShowNotice(const QString& key, Icon icon, const QString& caption,
                    const QString& text) override;

    void CloseNotice(const QString& key) override { openNotices_.remove(key); }
    bool NoticeOpen(const QString& key) const { return openNotices_.contains(key); }

    // Notices stay open until CloseNotices (true), or close as soon as shown (false, the
    // default).
    void HoldNotices(bool hold) { holdNotices_ = hold; }
    // The operator closes every open notice.
    void CloseNotices() { openNotices_.clear(); }
    // How often an open notice had its text replaced.
    int NoticeUpdates() const { return noticeUpdates_; }

    // Answers for the coming questions, first in first out (true = Yes).
    void QueueAnswer(bool yes) { answers_.append(yes); }

    // Every box shown so far, in order.
    const QList<Box>& Shown() const { return shown_; }
    // Only the texts, in order (the usual thing a test compares).
    QStringList Texts() const;
    int UnansweredQuestions() const { return unanswered_; }
    void Clear();

    // Called after a box has been recorded, while the caller still waits for the box to
    // close; lets a test act at the moment a modal box would be on the screen.
    std::function<void(const Box&)> OnShown;

private:
    void Record(Box box);

    QList<Box> shown_;
    QList<bool> answers_;
    int unanswered_ = 0;
    bool holdNotices_ = false;
    QMap<QString, qsizetype> openNotices_; // key -> index in shown_
    int noticeUpdates_ = 0;
};
