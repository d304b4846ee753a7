#pragma once

#include "BlockDecode.h"
#include "LabelText.h"
#include "QtTestSupport.h"

#include <ostream>

// Readable failure messages for decoded texts.
inline void PrintTo(const LabelText& t, std::ostream* os) {
    *os << t.label.toStdString() << "=\"" << t.text.toStdString() << '"';
}
inline void PrintTo(const GridText& t, std::ostream* os) {
    *os << '(' << t.row << ',' << t.column << ")=\"" << t.text.toStdString() << '"';
}

// The text of grid cell (row, column) in `cells`, or a null string when it is not there.
inline QString TextAt(const GridTexts& cells, int row, int column) {
    for (const GridText& t : cells)
        if (t.row == row && t.column == column)
            return t.text;
    return {};
}
