#pragma once

#include <QLocale>
#include <QPageSize>
#include <QString>

class QSettings;

// What the technician types before a commissioning report, remembered between runs.
struct ReportForm {
    QString site, feeder, technician, notes;
    QPageSize::PageSizeId paper = QPageSize::A4;
};

// Letter where the locale measures in US units, A4 everywhere else.
QPageSize::PageSizeId DefaultReportPaper(const QLocale& locale);

// The form as last used, from `settings`; the paper defaults from `locale`.
ReportForm LoadReportForm(QSettings& settings, const QLocale& locale);
void SaveReportForm(QSettings& settings, const ReportForm& form);

// Longest texts the report's layout holds: a line for the short fields, a paragraph for
// the notes.
inline constexpr int ReportFieldMaxLength = 120;
inline constexpr int ReportNotesMaxLength = 2000;

// The first field that cannot go into the report, as a message naming it and its limit;
// empty when all can.
QString ReportFormProblem(const ReportForm& form);
