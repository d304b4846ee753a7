// What the technician types for a commissioning report: checked before the meter is read,
// remembered between runs, the paper defaulting from the locale.

#include "ReportForm.h"

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(ReportForm, RemembersTheFieldsAndChecksTheirLengths) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QSettings settings(dir.filePath(QStringLiteral("qetra.ini")), QSettings::IniFormat);

    // Nothing saved yet: empty fields, the paper of the locale.
    EXPECT_EQ(LoadReportForm(settings, QLocale(QLocale::English, QLocale::UnitedStates)).paper,
              QPageSize::Letter);
    EXPECT_EQ(LoadReportForm(settings, QLocale(QLocale::German, QLocale::Germany)).paper,
              QPageSize::A4);

    const ReportForm typed{"Substation North", "F12", "R. Ortiz", "Seals fitted.\nCT replaced.",
                           QPageSize::Letter};
    SaveReportForm(settings, typed);
    const ReportForm back = LoadReportForm(settings, QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(back.site, typed.site);
    EXPECT_EQ(back.feeder, typed.feeder);
    EXPECT_EQ(back.technician, typed.technician);
    EXPECT_EQ(back.notes, typed.notes);
    EXPECT_EQ(back.paper, QPageSize::Letter); // the choice wins over the locale

    EXPECT_TRUE(ReportFormProblem(typed).isEmpty());
    ReportForm tooLong = typed;
    tooLong.technician = QString(ReportFieldMaxLength + 1, QLatin1Char('x'));
    EXPECT_EQ(ReportFormProblem(tooLong), "Technician: at most 120 characters (121 typed).");
    tooLong = typed;
    tooLong.notes = QString(ReportNotesMaxLength, QLatin1Char('n'));
    EXPECT_TRUE(ReportFormProblem(tooLong).isEmpty());
    tooLong.notes += QLatin1Char('n');
    EXPECT_EQ(ReportFormProblem(tooLong), "Notes: at most 2000 characters (2001 typed).");

    // A line end breaks the text within its cell and a tab is a space; any other control
    // character would be printed as a box.
    ReportForm control = typed;
    control.site = "North\nBay 3";
    control.notes = "Seals\tfitted.";
    EXPECT_TRUE(ReportFormProblem(control).isEmpty()) << ReportFormProblem(control).toStdString();
    control.feeder = "F12\x1b[2J";
    EXPECT_EQ(ReportFormProblem(control),
              "Feeder / panel: a control character (U+001b) at character 4; the report cannot "
              "print it.");
}

} // namespace
