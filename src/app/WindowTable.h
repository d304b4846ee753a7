#pragma once

#include <QString>
#include <span>

// Every child window of the program in one table: what the main window needs to know to
// create, show, minimise and close it. The window subsystems supply a factory for each
// name and the blocks the window reads while it is active (TFormTeskLink::RegisterWindow).

// How long a window lives.
enum class WindowLife {
    // Created at start-up (in table order) and kept until exit; its close box minimises
    // it (a top-level one hides) and its menu item brings it back.
    Resident,
    // Resident, but only while the meter model has alarms (QETRA 7300): the model switch
    // creates it minimised and destroys it.
    ResidentWithAlarms,
    // Created by its menu item (or another window's button) and destroyed when closed;
    // its menu item shows the open one instead of a second.
    OnDemand,
    // Created by its menu item, then kept: its close box hides it, and the menu item shows
    // it again as it was (the traffic monitor keeps its filters and its place).
    OnDemandKept,
};

// Where a window is put.
enum class WindowPlacement {
    MdiChild, // a child of the main window's client area
    TopLevel, // a window of its own beside the main window (the calibration window)
};

struct WindowRow {
    const char* name;     // object name; IsChildOpen finds the window by it
    const char* menuItem; // the menu command that shows it, or nullptr
    WindowLife life;
    WindowPlacement placement;
    bool minimisedAtStart;    // minimised when the main window is first shown
    bool raisedByMenu;        // the menu brings it to the front as well as restoring it
    bool movedToOriginByMenu; // the menu puts it at the client area's top left corner
};

// The rows in table order (resident windows are created in this order).
std::span<const WindowRow> WindowTable();
// The row of a window name or menu item; nullptr when there is none.
const WindowRow* FindWindowRow(const QString& name);
const WindowRow* FindMenuWindowRow(const QString& menuItem);

// The names, for code that refers to a window of another subsystem.
namespace WindowName {
inline const QString Base = QStringLiteral("FormBase");
inline const QString Para = QStringLiteral("FormPara");
inline const QString SuperNum = QStringLiteral("FormSuperNum");
inline const QString Wave = QStringLiteral("FormWave");
inline const QString Angle = QStringLiteral("FormAngle");
inline const QString DriveType = QStringLiteral("FormDriveType");
inline const QString Alarm = QStringLiteral("FormAlarm");
inline const QString SetPara = QStringLiteral("FormSetPara");
inline const QString SetAlarm = QStringLiteral("FormSetAlarm");
inline const QString Kw = QStringLiteral("FormKw");
inline const QString ChangeConst = QStringLiteral("FormChangeConst");
inline const QString Calirate = QStringLiteral("FormCalirate");
inline const QString TrafficMonitor = QStringLiteral("FormTrafficMonitor");
} // namespace WindowName
