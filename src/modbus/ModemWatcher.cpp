#include "ModemWatcher.h"

#include <QMetaObject>
#include <QObject>

namespace {
constexpr quint32 kRing = 0x40;
constexpr quint32 kCarrier = 0x80;
} // namespace

TTraceModemStatus::TTraceModemStatus(std::function<quint32()> lineStatus, QObject* context,
                                     std::function<void()> onRing,
                                     std::function<void(bool)> onCarrier,
                                     std::chrono::milliseconds pace)
    : status_(std::move(lineStatus)), context_(context), onRing_(std::move(onRing)),
      onCarrier_(std::move(onCarrier)), pace_(pace) {
    const quint32 status = status_();
    lastRing_ = status & kRing;
    lastCarrier_ = status & kCarrier;
    thread_ = std::thread([this] { Run(); });
}

TTraceModemStatus::~TTraceModemStatus() {
    {
        std::lock_guard lock(state_->mutex);
        state_->terminate = true;
        state_->cv.notify_all();
    }
    thread_.join();
}

void TTraceModemStatus::Resume() {
    std::lock_guard lock(state_->mutex);
    if (!state_->suspended)
        return;
    // The snapshot is taken here, before the watcher runs again, so a change that comes
    // after Resume is always reported and one from before it never is.
    const quint32 status = status_();
    lastRing_ = status & kRing;
    lastCarrier_ = status & kCarrier;
    ++state_->snapshot;
    state_->suspended = false;
    state_->cv.notify_all();
}

void TTraceModemStatus::Suspend() {
    std::lock_guard lock(state_->mutex);
    state_->suspended = true;
    state_->cv.notify_all();
}

bool TTraceModemStatus::Suspended() const {
    std::lock_guard lock(state_->mutex);
    return state_->suspended;
}

bool TTraceModemStatus::CallOnMainThread(std::function<void()> call,
                                         std::unique_lock<std::mutex>& lock) {
    const quint64 id = ++state_->callId;
    state_->callDone = false;
    QMetaObject::invokeMethod(
        context_,
        [state = state_, id, call = std::move(call)] {
            struct Done {
                State& s;
                quint64 id;
                ~Done() {
                    std::lock_guard l(s.mutex);
                    if (s.callId == id) {
                        s.callDone = true;
                        s.cv.notify_all();
                    }
                }
            } done{*state, id};
            call();
        },
        Qt::QueuedConnection);
    // Termination releases the wait: the owner may be joining this thread from the very
    // thread that would run the call. A call still queued then runs later on its own
    // copies (its context, the component, is still alive) or dies with the context.
    state_->cv.wait(lock, [this] { return state_->callDone || state_->terminate; });
    return !state_->terminate;
}

void TTraceModemStatus::Run() {
    State& s = *state_;
    std::unique_lock lock(s.mutex);
    for (;;) {
        s.cv.wait(lock, [&s] { return s.terminate || !s.suspended; });
        if (s.terminate)
            return;
        const quint64 snapshot = s.snapshot;
        lock.unlock();
        const quint32 status = status_();
        lock.lock();
        ++polls_;
        const bool ring = status & kRing;
        const bool carrier = status & kCarrier;
        // A look taken before a newer snapshot is older news than the snapshot.
        if (snapshot == s.snapshot && !s.suspended) {
            if (ring != lastRing_) {
                lastRing_ = ring;
                if (ring && !CallOnMainThread(onRing_, lock))
                    return;
            }
            if (carrier != lastCarrier_) {
                lastCarrier_ = carrier;
                auto report = [onCarrier = onCarrier_, carrier] { onCarrier(carrier); };
                if (!CallOnMainThread(report, lock))
                    return;
            }
        }
        s.cv.wait_for(lock, pace_, [&s] { return s.terminate; });
    }
}
