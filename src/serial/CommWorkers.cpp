#include "CommWorkers.h"
#include "LineEvents.h"

#include <QCoreApplication>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <limits>
#include <sys/resource.h>
#include <unistd.h>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;

qint64 MsSince(Clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

// The reader runs above the writer, both above the main thread, so a reply is taken
// off the line before anything else. Raising priority needs privileges most users
// lack; the port works the same without it, so a refusal is not an error.
void RaiseThreadPriority(int steps) {
    const id_t tid = static_cast<id_t>(gettid());
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, tid);
    if (errno != 0)
        return;
    (void)setpriority(PRIO_PROCESS, tid, nice - steps);
}

// A driver that keeps saying "ready" and then has nothing to give (or no room to
// take) would turn a worker into a busy loop. After many such wakes in a row the
// worker rests a little before each further try, until bytes move again. False when
// the port closes meanwhile.
bool PauseAfterEmptyWake(SerialDevice& dev, int& emptyWakes) {
    constexpr int kEmptyWakeLimit = 100;
    if (emptyWakes < kEmptyWakeLimit) {
        ++emptyWakes;
        return true;
    }
    return dev.WaitClosed(10) != SerialDevice::Wait::Closed;
}

} // namespace

CommEvent::CommEvent(int message, quint64 session_, quint32 param_, QByteArray block_,
                     std::shared_ptr<std::atomic<int>> backlog)
    : QEvent(static_cast<QEvent::Type>(message)), session(session_), param(param_),
      block(std::move(block_)), backlog_(std::move(backlog)) {}

CommEvent::~CommEvent() {
    if (backlog_)
        --*backlog_;
}

void PortLink::SetFilter(const ReceiveFilter::Settings& settings) {
    std::lock_guard lock(filterMutex_);
    filter_ = settings;
}

ReceiveFilter::Settings PortLink::Filter() const {
    std::lock_guard lock(filterMutex_);
    return filter_;
}

void PortLink::Post(int message, quint32 param, QByteArray block) const {
    std::shared_ptr<std::atomic<int>> counted;
    if (message == CommMessage::ReceiveData) {
        counted = backlog;
        ++*counted;
    }
    QCoreApplication::postEvent(receiver,
                                new CommEvent(message, session, param, std::move(block), counted));
}

void PortLink::ExpectReply(quint32 bytes) {
    const quint64 request = (awaited_.load() >> 32) + 1;
    awaited_.store((request << 32) | bytes);
}

PortLink::AwaitedReply PortLink::Awaited() const {
    const quint64 v = awaited_.load();
    return {static_cast<quint32>(v >> 32), static_cast<quint32>(v & 0xFFFFFFFFu)};
}

bool ReplyCounter::Add(const PortLink::AwaitedReply& awaited, std::size_t bytes) {
    if (awaited.request != request_) {
        request_ = awaited.request;
        received_ = 0;
        complete_ = awaited.bytes == 0;
    }
    received_ += bytes;
    if (complete_ || received_ < awaited.bytes)
        return false;
    // Only the chunk that completes the reply ends early; later bytes (an answer longer
    // than awaited, a second answer) go by the read interval again.
    complete_ = true;
    return true;
}

int ChunkWaitMs(const CommTimeouts& t, qint64 sinceLastByteMs, qint64 sinceFirstByteMs) {
    constexpr quint32 kNoWait = std::numeric_limits<quint32>::max();
    if (t.ReadIntervalTimeout == kNoWait)
        return 0;
    qint64 wait = -1;
    if (t.ReadIntervalTimeout != 0)
        wait = std::max<qint64>(0, qint64(t.ReadIntervalTimeout) - sinceLastByteMs);
    const quint64 total = quint64(t.ReadTotalTimeoutMultiplier) * kReadChunkSize +
                          quint64(t.ReadTotalTimeoutConstant);
    if (total != 0) {
        const qint64 left = std::max<qint64>(
            0, qint64(std::min<quint64>(total, std::numeric_limits<qint32>::max())) -
                   sinceFirstByteMs);
        wait = wait < 0 ? left : std::min(wait, left);
    }
    return static_cast<int>(std::min<qint64>(wait, std::numeric_limits<int>::max()));
}

// ---------------------------------------------------------------- reader

TReadThread::TReadThread(PortLink& link) : link_(link) {
    // Drivers that count line events report modem lines through the counters too;
    // the others may still show the lines themselves. Pseudo-terminals have neither,
    // and then the reader sleeps until bytes or the close event arrive. The first
    // sample is taken here, while the port opens, so that every change after the
    // opening is seen.
    counters_ = link_.device->Counters();
    if (!counters_)
        modemLines_ = link_.device->ModemStatus();
}

TReadThread::~TReadThread() {
    Join();
}

void TReadThread::Start() {
    thread_ = std::thread([this] { Run(); });
}

void TReadThread::Join() {
    if (thread_.joinable())
        thread_.join();
}

void TReadThread::Run() {
    RaiseThreadPriority(2);
    SerialDevice& dev = *link_.device;
    for (;;) {
        if (link_.backlog->load() >= kMaxPendingChunks) {
            if (dev.WaitClosed(20) == SerialDevice::Wait::Closed)
                break;
            continue;
        }
        const bool watching = counters_ || modemLines_;
        const auto w = dev.WaitReadable(watching ? kLineSamplePeriodMs : -1);
        if (w == SerialDevice::Wait::Closed)
            break;
        if (w == SerialDevice::Wait::Hangup) {
            link_.Post(CommMessage::RequestHangup);
            break;
        }
        if (w == SerialDevice::Wait::Ready && !ReadChunk())
            break;
        SampleLines();
    }
    dev.Purge(true, false);
}

// Gathers one chunk: it ends when the read interval passes without another byte, the
// read total runs out, or the buffer is full, so a reply usually arrives in one piece.
// It also ends as soon as the reply the writer announced is complete and the driver has
// nothing more at hand: waiting out the interval after the last byte of an answer
// whose length is known would only delay it.
bool TReadThread::ReadChunk() {
    SerialDevice& dev = *link_.device;
    std::size_t count = 0;
    bool ok = true;
    bool replyComplete = false;
    Clock::time_point first{}, last{};
    while (count < kReadChunkSize) {
        const SerialDevice::Io io = dev.Read(buffer_ + count, kReadChunkSize - count);
        if (io.status == SerialDevice::Io::Status::Done) {
            emptyWakes_ = 0;
            last = Clock::now();
            if (count == 0)
                first = last;
            count += io.bytes;
            if (reply_.Add(link_.Awaited(), io.bytes))
                replyComplete = true;
            continue;
        }
        if (io.status != SerialDevice::Io::Status::WouldBlock) {
            // End of file on a terminal means it was hung up (the far end of a
            // pseudo-terminal closed, an adapter unplugged): as fatal as an I/O error.
            ok = false;
            break;
        }
        if (count == 0)
            return PauseAfterEmptyWake(dev, emptyWakes_);
        if (replyComplete)
            break;
        const int wait = ChunkWaitMs(dev.Timeouts(), MsSince(last), MsSince(first));
        if (wait == 0)
            break;
        const auto w = dev.WaitReadable(wait);
        if (w == SerialDevice::Wait::Closed)
            return false;
        if (w == SerialDevice::Wait::TimedOut)
            break;
        if (w == SerialDevice::Wait::Hangup) {
            ok = false;
            break;
        }
    }
    if (count > 0 && !Deliver(buffer_, count))
        return false;
    if (!ok)
        link_.Post(CommMessage::RequestHangup);
    return ok;
}

bool TReadThread::Deliver(char* data, std::size_t count) {
    filter_.Configure(link_.Filter());
    count = filter_.Apply(data, count);
    if (count == 0)
        return true;
    link_.Post(CommMessage::ReceiveData, static_cast<quint32>(count),
               QByteArray(data, static_cast<qsizetype>(count)));
    return true;
}

void TReadThread::SampleLines() {
    SerialDevice& dev = *link_.device;
    if (counters_) {
        // A driver that stops answering has usually gone away; the next wait tells.
        const auto now = dev.Counters();
        if (!now) {
            counters_.reset();
            return;
        }
        if (const quint32 errors = LineErrorFlags(*counters_, *now))
            link_.Post(CommMessage::ReceiveError, errors);
        if (const quint32 modem = ModemEventsFromCounters(*counters_, *now))
            link_.Post(CommMessage::ModemStateChange, modem);
        counters_ = now;
    } else if (modemLines_) {
        const auto now = dev.ModemStatus();
        if (!now) {
            modemLines_.reset();
            return;
        }
        if (const quint32 modem = ModemEventsFromStatus(*modemLines_, *now))
            link_.Post(CommMessage::ModemStateChange, modem);
        modemLines_ = now;
    }
}

// ---------------------------------------------------------------- send queue

void SendBlock::Finish(SteadyTime at) {
    if (auto call = std::exchange(done, nullptr))
        call(at);
}

bool SendQueue::Push(SendBlock block) {
    {
        std::lock_guard lock(mutex_);
        if (stopped_)
            return false;
        blocks_.push_back(std::move(block));
    }
    cv_.notify_one();
    return true;
}

std::optional<SendBlock> SendQueue::TryPop() {
    std::lock_guard lock(mutex_);
    if (stopped_ || blocks_.empty())
        return std::nullopt;
    SendBlock block = std::move(blocks_.front());
    blocks_.pop_front();
    busy_ = true;
    return block;
}

void SendQueue::Written() {
    std::lock_guard lock(mutex_);
    busy_ = false;
}

bool SendQueue::ClaimIdle() {
    std::lock_guard lock(mutex_);
    if (stopped_ || busy_ || !blocks_.empty())
        return false;
    busy_ = true;
    return true;
}

bool SendQueue::HandBack(SendBlock& rest) {
    {
        std::lock_guard lock(mutex_);
        busy_ = false;
        if (stopped_)
            return false;
        blocks_.push_front(std::move(rest));
    }
    cv_.notify_one();
    return true;
}

bool SendQueue::WaitForInput() {
    std::unique_lock lock(mutex_);
    cv_.wait(lock, [this] { return stopped_ || !blocks_.empty(); });
    return !stopped_;
}

void SendQueue::Stop() {
    std::deque<SendBlock> dropped;
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
        dropped.swap(blocks_);
    }
    cv_.notify_all();
    const SteadyTime now = Clock::now();
    for (SendBlock& b : dropped)
        b.Finish(now);
}

bool SendQueue::Stopped() const {
    std::lock_guard lock(mutex_);
    return stopped_;
}

// ---------------------------------------------------------------- writer

TWriteThread::TWriteThread(PortLink& link) : link_(link) {}

TWriteThread::~TWriteThread() {
    queue_.Stop();
    Join();
}

void TWriteThread::Start() {
    thread_ = std::thread([this] { Run(); });
}

void TWriteThread::Join() {
    if (thread_.joinable())
        thread_.join();
}

void TWriteThread::Run() {
    RaiseThreadPriority(1);
    // The owner hears once that the writer is ready, then once each time the queue
    // runs dry after a write.
    bool notify = true;
    for (;;) {
        std::optional<SendBlock> block = queue_.TryPop();
        if (!block) {
            if (queue_.Stopped())
                break;
            link_.sendQueueEmpty->store(true);
            if (notify)
                link_.Post(CommMessage::SendDataEmpty);
            notify = false;
            if (!queue_.WaitForInput())
                break;
            continue;
        }
        link_.sendQueueEmpty->store(false);
        // Announced before the write: however long this thread is held up after it,
        // the reader already counts towards the reply when its first byte comes.
        if (block->request && !block->announced)
            link_.ExpectReply(block->replyLength);
        const bool written = WriteBlock(block->bytes);
        block->Finish(Clock::now());
        if (!written)
            break; // still busy: nobody writes past a failure before the queue stops
        queue_.Written();
        notify = true;
    }
    // Whatever ended the writer, nothing will serve the queue again: later SendData
    // calls are refused instead of piling up.
    queue_.Stop();
    link_.device->Purge(false, true);
    link_.sendQueueEmpty->store(true);
}

bool TWriteThread::WriteNowIfIdle(SendBlock& block) {
    if (!queue_.ClaimIdle())
        return false;
    SerialDevice& dev = *link_.device;
    link_.sendQueueEmpty->store(false);
    if (block.request) {
        link_.ExpectReply(block.replyLength); // before the write, as the writer does
        block.announced = true;
    }
    qsizetype done = 0;
    while (done < block.bytes.size()) {
        const SerialDevice::Io io = dev.Write(block.bytes.constData() + done,
                                              static_cast<std::size_t>(block.bytes.size() - done));
        if (io.status != SerialDevice::Io::Status::Done)
            break; // full, held or failing: the writer waits for room or reports it
        done += static_cast<qsizetype>(io.bytes);
    }
    if (done < block.bytes.size()) {
        block.bytes.remove(0, done);
        if (!queue_.HandBack(block))
            block.Finish(Clock::now()); // closing meanwhile: dropped like any queued block
        return true;
    }
    block.Finish(Clock::now());
    link_.sendQueueEmpty->store(true);
    queue_.Written();
    link_.Post(CommMessage::SendDataEmpty);
    return true;
}

bool TWriteThread::WriteBlock(const QByteArray& block) {
    SerialDevice& dev = *link_.device;
    const CommTimeouts t = dev.Timeouts();
    const quint64 totalMs = quint64(t.WriteTotalTimeoutMultiplier) * quint64(block.size()) +
                            quint64(t.WriteTotalTimeoutConstant);
    const Clock::time_point start = Clock::now();
    int emptyWakes = 0;
    const char* p = block.constData();
    std::size_t left = static_cast<std::size_t>(block.size());
    while (left > 0) {
        const SerialDevice::Io io = dev.Write(p, left);
        if (io.status == SerialDevice::Io::Status::Done) {
            emptyWakes = 0;
            p += io.bytes;
            left -= io.bytes;
            continue;
        }
        if (io.status != SerialDevice::Io::Status::WouldBlock) {
            link_.Post(CommMessage::RequestHangup);
            return false;
        }
        if (!PauseAfterEmptyWake(dev, emptyWakes))
            return false;
        int wait = -1;
        if (totalMs != 0) {
            const qint64 remaining = qint64(std::min<quint64>(totalMs, INT32_MAX)) - MsSince(start);
            // A block the line cannot take in time (held by flow control) went out
            // only in part, if at all: a failed write, like any other.
            if (remaining <= 0) {
                link_.Post(CommMessage::RequestHangup);
                return false;
            }
            wait = static_cast<int>(remaining);
        }
        const auto w = dev.WaitWritable(wait);
        if (w == SerialDevice::Wait::Closed)
            return false;
        if (w == SerialDevice::Wait::Hangup) {
            link_.Post(CommMessage::RequestHangup);
            return false;
        }
    }
    return true;
}
