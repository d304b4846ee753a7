#include "ValueFreshness.h"

#include <QDateTime>
#include <gtest/gtest.h>

namespace {

constexpr quint16 kBlock = 0x130;
constexpr quint16 kOther = 0x100;

// One letter per event on the line: b = polling started or the line back, e = stopped or
// lost, s = the meter stopped answering, a = a read of the block sent, d = its reply, o = the other
// block's reply, m = a minute passes, n = the next day.
struct Case {
    const char* name;
    const char* events;
    bool fresh;
    const char* staleText; // what an old value says ("" when fresh)
    int changes;           // Changed signals of the last event
};

const Case kCases[] = {
    {"before the first reply", "b", false, "not read yet", 1},
    {"a reply of this connection", "bad", true, "", 1},
    {"another block's reply", "bao", false, "not read yet", 1},
    {"lost after a reply", "badme", false, "last read 14:03:12", 1},
    {"a start after a stop", "badmeb", false, "last read 14:03:12", 1},
    {"a reply while stopped", "bed", false, "last read 14:03:12", 0},
    {"back after the next reply", "badebmad", true, "", 1},
    {"two requests unanswered, a third out", "badaaa", true, "", 0},
    {"three unanswered, a fourth out", "badaaaa", false, "last read 14:03:12", 1},
    {"another request unanswered", "badaaaaa", false, "last read 14:03:12", 0},
    {"a reply after the misses", "badaaaamd", true, "", 1},
    {"the meter silent after a reply", "bads", false, "last read 14:03:12", 1},
    {"its next reply after the silence", "badsmd", true, "", 1},
    {"another block's reply after the silence", "badso", false, "last read 14:03:12", 1},
    {"read yesterday", "badne", false, "last read 2026-12-07 14:03:12", 1},
};

} // namespace

TEST(ValueFreshness, BlocksAreFreshOnlyWithARecentReplyOfThePresentConnection) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        QDateTime now(QDate(2026, 12, 7), QTime(14, 3, 12));
        ValueFreshness freshness;
        freshness.SetClock([&now] { return now; });
        int changes = 0;
        QObject::connect(&freshness, &ValueFreshness::Changed, [&changes] { ++changes; });
        for (const char* e = c.events; *e != '\0'; ++e) {
            changes = 0;
            switch (*e) {
            case 'b':
                freshness.BeginConnection();
                break;
            case 'e':
                freshness.EndConnection();
                break;
            case 's':
                freshness.MeterSilent();
                break;
            case 'a':
                freshness.Asked(kBlock);
                break;
            case 'd':
                freshness.Decoded(kBlock);
                break;
            case 'o':
                freshness.Decoded(kOther);
                break;
            case 'm':
                now = now.addSecs(60);
                break;
            case 'n':
                now = now.addDays(1);
                break;
            default:
                FAIL() << "no event " << *e;
            }
        }
        EXPECT_EQ(freshness.IsFresh(kBlock), c.fresh);
        EXPECT_EQ(freshness.IsFresh(kBlock) ? QString() : freshness.StaleText(kBlock),
                  QString::fromLatin1(c.staleText));
        EXPECT_EQ(changes, c.changes);
    }
}
