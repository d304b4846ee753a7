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

namespace {

TEST(LineStatusText, SilenceIsExplainedUntilTheNextGoodReply) {
    // Each step: 'o' the port opened, 'c' closed or lost, '0'..'3' a transaction's error
    // code (0 good, 1 missing, 2 and 3 rejected).
    const struct {
        const char* steps;
        bool unexplained;
    } cases[] = {
        {"o", false},
        {"o1", true},    // the first request of the session went unanswered
        {"o2", false},   // bytes came back: something is there
        {"o12", true},   // a rejected reply is no answer either
        {"o110", false}, // the first good reply ends it
        {"o01", false},  // one miss of a meter that answered is the line's noise
        {"o01111111111", false},
        {"o011111111111", true}, // more misses in a row than the connected rule takes
        {"o0111111111110", false},
        {"o11c", false}, // the lost line's own text says why
        {"o0o1", true},  // a reopened port has heard nothing yet
    };
    for (const auto& c : cases) {
        LineSilence silence;
        for (const char* s = c.steps; *s != '\0'; ++s) {
            if (*s == 'o')
                silence.Opened();
            else if (*s == 'c')
                silence.Closed();
            else
                silence.Evaluated(quint8(*s - '0'));
        }
        EXPECT_EQ(silence.Unexplained(), c.unexplained) << c.steps;
    }
}

TEST(LineStatusText, LossHistoryCountsFromTheFirstLoss) {
    const QDate day(2026, 12, 7);
    LineLossHistory history;
    EXPECT_EQ(history.Text(), "");
    history.Lost(QDateTime(day, QTime(14, 2, 59)));
    EXPECT_EQ(history.Text(), "Line lost at 14:02");
    history.Lost(QDateTime(day, QTime(14, 40)));
    history.Lost(QDateTime(day.addDays(1), QTime(9, 5)));
    EXPECT_EQ(history.Text(), "Line lost 3 times since 14:02");
    history.Clear();
    history.Lost(QDateTime(day, QTime(8, 0)));
    EXPECT_EQ(history.Text(), "Line lost at 08:00");
}

} // namespace
