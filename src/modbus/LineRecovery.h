#pragma once

#include <QString>
#include <QTimer>

#include <functional>

class ModbusPort;

// A line whose device has gone (adapter unplugged, the far end of a pseudo-terminal
// closed): every PollMs the port is asked whether the device it lost is back (the same
// adapter, the same terminal, or a COM link the operator has set anew); only then the port
// opens and polling resumes if it was on. Main thread only.
class LineRecovery {
public:
    // What the recovery asks of the master that owns it.
    struct Master {
        std::function<bool()> isOpen;
        std::function<void()> beginSession; // forgets the old session before the port opens
        std::function<void()> opened;       // the port is open again (may throw)
        std::function<void()> resume;       // polling goes on
        std::function<void()> back;         // the line is back
        std::function<void()> waiting;      // Waiting() has changed while the line stays lost
    };

    LineRecovery(ModbusPort& port, Master master);

    bool Lost() const { return lost_; }
    bool ResumeOnReturn() const { return resume_; }
    // The device as the operator knows it: "/dev/ttyUSB0", "/dev/pts/3 (COM1)".
    const QString& Device() const { return device_; }
    // What the lost line waits for, as the port words it: "Waiting for COM1 (was
    // /dev/pts/3)", or why the device now under its name is not opened.
    const QString& Waiting() const { return waiting_; }
    // The caption and text of the operator's box for the line just lost.
    QString LostCaption() const;
    QString LostText() const;

    void Opened(const QString& commName);
    void Closed();
    // The line is lost; polling resumes on its return when `resume`.
    void LineLost(bool resume);
    // Polling was stopped: it stays stopped when the line returns.
    void StopResuming() { resume_ = false; }
    // True when the port is open (it may have been already); false with the reason in
    // *why when it cannot be opened yet.
    bool Reopen(QString* why);
    void SetPollMs(int ms);

private:
    void Tick();

    ModbusPort& port_;
    Master master_;
    QTimer timer_;
    bool lost_ = false;
    bool resume_ = false;
    QString device_;
    QString waiting_;
};
