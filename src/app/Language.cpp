#include "Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
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
    // The texts are written partly in Chinese: on any other desktop (German, French, C)
    // they are all shown in English rather than half in a language the user did not ask for.
    return QStringLiteral("en");
}

QString InstallTranslation(QCoreApplication& app, const QStringList& uiLanguages) {
    const QString name = TranslationFor(uiLanguages);
    auto* own = new QTranslator(&app);
    if (!own->load(QStringLiteral(":/i18n/qetralink_%1.qm").arg(name))) {
        delete own;
        return {};
    }
    QCoreApplication::installTranslator(own);
    // The toolkit's own texts (the buttons of message boxes and file dialogs: Yes, No,
    // Cancel, Save) come from its catalogue for the desktop's first language (Debian's
    // qt6-translations-l10n), so a German desktop gets "Abbrechen" beside our English
    // texts. The translation is added after ours and so is asked first, which matters only
    // where a context is shared; ours never uses the toolkit's.
    auto* toolkit = new QTranslator(&app);
    const QString path = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    const QString language = uiLanguages.value(0);
    const bool loaded =
        !language.isEmpty() && language != QLatin1String("C") &&
        (toolkit->load(QLocale(language), QStringLiteral("qt"), QStringLiteral("_"), path) ||
         toolkit->load(QLocale(language), QStringLiteral("qtbase"), QStringLiteral("_"), path));
    if (loaded)
        QCoreApplication::installTranslator(toolkit);
    else
        delete toolkit;
    return name;
}
