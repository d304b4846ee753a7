#include "ScriptedDialogs.h"

#include <QStringList>

void ScriptedDialogs::ShowMessage(Icon icon, const QString& caption, const QString& text) {
    Record({Kind::Message, icon, caption, text, {}, nullptr});
}

bool ScriptedDialogs::AskYesNo(const QString& caption, const QString& text) {
    return AskYesNoWithDetail(caption, text, QString());
}

bool ScriptedDialogs::AskYesNoWithDetail(const QString& caption, const QString& text,
                                         const QString& detail) {
    bool yes = false;
    if (answers_.isEmpty())
        ++unanswered_;
    else
        yes = answers_.takeFirst();
    Record({Kind::Question, Icon::Question, caption, text, detail, nullptr});
    return yes;
}

void ScriptedDialogs::ShowDefaultError(const QString& text) {
    Record({Kind::DefaultError, Icon::Error, QString(), text, {}, nullptr});
}

void ScriptedDialogs::ShowNotice(const QString& key, Icon icon, const QString& caption,
                                 const QString& text) {
    if (const auto open = openNotices_.constFind(key); open != openNotices_.cend()) {
        Box& box = shown_[*open];
        box.icon = icon;
        box.caption = caption;
        box.text = text;
        ++noticeUpdates_;
        return;
    }
    Record({Kind::Notice, icon, caption, text, {}});
    if (holdNotices_)
        openNotices_.insert(key, shown_.size() - 1);
}

QStringList ScriptedDialogs::Texts() const {
    QStringList texts;
    for (const Box& box : shown_)
        texts << box.text;
    return texts;
}

void ScriptedDialogs::Clear() {
    shown_.clear();
    answers_.clear();
    unanswered_ = 0;
    openNotices_.clear();
    noticeUpdates_ = 0;
}

void ScriptedDialogs::Record(Box box) {
    box.window = AboutWindow();
    shown_.append(box);
    if (OnShown)
        OnShown(shown_.constLast());
}
