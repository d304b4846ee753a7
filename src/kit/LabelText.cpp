#include "LabelText.h"

QString TextFor(const LabelTexts& texts, const QString& label) {
    for (const auto& t : texts) {
        if (t.label == label)
            return t.text;
    }
    return {};
}
