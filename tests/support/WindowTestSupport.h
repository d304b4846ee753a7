#pragma once

#include "DecodeTestSupport.h"

#include <QApplication>

#include <QLabel>
#include <QTableWidget>
#include <QWidget>
#include <gtest/gtest.h>

// The Qt application for a binary whose tests create the application on first use: a widget test
// calls this before it builds a window. The application is never destroyed.
inline QApplication& WidgetTestApp() {
    static int argc = 1;
    static char name[] = "qetra_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        auto* a = new QApplication(argc, argv);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        return a;
    }();
    return *app;
}

// Every text a decoder makes for a window lands on a label of the window's form, and that
// label shows its placeholder (non-empty) before the first reply: a decoder and its form
// that name a label differently would otherwise leave a value silently unshown.
inline void ExpectLabelsInForm(const QWidget& form, const LabelTexts& texts) {
    ASSERT_FALSE(texts.isEmpty());
    for (const LabelText& t : texts) {
        const auto* label = form.findChild<QLabel*>(t.label);
        ASSERT_NE(label, nullptr) << "no label " << t.label.toStdString() << " in "
                                  << form.objectName().toStdString();
        EXPECT_FALSE(label->text().isEmpty()) << t.label.toStdString() << " has no placeholder";
    }
}

// The same for grid cells: every decoded cell lies inside the grid.
inline void ExpectCellsInGrid(const QTableWidget& grid, const GridTexts& texts) {
    ASSERT_FALSE(texts.isEmpty());
    for (const GridText& t : texts) {
        EXPECT_GE(t.row, 0);
        EXPECT_GE(t.column, 0);
        EXPECT_LE(t.row, grid.rowCount()) << grid.objectName().toStdString();
        EXPECT_LE(t.column, grid.columnCount()) << grid.objectName().toStdString();
    }
}
