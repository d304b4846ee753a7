#include "Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

QString TranslationFor(const QStringList& uiLanguages) {
    for (QString language : uiLanguages) {
        language.replace(QLatin1Char('-'), QLatin1Char('_'));
        const QString code = language.section(QLatin1Char('_'), 0, 0).toLower();
        // Traditional and simplified script alike read the simplified texts better than
        // the English ones.
        if (code == QLatin1String("zh"))
            return QStringLiteral("zh_CN");
        if (code == QLatin1String("en"))
            return QStringLiteral("en");
    }
    return {};
}

QString InstallTranslation(QCoreApplication& app, const QStringList& uiLanguages) {
    const QString name = TranslationFor(uiLanguages);
    if (name.isEmpty())
        return {};
    auto* own = new QTranslator(&app);
    if (!own->load(QStringLiteral(":/i18n/qetralink_%1.qm").arg(name))) {
        delete own;
        return {};
    }
    QCoreApplication::installTranslator(own);
    // The standard buttons of the message boxes come from the toolkit's own catalogue,
    // present when the desktop installed it; English needs none.
    if (name != QLatin1String("en")) {
        auto* toolkit = new QTranslator(&app);
        if (toolkit->load(QStringLiteral("qtbase_") + name,
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(toolkit);
        else
            delete toolkit;
    }
    return name;
}
