#include "BusOverview.h"

#include "MessageText.h"
#include "MeterSearch.h"
#include "PollSchedule.h"
#include "RequestService.h"
#include "SessionState.h"
#include "ValueFreshness.h"

#include <QPointer>

namespace {
const QString kMeteringRead = ReadMessage(0x130, 0x36);
constexpr quint16 kVersionStart = 0x510;
constexpr quint16 kParameterStart = 0x100;
} // namespace

QByteArray OverviewReads::Next(int address) const {
    if (!versionRead)
        return SearchMessage(address);
    const QString& message = !parametersRead || turns >= quint32(kParameterEvery)
                                 ? PollSchedule::kParameterRead
                                 : kMeteringRead;
    return WithSlaveAddress(message, address).toLatin1();
}

void OverviewReads::Done(quint16 start) {
    if (start == kVersionStart) {
        versionRead = true;
    } else if (start == kParameterStart) {
        parametersRead = true;
        turns = 0;
    } else {
        ++turns;
    }
}

bool PickMeter(SessionState& state, ValueFreshness& freshness, int address) {
    if (address == state.DevAddr || address < 1 || address > 247)
        return false;
    for (int slot = RelaySlot; slot < ReadOnceSlot; ++slot)
        state.Schedule.Queue(slot, QString());
    // A change of the previous meter's address or rate waits for its confirmation no more.
    state.AddressChangePending = false;
    state.BaudChangePending = false;
    state.MeterAddress = 300;
    state.DevAddr = address;
    state.Schedule.QueueRead(PollSchedule::kParameterRead);
    freshness.MeterSilent();
    return true;
}

BusOverview::BusOverview(SessionState& state, RequestService& requests, QObject* parent)
    : QObject(parent), state_(state), requests_(requests) {
    // The schedule and the request service may outlive the overview, or go first when
    // the main window is taken down: neither reaches it once it is gone.
    state_.Schedule.OnRoundEnd = [self = QPointer<BusOverview>(this)] {
        if (self)
            self->RoundEnded();
    };
}

BusOverview::~BusOverview() = default;

void BusOverview::SetAddresses(const QList<int>& addresses) {
    rotation_.SetAddresses(addresses);
    QHash<int, std::shared_ptr<Entry>> kept;
    for (int a : rotation_.Addresses())
        kept.insert(a, meters_.value(a));
    meters_ = std::move(kept);
    for (int a : rotation_.Addresses())
        MeterAt(a);
}

BusOverview::Entry& BusOverview::MeterAt(int address) {
    std::shared_ptr<Entry>& m = meters_[address];
    if (!m) {
        m = std::make_shared<Entry>();
        m->state = std::make_unique<BusMeterState>(clock_);
    }
    return *m;
}

const BusMeterState* BusOverview::Meter(int address) const {
    const auto it = meters_.constFind(address);
    return it == meters_.constEnd() || !*it ? nullptr : (*it)->state.get();
}

void BusOverview::Record(int address, bool answered) {
    if (!meters_.contains(address))
        return;
    BusMeterState& m = *MeterAt(address).state;
    answered ? m.Answered() : m.Missed();
    answered ? rotation_.Answered(address) : rotation_.Missed(address);
    emit StateChanged(address);
}

void BusOverview::RoundEnded() {
    // One overview read at a time: a round that ends while the last one is still queued
    // (the line is slow, polling was restarted) adds nothing.
    if (inFlight_ != 0)
        return;
    rotation_.SetPicked(state_.DevAddr);
    const int address = rotation_.NextOverview();
    if (address == 0)
        return;
    inFlight_ = requests_.Submit(
        MeterAt(address).reads.Next(address),
        [self = QPointer<BusOverview>(this), address](const RequestOutcome& outcome) {
            if (self)
                self->ReadEnded(address, outcome);
        });
}

void BusOverview::ReadEnded(int address, const RequestOutcome& outcome) {
    inFlight_ = 0;
    // Stopped or cancelled: the meter said nothing either way.
    if (outcome.kind == RequestOutcome::Kind::Cancelled || !meters_.contains(address))
        return;
    // A meter that refuses a read is there: it answered.
    const bool exception = outcome.kind == RequestOutcome::Kind::Exception;
    if (outcome.Answered())
        MeterAt(address).reads.Done(outcome.start);
    else if (exception && outcome.request.size() >= 4 && quint8(outcome.request[2]) == 0x05)
        // A meter without the version registers is read without them.
        MeterAt(address).reads.Done(kVersionStart);
    Record(address, outcome.Answered() || exception);
    if (outcome.Answered())
        emit Replied(address, outcome.start, outcome.registers);
}

void BusOverview::PickedReplied(quint16 start, const QList<quint16>& registers) {
    const int address = state_.DevAddr;
    if (!meters_.contains(address))
        return;
    Record(address, true);
    emit Replied(address, start, registers);
}
