#include "ChildWindowFrame.h"

#include <QEvent>
#include <QLayout>
#include <QMdiSubWindow>
#include <QObject>
#include <QWidget>

namespace {

constexpr const char* kResizable = "qetraResizableChild";

constexpr Qt::WindowFlags kChildFrame =
    Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint;

// The sub-window's own size follows the window inside it, except while it is minimised:
// then it is only a title bar, which the client area sizes and lines up (a size taken from
// the hidden window would shrink it to a few pixels or keep it large). A fixed window's
// frame keeps the window's fixed size; a resizable one cannot be made smaller than its
// contents need to show whole (the client area only keeps a minimum of a window of its
// own, so the frame is given it here).
class FrameSizeWatcher : public QObject {
public:
    using QObject::QObject;

    static void Follow(QMdiSubWindow* sub, bool resizable) {
        sub->setProperty(kResizableFrame, resizable);
        if (!sub->property(kWatched).toBool()) {
            sub->setProperty(kWatched, true);
            sub->installEventFilter(new FrameSizeWatcher(sub));
        }
        Apply(sub, sub->isMinimized());
    }

protected:
    // Runs before the sub-window's own handling of the change, which sizes it for the new
    // state; a resizable window's smallest size is taken again whenever its contents are
    // laid out anew.
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::WindowStateChange && type != QEvent::LayoutRequest &&
            type != QEvent::Show)
            return false;
        // Events still arrive while the frame is being destroyed, when it is no longer one.
        auto* sub = qobject_cast<QMdiSubWindow*>(watched);
        if (sub != nullptr &&
            (type == QEvent::WindowStateChange || sub->property(kResizableFrame).toBool()))
            Apply(sub, sub->windowState() & Qt::WindowMinimized);
        return false;
    }

private:
    static constexpr const char* kWatched = "qetraFrameSizeWatched";
    static constexpr const char* kResizableFrame = "qetraResizableFrame";

    static void Apply(QMdiSubWindow* sub, bool minimised) {
        if (sub->layout() == nullptr)
            return;
        if (minimised) {
            sub->layout()->setSizeConstraint(QLayout::SetNoConstraint);
            sub->setMinimumSize(0, 0);
            sub->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        } else if (sub->property(kResizableFrame).toBool()) {
            const QSize least = sub->minimumSizeHint();
            if (sub->minimumSize() != least)
                sub->setMinimumSize(least);
        } else {
            sub->layout()->setSizeConstraint(QLayout::SetFixedSize);
        }
    }
};

bool IsResizable(const QWidget* window) {
    return window->property(kResizable).toBool();
}

void FrameSubWindow(QWidget* window) {
    auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget());
    if (sub == nullptr)
        return;
    if (IsResizable(window)) {
        FrameSizeWatcher::Follow(sub, true);
        return;
    }
    sub->setWindowFlags(kChildFrame);
    sub->setOption(QMdiSubWindow::RubberBandResize, false);
    FrameSizeWatcher::Follow(sub, false);
}

// Watches the window for being moved into a sub-window frame.
class ParentWatcher : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ParentChange)
            FrameSubWindow(static_cast<QWidget*>(watched));
        return false;
    }
};

} // namespace

namespace {

void WatchFrame(QWidget* window) {
    window->installEventFilter(new ParentWatcher(window));
    FrameSubWindow(window);
}

} // namespace

void UseFixedChildFrame(QWidget* window) {
    window->setProperty(kResizable, false);
    if (window->layout() != nullptr)
        window->layout()->setSizeConstraint(QLayout::SetFixedSize);
    WatchFrame(window);
}

void UseResizableChildFrame(QWidget* window) {
    window->setProperty(kResizable, true);
    if (window->layout() != nullptr)
        window->layout()->setSizeConstraint(QLayout::SetDefaultConstraint);
    window->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    WatchFrame(window);
}
