#pragma once

#include <QtGlobal>

// Line and time-out settings of a serial port, shared by the TComm component and
// the device layer underneath it.

enum class TDtrControl { DtrDisable = 0, DtrEnable = 1, DtrHandshake = 2 };
enum class TRtsControl {
    RtsDisable = 0,
    RtsEnable = 1,
    RtsHandshake = 2,
    RtsTransmissionAvailable = 3
};
enum class TByteSize { _5, _6, _7, _8 };
enum class TParity { None, Odd, Even, Mark, Space };
enum class TStopBits { _1, _1_5, _2 };

// Everything that shapes the line itself (speed, framing, flow control, modem
// outputs, what happens to odd received bytes). Defaults are the component's.
struct LineSettings {
    quint32 BaudRate = 9600;
    bool ParityCheck = false;
    bool Outx_CtsFlow = false;
    bool Outx_DsrFlow = false;
    TDtrControl DtrControl = TDtrControl::DtrEnable;
    bool DsrSensitivity = false;
    bool TxContinueOnXoff = true;
    bool Outx_XonXoffFlow = true;
    bool Inx_XonXoffFlow = true;
    bool ReplaceWhenParityError = false;
    bool IgnoreNullChar = false;
    TRtsControl RtsControl = TRtsControl::RtsEnable;
    quint16 XonLimit = 500;
    quint16 XoffLimit = 500;
    TByteSize ByteSize = TByteSize::_8;
    TParity Parity = TParity::None;
    TStopBits StopBits = TStopBits::_1;
    char XonChar = 17;  // DC1
    char XoffChar = 19; // DC3
    char ReplacedChar = 0;

    bool operator==(const LineSettings&) const = default;
};

// Read and write time-outs in milliseconds, with the meaning the program has always
// given them: a received chunk ends when ReadIntervalTimeout passes without another
// byte (0 = no interval limit, 0xFFFFFFFF = hand over whatever has arrived at once);
// the totals bound a chunk or a write by multiplier * bytes + constant (0 and 0 = none).
struct CommTimeouts {
    quint32 ReadIntervalTimeout = 100;
    quint32 ReadTotalTimeoutMultiplier = 0;
    quint32 ReadTotalTimeoutConstant = 0;
    quint32 WriteTotalTimeoutMultiplier = 0;
    quint32 WriteTotalTimeoutConstant = 0;

    bool operator==(const CommTimeouts&) const = default;
};

// Modem input lines as ModemLineStatus() reports them.
namespace ModemStatusBits {
constexpr quint32 Cts = 0x10;
constexpr quint32 Dsr = 0x20;
constexpr quint32 Ring = 0x40;
constexpr quint32 Carrier = 0x80;
} // namespace ModemStatusBits

// Bits of a modem state change event. A CTS change and a carrier change both show
// as CarrierOrCts; the meter's modem link only ever needed to know that one of them moved.
namespace ModemEventBits {
constexpr quint32 Ring = 0x04;
constexpr quint32 CarrierOrCts = 0x08;
constexpr quint32 Dsr = 0x10;
} // namespace ModemEventBits

// Line error flags of a receive error event.
namespace LineErrorBits {
constexpr quint32 ReceiveQueueOverflow = 0x01; // the driver's buffer ran over
constexpr quint32 Overrun = 0x02;              // the UART's receive register ran over
constexpr quint32 Parity = 0x04;
constexpr quint32 Framing = 0x08;
constexpr quint32 Break = 0x10;
} // namespace LineErrorBits
