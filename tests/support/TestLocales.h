#pragma once

#include <QLocale>
#include <array>

// The number formats the typed-number tests run in: a point and comma grouping (English,
// C), a comma and point grouping (German, Italian, Brazilian), a comma and narrow
// no-break space grouping (French).
inline const std::array<QLocale, 6>& TypingLocales() {
    static const std::array<QLocale, 6> locales = {
        QLocale(QLocale::English, QLocale::UnitedStates),
        QLocale(QLocale::German, QLocale::Germany),
        QLocale(QLocale::French, QLocale::France),
        QLocale(QLocale::Italian, QLocale::Italy),
        QLocale(QLocale::Portuguese, QLocale::Brazil),
        QLocale::c(),
    };
    return locales;
}
