#pragma once

#include <QLocale>
#include <QString>

#include <optional>

// Texts of the about box, kept apart from the window so that they can be
// checked without one.

// The version line from a Windows version query (platform id, major, minor,
// build number, service-pack text). An unknown platform id gives nothing: the
// label then keeps its design text.
std::optional<QString> WindowsVersionText(unsigned platformId, unsigned major, unsigned minor,
                                          unsigned build, const QString& servicePack);

// Total physical memory in whole kilobytes with the locale's digit grouping,
// for example "16,318,480 KB"; rounded to the nearest kilobyte.
QString PhysicalMemoryText(quint64 totalBytes, const QLocale& locale = QLocale());

// What the about box shows of the machine it runs on.
struct SystemDescription {
    std::optional<QString> versionText;
    std::optional<quint64> physicalMemoryBytes;
};

// This machine: the distribution's name (or the kernel's) and the RAM size.
SystemDescription DescribeThisSystem();
