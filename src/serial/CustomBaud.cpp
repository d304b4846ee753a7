// Rates without a B-constant (250000 for a fast meter link, odd factory rates) go
// through the kernel's termios2 record. Its header clashes with <termios.h>, so this
// file is the only one that sees it.
#include "CustomBaud.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cstddef>

bool SetLineAtCustomRate(int fd, const LineRecord& tio, quint32 rate) {
    struct termios2 line {};
    if (ioctl(fd, TCGETS2, &line) != 0)
        return false;
    // The C library's record and the kernel's share flag values and the positions of
    // the control characters; the kernel's has fewer of them.
    line.c_iflag = tio.iflag;
    line.c_oflag = tio.oflag;
    line.c_lflag = tio.lflag;
    line.c_cflag = tio.cflag & ~(CBAUD | (CBAUD << IBSHIFT));
    line.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    line.c_line = tio.discipline;
    for (std::size_t i = 0; i < sizeof line.c_cc && i < tio.cc.size(); ++i)
        line.c_cc[i] = tio.cc[i];
    line.c_ispeed = rate;
    line.c_ospeed = rate;
    return ioctl(fd, TCSETS2, &line) == 0;
}

quint32 ReadCustomBaudRate(int fd) {
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0)
        return 0;
    return tio.c_ospeed;
}
