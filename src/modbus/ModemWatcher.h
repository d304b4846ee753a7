#pragma once

#include <QtGlobal>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class QObject;

// Watches the modem's ring and carrier lines by polling the port's modem status
// (`lineStatus`, called on the watcher's thread) on its own thread, paced (a modem line needs no
// faster look than every few tens of ms). A ring is reported when it turns on; the carrier in both
// directions. The callbacks run on the thread of `context` (the main thread), and the watcher waits
// until they have run, so no change is reported twice or out of order.
class TTraceModemStatus {
public:
    // Created suspended, with a snapshot of the current status.
    TTraceModemStatus(std::function<quint32()> lineStatus, QObject* context,
                      std::function<void()> onRing, std::function<void(bool carrierOn)> onCarrier,
                      std::chrono::milliseconds pace = std::chrono::milliseconds(50));
    ~TTraceModemStatus(); // terminates and joins; safe while a callback is pending

    TTraceModemStatus(const TTraceModemStatus&) = delete;
    TTraceModemStatus& operator=(const TTraceModemStatus&) = delete;

    // Resuming takes a fresh snapshot first, so nothing that changed while suspended is
    // reported as a change.
    void Resume();
    void Suspend();
    bool Suspended() const;
    quint64 Polls() const { return polls_.load(); }

private:
    // Shared with calls still queued on the main thread, which may outlive the watcher.
    struct State {
        std::mutex mutex;
        std::condition_variable cv;
        bool suspended = true;
        bool terminate = false;
        quint64 snapshot = 0; // counts the snapshots taken by Resume
        quint64 callId = 0;
        bool callDone = true;
    };

    void Run();
    bool CallOnMainThread(std::function<void()> call, std::unique_lock<std::mutex>& lock);

    std::function<quint32()> status_;
    QObject* context_;
    std::function<void()> onRing_;
    std::function<void(bool)> onCarrier_;
    std::chrono::milliseconds pace_;
    std::shared_ptr<State> state_ = std::make_shared<State>();
    bool lastRing_ = false; // guarded by State::mutex
    bool lastCarrier_ = false;
    std::atomic<quint64> polls_{0};
    std::thread thread_;
};
