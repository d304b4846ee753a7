#pragma once

#include <QString>
#include <QStringList>

class QCoreApplication;

// The program speaks one language at a time. Its texts are written partly in English and
// partly in Chinese; a translation for each of the two languages turns every text into
// that language. The desktop's languages pick the translation once at start.

// The translation for the desktop's languages in their order of preference ("en-US",
// "zh-Hans-CN", ...): "zh_CN" for any Chinese, "en" for any English, whichever comes
// first; "en" when neither is wanted, so no desktop sees a mix of the two.
QString TranslationFor(const QStringList& uiLanguages);

// Loads the program's translation (built into the program) and, where the desktop has
// them installed, the toolkit's own texts (Yes, No, Cancel) for the desktop's first
// language.
// Returns the name of the program's translation that was installed, or empty.
QString InstallTranslation(QCoreApplication& app, const QStringList& uiLanguages);
