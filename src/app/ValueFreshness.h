#pragma once

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QString>
#include <QtGlobal>
#include <functional>

// Whether what the windows show of a register block is the meter's present value. A
// block's values are fresh when they came from a reply of the present connection and the
// block has not gone unanswered for long: before the first reply, after the line is lost,
// after the meter stopped answering, after Stop COMM, and once the block has been asked for
// kMissedAsks times without an answer, they are old and the windows draw them so. The next reply of
// the block makes them fresh again.
//
// The age rule counts requests of the block, not seconds: a block that is read once per
// rotation and one read every third rotation go old after the same number of misses, and
// a block nobody asks for (the blocks of a window that is not active, a settings read)
// keeps its last values as the present connection's.
//
// The reply routing records the replies, the main window the requests and the line's
// starts and ends; the window kit asks while it puts texts on controls.
class ValueFreshness : public QObject {
    Q_OBJECT

public:
    using Clock = std::function<QDateTime()>;
    // Requests of a block that may go unanswered before its values count as old.
    static constexpr int kMissedAsks = 3;

    explicit ValueFreshness(QObject* parent = nullptr);
    // The time a reply is stamped with; the local time when not set.
    void SetClock(Clock clock) { clock_ = std::move(clock); }

    // Polling started, or the lost line is back: replies from now on are of this
    // connection; what was read before stays old until its block is read again.
    void BeginConnection();
    // Stop COMM or the line lost: nothing shown is the meter's present value any more.
    void EndConnection();
    // The meter stopped answering (it counts as lost) while the line stays up: nothing shown
    // is its present value any more; each block is again with its next reply.
    void MeterSilent();
    // A read of the block starting at `startAddr` went out.
    void Asked(quint16 startAddr);
    // A reply of the block was accepted and is about to be shown.
    void Decoded(quint16 startAddr);

    bool IsFresh(quint16 startAddr) const;
    // What an old value says of itself: "last read 14:03:12" (with the date when it is
    // not today's), or "not read yet".
    QString StaleText(quint16 startAddr) const;
    static QString NotReadYetText();

    // The block whose reply is being shown, for the controls that take its texts; set by
    // the reply routing for the time its decoders run.
    struct Source {
        const ValueFreshness* freshness = nullptr;
        quint16 startAddr = 0;
    };
    static Source Decoding();
    class DecodeScope {
    public:
        DecodeScope(const ValueFreshness& freshness, quint16 startAddr);
        ~DecodeScope();
        DecodeScope(const DecodeScope&) = delete;
        DecodeScope& operator=(const DecodeScope&) = delete;

    private:
        Source outer_;
    };

signals:
    // Some block went old or fresh again: controls showing its values are drawn anew.
    void Changed();

private:
    struct Block {
        QDateTime readAt;  // invalid: never read
        quint64 epoch = 0; // the connection it was read in
        int unanswered = 0;
    };
    bool Fresh(const Block& block) const;

    Clock clock_;
    QHash<quint16, Block> blocks_;
    // Counts connections (begun and ended); a block read in an earlier one is old.
    quint64 epoch_ = 0;
    // Between a stop or a loss and the next start: a reply still on its way is shown, but
    // not as the meter's present value.
    bool ended_ = false;
};
