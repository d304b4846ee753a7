#pragma once

#include "BusMeterState.h"
#include "BusRotation.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QtGlobal>
#include <memory>

class RequestService;
struct RequestOutcome;
class ValueFreshness;
struct SessionState;

// Makes `address` the meter every window shows and writes to, as the COMM Settings
// dialog's address does: the writes still waiting for the previous meter are dropped (a
// relay command meant for meter 1 must never reach meter 4), its parameter block is read
// first so that its values are scaled by its own PT and CT ratios, and everything shown
// counts as old until the new meter's replies come. False when it is the meter already or
// not an address of the line.
bool PickMeter(SessionState& state, ValueFreshness& freshness, int address);

// What the overview asks a meter next: its version once, its parameter block (the PT and CT
// ratios its values are scaled by) once and again every kParameterEvery turns, so a ratio
// changed at the meter's keys shows up, and its metering block on every other turn.
struct OverviewReads {
    static constexpr int kParameterEvery = 32;
    bool versionRead = false;
    bool parametersRead = false;
    quint32 turns = 0; // metering reads since the parameters were last read
    // The message string for `address`; the outcome goes to Done.
    QByteArray Next(int address) const;
    void Done(quint16 start);
};

// The meters on the line besides the one the windows show. Each round of the picked
// meter's rotation the schedule calls RoundEnded, and the overview read of the next other
// meter in turn goes out through the request service, in the place after the round: the
// picked meter's rotation stays as it is, its replies and events stay with the windows,
// and the other meters' replies reach only this overview (and whoever listens to
// Replied). A meter that stops answering is asked only as the bus rotation allows.
class BusOverview : public QObject {
    Q_OBJECT
public:
    BusOverview(SessionState& state, RequestService& requests, QObject* parent = nullptr);
    ~BusOverview() override;

    // The meters of the line; the picked meter (state.DevAddr) may be among them.
    void SetAddresses(const QList<int>& addresses);
    const QList<int>& Addresses() const { return rotation_.Addresses(); }
    // The clock of the meters' states; set before the addresses.
    void SetClock(BusMeterState::Clock clock) { clock_ = std::move(clock); }
    // Null for an address not in the list.
    const BusMeterState* Meter(int address) const;
    const BusRotation& Rotation() const { return rotation_; }

    // The picked meter's round ended: one overview read, when one is due.
    void RoundEnded();
    // The picked meter's own rotation read it (true) or found it silent (false): its row
    // is kept by the windows' replies, not by overview reads.
    void Record(int address, bool answered);

    // A block of the picked meter reached the windows: its row shows it too.
    void PickedReplied(quint16 start, const QList<quint16>& registers);

signals:
    // A meter's register block arrived (the version, 0x100 or 0x130).
    void Replied(int address, quint16 start, const QList<quint16>& registers);
    // A meter's state changed (answered, missed).
    void StateChanged(int address);

private:
    struct Entry {
        std::unique_ptr<BusMeterState> state;
        OverviewReads reads;
    };
    Entry& MeterAt(int address);
    void ReadEnded(int address, const RequestOutcome& outcome);

    SessionState& state_;
    RequestService& requests_;
    BusRotation rotation_;
    BusMeterState::Clock clock_;
    QHash<int, std::shared_ptr<Entry>> meters_;
    quint64 inFlight_ = 0; // the request service's id of the read under way, 0 when none
};
