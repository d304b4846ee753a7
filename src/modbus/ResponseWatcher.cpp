#include "ResponseWatcher.h"

#include <QMetaObject>
#include <QObject>

#include <algorithm>

using namespace std::chrono;

nanoseconds LineQuietTime(quint32 baud, int readIntervalMs) {
    const nanoseconds gap = baud > 19200
                                ? nanoseconds(1'750'000)
                                : nanoseconds(35'000'000'000LL / std::max<quint32>(baud, 1));
    constexpr milliseconds kAdapterLatency{16};
    return gap + kAdapterLatency + 2 * milliseconds(std::max(readIntervalMs, 0));
}

WaitJudgement JudgeWait(nanoseconds elapsed, qsizetype received, int expected,
                        const WaitRules& rules, std::optional<nanoseconds> unsettledAt) {
    const nanoseconds limit = milliseconds(std::max(rules.interval, rules.timeout));
    const nanoseconds preview = milliseconds(rules.preview);
    const bool complete = received >= expected;
    const bool silent = rules.preview != 0 && received == 0;
    // Bytes that hold no valid reply yet are judged once the line has been quiet after them.
    nanoseconds interval = milliseconds(rules.interval);
    if (unsettledAt)
        interval = std::max(interval, *unsettledAt + rules.quiet);

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

std::vector<WatchedWaits>::iterator ResponseWatcher::Find(const QObject* context) {
    return std::find_if(items_.begin(), items_.end(),
                        [context](const WatchedWaits& w) { return w.context == context; });
}

void ResponseWatcher::Register(const WatchedWaits& component) {
    std::lock_guard lock(mutex_);
    if (Find(component.context) == items_.end())
        items_.push_back(component);
    WakeLocked();
}

void ResponseWatcher::Unregister(const QObject* context) {
    std::lock_guard lock(mutex_);
    if (auto it = Find(context); it != items_.end())
        items_.erase(it);
    if (pending_ == context) {
        // The posted evaluation dies with the component; do not wait for it.
        pending_ = nullptr;
        callDone_ = true;
        cv_.notify_all();
    }
}

int ResponseWatcher::Count(const QObject* context) {
    std::lock_guard lock(mutex_);
    return Find(context) == items_.end() ? 0 : 1;
}

void ResponseWatcher::WakeLocked() {
    ++wakeGen_;
    cv_.notify_all();
}

bool ResponseWatcher::ClaimLocked(const WatchedWaits& c, quint64& seq,
                                  steady_clock::time_point& wakeAt, bool& haveWake) {
    // A request still with the writer has no reply window yet; the report that it was
    // written wakes the watcher.
    const std::optional<ReplyWait> w = c.openWait();
    if (!w)
        return false;
    const WaitJudgement j =
        JudgeWait(w->elapsed, w->received, w->expected, w->rules, w->unsettledAt);
    if (j.over) {
        if (c.claim(w->seq)) {
            seq = w->seq;
            return true;
        }
        return false;
    }
    // The component's clock may be a test's; the sleep is measured on the real one.
    const auto at = steady_clock::now() + (j.nextCheck - w->elapsed);
    if (!haveWake || at < wakeAt)
        wakeAt = at;
    haveWake = true;
    return false;
}

bool ResponseWatcher::ClaimDue(Due& due, steady_clock::time_point& wakeAt, bool& haveWake,
                               const std::vector<QObject*>& skip) {
    haveWake = false;
    for (const WatchedWaits& c : items_) {
        if (std::find(skip.begin(), skip.end(), c.context) != skip.end())
            continue;
        quint64 seq = 0;
        if (ClaimLocked(c, seq, wakeAt, haveWake)) {
            due = {c.context, c.evaluate, seq};
            return true;
        }
    }
    return false;
}

bool ResponseWatcher::ClaimIfOverLocked(const QObject* context, quint64& seq) {
    // Without the watcher no reply is evaluated at all, and tests that stop it decide
    // alone when a wait is looked at.
    if (!thread_.joinable())
        return false;
    const auto it = Find(context);
    if (it == items_.end())
        return false;
    steady_clock::time_point wakeAt;
    bool haveWake = false;
    return ClaimLocked(*it, seq, wakeAt, haveWake);
}

void ResponseWatcher::Run() {
    std::unique_lock lock(mutex_);
    while (!stop_) {
        Due due;
        steady_clock::time_point wakeAt;
        bool haveWake = false;
        if (ClaimDue(due, wakeAt, haveWake, {})) {
            const quint64 id = ++callId_;
            pending_ = due.context;
            callDone_ = false;
            // Posted while the lock is held: a component is unregistered (under this lock)
            // before it dies, so it is alive here; if it dies before the call runs, Qt
            // drops the call and Unregister releases the wait below.
            QMetaObject::invokeMethod(
                due.context,
                [this, evaluate = std::move(due.evaluate), seq = due.seq, id] {
                    struct CallFinished {
                        ResponseWatcher* w;
                        quint64 id;
                        ~CallFinished() {
                            std::lock_guard l(w->mutex_);
                            if (w->callId_ == id) {
                                w->callDone_ = true;
                                w->pending_ = nullptr;
                                w->cv_.notify_all();
                            }
                        }
                    } finished{this, id};
                    evaluate(seq);
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
    std::vector<QObject*> done;
    for (;;) {
        Due due;
        steady_clock::time_point wakeAt;
        bool haveWake = false;
        {
            std::lock_guard lock(mutex_);
            if (!ClaimDue(due, wakeAt, haveWake, done))
                return;
        }
        done.push_back(due.context);
        due.evaluate(due.seq);
    }
}
