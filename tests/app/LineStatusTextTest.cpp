#include "LineStatusText.h"

#include <gtest/gtest.h>

namespace {

TEST(LineStatusText, NoAnswerNamesAddressRatePortAndDevice) {
    const struct {
        int address;
        quint32 baud;
        const char* port;
        const char* device;
        const char* text;
    } cases[] = {
        {2, 9600, "COM1", "/dev/pts/3",
         "No answer from address 2 at 9600 baud on COM1 (/dev/pts/3): check the address, baud "
         "rate and wiring, or use Search\u2026"},
        // The prefix of the Windows device name is not the operator's.
        {247, 2400, "\\\\.\\COM3", "/dev/ttyUSB0",
         "No answer from address 247 at 2400 baud on COM3 (/dev/ttyUSB0): check the address, "
         "baud rate and wiring, or use Search\u2026"},
        // A device path chosen as it is, or one that is not there, is named once.
        {1, 38400, "/dev/ttyUSB0", "/dev/ttyUSB0",
         "No answer from address 1 at 38400 baud on /dev/ttyUSB0: check the address, baud rate "
         "and wiring, or use Search\u2026"},
        {1, 9600, "COM9", "",
         "No answer from address 1 at 9600 baud on COM9: check the address, baud rate and "
         "wiring, or use Search\u2026"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NoAnswerText(c.address, c.baud, c.port, c.device), QString::fromUtf8(c.text))
            << c.port;
}

} // namespace
