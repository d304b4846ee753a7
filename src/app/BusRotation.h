#pragma once

#include <QHash>
#include <QList>
#include <QtGlobal>

// Which meters of a line are asked in a round, so that a line with dead meters stays fast
// for the live ones. A meter that leaves kMissesToSilent requests in a row unanswered is
// silent: it is asked again only once kSilentEvery rounds have passed since it was last
// asked, and at most one silent meter is asked in any round, so the dead meters together
// add at most one reply time-out to a round. Its next answer makes it a live meter again.
//
// Two ways to go round:
// - the program's overview: the picked meter keeps its own rotation, and each of its rounds
//   gives one extra place to the overview read of the next other meter (NextOverview);
// - the poller and the benchmark: every live meter is asked once a round (NextRound).
class BusRotation {
public:
    static constexpr int kMissesToSilent = 3;
    static constexpr int kSilentEvery = 8;

    // The meters of the line (any order, each once). Meters that stay keep what is known
    // of them; the turn goes on from where it was.
    void SetAddresses(const QList<int>& addresses);
    const QList<int>& Addresses() const { return addresses_; }
    // The meter the windows show; NextOverview leaves it out (its own rotation reads it).
    void SetPicked(int address) { picked_ = address; }
    int Picked() const { return picked_; }

    // Starts a round: the other meter whose overview read takes the round's extra place,
    // in turn, or 0 when none is due (no other meter, or only silent ones not due yet).
    int NextOverview();
    // Starts a round: the meters asked in it, in address order.
    QList<int> NextRound();

    // What became of a request to the meter.
    void Answered(int address);
    void Missed(int address);

    bool IsSilent(int address) const;
    quint64 Round() const { return round_; }

private:
    struct Meter {
        int misses = 0;        // unanswered in a row
        quint64 lastAsked = 0; // the round it was last asked in
        bool everAsked = false;
    };
    bool Silent(const Meter& m) const { return m.misses >= kMissesToSilent; }
    bool Due(const Meter& m) const;

    QList<int> addresses_;
    QHash<int, Meter> meters_;
    int picked_ = 0;
    qsizetype turn_ = 0; // index into addresses_ of the next meter in turn
    quint64 round_ = 0;
};
