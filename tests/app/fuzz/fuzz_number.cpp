// libFuzzer entry: the number reader over any text in the desktops it is written for. The
// first byte picks the locale and the field. A text it takes is a number whose own text,
// as the program writes it in that locale, reads back as the same number; a text it
// refuses as two-way is refused by every field.
#include "NumberInput.h"
#include "NumberText.h"

#include <QLocale>

#include "FuzzSupport.h"
#include <cmath>

#include <cstdint>
#include <cstdlib>

namespace {

const QLocale& Pick(uint8_t byte) {
    static const QLocale locales[] = {
        QLocale::c(),     QLocale("en_US"), QLocale("de_DE"), QLocale("de_AT"),
        QLocale("fr_FR"), QLocale("pl_PL"), QLocale("cs_CZ"), QLocale("de_CH"),
        QLocale("hi_IN"), QLocale("ar_EG"), QLocale("fa_IR"), QLocale("bn_BD"),
        QLocale("my_MM"), QLocale("it_IT"), QLocale("pt_BR"), QLocale("es_ES"),
    };
    return locales[byte % std::size(locales)];
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > 200)
        return 0;
    const QLocale& locale = Pick(data[0]);
    NumberField field;
    field.negative = data[0] & 0x10;
    field.fraction = data[0] & 0x20;
    field.kilo = data[0] & 0x40;
    if (data[0] & 0x80)
        field.units = {QStringLiteral("V")};
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data) + 1, qsizetype(size) - 1);

    const std::optional<double> v = ReadNumber(text, field, locale);
    if (v) {
        FuzzCheck(std::isfinite(*v));
        FuzzCheck(field.negative || *v >= 0);
        NumberField plain;
        plain.negative = true;
        const std::optional<double> back = ReadNumber(ShortestText(*v, locale), plain, locale);
        FuzzCheck(back && *back == *v);
    }
    if (!AmbiguousNumberText(text, locale).isEmpty())
        FuzzCheck(!v);
    const std::optional<qint64> whole = ReadWholeNumber(text, -100000, 100000, locale);
    if (whole) {
        FuzzCheck(*whole >= -100000 && *whole <= 100000);
        FuzzCheck(ReadWholeNumber(FixedText(double(*whole), 0, locale), -100000, 100000, locale) ==
                  whole);
    }
    return 0;
}
