#pragma once

#include "CommTypes.h"
#include "ReceiveFilter.h"
#include "SerialDevice.h"

#include <QByteArray>
#include <QEvent>
#include <QObject>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

// Numbers of the notifications the workers post to the component's receiver.
namespace CommMessage {
constexpr int ReceiveData = 1025;
constexpr int ReceiveError = 1026;
constexpr int RequestHangup = 1027;
constexpr int ModemStateChange = 1028;
constexpr int SendDataEmpty = 1029;
} // namespace CommMessage

// Received chunks are read in pieces of at most this many bytes.
constexpr std::size_t kReadChunkSize = 2048;
// How often the reader samples modem lines and error counters on drivers that have them.
constexpr int kLineSamplePeriodMs = 50;
// Chunks posted but not yet handled on the main thread before the reader pauses: a
// flooding device then fills the driver's queue instead of the program's memory.
constexpr int kMaxPendingChunks = 256;

// One notification from a worker. A received block travels inside it and is freed
// with it, whether or not anybody handled it.
class CommEvent : public QEvent {
public:
    CommEvent(int message, quint64 session, quint32 param, QByteArray block = {},
              std::shared_ptr<std::atomic<int>> backlog = nullptr);
    ~CommEvent() override;
    CommEvent(const CommEvent&) = delete;
    CommEvent& operator=(const CommEvent&) = delete;

    int Message() const { return static_cast<int>(type()); }
    const quint64 session;
    const quint32 param;
    const QByteArray block;

private:
    std::shared_ptr<std::atomic<int>> backlog_;
};

// What the component shares with its workers while the port is open.
struct PortLink {
    // The writer's word to the reader about the reply to the request it is putting into
    // the driver: its length in bytes (0 = none awaited), and a new number for each
    // request so the reader can tell a new wait from the old one.
    struct AwaitedReply {
        quint32 request = 0;
        quint32 bytes = 0;
    };
    void ExpectReply(quint32 bytes); // by whoever writes the request; one at a time
    AwaitedReply Awaited() const;

    SerialDevice* device = nullptr;
    QObject* receiver = nullptr;
    quint64 session = 0;
    std::atomic<bool>* sendQueueEmpty = nullptr;
    std::shared_ptr<std::atomic<int>> backlog = std::make_shared<std::atomic<int>>(0);

    // The reader's byte clean-up follows the line settings, which may change while open.
    void SetFilter(const ReceiveFilter::Settings& settings);
    ReceiveFilter::Settings Filter() const;

    void Post(int message, quint32 param = 0, QByteArray block = {}) const;

private:
    mutable std::mutex filterMutex_;
    ReceiveFilter::Settings filter_;
    std::atomic<quint64> awaited_{0}; // request number << 32 | bytes
};

// How long the reader may still wait for the next byte of a chunk: the read interval
// counted from the last byte, the read total (multiplier * chunk size + constant)
// counted from the first. -1 = no limit, 0 = the chunk is complete.
int ChunkWaitMs(const CommTimeouts& timeouts, qint64 sinceLastByteMs, qint64 sinceFirstByteMs);

// Counts received bytes against the reply the writer announced: true once as many bytes
// as awaited have come in since its request was written. Bytes that arrive before the
// announcement are not counted, so a reply that beats it ends its chunk by the read
// interval as before.
class ReplyCounter {
public:
    bool Add(const PortLink::AwaitedReply& awaited, std::size_t bytes);

private:
    quint32 request_ = 0;
    quint64 received_ = 0;
    bool complete_ = true; // nothing awaited before the first request
};

// Reads the device until closed: received chunks, line errors, modem line changes.
class TReadThread {
public:
    explicit TReadThread(PortLink& link);
    ~TReadThread();
    void Start(); // throws std::system_error when no thread can be made
    void Join();

private:
    void Run();
    bool ReadChunk();
    bool Deliver(char* data, std::size_t count);
    void SampleLines();

    PortLink& link_;
    std::thread thread_;
    ReceiveFilter filter_;
    ReplyCounter reply_;
    std::optional<LineCounters> counters_;
    std::optional<quint32> modemLines_;
    int emptyWakes_ = 0;
    char buffer_[kReadChunkSize];
};

using SteadyTime = std::chrono::steady_clock::time_point;

// One block handed over by SendData or SendRequest.
struct SendBlock {
    QByteArray bytes;
    // A request: its reply length is announced to the reader once it is written, and
    // `done` learns the moment the writer is through with it (written whole, given up,
    // or dropped when the port closes). Called exactly once, on whichever thread that is.
    bool request = false;
    quint32 replyLength = 0;
    bool announced = false; // the reader has been told of the reply already
    std::function<void(SteadyTime)> done;

    void Finish(SteadyTime at);
};

// Blocks waiting for the writer.
class SendQueue {
public:
    bool Push(SendBlock block); // false once stopped
    // The next block; the queue counts as busy until Written().
    std::optional<SendBlock> TryPop();
    void Written();
    // Nothing queued and nothing being written: the caller may write a block itself,
    // and the queue counts as busy until it calls Written() or HandBack().
    bool ClaimIdle();
    // What the caller could not write goes first in line for the writer (false, and
    // `rest` untouched, when the queue has been stopped meanwhile).
    bool HandBack(SendBlock& rest);
    // Waits until a block is queued (true) or the queue is stopped (false).
    bool WaitForInput();
    // Refuses further blocks and finishes those still waiting, unwritten.
    void Stop();
    bool Stopped() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<SendBlock> blocks_;
    bool busy_ = false;
    bool stopped_ = false;
};

// Writes queued blocks out in order until closed.
class TWriteThread {
public:
    explicit TWriteThread(PortLink& link);
    ~TWriteThread();
    void Start(); // throws std::system_error when no thread can be made
    void Join();
    SendQueue& Queue() { return queue_; }
    // On the owner's thread: when the writer is idle and the line takes the block at
    // once, writes it right here and spares the hand-over to the writer thread (a
    // request reaches the meter sooner). What the line does not take goes to the writer.
    // False when the writer is busy; the block is then untouched.
    bool WriteNowIfIdle(SendBlock& block);

private:
    void Run();
    bool WriteBlock(const QByteArray& block);

    PortLink& link_;
    SendQueue queue_;
    std::thread thread_;
};
