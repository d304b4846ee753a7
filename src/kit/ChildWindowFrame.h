#pragma once

class QWidget;

// The frame every fixed-layout child window wears: a title bar with the system menu and a
// minimise button, no maximise button and no resizing. The window keeps its designed size.
// Call from the window's constructor; the frame is applied again whenever the window is
// put into a client-area sub-window.
void UseFixedChildFrame(QWidget* window);

// The frame of a child window whose contents can use more room (grids, charts): the usual
// title bar with minimise and maximise buttons, resizable by its edges down to the size at
// which its contents still show whole. Its layout stretches the contents with the frame.
void UseResizableChildFrame(QWidget* window);
