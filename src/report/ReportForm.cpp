#include "ReportForm.h"

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
    } fields[] = {{"Site", form.site, ReportFieldMaxLength},
                  {"Feeder / panel", form.feeder, ReportFieldMaxLength},
                  {"Technician", form.technician, ReportFieldMaxLength},
                  {"Notes", form.notes, ReportNotesMaxLength}};
    for (const auto& f : fields)
        if (f.text.size() > f.max)
            return QStringLiteral("%1: at most %2 characters (%3 typed).")
                .arg(QLatin1String(f.caption))
                .arg(f.max)
                .arg(f.text.size());
    return {};
}
