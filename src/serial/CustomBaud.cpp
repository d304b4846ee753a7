// Rates without a B-constant (250000 for a fast meter link, odd factory rates) go
// through the kernel's termios2 record. Its header clashes with <termios.h>, so this
// file is the only one that sees it.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <QtGlobal>

bool SetCustomBaudRate(int fd, quint32 rate) {
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0)
        return false;
    tio.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    tio.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    tio.c_ispeed = rate;
    tio.c_ospeed = rate;
    return ioctl(fd, TCSETS2, &tio) == 0;
}

quint32 ReadCustomBaudRate(int fd) {
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0)
        return 0;
    return tio.c_ospeed;
}
