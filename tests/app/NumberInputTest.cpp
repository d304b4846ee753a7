#include "NumberInput.h"

#include "NumberText.h"
#include "TestLocales.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

const QLocale& Locale(const char* name) {
    for (const QLocale& l : TypingLocales())
        if (l.name() == QLatin1String(name))
            return l;
    static const QLocale c = QLocale::c();
    return c;
}

NumberField Volts() {
    NumberField f;
    f.negative = true;
    f.units = {QStringLiteral("V")};
    f.kilo = true;
    return f;
}

} // namespace

TEST(NumberInput, TextsAreReadAsAPersonOfTheLocaleReadsThem) {
    const QString nnbsp = QString(QChar(0x202F));
    struct Case {
        const char* locale;
        QString text;
        std::optional<double> value;
    };
    const Case cases[] = {
        {"en_US", "1,234.5 V", 1234.5},
        {"en_US", "12,345", 12345},
        {"en_US", " -1.5 kV ", -1500},
        {"en_US", "1.5k", 1500},
        {"en_US", "230 v", 230},
        {"de_DE", "1.234,5 V", 1234.5},
        {"de_DE", "12.345,6", 12345.6},
        {"de_DE", "1.234.567", 1234567},
        {"de_DE", "-0,500", -0.5},
        {"it_IT", "65.535,000 kV", 65535000},
        {"pt_BR", "1.000.000", 1000000},
        {"fr_FR", "1" + nnbsp + "234,5", 1234.5},
        {"fr_FR", "1 234,5", 1234.5}, // a typed blank for the narrow one
        {"fr_FR", "0.5", 0.5},        // a point has no other meaning there
        {"fr_FR", "12.3456", 12.3456},
        {"C", "1,234.5", 1234.5},
        // Mistyped: a decimal comma where the locale groups with it, a point where the
        // locale groups with it, groups in the wrong place or after the decimal mark.
        {"en_US", "49,5", std::nullopt},
        {"en_US", "49,5 Hz", std::nullopt},
        {"en_US", "1.234,5", std::nullopt},
        {"en_US", "1,23", std::nullopt},
        {"en_US", "1234,567", std::nullopt},
        {"en_US", "1.234,567", std::nullopt},
        {"C", "49,5", std::nullopt},
        {"de_DE", "0.5", std::nullopt},
        {"de_DE", "12.345,6.7", std::nullopt},
        {"de_DE", "220.5 V", std::nullopt},
        {"de_DE", "1 234,5", std::nullopt},
        {"de_DE", "1,234.5", std::nullopt},
        {"it_IT", "0.5", std::nullopt},
        {"pt_BR", "12.34", std::nullopt},
        {"fr_FR", "1.234,5", std::nullopt},
        {"fr_FR", "1,2" + nnbsp + "345", std::nullopt},
        // Not numbers at all, or not as the window writes them.
        {"en_US", "1e3", std::nullopt},
        {"en_US", "0x10", std::nullopt},
        {"en_US", "", std::nullopt},
        {"en_US", " ", std::nullopt},
        {"en_US", "kV", std::nullopt},
        {"en_US", "1k5", std::nullopt},
        {"en_US", "5 A", std::nullopt},
        {"en_US", "5 MV", std::nullopt},
        {"en_US", ".5", std::nullopt},
        {"en_US", "5.", std::nullopt},
        {"en_US", "--5", std::nullopt},
        {"en_US", "inf", std::nullopt},
        {"en_US", QStringLiteral("9999") + QChar(0) + "1", std::nullopt},
        {"en_US", QStringLiteral("9999") + QChar(0), std::nullopt},
        {"en_US", "1" + QString(QChar(0x0661)), std::nullopt}, // another script's digit
        // Forty digits are the most the windows read back; a prefix adds its own.
        {"en_US", QString(37, QLatin1Char('1')) + "k", 1.111111111111111111111111111111111111e39},
        {"en_US", QString(38, QLatin1Char('1')) + "k", std::nullopt},
        {"en_US", QString(40, QLatin1Char('9')), std::nullopt}, // 1e40 once read
        {"en_US", QString(39, QLatin1Char('9')), 1e39},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.locale) + " \"" + c.text.toStdString() + '"');
        const auto value = ReadNumber(c.text, Volts(), Locale(c.locale));
        ASSERT_EQ(value.has_value(), c.value.has_value()) << (value ? *value : 0.0);
        if (value) {
            EXPECT_DOUBLE_EQ(*value, *c.value);
        }
    }

    // A field without sign, decimals or units takes none of them.
    const QLocale& us = Locale("en_US");
    EXPECT_EQ(ReadWholeNumber("4,294,967,295", 0, 4294967295LL, us), 4294967295LL);
    EXPECT_EQ(ReadWholeNumber(" 20 ", 1, 100, us), 20);
    EXPECT_EQ(ReadWholeNumber("-32768", -32768, 65535, us), -32768);
    for (const char* refused : {"-1", "+1", "1.5", "20 s", "101", "0", "12.345"})
        EXPECT_FALSE(ReadWholeNumber(refused, 1, 100, us)) << refused;
    EXPECT_EQ(ReadWholeNumber("12.345", 0, 65535, Locale("de_DE")), std::nullopt);
    EXPECT_EQ(ReadWholeNumber("1.234.567", 0, 9999999, Locale("de_DE")), 1234567);
}

// The desktops of the world beyond the common six: comma-decimal ones that group with
// spaces (where a '.' is still typed, and "12.345" means twelve thousand to some), the
// Swiss apostrophe, India's grouping, and the desktops with digits of their own. What the
// reader refuses as two-way is shown both ways; what the program writes reads back.
TEST(NumberInput, EachDesktopsOwnWritingIsReadAndATwoWayTextIsRefused) {
    struct Case {
        const char* locale;
        QString text;
        std::optional<double> value;
        const char* twoWays = ""; // AmbiguousNumberText for a refused two-way text
    };
    const Case cases[] = {
        {"de_AT", "12.345", std::nullopt, "12.345: type 12345 or 12,345"},
        {"de_AT", "1.500 V", std::nullopt, "1.500 V: type 1500 or 1,500"},
        {"de_AT", "-1.500", std::nullopt, "-1.500: type 1500 or 1,500"},
        {"de_AT", "0.5", 0.5},
        {"de_AT", "12.3456", 12.3456},
        {"de_AT", "1234.567", 1234.567}, // four digits before: no group, a decimal point
        {"de_AT", "12 345,6", 12345.6},
        {"de_AT", "12.345,6", std::nullopt}, // the point is no group there
        {"pl_PL", "12.345", std::nullopt, "12.345: type 12345 or 12,345"},
        {"pl_PL", "1234 567,5", 1234567.5}, // as Qt writes it there
        {"cs_CZ", "1.500 V", std::nullopt, "1.500 V: type 1500 or 1,500"},
        {"cs_CZ", "1,5 V", 1.5},
        {"de_DE", "12.345", std::nullopt, "12.345: type 12345 or 12,345"},
        {"de_DE", "12.345 V", std::nullopt, "12.345 V: type 12345 or 12,345"},
        {"de_DE", "12.345,6", 12345.6},
        {"es_ES", "1234.567,5", 1234567.5},
        {"en_US", "12.345", 12.345},  // a decimal point desktop: one reading
        {"de_CH", "1'234.5", 1234.5}, // the keyboard's apostrophe
        {"de_CH", "1’234.5", 1234.5},
        {"de_CH", "1'23.5", std::nullopt},
        {"hi_IN", "1,23,456.7", 123456.7}, // as Qt writes it there
        {"hi_IN", "123,456.7", 123456.7},  // as the program's windows write it
        {"hi_IN", "12,3456.7", std::nullopt},
        {"ar_EG", "٦٠", 60}, // the desktop's own digits
        {"ar_EG", "60", 60},
        {"ar_EG", "1٬234٫5", 1234.5},
        {"ar_EG", "6٠", std::nullopt}, // two scripts in one number
        {"fa_IR", "۶۰", 60},
        {"bn_BD", "৬০", 60},
        {"mr_IN", "६०", 60},
        {"ne_NP", "६०", 60},
        {"my_MM", "၆၀", 60},
        {"en_US", "٦٠", std::nullopt}, // not this desktop's digits
    };
    NumberField field = Volts();
    for (const Case& c : cases) {
        const QLocale locale(QString::fromLatin1(c.locale));
        SCOPED_TRACE(std::string(c.locale) + " \"" + c.text.toStdString() + '"');
        const auto value = ReadNumber(c.text, field, locale);
        ASSERT_EQ(value.has_value(), c.value.has_value()) << (value ? *value : 0.0);
        if (value) {
            EXPECT_DOUBLE_EQ(*value, *c.value);
        }
        EXPECT_EQ(AmbiguousNumberText(c.text, locale), QString::fromUtf8(c.twoWays));
        if (*c.twoWays) {
            EXPECT_EQ(NumberAdvice(c.text, locale), QString::fromUtf8(c.twoWays));
        }
    }

    // Every number the program shows in these locales reads back as itself, and a refusal
    // shows an example grouped as the locale groups.
    const struct {
        const char* locale;
        const char* example;
    } locales[] = {{"de_AT", "12 345,6"}, {"pl_PL", "12 345,6"}, {"cs_CZ", "12 345,6"},
                   {"de_DE", "12.345,6"}, {"de_CH", "12’345.6"}, {"hi_IN", "12,345.6"},
                   {"ar_EG", "12٬345٫6"}, {"fa_IR", "12٬345٫6"}, {"bn_BD", "12,345.6"},
                   {"mr_IN", "12,345.6"}, {"ne_NP", "12,345.6"}, {"my_MM", "12,345.6"}};
    std::mt19937 random(38);
    std::uniform_real_distribution<double> any(-1e6, 1e6);
    for (const auto& l : locales) {
        const QLocale locale(QString::fromLatin1(l.locale));
        SCOPED_TRACE(l.locale);
        EXPECT_EQ(NumberExample(locale), QString::fromUtf8(l.example));
        EXPECT_EQ(NumberAdvice("abc", locale), "Numbers are typed like " + NumberExample(locale));
        for (int i = 0; i < 200; ++i) {
            const double v = std::round(any(random) * 1000) / 1000;
            for (const QString& text : {FixedText(v, 3, locale), GroupedText(v, 3, locale)}) {
                const auto back = ReadNumber(text, field, locale);
                ASSERT_TRUE(back) << text.toStdString();
                EXPECT_DOUBLE_EQ(*back, v) << text.toStdString();
            }
        }
        EXPECT_EQ(ReadWholeNumber(FixedText(60, 0, locale), 1, 86400, locale), 60);
    }
}

// Whatever the reader accepts, the locale itself writes the same way: a text taken as v
// is v as the locale shows it (grouped or not, with as many decimals as were typed), once
// a typed blank stands for a space-like group separator and a plain point, where the
// locale has no use for it, for its decimal mark. So no accepted text means one number to
// the program and another to a person of that locale.
TEST(NumberInput, EveryAcceptedTextIsTheLocalesOwnWritingOfItsValue) {
    const QString alphabet = QStringLiteral("0123456789.,- '") + QChar(0x202F) + QChar(0xA0);
    std::mt19937 random(23);
    std::uniform_int_distribution<int> length(0, 8);
    std::uniform_int_distribution<int> pick(0, int(alphabet.size()) - 1);
    std::uniform_int_distribution<int> lead(1, 9);
    NumberField field;
    field.negative = true;
    for (const QLocale& locale : TypingLocales()) {
        const QString decimal = locale.decimalPoint();
        const QString group = locale.groupSeparator();
        int accepted = 0;
        QStringList wrong;
        for (int n = 0; n < 20000; ++n) {
            // A first digit of 1..9, so that the locale's writing has no leading zeros.
            QString text = QString::number(lead(random));
            for (int i = length(random); i > 0; --i)
                text += alphabet[pick(random)];
            const auto value = ReadNumber(text, field, locale);
            if (!value)
                continue;
            ++accepted;
            QString meant = text.trimmed();
            if (decimal != QLatin1String(".") && group != QLatin1String("."))
                meant.replace(QLatin1Char('.'), decimal);
            if (group.size() == 1 && group.front().isSpace())
                for (const QChar blank : {QChar(0x20), QChar(0xA0), QChar(0x202F)})
                    meant.replace(blank, group);
            bool same = false;
            for (int decimals = 0; decimals <= 8 && !same; ++decimals)
                same = FixedText(*value, decimals, locale) == meant ||
                       GroupedText(*value, decimals, locale) == meant;
            if (!same)
                wrong << text + " -> " + QString::number(*value, 'g', 17);
        }
        EXPECT_GT(accepted, 1000) << locale.name().toStdString();
        EXPECT_TRUE(wrong.isEmpty()) << locale.name().toStdString() << ": " << wrong.size()
                                     << ", first: " << wrong.mid(0, 5).join('\n').toStdString();
    }
}
