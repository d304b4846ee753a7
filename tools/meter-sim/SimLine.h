#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// The meter's end of the serial line: either a new pseudo-terminal, whose
// slave side the program opens, or an existing serial device.
class SimLine {
public:
    // Creates a pseudo-terminal. Its slave side is kept open here as well, in
    // raw mode at `baud`, so the line stays up between the program's opens.
    static std::unique_ptr<SimLine> OpenPseudoTerminal(int baud, std::string& error);
    // Opens a serial device in raw mode, 8 data bits, no parity, at `baud`.
    static std::unique_ptr<SimLine> OpenDevice(const std::string& path, int baud,
                                               std::string& error);
    // Listens on 127.0.0.1:`port` (0: a free port) and serves one connection at a time:
    // the meter behind a converter on the network. path() is "127.0.0.1:<port>".
    static std::unique_ptr<SimLine> ListenTcp(int port, std::string& error);
    ~SimLine();
    SimLine(const SimLine&) = delete;
    SimLine& operator=(const SimLine&) = delete;

    // What to wait on: the line, or for a network line without a connection, the listener
    // (readSome then takes the connection that is waiting).
    int fd() const { return fd_ >= 0 ? fd_ : listenFd_; }
    bool isNetwork() const { return listenFd_ >= 0; }
    const std::string& path() const { return path_; }
    bool isPseudoTerminal() const { return slaveFd_ >= 0; }

    // The baud rate the line runs at now; on a pseudo-terminal that is what the
    // program on the other side set. 0 when it cannot be told.
    int lineBaud() const;
    // Switches a serial device to another baud rate after the pending output is
    // sent. On a pseudo-terminal the program sets the rate; nothing to do.
    bool setBaud(int baud);

    // Bytes from the other side are waiting to be read.
    bool inputWaiting() const;
    // Reads what is there without waiting; -1 on error. A network line reads 0 while it
    // takes a new connection or ends one the master closed.
    long readSome(std::uint8_t* buffer, std::size_t size);
    // Writes everything, waiting for room when the line is full.
    bool writeAll(const std::uint8_t* data, std::size_t size);

private:
    SimLine(int fd, int slaveFd, std::string path)
        : fd_(fd), slaveFd_(slaveFd), path_(std::move(path)) {}

    int fd_;
    int slaveFd_;
    int listenFd_ = -1;
    std::string path_;
};
