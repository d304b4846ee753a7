#pragma once

#include "CommTypes.h"
#include "LineIdentity.h"

#include <QLoggingCategory>
#include <QObject>
#include <QString>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

Q_DECLARE_LOGGING_CATEGORY(lcSerialTrace)

class SerialDevice;
class CommEvent;
class CommEventReceiver;
struct PortLink;
class TReadThread;
class TWriteThread;

// Raised when a port cannot be opened. Text() is the component's own short text ("Error
// opening serial port"); Reason() says in plain English why and what to do about it (empty
// when there is nothing to add); what() is both together.
class ECommsError : public std::runtime_error {
public:
    explicit ECommsError(const char* text, const QString& reason = QString());
    explicit ECommsError(const std::string& text, const QString& reason = QString())
        : ECommsError(text.c_str(), reason) {}
    QString Text() const { return text_; }
    QString Reason() const { return reason_; }

private:
    QString text_;
    QString reason_;
};

// One serial port: opens and configures the device and moves bytes through it with a
// reader and a writer thread. Everything the workers see comes back as the events
// below, raised on the thread that owns the component, and only when assigned.
class TComm : public QObject {
    Q_OBJECT
public:
    explicit TComm(QObject* owner = nullptr);
    ~TComm() override; // closes the port first: no worker outlives the component

    // Taken at the next OpenPort: "\\.\COM1", "COM1" or a device path.
    QString CommName() const { return commName_; }
    void SetCommName(const QString& name);

    // The rate in force once open. A rate the driver refuses (or settles away from) is
    // never left on the line: OpenPort fails, and a change while open throws
    // ECommsError and keeps the old rate.
    quint32 BaudRate() const { return line_.BaudRate; }
    void SetBaudRate(quint32 value);
    bool ParityCheck() const { return line_.ParityCheck; }
    void SetParityCheck(bool value);
    bool Outx_CtsFlow() const { return line_.Outx_CtsFlow; }
    void SetOutx_CtsFlow(bool value);
    bool Outx_DsrFlow() const { return line_.Outx_DsrFlow; }
    void SetOutx_DsrFlow(bool value);
    TDtrControl DtrControl() const { return line_.DtrControl; }
    void SetDtrControl(TDtrControl value);
    bool DsrSensitivity() const { return line_.DsrSensitivity; }
    void SetDsrSensitivity(bool value);
    bool TxContinueOnXoff() const { return line_.TxContinueOnXoff; }
    void SetTxContinueOnXoff(bool value);
    bool Outx_XonXoffFlow() const { return line_.Outx_XonXoffFlow; }
    void SetOutx_XonXoffFlow(bool value);
    bool Inx_XonXoffFlow() const { return line_.Inx_XonXoffFlow; }
    void SetInx_XonXoffFlow(bool value);
    bool ReplaceWhenParityError() const { return line_.ReplaceWhenParityError; }
    void SetReplaceWhenParityError(bool value);
    bool IgnoreNullChar() const { return line_.IgnoreNullChar; }
    void SetIgnoreNullChar(bool value);
    TRtsControl RtsControl() const { return line_.RtsControl; }
    void SetRtsControl(TRtsControl value);
    quint16 XonLimit() const { return line_.XonLimit; }
    void SetXonLimit(quint16 value);
    quint16 XoffLimit() const { return line_.XoffLimit; }
    void SetXoffLimit(quint16 value);
    TByteSize ByteSize() const { return line_.ByteSize; }
    void SetByteSize(TByteSize value);
    TParity Parity() const { return line_.Parity; }
    void SetParity(TParity value);
    TStopBits StopBits() const { return line_.StopBits; }
    void SetStopBits(TStopBits value);
    char XonChar() const { return line_.XonChar; }
    void SetXonChar(char value);
    char XoffChar() const { return line_.XoffChar; }
    void SetXoffChar(char value);
    char ReplacedChar() const { return line_.ReplacedChar; }
    void SetReplacedChar(char value);
    quint32 ReadIntervalTimeout() const { return timeouts_.ReadIntervalTimeout; }
    void SetReadIntervalTimeout(quint32 value);
    quint32 ReadTotalTimeoutMultiplier() const { return timeouts_.ReadTotalTimeoutMultiplier; }
    void SetReadTotalTimeoutMultiplier(quint32 value);
    quint32 ReadTotalTimeoutConstant() const { return timeouts_.ReadTotalTimeoutConstant; }
    void SetReadTotalTimeoutConstant(quint32 value);
    quint32 WriteTotalTimeoutMultiplier() const { return timeouts_.WriteTotalTimeoutMultiplier; }
    void SetWriteTotalTimeoutMultiplier(quint32 value);
    quint32 WriteTotalTimeoutConstant() const { return timeouts_.WriteTotalTimeoutConstant; }
    void SetWriteTotalTimeoutConstant(quint32 value);

    // The pause at the end of OpenPort that lets a freshly powered line settle.
    int OpenSettleMs() const { return openSettleMs_; }
    void SetOpenSettleMs(int ms) { openSettleMs_ = ms; }

    bool IsOpen() const;
    void OpenPort(); // throws ECommsError
    void ClosePort();
    // Queues a copy of the bytes for the writer. True means queued, not yet written.
    bool SendData(const char* Buffer, quint16 Length);
    // Queues a request whose reply will be ReplyLength bytes long (0: no reply awaited).
    // Once the writer has put its last byte into the driver, the reader hands a chunk
    // over as soon as that many bytes have come in since, instead of waiting out the
    // read interval; short, stray and extra bytes go by the interval as always.
    // `Done` learns the moment the writer was through with the request: written, given
    // up after a failure, or dropped by ClosePort. It runs once, on the writer's thread
    // (or the closing one), so it must only take note. False as for SendData, and then
    // `Done` is not called.
    bool SendRequest(const char* Buffer, quint16 Length, quint32 ReplyLength,
                     std::function<void(std::chrono::steady_clock::time_point)> Done);
    // CTS 0x10, DSR 0x20, ring 0x40, carrier 0x80; 0 when closed or unknown.
    quint32 ModemLineStatus();

    // Received chunks handed over by the reader and not yet raised as events. The
    // reader stops taking bytes from the line while this is at its limit.
    int PendingChunks() const;
    // The open device (nullptr when closed), for diagnostics and tests.
    SerialDevice* Device() const;
    // What the port name stood for at the last successful OpenPort (link, node, adapter).
    const LineIdentity& OpenedLine() const { return opened_; }
    // Where OpenPort gets its device from; the default is the Linux serial device.
    void SetDeviceFactory(std::function<std::unique_ptr<SerialDevice>()> factory);

    std::function<void(TComm* Sender, const char* Buffer, quint16 BufferLength)> OnReceiveData;
    std::function<void(TComm* Sender, quint32 EventMask)> OnReceiveError;
    std::function<void(TComm* Sender, quint32 ModemEvent)> OnModemStateChange;
    std::function<void(TComm* Sender)> OnRequestHangup;
    std::function<void(TComm* Sender)> OnSendDataEmpty;

private:
    friend class CommEventReceiver;
    void Dispatch(const CommEvent& event);
    bool Queue(const char* buffer, quint16 length, bool request, quint32 replyLength,
               std::function<void(std::chrono::steady_clock::time_point)> done);
    // False when the line does not run at the rate asked for.
    bool ApplyLineSettings();
    void ApplyTimeouts();
    template <typename T> void SetLineField(T LineSettings::*field, T value);
    void SetTimeoutField(quint32 CommTimeouts::*field, quint32 value);
    void ReleasePort();

    QString commName_ = QStringLiteral("COM2");
    LineSettings line_;
    CommTimeouts timeouts_;
    int openSettleMs_ = 2000;

    std::function<std::unique_ptr<SerialDevice>()> deviceFactory_;
    std::unique_ptr<CommEventReceiver> receiver_;
    std::unique_ptr<SerialDevice> device_;
    std::unique_ptr<PortLink> link_;
    std::unique_ptr<TReadThread> reader_;
    std::unique_ptr<TWriteThread> writer_;
    // True at construction, open and close; the writer keeps it current in between.
    std::atomic<bool> sendQueueEmpty_{true};
    LineIdentity opened_;
    quint64 session_ = 0;         // numbers each opening; older notifications are dropped
    bool hangupReported_ = false; // reader and writer may both meet the same failure
};
