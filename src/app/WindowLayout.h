#pragma once

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QString>

class QSettings;

// Where the technician left the program's windows, kept between runs in the group
// "Layout" beside "Comm" of the program's settings, so that the next start looks as the
// last one ended. Nothing here touches a window: the main window reads the layout from its
// windows and puts it back, fitted to the screen it starts on.

// One child window that was open at exit.
struct ChildPlacement {
    QString name;   // the window's object name (WindowTable.h)
    QRect geometry; // its frame in the client area, as it was when not minimised
    bool minimised = false;
    bool maximised = false;

    bool operator==(const ChildPlacement&) const = default;
};

struct WindowLayout {
    QRect frame; // the main window's normal geometry on the desktop
    bool maximised = false;
    QByteArray toolBars; // the main window's tool bar state
    // The open child windows, back to front: the last one was the active window.
    QList<ChildPlacement> children;
    QByteArray trafficColumns; // the traffic monitor's column widths and order

    bool operator==(const WindowLayout&) const = default;
};

// Reads the group; false, with `layout` left alone, when no layout was saved or its frame
// is unusable (a damaged entry must not put the window nowhere). At most as many child
// windows are read as the program has (WindowTable()), whatever count the group claims.
bool ReadWindowLayout(QSettings& settings, WindowLayout& layout);
// Replaces the saved layout with `layout` and flushes it to storage.
void WriteWindowLayout(QSettings& settings, const WindowLayout& layout);
// Forgets the saved layout: the next start arranges the windows as on a first run.
void ForgetWindowLayout(QSettings& settings);

// A window put inside `area`: moved left and up as far as needed to end inside it, never
// past its top left corner. When `shrink`, a window larger than the area is first cut to
// the area's size (a window that can be resized); otherwise it keeps its size and starts at
// the area's top left corner, the rest reached by scrolling the area.
QRect FitInto(const QRect& window, const QRect& area, bool shrink);

// The main window's frame for a start on a screen whose free part is `available`: the saved
// frame fitted into it (a layout saved on a larger screen or at a smaller scale), or, with
// none saved (an invalid `saved`), `designed` centred on it and cut to it.
QRect FitFrame(const QRect& saved, const QSize& designed, const QRect& available);
