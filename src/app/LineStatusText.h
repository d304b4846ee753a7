#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

// Texts that tell the operator about the line in plain words (QtCore only, shared by the
// main window and qetra-poll).

// The port as the operator chose it, with the device behind it when that says more:
// "COM1 (/dev/pts/3)", "/dev/ttyUSB0".
QString PortWithDevice(const QString& portName, const QString& device);

// Requests go unanswered and nothing good has come back since the port opened:
// "No answer from address 2 at 9600 baud on COM1 (/dev/pts/3): check the address, baud
// rate and wiring, or use Search…".
QString NoAnswerText(int address, quint32 baud, const QString& portName, const QString& device);

// Whether the line's silence needs explaining. A meter that never answered since the port
// opened is most likely asked at the wrong address or rate, or not wired; one that
// answered and then fell silent for longer than the connected rule allows counts as lost.
// Either is said until the next good reply; a rejected reply changes nothing (the meter
// is there, the bytes were bad).
class LineSilence {
public:
    // The port opened, or opened again: nothing heard in this session yet.
    void Opened();
    // The port closed or the line was lost: the line's own state says why it is quiet.
    void Closed() { missedInRow_ = 0; }
    // One evaluated transaction, with the master's ResponseErrorCode (0 = good reply,
    // 1 = missing or short, 2 and 3 = rejected).
    void Evaluated(quint8 errorCode);
    bool Unexplained() const;

private:
    bool answered_ = false;
    int missedInRow_ = 0;
};

// The losses of the line since the port was chosen, for the status bar:
// "Line lost 3 times since 14:02".
class LineLossHistory {
public:
    void Lost(const QDateTime& at);
    void Clear() { count_ = 0; }
    int Count() const { return count_; }
    // Empty while the line has not been lost.
    QString Text() const;

private:
    int count_ = 0;
    QDateTime first_;
};
