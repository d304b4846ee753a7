#include "BusMeterState.h"

#include "BusRotation.h"

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>

BusMeterState::BusMeterState(Clock clock) : clock_(std::move(clock)) {}

QDateTime BusMeterState::Now() const {
    return clock_ ? clock_() : QDateTime::currentDateTime();
}

void BusMeterState::Record(bool answered) {
    const qint64 now = Now().toMSecsSinceEpoch();
    outcomes_.append({now, answered});
    // A clock set back leaves nothing of the future in the share.
    qsizetype drop = 0;
    while (drop < outcomes_.size() &&
           (now - outcomes_[drop].atMs >= kShareSpanMs || outcomes_[drop].atMs > now))
        ++drop;
    drop = std::max(drop, outcomes_.size() - kMaxOutcomes);
    outcomes_.remove(0, drop);
}

void BusMeterState::Answered() {
    Record(true);
    missesInRow_ = 0;
    everAnswered_ = true;
    lastReplyAt_ = Now();
    firstMissAt_ = {};
}

void BusMeterState::Missed() {
    Record(false);
    if (missesInRow_++ == 0)
        firstMissAt_ = Now();
}

bool BusMeterState::Silent() const {
    return missesInRow_ >= BusRotation::kMissesToSilent;
}

std::optional<double> BusMeterState::FailureShare() const {
    const qint64 now = Now().toMSecsSinceEpoch();
    int asked = 0, failed = 0;
    for (const Outcome& o : outcomes_) {
        if (now - o.atMs >= kShareSpanMs || o.atMs > now)
            continue;
        ++asked;
        failed += o.answered ? 0 : 1;
    }
    if (asked == 0)
        return std::nullopt;
    return double(failed) / asked;
}

std::optional<qint64> BusMeterState::ReplyAgeMs() const {
    if (!lastReplyAt_.isValid())
        return std::nullopt;
    return std::max<qint64>(0, lastReplyAt_.msecsTo(Now()));
}

QString BusMeterState::StateText() const {
    if (Silent())
        return QCoreApplication::translate("BusMeterState", "silent since %1")
            .arg(firstMissAt_.toString(QStringLiteral("HH:mm:ss")));
    if (!everAnswered_)
        return missesInRow_ == 0 ? QCoreApplication::translate("BusMeterState", "not asked yet")
                                 : QCoreApplication::translate("BusMeterState", "no answer yet");
    return QCoreApplication::translate("BusMeterState", "answering");
}

QString BusMeterState::FailureShareText() const {
    const auto share = FailureShare();
    if (!share)
        return QStringLiteral("–");
    return QStringLiteral("%1 %").arg(qRound(*share * 100));
}

QString BusMeterState::ReplyAgeText() const {
    const auto age = ReplyAgeMs();
    if (!age)
        return QStringLiteral("–");
    return QCoreApplication::translate("BusMeterState", "%1 s").arg(*age / 1000);
}
