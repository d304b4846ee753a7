#pragma once

#include <QList>
#include <QString>

// One decoded value: the object name of the label it belongs on, and its text.
// Decoders return these in the order the labels are written, so a window (or a
// second window that mirrors some of them) only has to put texts on labels.
struct LabelText {
    QString label;
    QString text;
    friend bool operator==(const LabelText&, const LabelText&) = default;
};

using LabelTexts = QList<LabelText>;

// The text for `label` in `texts`, or a null string when it is not there.
QString TextFor(const LabelTexts& texts, const QString& label);
