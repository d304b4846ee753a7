#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The meters on one line as a technician types them: single addresses and ranges,
// separated by commas or blanks ("1-12, 17"). Every address a meter can take on the line is
// 1..247 (0 is the broadcast, 248..255 reserved); a list names at most that many meters.
struct AddressList {
    static constexpr int kFirst = 1;
    static constexpr int kLast = 247;
    // Longer texts are refused before they are read: no real list needs more.
    static constexpr int kMaxTextLength = 1000;

    QList<int> addresses; // ascending, each once
    // The entries that were not addresses of the line, as typed ("0", "250-260", "x").
    QStringList refused;

    // The operator's list: refused entries make the whole list refused (Problem()).
    static AddressList Read(const QString& text);
    // What is wrong with the list as the operator typed it, naming the field and the
    // range; empty when it will do.
    QString Problem() const;
    // The list as it is written back: ranges of three or more, "1-12, 17".
    static QString Text(const QList<int>& addresses);
    // A stored list: what is usable is kept, the refused entries are dropped, and
    // DroppedText says so to the operator.
    QString DroppedText() const;
};
