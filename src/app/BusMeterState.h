#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

// What the overview knows of one meter on the line: whether it answers, since when it has
// been silent, the share of its requests that failed over the last minute and the age of
// its last reply. The clock is injected; the record of outcomes is bounded.
class BusMeterState {
public:
    using Clock = std::function<QDateTime()>;
    // The span the failure share looks back over.
    static constexpr qint64 kShareSpanMs = 60'000;
    // Outcomes kept at most: more than a minute of requests at the fastest line.
    static constexpr qsizetype kMaxOutcomes = 8192;

    explicit BusMeterState(Clock clock = {});

    void Answered();
    void Missed();

    // Unanswered kMissesToSilent times in a row (the rotation's rule).
    bool Silent() const;
    // The time of the first of the unanswered requests in a row that made it silent.
    QDateTime SilentSince() const { return Silent() ? firstMissAt_ : QDateTime(); }
    // Failed requests over the last minute, 0..1; nothing when none was asked in it.
    std::optional<double> FailureShare() const;
    // Milliseconds since its last reply; nothing before the first.
    std::optional<qint64> ReplyAgeMs() const;

    // "not asked yet", "no answer yet", "answering" or "silent since 14:03:12".
    QString StateText() const;
    // "12 %" of failed requests over the last minute, "–" when none was asked.
    QString FailureShareText() const;
    // "3 s" since the last reply, "–" before the first.
    QString ReplyAgeText() const;

private:
    struct Outcome {
        qint64 atMs;
        bool answered;
    };
    QDateTime Now() const;
    void Record(bool answered);

    Clock clock_;
    QList<Outcome> outcomes_; // oldest first, pruned to the last minute
    int missesInRow_ = 0;
    bool everAnswered_ = false;
    QDateTime firstMissAt_;
    QDateTime lastReplyAt_;
};
