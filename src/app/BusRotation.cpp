#include "BusRotation.h"

#include <algorithm>

void BusRotation::SetAddresses(const QList<int>& addresses) {
    const int next = turn_ < addresses_.size() ? addresses_[turn_] : 0;
    addresses_ = addresses;
    std::sort(addresses_.begin(), addresses_.end());
    addresses_.erase(std::unique(addresses_.begin(), addresses_.end()), addresses_.end());
    QHash<int, Meter> kept;
    for (int a : addresses_)
        kept.insert(a, meters_.value(a));
    meters_ = std::move(kept);
    // The turn goes on at the meter that was next, or the first one above it.
    turn_ = std::lower_bound(addresses_.begin(), addresses_.end(), next) - addresses_.begin();
    if (turn_ >= addresses_.size())
        turn_ = 0;
}

bool BusRotation::Due(const Meter& m) const {
    return !Silent(m) || !m.everAsked || round_ - m.lastAsked >= quint64(kSilentEvery);
}

int BusRotation::NextOverview() {
    ++round_;
    const qsizetype n = addresses_.size();
    for (qsizetype step = 0; step < n; ++step) {
        const qsizetype i = (turn_ + step) % n;
        const int address = addresses_[i];
        Meter& m = meters_[address];
        if (address == picked_ || !Due(m))
            continue;
        m.lastAsked = round_;
        m.everAsked = true;
        turn_ = (i + 1) % n;
        return address;
    }
    return 0;
}

QList<int> BusRotation::NextRound() {
    ++round_;
    QList<int> round;
    // The silent meter due that waited longest gets the round's one probe.
    int probe = 0;
    for (int a : addresses_) {
        const Meter& m = meters_[a];
        if (!Silent(m) || !Due(m))
            continue;
        if (probe == 0 || m.lastAsked < meters_[probe].lastAsked)
            probe = a;
    }
    for (int a : addresses_) {
        Meter& m = meters_[a];
        if (Silent(m) && a != probe)
            continue;
        m.lastAsked = round_;
        m.everAsked = true;
        round << a;
    }
    return round;
}

void BusRotation::Answered(int address) {
    auto it = meters_.find(address);
    if (it != meters_.end())
        it->misses = 0;
}

void BusRotation::Missed(int address) {
    auto it = meters_.find(address);
    if (it != meters_.end() && it->misses < kMissesToSilent)
        ++it->misses;
}

bool BusRotation::IsSilent(int address) const {
    const auto it = meters_.constFind(address);
    return it != meters_.constEnd() && Silent(*it);
}
