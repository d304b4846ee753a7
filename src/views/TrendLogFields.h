#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QTimeZone>
#include <optional>

// The fields of a data log line, read as fast as the disk delivers them: a day's log at the
// fastest poll is a million lines. The program writes plain decimals ("-231.5") and ISO
// 8601 times with their offset; a spreadsheet on a German desktop saves the same log with
// decimal commas, maybe dots between thousands, and its own times without an offset.

// A number field. `decimalComma`: the German copy's style.
struct LogNumber {
    enum class Kind { Number, NotANumber, Ambiguous };
    Kind kind = Kind::NotANumber;
    double value = 0;
    // For Ambiguous: "type 1231 or 1,231" (a lone '.' before three digits, which a German
    // copy may mean either way: a thousand or a decimal point).
    QString readings;
};
LogNumber ReadLogNumber(QByteArrayView field, bool decimalComma);

// A time field: the instant where the text carries its offset, else the wall-clock time
// (milliseconds since the epoch as if the wall clock were UTC) for the time zone to place.
struct LogTime {
    qint64 ms = 0;
    bool wallClock = false;
};
std::optional<LogTime> ReadLogTime(QByteArrayView field);

// Places wall-clock times of one zone on the time line. At the autumn clock change an
// hour comes twice; a copy without offsets cannot say which, so a time that would go back
// within that hour is taken as its second coming. Where the spring change skips an hour,
// its times are taken at the offset before the change, as the clock still showed it.
class WallClock {
public:
    explicit WallClock(QTimeZone zone) : zone_(std::move(zone)) {}
    // The instant of `wallMs`: the first of its instants not before `notBefore`, or the
    // last one when all are before it. *repeated is set when the time lies in an hour
    // that came twice and the second was taken.
    qint64 Place(qint64 wallMs, qint64 notBefore, bool* repeated);

private:
    // The offsets (seconds) at which a wall time of the quarter hour `quarter` occurs.
    struct Offsets {
        int first = 0;
        int second = 0; // == first where the quarter hour occurs once
    };
    Offsets OffsetsOf(qint64 quarter);

    QTimeZone zone_;
    QHash<qint64, Offsets> cache_;
};
