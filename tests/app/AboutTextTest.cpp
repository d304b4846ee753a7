#include "AboutText.h"

#include <gtest/gtest.h>

TEST(AboutText, WindowsVersionLines) {
    // Windows 95: the 9x line keeps the build number in its low word only.
    EXPECT_EQ(WindowsVersionText(1, 4, 0, 0x040003B6, ""), "Windows 95 (4.0.950 )");
    EXPECT_EQ(WindowsVersionText(1, 4, 0, 1111, " B"), "Windows 95 (4.0.1111  B)");
    // 4.10 and later on that platform are all called Windows 98.
    EXPECT_EQ(WindowsVersionText(1, 4, 10, 0x040A0898, "A "), "Windows 98 (4.10.2200 A )");
    EXPECT_EQ(WindowsVersionText(1, 4, 90, 3000, ""), "Windows 98 (4.90.3000 )");
    EXPECT_EQ(WindowsVersionText(1, 5, 0, 1, "x"), "Windows 98 (5.0.1 x)");
    EXPECT_EQ(WindowsVersionText(2, 5, 1, 2600, "Service Pack 3"),
              "Windows NT 5.1.2600 Service Pack 3");
    EXPECT_EQ(WindowsVersionText(2, 10, 0, 4000000000u, ""), "Windows NT 10.0.4000000000 ");
    EXPECT_EQ(WindowsVersionText(0, 3, 11, 7, "ignored"), "Windows 3.11");
    EXPECT_EQ(WindowsVersionText(3, 6, 0, 0, ""), std::nullopt);
}

TEST(AboutText, MemoryInGroupedKilobytes) {
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(PhysicalMemoryText(16709750784ull, us), "16,318,116 KB");
    EXPECT_EQ(PhysicalMemoryText(0, us), "0 KB");
    EXPECT_EQ(PhysicalMemoryText(1023 * 1024 + 511, us), "1,023 KB");
    EXPECT_EQ(PhysicalMemoryText(1023 * 1024 + 512, us), "1,024 KB");
    EXPECT_EQ(PhysicalMemoryText(1ull << 50, us), "1,099,511,627,776 KB");
    EXPECT_EQ(PhysicalMemoryText(16709750784ull, QLocale(QLocale::German, QLocale::Germany)),
              "16.318.116 KB");
    // Grouping is part of the text even where the locale would leave it out.
    QLocale bare = us;
    bare.setNumberOptions(QLocale::OmitGroupSeparator);
    EXPECT_EQ(PhysicalMemoryText(2147483648ull, bare), "2,097,152 KB");
}

TEST(AboutText, DescribesThisMachine) {
    const SystemDescription here = DescribeThisSystem();
    ASSERT_TRUE(here.versionText.has_value());
    EXPECT_FALSE(here.versionText->isEmpty());
    ASSERT_TRUE(here.physicalMemoryBytes.has_value());
    EXPECT_GT(*here.physicalMemoryBytes, 16ull * 1024 * 1024);
}
