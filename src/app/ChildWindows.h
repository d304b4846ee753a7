#pragma once

#include "WindowLayout.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QWidget;

// The main window's child windows as its window table (WindowTable.h) describes them:
// created from their registered factories, shown by name or menu item, minimised instead
// of closed where they are resident, listed in the Window menu, cascaded and tiled.
class ChildWindows : public QObject {
    Q_OBJECT

public:
    using Factory = std::function<QWidget*()>;

    // `area` holds the client-area children; `owner` parents the top-level ones.
    ChildWindows(QMdiArea& area, QWidget& owner);

    void Register(const QString& name, Factory factory);
    bool IsRegistered(const QString& name) const { return factories_.contains(name); }
    // Creates the window of a table row and puts it where the row says; null when it has
    // no row or no factory.
    QWidget* Create(const QString& name);
    // Creates the registered resident windows in table order.
    void CreateResident();
    // Minimises resident children as their rows say and puts the others at the top left.
    void ArrangeAtStart();

    bool IsOpen(const QString& name) const;
    // The window with this object name (client-area child or top-level resident), or null.
    QWidget* Find(const QString& name) const;
    // Closes the client-area child with this name, if open (a resident one minimises).
    void Close(const QString& name);
    // Deletes the client-area child at once (a resident one too).
    void Destroy(const QString& name);
    // Creates the window minimised unless it is open.
    void CreateMinimised(const QString& name);
    // As the window's menu command: see TFormTeskLink::ShowWindowNamed.
    QWidget* Show(const QString& name);
    QWidget* ShowOfMenuItem(const QString& menuItem);
    QMdiSubWindow* SubWindowOf(const QWidget* child) const;

    // The Window menu's commands and its list of children after its first `fixedItems`.
    // Cascading and tiling keep every window inside the client area: a window of a fixed
    // form larger than the area starts at its top left corner and the area scrolls to the
    // rest; a resizable window is cut to the area.
    void Cascade();
    void Tile(Qt::Orientation orientation);
    void MinimiseAll();
    void ListInMenu(QMenu& menu, int fixedItems);

    // The client-area windows open now, back to front, with the size each has when not
    // minimised (what the next start puts back).
    QList<ChildPlacement> Placements() const;
    // Puts the windows of `placements` back, fitted into the client area: resident ones are
    // moved and sized, on-demand ones for which `mayOpen` holds are created first. Windows
    // without a table row, top-level windows and windows not registered are passed over.
    void Restore(const QList<ChildPlacement>& placements,
                 const std::function<bool(const QString&)>& mayOpen);
    // Every window back to the size it was made with, then arranged as at start-up.
    void ResetArrangement();

    // Deletes every window: the children's destructors may still use what the main window
    // holds, so this runs before the main window lets go of it.
    void DeleteAll();

signals:
    // A window created from a factory is gone.
    void Destroyed(const QString& name);

private:
    QMdiSubWindow* OpenSubWindow(const QString& name) const;
    // Moves (and, when it can be resized, cuts) a sub-window into the client area.
    void KeepInArea(QMdiSubWindow* sub) const;

    QMdiArea& area_;
    QWidget& owner_;
    QHash<QString, Factory> factories_;
    QHash<QString, QPointer<QWidget>> topLevel_;
};
