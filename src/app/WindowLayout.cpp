#include "WindowLayout.h"

#include "WindowTable.h"

#include <QSettings>
#include <algorithm>

namespace {
const QString kGroup = QStringLiteral("Layout");
const QString kChildren = QStringLiteral("Windows");
} // namespace

bool ReadWindowLayout(QSettings& settings, WindowLayout& layout) {
    if (!settings.childGroups().contains(kGroup))
        return false;
    settings.beginGroup(kGroup);
    WindowLayout read;
    read.frame = settings.value(QStringLiteral("Frame")).toRect();
    read.maximised = settings.value(QStringLiteral("Maximized")).toBool();
    read.toolBars = settings.value(QStringLiteral("ToolBars")).toByteArray();
    read.trafficColumns = settings.value(QStringLiteral("TrafficColumns")).toByteArray();
    // One entry a window of the program at most: a damaged or hostile count (2^31 - 1)
    // must not keep the program reading entries that are not there before it shows up.
    const int count = std::clamp(settings.beginReadArray(kChildren), 0, int(WindowTable().size()));
    for (int i = 0; i < count; ++i) {
        settings.setArrayIndex(i);
        ChildPlacement child;
        child.name = settings.value(QStringLiteral("Name")).toString();
        child.geometry = settings.value(QStringLiteral("Geometry")).toRect();
        child.minimised = settings.value(QStringLiteral("Minimized")).toBool();
        child.maximised = settings.value(QStringLiteral("Maximized")).toBool();
        // A damaged entry is passed over; the others still come back.
        if (!child.name.isEmpty() && child.geometry.isValid())
            read.children << child;
    }
    settings.endArray();
    settings.endGroup();
    if (!read.frame.isValid())
        return false;
    layout = read;
    return true;
}

void WriteWindowLayout(QSettings& settings, const WindowLayout& layout) {
    // The old list goes whole: a shorter one must not keep the tail of a longer one.
    settings.remove(kGroup);
    settings.beginGroup(kGroup);
    settings.setValue(QStringLiteral("Frame"), layout.frame);
    settings.setValue(QStringLiteral("Maximized"), layout.maximised);
    settings.setValue(QStringLiteral("ToolBars"), layout.toolBars);
    settings.setValue(QStringLiteral("TrafficColumns"), layout.trafficColumns);
    settings.beginWriteArray(kChildren, int(layout.children.size()));
    for (int i = 0; i < layout.children.size(); ++i) {
        const ChildPlacement& child = layout.children[i];
        settings.setArrayIndex(i);
        settings.setValue(QStringLiteral("Name"), child.name);
        settings.setValue(QStringLiteral("Geometry"), child.geometry);
        settings.setValue(QStringLiteral("Minimized"), child.minimised);
        settings.setValue(QStringLiteral("Maximized"), child.maximised);
    }
    settings.endArray();
    settings.endGroup();
    settings.sync();
}

void ForgetWindowLayout(QSettings& settings) {
    settings.remove(kGroup);
    settings.sync();
}

QRect FitInto(const QRect& window, const QRect& area, bool shrink) {
    if (!area.isValid() || !window.isValid())
        return window;
    QRect fitted = window;
    if (shrink)
        fitted.setSize(window.size().boundedTo(area.size()));
    // Right and bottom edges first, then the top left corner wins: a window larger than
    // the area starts at its corner, where its title bar and system menu can be reached.
    fitted.moveRight(std::min(fitted.right(), area.right()));
    fitted.moveBottom(std::min(fitted.bottom(), area.bottom()));
    fitted.moveLeft(std::max(fitted.left(), area.left()));
    fitted.moveTop(std::max(fitted.top(), area.top()));
    return fitted;
}

QRect FitFrame(const QRect& saved, const QSize& designed, const QRect& available) {
    if (saved.isValid())
        return FitInto(saved, available, true);
    QRect centred(QPoint(), designed.boundedTo(available.size()));
    centred.moveCenter(available.center());
    return FitInto(centred, available, true);
}
