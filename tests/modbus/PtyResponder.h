#pragma once

// The far end of a serial line for tests: a pseudo-terminal whose slave side the master
// program opens by path, and a thread on the master side that reads each request and
// answers it by a script.

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>
#include <thread>

class PtyResponder {
public:
    // Returns the bytes to put on the line for request number `index` (0 = first);
    // empty for no answer.
    using Script = std::function<QByteArray(const QByteArray& request, int index)>;

    explicit PtyResponder(Script script);
    ~PtyResponder();
    PtyResponder(const PtyResponder&) = delete;
    PtyResponder& operator=(const PtyResponder&) = delete;

    bool Valid() const { return master_ >= 0; }
    const QString& SlavePath() const { return slavePath_; }
    int Requests() const { return requests_.load(); }
    // Bytes that came in but did not form a request the responder knows.
    int Discarded() const { return discarded_.load(); }

private:
    void Run();

    Script script_;
    int master_ = -1;
    QString slavePath_;
    std::atomic<bool> stop_{false};
    std::atomic<int> requests_{0};
    std::atomic<int> discarded_{0};
    std::thread thread_;
};

// A meter that answers reads of holding registers (function 03) with register
// `address` holding the value 0x1000 + address.
QByteArray RegisterReadAnswer(const QByteArray& request);
