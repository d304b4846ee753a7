#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

struct FaultSettings {
    double drop = 0.0;    // probability that a reply is not sent
    double corrupt = 0.0; // probability that one bit of the reply is flipped
    double stray = 0.0;   // probability of junk bytes in front of the reply
    bool split = false;   // write every reply in several pieces
    std::uint32_t seed = 1;
};

// How one reply goes out on the line.
struct ReplyPlan {
    bool dropped = false;
    std::vector<std::uint8_t> bytes; // stray bytes and the (possibly corrupted) reply
    std::vector<std::size_t> pieces; // sizes of the writes, adding up to bytes.size()
};

// Counts of what went out and what was injected, printed for soak runs.
struct FaultCounts {
    std::uint64_t replies = 0; // replies handed to the injector
    std::uint64_t dropped = 0;
    std::uint64_t corrupted = 0;
    std::uint64_t stray = 0;
    std::uint64_t split = 0;
};

// Decides, reply by reply, which faults the line shows. Every reply consumes
// the same number of random draws, so with one seed the n-th reply always
// meets the same faults whatever the replies contain.
class FaultInjector {
public:
    explicit FaultInjector(const FaultSettings& settings);

    // `address` is the meter's address: junk never contains it, so the master
    // cannot mistake junk for the start of the reply.
    ReplyPlan plan(std::vector<std::uint8_t> reply, std::uint8_t address);

    const FaultCounts& counts() const { return counts_; }

private:
    FaultSettings settings_;
    std::mt19937 rng_;
    FaultCounts counts_;
};

// Whether `request` is a register read starting at one of `starts`: blocks the simulated
// meter keeps silent about, as a meter whose firmware lacks them, so that a master's
// handling of a missing block can be seen.
bool ReadsBlockOf(const std::vector<std::uint8_t>& request,
                  const std::vector<std::uint16_t>& starts);

// The first `count` reads of the block starting at register `start` go unanswered: a
// scripted loss, so that a master's handling of one lost request can be seen exactly.
struct ScriptedDrop {
    std::uint16_t start = 0;
    std::uint32_t count = 1;
};

// Whether the reply to `request` is one of the scripted losses; counts that loss down.
bool TakeScriptedDrop(std::vector<ScriptedDrop>& drops, const std::vector<std::uint8_t>& request);

// Requests the meter refuses: reads or writes of the block starting at register `start`,
// answered with an exception reply of code `exception`, or not at all when it is 0. A
// refused write is not carried out, so a master's handling of a meter that will not take a
// setting (and of its own rollback) can be seen.
struct Refusal {
    bool write = true;
    std::uint16_t start = 0;
    std::uint8_t exception = 4; // Slave Device Failure; 0 = no reply
};

// The refusal `request` (a complete frame) meets, or nullptr. Writes are functions 06, 10
// and B0; reads 03 and 04.
const Refusal* RefusalOf(const std::vector<Refusal>& refusals,
                         const std::vector<std::uint8_t>& request);
// The exception reply to `request` with `code`, CRC included.
std::vector<std::uint8_t> ExceptionReply(const std::vector<std::uint8_t>& request,
                                         std::uint8_t code);

// What the line side saw, besides the replies.
struct LineCounts {
    std::uint64_t frames = 0;    // frames received (complete by the silence rule)
    std::uint64_t ignored = 0;   // bad CRC, another address or too short
    std::uint64_t wrongBaud = 0; // heard while the line ran at another baud rate
    std::uint64_t overlong = 0;  // longer than any frame
    std::uint64_t broadcasts = 0;
    std::uint64_t exceptions = 0; // exception replies among the replies
    // Replies that went out after the master had already sent its next request: it had
    // given up waiting (the simulator was held up), and the reply lands in front of the
    // answer to that next request.
    std::uint64_t late = 0;
    std::uint64_t scriptedDrops = 0; // replies left out by --drop-read
    std::uint64_t refused = 0;       // requests refused by --refuse-write or --refuse-read
};

// One line of key=value pairs, starting with "meter-sim-stats".
std::string StatsLine(const LineCounts& line, const FaultCounts& faults);
