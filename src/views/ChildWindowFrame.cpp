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

// The sub-window's own size follows the fixed size of the window inside it, except while
// it is minimised: then it is only a title bar, which the client area sizes and lines up
// (a fixed size taken from the hidden window would shrink it to a few pixels).
class MinimisedFrameWatcher : public QObject {
public:
    using QObject::QObject;

    static void Follow(QMdiSubWindow* sub) {
        if (!sub->property(kWatched).toBool()) {
            sub->setProperty(kWatched, true);
            sub->installEventFilter(new MinimisedFrameWatcher(sub));
        }
        Apply(sub, sub->isMinimized());
    }

protected:
    // Runs before the sub-window's own handling of the change, which sizes it for the new
    // state.
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::WindowStateChange) {
            auto* sub = static_cast<QMdiSubWindow*>(watched);
            Apply(sub, sub->windowState() & Qt::WindowMinimized);
        }
        return false;
    }

private:
    static constexpr const char* kWatched = "qetraMinimisedFrameWatched";

    static void Apply(QMdiSubWindow* sub, bool minimised) {
        if (sub->layout() == nullptr)
            return;
        if (minimised) {
            sub->layout()->setSizeConstraint(QLayout::SetNoConstraint);
            sub->setMinimumSize(0, 0);
            sub->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
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
        // The contents' smallest whole size is the frame's smallest size.
        sub->setMinimumSize(sub->minimumSizeHint());
        return;
    }
    sub->setWindowFlags(kChildFrame);
    sub->setOption(QMdiSubWindow::RubberBandResize, false);
    MinimisedFrameWatcher::Follow(sub);
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
