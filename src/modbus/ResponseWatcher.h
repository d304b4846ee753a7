#pragma once

#include <QtGlobal>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

class QObject;

// What paces a wait for a reply: three numbers in milliseconds, and the quiet time.
struct WaitRules {
    quint32 interval = 1000; // never evaluate earlier than this after the write
    quint32 timeout = 3000;  // with interval, the longest wait
    quint32 preview = 0;     // give up early when nothing at all came in; 0 = off
    // How long no chunk may come before bytes that are long enough but hold no valid reply
    // at their start are judged: the line has fallen silent, and what arrived is all there
    // is. 0 judges them at once.
    std::chrono::nanoseconds quiet{0};
};

// The quiet time for a line at `baud` whose port hands bytes over after `readIntervalMs`
// without another. Bytes a port handed over early (they reached the awaited length) may
// be followed within a frame gap (3.5 characters of 10 bits, 1.75 ms above 19200 baud) by
// more; a USB serial adapter may hold those up to its latency timer (16 ms by default on
// the common ones) before the machine sees them, and the port then holds them one read
// interval more before handing them over; one more read interval covers the hand-over
// itself on a busy machine.
std::chrono::nanoseconds LineQuietTime(quint32 baud, int readIntervalMs);

struct WaitJudgement {
    bool over = false;
    // When not over: the elapsed time at which the passing of time alone can next end
    // the wait (the first instant strictly past a rule's bound). New bytes can end it
    // sooner, and every chunk wakes the watcher.
    std::chrono::nanoseconds nextCheck{0};
};

// The wait after a write is over when (a) more than the larger of interval and timeout
// has elapsed, or (b) more than interval has elapsed and at least `expected` bytes came
// in, or (c) preview is set, more than preview has elapsed and nothing came in at all.
// Every comparison of time is strict.
// `unsettledAt` is set when the bytes are long enough but no valid reply starts where the
// reply should (junk in front of a reply still on its way, or a damaged one): the elapsed
// time of their latest chunk. Rule (b) then also waits until more than rules.quiet has
// passed since that chunk; (a) still ends the wait at the limit.
WaitJudgement JudgeWait(std::chrono::nanoseconds elapsed, qsizetype received, int expected,
                        const WaitRules& rules,
                        std::optional<std::chrono::nanoseconds> unsettledAt = std::nullopt);

// One wait for a reply as the watcher sees it: taken under the watcher's mutex, on the
// clock of the component that waits.
struct ReplyWait {
    std::chrono::nanoseconds elapsed{0}; // since the request was written
    qsizetype received = 0;
    int expected = 8;
    WaitRules rules;
    quint64 seq = 0; // numbers the wait, so a stale evaluation is dropped
    std::optional<std::chrono::nanoseconds> unsettledAt; // see JudgeWait
};

// What the watcher knows of a component that waits for replies: three calls, nothing of
// its insides.
struct WatchedWaits {
    QObject* context = nullptr; // the component; evaluations run on its thread
    // With the watcher's mutex held: the wait whose reply window is open, if there is one.
    std::function<std::optional<ReplyWait>()> openWait;
    // With the mutex held: ends the wait `seq`, which the rules call over. Only one claim
    // can end a wait; true for the one that did, which then has it evaluated.
    std::function<bool(quint64 seq)> claim;
    // On the component's thread: evaluates the claimed wait `seq`.
    std::function<void(quint64 seq)> evaluate;
};

// The one response watcher of the process. Components register once; the watcher
// sleeps on a condition variable until the earliest moment a registered wait can end
// (or until a chunk, a new wait or a change of rules wakes it), decides, and hands the
// evaluation to the component's own thread, waiting there until it has run. Because the
// component starts its next transaction inside that evaluation, one wait always ends
// before the next begins.
//
// The mutex also guards what each component publishes of its wait.
class ResponseWatcher {
public:
    static ResponseWatcher& Instance();

    void Start(); // throws std::system_error when the thread cannot be created
    void Stop();  // safe while the watcher waits on the main thread
    bool Running();

    void Register(const WatchedWaits& component); // added once (by its context)
    void Unregister(const QObject* context);
    int Count(const QObject* context);

    std::mutex& Mutex() { return mutex_; }
    // Call with Mutex() held after changing anything the rules look at.
    void WakeLocked();

    // One pass on the calling thread: every wait that is over is evaluated at once.
    void CheckNow();
    // With Mutex() held, while the watcher runs: claims the wait of `component` when the
    // rules say it is over; the caller then evaluates it (wait number in `seq`).
    bool ClaimIfOverLocked(const QObject* context, quint64& seq);

private:
    ResponseWatcher() = default;
    ~ResponseWatcher(); // a program that never stopped the watcher still ends cleanly
    struct Due {
        QObject* context = nullptr;
        std::function<void(quint64)> evaluate;
        quint64 seq = 0;
    };
    std::vector<WatchedWaits>::iterator Find(const QObject* context);
    // Finds the first registered wait that is over and claims it; otherwise sets
    // `wakeAt` to the earliest real instant at which one may be over.
    bool ClaimDue(Due& due, std::chrono::steady_clock::time_point& wakeAt, bool& haveWake,
                  const std::vector<QObject*>& skip);
    // With the mutex held: the wait of `c` is over and now claimed; else when it may be.
    bool ClaimLocked(const WatchedWaits& c, quint64& seq,
                     std::chrono::steady_clock::time_point& wakeAt, bool& haveWake);
    void Run();

    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<WatchedWaits> items_;
    std::thread thread_;
    bool stop_ = false;
    quint64 wakeGen_ = 0;
    // The evaluation handed to the main thread and not yet finished.
    const QObject* pending_ = nullptr;
    quint64 callId_ = 0;
    bool callDone_ = true;
};
