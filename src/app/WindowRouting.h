#pragma once

#include "ReplyRouting.h"
#include "Shell.h"
#include "WindowTable.h"

#include <QList>
#include <QString>

// One-line wiring of a window to the replies it shows. The window is looked up by name at
// each reply (Shell::Window: an open client-area child, or the top-level resident window),
// so a window that is closed, or not created yet, simply misses the reply.

// Hands every reply of block `startAddr` to `show` of window `name`.
template <class Window>
int RouteBlock(Shell& shell, quint16 startAddr, const QString& name,
               void (Window::*show)(const QList<quint16>&)) {
    return shell.Routing().AddBlockDecoder(startAddr,
                                           [&shell, name, show](const QList<quint16>& values) {
                                               if (auto* w = shell.WindowAs<Window>(name))
                                                   (w->*show)(values);
                                           });
}

// Runs `confirmed` of window `name` (when open) after the meter echoed a write at
// `startAddr` and its confirmation box was shown.
template <class Window>
int RouteWriteConfirmed(Shell& shell, quint16 startAddr, const QString& name,
                        void (Window::*confirmed)()) {
    return shell.Routing().AddWriteConfirmedHandler(startAddr, [&shell, name, confirmed] {
        if (auto* w = shell.WindowAs<Window>(name))
            (w->*confirmed)();
    });
}

// Runs `activated` of `window` each time it becomes the active client-area child
// (after the shell put its reads into the rotation).
template <class Window>
void OnWindowActivated(Shell& shell, Window* window, void (Window::*activated)()) {
    QObject::connect(&shell.Events(), &ShellEvents::ChildActivated, window,
                     [window, activated](QWidget* child) {
                         if (child == window)
                             (window->*activated)();
                     });
}
