// The kernel's own record of a line's rates. Its header clashes with <termios.h>, so
// this file is the only test source that sees it.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <QtGlobal>

quint32 DriverInputRate(int fd) {
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0)
        return 0;
    return tio.c_ispeed;
}
