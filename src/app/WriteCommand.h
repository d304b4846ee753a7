#pragma once

#include <QList>
#include <QString>

class OperatorDialogs;
struct SessionState;

// The sequence every write command of a window follows: a meter that is not connected
// gets the "Please connect the meter first! " box and nothing else; otherwise the
// operator is asked (caption "Prompt", Yes/No) and only a Yes queues the messages.

// One message string for one pending-write slot (PendingSlot in PollSchedule.h).
struct QueuedWrite {
    int slot;
    QString message;
};

// The caption of every write question, untranslated; PromptCaption() is what the box
// shows.
inline const QString kPromptCaption = QStringLiteral(QT_TRANSLATE_NOOP("WriteCommand", "Prompt"));

QString PromptCaption();

// True when the meter counts as connected; otherwise shows the not-connected box.
bool MeterConnected(const SessionState& state, OperatorDialogs& dialogs);

// Puts every message into its slot, all in one go (nothing is sent between them, so a
// window's messages reach the meter together or, after a restart, not at all).
void QueueWrites(SessionState& state, const QList<QueuedWrite>& writes);

// Connection check, then `question` (none when empty) with `detail` below it (what the
// write changes; none when empty), then all `writes` queued. True when they were queued.
bool QueueConfirmedWrites(SessionState& state, OperatorDialogs& dialogs, const QString& question,
                          const QList<QueuedWrite>& writes, const QString& detail = QString());
inline bool QueueConfirmedWrite(SessionState& state, OperatorDialogs& dialogs,
                                const QString& question, int slot, const QString& message,
                                const QString& detail = QString()) {
    return QueueConfirmedWrites(state, dialogs, question, {{slot, message}}, detail);
}
