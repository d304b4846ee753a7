#include "ResponseWatcher.h"

#include "TqvModbus.h"

#include <QMetaObject>

#include <algorithm>

using namespace std::chrono;

WaitJudgement JudgeWait(nanoseconds elapsed, qsizetype received, int expected,
                        const WaitRules& rules) {
    const nanoseconds interval = milliseconds(rules.interval);
    const nanoseconds limit = milliseconds(std::max(rules.interval, rules.timeout));
    const nanoseconds preview = milliseconds(rules.preview);
    const bool complete = received >= expected;
    const bool silent = rules.preview != 0 && received == 0;

    WaitJudgement j;
    j.over = elapsed > limit || (elapsed > interval && complete) || (silent && elapsed > preview);
    if (j.over)
        return j;
    // The first instant strictly past each bound that can still end the wait by time.
    constexpr nanoseconds tick{1};
    j.nextCheck = limit + tick;
    if (complete)
        j.nextCheck = std::min(j.nextCheck, interval + tick);
    if (silent)
        j.nextCheck = std::min(j.nextCheck, preview + tick);
    return j;
}

ResponseWatcher& ResponseWatcher::Instance() {
    static ResponseWatcher watcher;
    return watcher;
}

ResponseWatcher::~ResponseWatcher() {
    Stop();
}

void ResponseWatcher::Start() {
    std::lock_guard lock(mutex_);
    if (thread_.joinable())
        return;
    stop_ = false;
    thread_ = std::thread([this] { Run(); });
}

void ResponseWatcher::Stop() {
    std::thread finished;
    {
        std::lock_guard lock(mutex_);
        if (!thread_.joinable())
            return;
        stop_ = true;
        cv_.notify_all();
        finished = std::move(thread_);
    }
    // The watcher may be waiting for an evaluation that this (main) thread would have to
    // run; stop_ releases it from that wait, so joining here cannot deadlock.
    finished.join();
    std::lock_guard lock(mutex_);
    pending_ = nullptr;
    callDone_ = true;
}

bool ResponseWatcher::Running() {
    std::lock_guard lock(mutex_);
    return thread_.joinable();
}

void ResponseWatcher::Register(TqvModbus* component) {
    std::lock_guard lock(mutex_);
    if (std::find(items_.begin(), items_.end(), component) == items_.end())
        items_.push_back(component);
    WakeLocked();
}

void ResponseWatcher::Unregister(TqvModbus* component) {
    std::lock_guard lock(mutex_);
    items_.erase(std::remove(items_.begin(), items_.end(), component), items_.end());
    if (pending_ == component) {
        // The posted evaluation dies with the component; do not wait for it.
        pending_ = nullptr;
        callDone_ = true;
        cv_.notify_all();
    }
}

int ResponseWatcher::Count(const TqvModbus* component) {
    std::lock_guard lock(mutex_);
    return int(std::count(items_.begin(), items_.end(), component));
}

void ResponseWatcher::WakeLocked() {
    ++wakeGen_;
    cv_.notify_all();
}

bool ResponseWatcher::ClaimLocked(TqvModbus* c, quint64& seq, steady_clock::time_point& wakeAt,
                                  bool& haveWake) {
    if (!c->awaitingReply_.load())
        return false;
    const auto& w = c->shared_;
    // A request still with the writer has no reply window yet; the report that it
    // was written wakes the watcher.
    if (!w.started)
        return false;
    const nanoseconds elapsed = c->Now() - w.sendTime;
    const WaitJudgement j =
        JudgeWait(elapsed, w.received, w.expected, {w.interval, w.timeout, w.preview});
    if (j.over) {
        // Only one claim ends a wait; whoever makes it evaluates it.
        bool expected = true;
        if (c->awaitingReply_.compare_exchange_strong(expected, false)) {
            seq = w.seq;
            return true;
        }
        return false;
    }
    // The component's clock may be a test's; the sleep is measured on the real one.
    const auto at = steady_clock::now() + (j.nextCheck - elapsed);
    if (!haveWake || at < wakeAt)
        wakeAt = at;
    haveWake = true;
    return false;
}

bool ResponseWatcher::ClaimDue(Due& due, steady_clock::time_point& wakeAt, bool& haveWake,
                               const std::vector<TqvModbus*>& skip) {
    haveWake = false;
    for (TqvModbus* c : items_) {
        if (std::find(skip.begin(), skip.end(), c) != skip.end())
            continue;
        quint64 seq = 0;
        if (ClaimLocked(c, seq, wakeAt, haveWake)) {
            due = {c, seq};
            return true;
        }
    }
    return false;
}

bool ResponseWatcher::ClaimIfOverLocked(TqvModbus* component, quint64& seq) {
    // Without the watcher no reply is evaluated at all, and tests that stop it decide
    // alone when a wait is looked at.
    if (!thread_.joinable() || std::find(items_.begin(), items_.end(), component) == items_.end())
        return false;
    steady_clock::time_point wakeAt;
    bool haveWake = false;
    return ClaimLocked(component, seq, wakeAt, haveWake);
}

void ResponseWatcher::Run() {
    std::unique_lock lock(mutex_);
    while (!stop_) {
        Due due;
        steady_clock::time_point wakeAt;
        bool haveWake = false;
        if (ClaimDue(due, wakeAt, haveWake, {})) {
            const quint64 id = ++callId_;
            pending_ = due.component;
            callDone_ = false;
            TqvModbus* c = due.component;
            const quint64 seq = due.seq;
            // Posted while the lock is held: a component is unregistered (under this lock)
            // before it dies, so it is alive here; if it dies before the call runs, Qt
            // drops the call and Unregister releases the wait below.
            QMetaObject::invokeMethod(
                c,
                [this, c, seq, id] {
                    struct Done {
                        ResponseWatcher* w;
                        quint64 id;
                        ~Done() {
                            std::lock_guard l(w->mutex_);
                            if (w->callId_ == id) {
                                w->callDone_ = true;
                                w->pending_ = nullptr;
                                w->cv_.notify_all();
                            }
                        }
                    } done{this, id};
                    c->CompleteWait(seq);
                },
                Qt::QueuedConnection);
            cv_.wait(lock, [this] { return callDone_ || stop_; });
            continue;
        }
        const quint64 gen = wakeGen_;
        auto woken = [this, gen] { return stop_ || wakeGen_ != gen; };
        if (haveWake)
            cv_.wait_until(lock, wakeAt, woken);
        else
            cv_.wait(lock, woken);
    }
}

void ResponseWatcher::CheckNow() {
    // Each component at most once per pass, so a component whose next wait is over at
    // once (interval and timeout 0 on a real clock) cannot keep this loop going.
    std::vector<TqvModbus*> done;
    for (;;) {
        Due due;
        steady_clock::time_point wakeAt;
        bool haveWake = false;
        {
            std::lock_guard lock(mutex_);
            if (!ClaimDue(due, wakeAt, haveWake, done))
                return;
        }
        done.push_back(due.component);
        due.component->CompleteWait(due.seq);
    }
}
