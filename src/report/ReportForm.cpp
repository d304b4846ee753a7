#include "ReportForm.h"

#include <QCoreApplication>
#include <QSettings>

namespace {
const QString kGroup = QStringLiteral("CommissioningReport");
}

QPageSize::PageSizeId DefaultReportPaper(const QLocale& locale) {
    return locale.measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                   : QPageSize::A4;
}

ReportForm LoadReportForm(QSettings& settings, const QLocale& locale) {
    settings.beginGroup(kGroup);
    ReportForm f;
    f.site = settings.value("Site").toString();
    f.feeder = settings.value("Feeder").toString();
    f.technician = settings.value("Technician").toString();
    f.notes = settings.value("Notes").toString();
    const QString paper = settings.value("Paper").toString();
    f.paper = paper == QLatin1String("Letter") ? QPageSize::Letter
              : paper == QLatin1String("A4")   ? QPageSize::A4
                                               : DefaultReportPaper(locale);
    settings.endGroup();
    return f;
}

void SaveReportForm(QSettings& settings, const ReportForm& form) {
    settings.beginGroup(kGroup);
    settings.setValue("Site", form.site);
    settings.setValue("Feeder", form.feeder);
    settings.setValue("Technician", form.technician);
    settings.setValue("Notes", form.notes);
    settings.setValue("Paper", form.paper == QPageSize::Letter ? "Letter" : "A4");
    settings.endGroup();
}

QString ReportFormProblem(const ReportForm& form) {
    const struct {
        const char* caption;
        const QString& text;
        int max;
    } fields[] = {
        {QT_TRANSLATE_NOOP("ReportForm", "Site"), form.site, ReportFieldMaxLength},
        {QT_TRANSLATE_NOOP("ReportForm", "Feeder / panel"), form.feeder, ReportFieldMaxLength},
        {QT_TRANSLATE_NOOP("ReportForm", "Technician"), form.technician, ReportFieldMaxLength},
        {QT_TRANSLATE_NOOP("ReportForm", "Notes"), form.notes, ReportNotesMaxLength}};
    for (const auto& f : fields) {
        const QString caption = QCoreApplication::translate("ReportForm", f.caption);
        if (f.text.size() > f.max)
            return QCoreApplication::translate("ReportForm",
                                               "%1: at most %2 characters (%3 typed).")
                .arg(caption)
                .arg(f.max)
                .arg(f.text.size());
        // Line ends break the text in its cell and tabs are spaces; any other control
        // character would be drawn as a box.
        for (qsizetype i = 0; i < f.text.size(); ++i) {
            const QChar c = f.text[i];
            if (c.category() == QChar::Other_Control && c != QLatin1Char('\n') &&
                c != QLatin1Char('\t'))
                return QCoreApplication::translate(
                           "ReportForm", "%1: a control character (U+%2) at character %3; "
                                         "the report cannot print it.")
                    .arg(caption)
                    .arg(c.unicode(), 4, 16, QLatin1Char('0'))
                    .arg(i + 1);
        }
    }
    return {};
}
