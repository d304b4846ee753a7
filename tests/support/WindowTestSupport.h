#pragma once

#include "DecodeTestSupport.h"
#include "RegisterBlock.h"
#include "ValueText.h"

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

// Every text a decoder makes for a window lands on a label of the window's form: a decoder
// and its form that name a label differently would otherwise leave a value silently
// unshown.
inline void ExpectLabelsInForm(const QWidget& form, const LabelTexts& texts) {
    ASSERT_FALSE(texts.isEmpty());
    for (const LabelText& t : texts) {
        const auto* label = form.findChild<QLabel*>(t.label);
        ASSERT_NE(label, nullptr) << "no label " << t.label.toStdString() << " in "
                                  << form.objectName().toStdString();
    }
}

// Before the first reply those labels are empty, their tooltip saying why: a placeholder
// ("0000.00") would read as a value the meter sent.
inline void ExpectLabelsNotReadYet(const QWidget& form, const LabelTexts& texts) {
    for (const LabelText& t : texts) {
        const auto* label = form.findChild<QLabel*>(t.label);
        ASSERT_NE(label, nullptr) << t.label.toStdString();
        EXPECT_EQ(label->text(), QString()) << t.label.toStdString() << " shows a placeholder";
        EXPECT_EQ(label->toolTip(), QStringLiteral("not read yet")) << t.label.toStdString();
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

// The widest values a meter can report: full-scale registers of either sign and the
// largest energy counters, on a 65 kV PT with a 100 V or a 1 V secondary and a 1000 A / 5 A
// CT, and the smallest ratios the settings allow.
struct ExtremeMetering {
    const char* what;
    ScaleRatios ratios;
    QList<quint16> block;
};
inline QList<ExtremeMetering> ExtremeMeteringCases(int blockCount) {
    const auto block = [blockCount](quint16 fill, bool energyMin) {
        RegisterBlock b(blockCount, fill);
        for (int i = 0x26; energyMin && i + 1 < blockCount && i < 0x36; i += 2)
            b.Set32(i, -2147483647 - 1);
        return b.Values();
    };
    return {
        {"65 kV / 1 V PT, 1000/5 A CT, registers at their top", {65000, 200}, block(0xFFFF, true)},
        {"65 kV / 1 V PT, 1000/5 A CT, signed registers at their bottom",
         {65000, 200},
         block(0x8000, true)},
        {"65 kV / 100 V PT, 1000/5 A CT", {650, 200}, block(0xFFFF, false)},
        {"smallest ratios", {1.0 / 65535, 0.2}, block(0x8000, false)},
    };
}

// Every text shows whole on its label below `form`, measured with the label's own font.
inline void ExpectTextsFitTheirLabels(const QWidget& form, const LabelTexts& texts,
                                      const char* what) {
    for (const LabelText& t : texts) {
        const auto* label = form.findChild<QLabel*>(t.label);
        ASSERT_NE(label, nullptr) << t.label.toStdString();
        EXPECT_LE(label->fontMetrics().horizontalAdvance(t.text), label->contentsRect().width())
            << what << ": " << t.label.toStdString() << " cuts " << t.text.toStdString();
    }
}
