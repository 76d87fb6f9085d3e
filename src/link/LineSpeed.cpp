// Kept apart: the kernel's own termios records, needed for custom rates,
// cannot share a file with the C library's <termios.h>.
#include "link/LineSpeed.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

bool SetLineSpeed(int fd, unsigned int bitsPerSecond) {
    if (bitsPerSecond == 0) return false;
    termios2 tio{};
    if (::ioctl(fd, TCGETS2, &tio) != 0) return false;
    // A standard rate keeps its own code, so that every tool reads it back
    // as that rate; any other goes as a number.
    static constexpr struct {
        unsigned int rate;
        speed_t code;
    } kStandard[] = {{50, B50},     {75, B75},       {110, B110},     {134, B134},
                     {150, B150},   {200, B200},     {300, B300},     {600, B600},
                     {1200, B1200}, {1800, B1800},   {2400, B2400},   {4800, B4800},
                     {9600, B9600}, {19200, B19200}, {38400, B38400}, {57600, B57600}};
    speed_t code = BOTHER;
    for (const auto& s : kStandard)
        if (s.rate == bitsPerSecond) code = s.code;
    tio.c_cflag &= ~tcflag_t(CBAUD | (CBAUD << IBSHIFT));
    tio.c_cflag |= code | (code << IBSHIFT);
    tio.c_ispeed = bitsPerSecond;
    tio.c_ospeed = bitsPerSecond;
    return ::ioctl(fd, TCSETS2, &tio) == 0;
}
