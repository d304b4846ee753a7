#pragma once

#include "CommTypes.h"
#include "ReceiveFilter.h"
#include "SerialDevice.h"

#include <QByteArray>
#include <QEvent>
#include <QObject>
#include <atomic>
#include <condition_variable>
#include <deque>
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
};

// How long the reader may still wait for the next byte of a chunk: the read interval
// counted from the last byte, the read total (multiplier * chunk size + constant)
// counted from the first. -1 = no limit, 0 = the chunk is complete.
int ChunkWaitMs(const CommTimeouts& timeouts, qint64 sinceLastByteMs, qint64 sinceFirstByteMs);

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
    std::optional<LineCounters> counters_;
    std::optional<quint32> modemLines_;
    int emptyWakes_ = 0;
    char buffer_[kReadChunkSize];
};

// Blocks handed over by SendData, waiting for the writer.
class SendQueue {
public:
    bool Push(QByteArray block); // false once stopped
    std::optional<QByteArray> TryPop();
    // Waits until a block is queued (true) or the queue is stopped (false).
    bool WaitForInput();
    void Stop();
    bool Stopped() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<QByteArray> blocks_;
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

private:
    void Run();
    bool WriteBlock(const QByteArray& block);

    PortLink& link_;
    SendQueue queue_;
    std::thread thread_;
};
