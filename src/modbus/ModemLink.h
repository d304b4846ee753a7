#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>

class TTraceModemStatus;

// The line to the meter through a pair of modems, part of a serial port: dialling before a
// cycle's first request (a 1 s connect timer tests the carrier), the hang-up sequence (a
// 2 s timer), and the ring and carrier lines, watched by the modem watcher thread or
// reported by the port. Without ConnectWithModem the link is simply up. The master that
// drives the port runs the cycle's steps and raises the events (Bind). Main thread only.
class ModemLink {
public:
    // The modem's settings; the master publishes them as its own properties.
    struct Settings {
        bool autoConnect = true;
        bool connectWithModem = false;
        bool traceModemStatus = true;
        quint16 connectTimeout = 60;    // seconds of waiting for the carrier after a dial
        quint16 disconnectTimeout = 30; // about the longest hang-up, in seconds
        quint16 repeatDialNum = 2;
        QByteArray initModemString = "at&f0e0q1&d0&k0s0=0&w0";
        QByteArray dialNumberString = "atdt0";
        QByteArray manualAnswerString = "ata";
        QByteArray modemOffLineString = "+++";
        QByteArray modemHangupString = "ath0";
    };
    // What the link asks of the master that drives its port.
    struct Master {
        std::function<bool(const QByteArray& command)> write; // under the master's CTS rule
        std::function<void(int ms)> delay;                    // a blocking wait
        std::function<void()> dialled; // the connect step is over: on to the request
        std::function<void()> ring;
        std::function<void()> carrier;
        std::function<void()> hungUp;
    };

    // `lineStatus` reads the port's modem status lines (CTS 0x10, DSR 0x20, ring 0x40,
    // carrier 0x80), also from the watcher's thread.
    explicit ModemLink(std::function<quint32()> lineStatus);
    ~ModemLink();
    ModemLink(const ModemLink&) = delete;
    ModemLink& operator=(const ModemLink&) = delete;

    // Until bound, nothing is written and nothing is reported.
    void Bind(Master master) { master_ = std::move(master); }

    // ConnectWithModem and TraceModemStatus decide whether the watcher runs: set those two
    // through the setters, which apply the watcher rule.
    Settings settings;
    void SetConnectWithModem(bool v);
    void SetTraceModemStatus(bool v);

    // Starts the link for a new cycle: dials when a modem is to connect and the carrier is
    // off, and goes on to the request once the carrier is there or dialling gave up.
    void BeginCycle();
    void ConnectTick();
    void HangupTick();
    bool Dial();
    void StartHangup();
    // Polling stopped while waiting for the carrier: no request is to follow.
    void StopWaitingForCarrier() { connectTimer_.stop(); }
    // Before a request: the link comes up when it can (a fresh modem link settles 1000 ms
    // first). True when it is up.
    bool BringUp();
    bool LinkUp() const { return linkUp_; }
    bool CarrierOn();
    // The modem or line driver holds CTS off while it cannot take data.
    bool CtsOn();

    // A fresh session: the link is down until its first request.
    void Reset() { linkUp_ = false; }
    // The port is open: the watcher is created when the status is traced (throws when it
    // cannot start).
    void Opened();
    // The port closes: timers stopped, watcher gone.
    void Closed();
    // The watcher runs only while it is needed: a modem that connects, and traced status.
    void ApplyWatcherRule();
    // The port's own report of a ring or carrier change (bits 0x04 and 0x08).
    void PortModemEvent(quint32 event);

    bool ConnectTimerActive() const { return connectTimer_.isActive(); }
    bool HangupTimerActive() const { return hangupTimer_.isActive(); }
    bool WatcherExists() const { return watcher_ != nullptr; }
    bool WatcherRunning() const;
    quint64 WatcherPolls() const;
    void SetWatcherPace(std::chrono::milliseconds pace) { watcherPace_ = pace; }
    bool AutoConnectNow() const { return autoConnectNow_; }
    int ConnectTicks() const { return connectTicks_; }
    int HangupTicks() const { return hangupTicks_; }
    int DialCount() const { return dialCount_; }

private:
    void CarrierChanged(bool on);
    bool Write(const QByteArray& command);

    std::function<quint32()> lineStatus_;
    // Where the watcher's reports run (the thread the port lives on); they die with it.
    QObject context_;
    Master master_;
    QTimer connectTimer_;
    QTimer hangupTimer_;
    std::unique_ptr<TTraceModemStatus> watcher_;
    std::chrono::milliseconds watcherPace_{50};
    bool linkUp_ = false;
    bool autoConnectNow_ = false;
    int connectTicks_ = 0;
    int hangupTicks_ = 0;
    int dialCount_ = 0;
};
