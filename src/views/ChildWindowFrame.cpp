#include "ChildWindowFrame.h"

#include <QEvent>
#include <QLayout>
#include <QMdiSubWindow>
#include <QObject>
#include <QWidget>

namespace {

constexpr Qt::WindowFlags kChildFrame =
    Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint;

void FrameSubWindow(QWidget* window) {
    auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget());
    if (sub == nullptr)
        return;
    sub->setWindowFlags(kChildFrame);
    sub->setOption(QMdiSubWindow::RubberBandResize, false);
    // The sub-window's own size follows the fixed size of the window inside it.
    if (sub->layout() != nullptr)
        sub->layout()->setSizeConstraint(QLayout::SetFixedSize);
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

void UseFixedChildFrame(QWidget* window) {
    if (window->layout() != nullptr)
        window->layout()->setSizeConstraint(QLayout::SetFixedSize);
    window->installEventFilter(new ParentWatcher(window));
    FrameSubWindow(window);
}
