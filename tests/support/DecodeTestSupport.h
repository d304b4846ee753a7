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
