#include "WriteCommand.h"

#include "OperatorDialogs.h"
#include "SessionState.h"

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
        const bool yes = detail.isEmpty()
                             ? dialogs.AskYesNo(kPromptCaption, question)
                             : dialogs.AskYesNoWithDetail(kPromptCaption, question, detail);
        if (!yes)
            return false;
    }
    QueueWrites(state, writes);
    return true;
}
