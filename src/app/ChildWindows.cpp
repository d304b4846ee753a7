#include "ChildWindows.h"

#include "WindowTable.h"

#include <QAction>
#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <algorithm>

namespace {

// Kept on each sub-window: the size it was made with, and its place and size when last
// neither minimised nor maximised (what a saved layout keeps).
constexpr const char* kDesignedSize = "qetraDesignedSize";
constexpr const char* kNormalGeometry = "qetraNormalGeometry";

bool IsResizable(const QMdiSubWindow* sub) {
    return sub->minimumSize() != sub->maximumSize();
}

// Notes where a sub-window is while it is in its normal state.
class NormalGeometryKeeper : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Move || event->type() == QEvent::Resize) {
            auto* sub = qobject_cast<QMdiSubWindow*>(watched);
            if (sub != nullptr &&
                (sub->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) == 0)
                sub->setProperty(kNormalGeometry, sub->geometry());
        }
        return false;
    }
};

// The sub-windows on view, back to front.
QList<QMdiSubWindow*> ShownSubWindows(const QMdiArea& area) {
    QList<QMdiSubWindow*> subs;
    for (QMdiSubWindow* s : area.subWindowList(QMdiArea::StackingOrder))
        if (!s->isHidden() && !s->isMinimized())
            subs << s;
    return subs;
}

// A resident window is never destroyed before exit: its close box minimises it, and its
// menu item brings it back.
class MinimiseOnClose : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close) {
            event->ignore();
            static_cast<QWidget*>(watched)->showMinimized();
            return true;
        }
        return false;
    }
};

} // namespace

ChildWindows::ChildWindows(QMdiArea& area, QWidget& owner) : area_(area), owner_(owner) {}

void ChildWindows::Register(const QString& name, Factory factory) {
    Q_ASSERT_X(FindWindowRow(name) != nullptr, "RegisterWindow", "a window without a table row");
    factories_.insert(name, std::move(factory));
}

QWidget* ChildWindows::Create(const QString& name) {
    const WindowRow* row = FindWindowRow(name);
    const auto it = factories_.constFind(name);
    if (row == nullptr || it == factories_.cend() || !*it)
        return nullptr;
    QWidget* w = (*it)();
    if (w == nullptr)
        return nullptr;
    if (w->objectName().isEmpty())
        w->setObjectName(name);
    connect(w, &QObject::destroyed, this, [this, name] { emit Destroyed(name); });

    if (row->placement == WindowPlacement::TopLevel) {
        // Closing hides it; it lives until exit.
        w->setParent(&owner_, Qt::Window);
        w->hide();
        topLevel_.insert(name, w);
        return w;
    }
    QMdiSubWindow* sub = area_.addSubWindow(w);
    if (row->life == WindowLife::OnDemand) {
        sub->setAttribute(Qt::WA_DeleteOnClose);
        w->setAttribute(Qt::WA_DeleteOnClose);
    } else if (row->life == WindowLife::OnDemandKept) {
        // Closing hides it; it lives until exit.
        sub->setAttribute(Qt::WA_DeleteOnClose, false);
    } else {
        // addSubWindow() makes every sub-window delete itself on close; a resident one
        // must survive its close box.
        sub->setAttribute(Qt::WA_DeleteOnClose, false);
        sub->installEventFilter(new MinimiseOnClose(sub));
    }
    sub->show();
    sub->setProperty(kDesignedSize, sub->size());
    sub->setProperty(kNormalGeometry, sub->geometry());
    sub->installEventFilter(new NormalGeometryKeeper(sub));
    KeepInArea(sub);
    return w;
}

void ChildWindows::CreateResident() {
    for (const WindowRow& row : WindowTable()) {
        const QString name = QLatin1String(row.name);
        if (row.life == WindowLife::Resident && !Find(name))
            Create(name);
    }
}

void ChildWindows::ArrangeAtStart() {
    // The others make room: the window left in front starts at the top left corner.
    for (const WindowRow& row : WindowTable()) {
        if (QMdiSubWindow* sub = SubWindowOf(Find(QLatin1String(row.name)))) {
            if (row.minimisedAtStart)
                sub->showMinimized();
            else if (row.life == WindowLife::Resident)
                sub->move(0, 0);
        }
    }
}

QMdiSubWindow* ChildWindows::SubWindowOf(const QWidget* child) const {
    for (QMdiSubWindow* s : area_.subWindowList())
        if (s->widget() == child)
            return s;
    return nullptr;
}

QMdiSubWindow* ChildWindows::OpenSubWindow(const QString& name) const {
    for (QMdiSubWindow* s : area_.subWindowList()) {
        // A closed on-demand window lingers until the event loop deletes it; it no longer
        // counts as open.
        if (s->testAttribute(Qt::WA_DeleteOnClose) && s->isHidden())
            continue;
        if (s->widget() && s->widget()->objectName() == name)
            return s;
    }
    return nullptr;
}

bool ChildWindows::IsOpen(const QString& name) const {
    return OpenSubWindow(name) != nullptr;
}

QWidget* ChildWindows::Find(const QString& name) const {
    if (QMdiSubWindow* s = OpenSubWindow(name))
        return s->widget();
    return topLevel_.value(name).data();
}

void ChildWindows::Close(const QString& name) {
    if (QMdiSubWindow* s = OpenSubWindow(name))
        s->close();
}

void ChildWindows::Destroy(const QString& name) {
    for (QMdiSubWindow* s : area_.subWindowList())
        if (s->widget() && s->widget()->objectName() == name)
            delete s;
}

void ChildWindows::CreateMinimised(const QString& name) {
    if (IsOpen(name))
        return;
    if (QWidget* w = Create(name))
        if (QMdiSubWindow* sub = SubWindowOf(w))
            sub->showMinimized();
}

QWidget* ChildWindows::ShowOfMenuItem(const QString& menuItem) {
    const WindowRow* row = FindMenuWindowRow(menuItem);
    return row ? Show(QLatin1String(row->name)) : nullptr;
}

QWidget* ChildWindows::Show(const QString& name) {
    const WindowRow* row = FindWindowRow(name);
    if (row == nullptr)
        return nullptr;
    QWidget* w = Find(name);
    // Resident windows exist whenever their menu item is visible; the menu only brings
    // them back. On-demand windows are created when they are not open.
    if (w == nullptr &&
        (row->life == WindowLife::OnDemand || row->life == WindowLife::OnDemandKept))
        w = Create(name);
    if (w == nullptr)
        return nullptr;
    if (QMdiSubWindow* sub = SubWindowOf(w)) {
        // A kept window's close box hid its contents along with its frame.
        w->show();
        sub->showNormal();
        if (row->movedToOriginByMenu)
            sub->move(0, 0);
        if (row->raisedByMenu)
            area_.setActiveSubWindow(sub);
    } else {
        w->showNormal();
        if (row->movedToOriginByMenu)
            w->move(0, 0);
        if (row->raisedByMenu) {
            w->raise();
            w->activateWindow();
        }
    }
    return w;
}

void ChildWindows::KeepInArea(QMdiSubWindow* sub) const {
    // Before the main window is first shown the client area has no size to fit into.
    if (!area_.isVisible() || sub->isMinimized())
        return;
    sub->setGeometry(FitInto(sub->geometry(), area_.viewport()->rect(), IsResizable(sub)));
}

void ChildWindows::Cascade() {
    // Each window one title bar below and right of the one behind it; a window that would
    // reach past the area's edge starts a new run at the top left corner.
    const QList<QMdiSubWindow*> subs = ShownSubWindows(area_);
    const QRect area = area_.viewport()->rect();
    int k = 0;
    for (QMdiSubWindow* sub : subs) {
        sub->showNormal();
        const int step = std::max(sub->widget() ? sub->widget()->y() : 0, 16);
        QRect r(area.topLeft() + QPoint(k * step, k * step), sub->size());
        if (k > 0 && (r.right() > area.right() || r.bottom() > area.bottom())) {
            k = 0;
            r.moveTopLeft(area.topLeft());
        }
        sub->setGeometry(FitInto(r, area, IsResizable(sub)));
        sub->raise();
        ++k;
    }
    if (!subs.isEmpty())
        area_.setActiveSubWindow(subs.last());
}

void ChildWindows::Tile(Qt::Orientation orientation) {
    // Visible children side by side (vertical tiling) or one above the other. A window of
    // a fixed form keeps its size at its cell's corner, moved back into the area if it
    // would reach past its edge.
    QList<QMdiSubWindow*> subs;
    for (QMdiSubWindow* s : area_.subWindowList())
        if (s->isVisible() && !s->isMinimized())
            subs << s;
    if (subs.isEmpty())
        return;
    const QRect r = area_.viewport()->rect();
    for (int i = 0; i < subs.size(); ++i) {
        QRect cell;
        if (orientation == Qt::Vertical) {
            const int w = r.width() / int(subs.size());
            cell = QRect(r.left() + i * w, r.top(), w, r.height());
        } else {
            const int h = r.height() / int(subs.size());
            cell = QRect(r.left(), r.top() + i * h, r.width(), h);
        }
        subs[i]->showNormal();
        subs[i]->setGeometry(cell);
        subs[i]->setGeometry(FitInto(subs[i]->geometry(), r, IsResizable(subs[i])));
    }
}

void ChildWindows::MinimiseAll() {
    for (QMdiSubWindow* s : area_.subWindowList())
        s->showMinimized();
}

void ChildWindows::ListInMenu(QMenu& menu, int fixedItems) {
    const QList<QAction*> actions = menu.actions();
    for (int i = fixedItems; i < actions.size(); ++i) {
        menu.removeAction(actions[i]);
        actions[i]->deleteLater();
    }
    const QList<QMdiSubWindow*> subs = area_.subWindowList();
    if (subs.isEmpty())
        return;
    menu.addSeparator();
    int n = 0;
    for (QMdiSubWindow* s : subs) {
        QAction* a = menu.addAction(QStringLiteral("&%1 %2").arg(++n).arg(s->windowTitle()));
        a->setCheckable(true);
        a->setChecked(s == area_.activeSubWindow());
        QPointer<QMdiSubWindow> target(s);
        connect(a, &QAction::triggered, this, [this, target] {
            if (target) {
                if (target->isMinimized())
                    target->showNormal();
                area_.setActiveSubWindow(target);
            }
        });
    }
}

QList<ChildPlacement> ChildWindows::Placements() const {
    QList<ChildPlacement> placements;
    for (QMdiSubWindow* s : area_.subWindowList(QMdiArea::StackingOrder)) {
        // A kept window closed by its close box is hidden: it was not open.
        if (s->widget() == nullptr || s->isHidden())
            continue;
        ChildPlacement p;
        p.name = s->widget()->objectName();
        p.minimised = s->isMinimized();
        p.maximised = s->isMaximized();
        p.geometry =
            p.minimised || p.maximised ? s->property(kNormalGeometry).toRect() : s->geometry();
        if (p.geometry.isValid())
            placements << p;
    }
    return placements;
}

void ChildWindows::Restore(const QList<ChildPlacement>& placements,
                           const std::function<bool(const QString&)>& mayOpen) {
    QMdiSubWindow* front = nullptr;
    for (const ChildPlacement& p : placements) {
        const WindowRow* row = FindWindowRow(p.name);
        if (row == nullptr || row->placement != WindowPlacement::MdiChild ||
            !factories_.contains(p.name))
            continue;
        QWidget* w = Find(p.name);
        // A resident window that is missing belongs to the other meter model.
        const bool onDemand =
            row->life == WindowLife::OnDemand || row->life == WindowLife::OnDemandKept;
        if (w == nullptr && onDemand && mayOpen && mayOpen(p.name))
            w = Create(p.name);
        QMdiSubWindow* sub = SubWindowOf(w);
        if (sub == nullptr)
            continue;
        w->show();
        sub->showNormal();
        sub->setGeometry(p.geometry);
        KeepInArea(sub);
        sub->raise();
        if (p.minimised) {
            sub->showMinimized();
        } else {
            if (p.maximised)
                sub->showMaximized();
            front = sub;
        }
    }
    if (front != nullptr)
        area_.setActiveSubWindow(front);
}

void ChildWindows::ResetArrangement() {
    for (QMdiSubWindow* sub : area_.subWindowList()) {
        if (sub->isHidden())
            continue;
        sub->showNormal();
        const QSize designed = sub->property(kDesignedSize).toSize();
        if (designed.isValid() && IsResizable(sub))
            sub->resize(designed);
    }
    ArrangeAtStart();
    Cascade();
}

void ChildWindows::DeleteAll() {
    for (QMdiSubWindow* sub : area_.subWindowList())
        delete sub;
    for (const QPointer<QWidget>& w : std::as_const(topLevel_))
        delete w.data();
}
