#include "WriteCommand.h"

#include "OperatorDialogs.h"
#include "SessionState.h"

#include <QCoreApplication>

QString PromptCaption() {
    return QCoreApplication::translate("WriteCommand", "Prompt");
}

bool MeterConnected(const SessionState& state, OperatorDialogs& dialogs) {
    if (state.Connected())
        return true;
    dialogs.ShowNotConnected();
    return false;
}

void QueueWrites(SessionState& state, const QList<QueuedWrite>& writes) {
    for (const QueuedWrite& w : writes)
        state.Schedule.Queue(w.slot, w.message);
}

bool QueueConfirmedWrites(SessionState& state, OperatorDialogs& dialogs, const QString& question,
                          const QList<QueuedWrite>& writes, const QString& detail) {
    if (!MeterConnected(state, dialogs))
        return false;
    if (!question.isEmpty()) {
        // The windows hand over the untranslated question; the box asks it in the
        // desktop's language (a question already translated passes unchanged).
        const QString caption = PromptCaption();
        const QString asked =
            QCoreApplication::translate("WriteCommand", question.toUtf8().constData());
        const bool yes = detail.isEmpty() ? dialogs.AskYesNo(caption, asked)
                                          : dialogs.AskYesNoWithDetail(caption, asked, detail);
        if (!yes)
            return false;
    }
    QueueWrites(state, writes);
    return true;
}
