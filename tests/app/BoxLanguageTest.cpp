// The operator's boxes on desktops of three languages: one language in every box, the
// toolkit's own buttons in the desktop's language, the program's name where a box has no
// caption of its own.

#include "Language.h"
#include "OperatorDialogs.h"
#include "QtTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTimer>
#include <QTranslator>

#include <gtest/gtest.h>

namespace {

const auto* const kApp = ::testing::AddGlobalTestEnvironment(new QtAppEnvironment<QApplication>);

// Every text a box shows: title, text, buttons.
QStringList BoxTexts(const QMessageBox& box) {
    QStringList texts{box.windowTitle(), box.text()};
    for (const QAbstractButton* b : box.buttons())
        texts << b->text();
    return texts;
}

// The texts of the box a blocking question shows, read while it is up and answered No.
QStringList QuestionTexts(MessageBoxDialogs& dialogs, const QString& caption, const QString& text) {
    QStringList seen;
    QTimer::singleShot(0, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        seen = BoxTexts(*box);
        box->reject();
    });
    dialogs.AskYesNo(caption, text);
    return seen;
}

TEST(BoxLanguage, EveryBoxSpeaksTheDesktopsLanguageAndCarriesTheProgramsName) {
    ASSERT_TRUE(QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                              QStringLiteral("/qtbase_de.qm")))
        << "Qt's own translations (qt6-translations-l10n) are not installed";
    const QRegularExpression chinese(QStringLiteral("[\\x{4e00}-\\x{9fff}]"));
    // An English word of the toolkit's buttons (Yes, No, OK, Cancel), mnemonic or not.
    const QRegularExpression english(QStringLiteral("^&?(Yes|No|OK|Cancel)$"));
    const struct {
        const char* desktop;
        QStringList buttons;             // the Yes/No question's buttons, in order
        const QRegularExpression& other; // no text of the box may match it
    } cases[] = {
        {"de-DE", {"&Ja", "&Nein"}, chinese},
        {"zh-CN", {"是(&Y)", "否(&N)"}, english},
    };
    for (const auto& c : cases) {
        auto& app = *QCoreApplication::instance();
        InstallTranslation(app, {QString::fromLatin1(c.desktop)});
        MessageBoxDialogs dialogs;
        // The line-lost notice: written in Chinese in the code, shown in one language.
        dialogs.ShowNotice(QStringLiteral("line"), OperatorDialogs::Icon::Error, QString(),
                           QCoreApplication::translate("LineRecovery", "严重错误"));
        auto* notice = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(notice, nullptr) << c.desktop;
        QStringList texts = BoxTexts(*notice);
        EXPECT_EQ(notice->windowTitle(), "QetraLink") << c.desktop;
        notice->close();

        const QStringList question =
            QuestionTexts(dialogs, QString(),
                          QCoreApplication::translate("ReplyRouting",
                                                      "Meter Address has modified successfully!"));
        ASSERT_EQ(question.size(), 4) << c.desktop;
        EXPECT_EQ(question[0], "QetraLink") << c.desktop;
        EXPECT_EQ(QStringList(question.mid(2)), c.buttons) << c.desktop;
        texts << question;
        for (const QString& t : texts)
            EXPECT_FALSE(t.contains(c.other)) << c.desktop << ": \"" << t.toStdString() << "\"";
        qDeleteAll(app.findChildren<QTranslator*>());
    }
}

} // namespace
