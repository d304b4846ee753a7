#include "ValueFreshness.h"

#include <QCoreApplication>

namespace {
// Decoders run on the main thread, one reply at a time.
ValueFreshness::Source currentSource;
} // namespace

ValueFreshness::ValueFreshness(QObject* parent) : QObject(parent) {}

void ValueFreshness::BeginConnection() {
    ++epoch_;
    ended_ = false;
    emit Changed();
}

void ValueFreshness::EndConnection() {
    ++epoch_;
    ended_ = true;
    emit Changed();
}

void ValueFreshness::MeterSilent() {
    // A new epoch without ending the connection: the next reply of a block is fresh.
    ++epoch_;
    emit Changed();
}

void ValueFreshness::Asked(quint16 startAddr) {
    Block& b = blocks_[startAddr];
    const bool wasFresh = Fresh(b);
    ++b.unanswered;
    if (wasFresh && !Fresh(b))
        emit Changed();
}

void ValueFreshness::Decoded(quint16 startAddr) {
    Block& b = blocks_[startAddr];
    const bool wasFresh = Fresh(b);
    b.readAt = clock_ ? clock_() : QDateTime::currentDateTime();
    b.epoch = epoch_;
    b.unanswered = 0;
    if (!wasFresh && Fresh(b))
        emit Changed();
}

bool ValueFreshness::Fresh(const Block& block) const {
    return !ended_ && block.readAt.isValid() && block.epoch == epoch_ &&
           block.unanswered <= kMissedAsks;
}

bool ValueFreshness::IsFresh(quint16 startAddr) const {
    const auto it = blocks_.constFind(startAddr);
    return it != blocks_.cend() && Fresh(*it);
}

QString ValueFreshness::NotReadYetText() {
    return QCoreApplication::translate("ValueFreshness", "not read yet");
}

QString ValueFreshness::StaleText(quint16 startAddr) const {
    const auto it = blocks_.constFind(startAddr);
    if (it == blocks_.cend() || !it->readAt.isValid())
        return NotReadYetText();
    const QDateTime now = clock_ ? clock_() : QDateTime::currentDateTime();
    // A program left polling overnight: yesterday's 14:03 is not this afternoon's.
    const QString format = it->readAt.date() == now.date() ? QStringLiteral("HH:mm:ss")
                                                           : QStringLiteral("yyyy-MM-dd HH:mm:ss");
    return QCoreApplication::translate("ValueFreshness", "last read %1")
        .arg(it->readAt.toString(format));
}

ValueFreshness::Source ValueFreshness::Decoding() {
    return currentSource;
}

ValueFreshness::DecodeScope::DecodeScope(const ValueFreshness& freshness, quint16 startAddr)
    : outer_(currentSource) {
    currentSource = {&freshness, startAddr};
}

ValueFreshness::DecodeScope::~DecodeScope() {
    currentSource = outer_;
}
