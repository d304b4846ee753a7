#pragma once

#include "FormBase.h"
#include "FormPara.h"
#include "TestShell.h"
#include "ViewWindows.h"
#include "WindowTestSupport.h"

#include <QLabel>

// The main window with the measurement windows registered (see TestShell).
struct ViewShell : TestShell {
    // `silentPort`: no line at all; otherwise the real serial port component.
    void Make(bool silentPort) {
        WidgetTestApp();
        TestShell::Make({RegisterViewWindows}, silentPort ? NoLine : RealPort);
        // Pin the number format whatever the machine's locale.
        Base()->SetLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    TFormBase* Base() const { return Window<TFormBase>(WindowName::Base); }
    TFormPara* Para() const { return Window<TFormPara>(WindowName::Para); }
    QString BaseText(const char* label) const { return Base()->Label(label)->text(); }
};
