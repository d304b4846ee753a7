#include "ValueCopy.h"

#include <gtest/gtest.h>

TEST(ValueCopy, ShownTextsSplitIntoNumberAndUnit) {
    const struct {
        const char* caption;
        const char* text;
        CopiedValue expected;
    } cases[] = {
        {"P1:", "33.449 MW", {"P1", "33.449", "MW"}},
        {"Ssum:", "1.049,664 MVA", {"Ssum", "1.049,664", "MVA"}},
        {"Temp:", "-20.0 \u00B0C", {"Temp", "-20.0", "\u00B0C"}},
        {"PF:", "0.985", {"PF", "0.985", ""}},
        {"Load Type:", "Capacitive", {"Load Type", "Capacitive", ""}},
        // A word with a number in it is a text, not a number and its unit.
        {"State", "Alarm Record 3", {"State", "Alarm Record 3", ""}},
        {"Run time", "12.34 Hours", {"Run time", "12.34", "Hours"}},
        {"F", " 50.00 Hz ", {"F", "50.00", "Hz"}},
    };
    for (const auto& c : cases) {
        const CopiedValue v =
            SplitValueText(QString::fromUtf8(c.caption), QString::fromUtf8(c.text));
        EXPECT_EQ(v.quantity, c.expected.quantity) << c.text;
        EXPECT_EQ(v.value, c.expected.value) << c.text;
        EXPECT_EQ(v.unit, c.expected.unit) << c.text;
    }
}

TEST(ValueCopy, TextAndTableKeepEveryCellInItsPlace) {
    const QList<CopiedValue> values = {{"P1", "33.449", "MW"}, {"Load\ttype", "R&D <x>", ""}};
    EXPECT_EQ(CopiedValuesText(values),
              "Quantity\tValue\tUnit\nP1\t33.449\tMW\nLoad type\tR&D <x>\t\n");
    EXPECT_EQ(CopiedValuesHtml(values),
              "<table>\n<tr><th>Quantity</th><th>Value</th><th>Unit</th></tr>\n"
              "<tr><td>P1</td><td>33.449</td><td>MW</td></tr>\n"
              "<tr><td>Load\ttype</td><td>R&amp;D &lt;x&gt;</td><td></td></tr>\n</table>\n");
}
