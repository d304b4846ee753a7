#include "Language.h"
#include "QtTestSupport.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>

namespace {

const auto* const kApp =
    ::testing::AddGlobalTestEnvironment(new QtAppEnvironment<QCoreApplication>);

const QStringList kTranslations = {QStringLiteral("qetralink_en.ts"),
                                   QStringLiteral("qetralink_zh_CN.ts")};

TEST(Language, DesktopLanguagesPickOneTranslation) {
    const struct {
        QStringList uiLanguages;
        QString expected;
    } cases[] = {
        {{"en-US"}, "en"},
        {{"en-GB", "zh-CN"}, "en"},
        {{"zh-CN"}, "zh_CN"},
        {{"zh-Hans-CN", "en-US"}, "zh_CN"},
        {{"zh-TW"}, "zh_CN"},
        {{"zh_HK"}, "zh_CN"},
        {{"ZH-cn"}, "zh_CN"},
        {{"de-DE", "en-US"}, "en"},
        // Neither language: English, never the mix of English and Chinese the texts are
        // written in.
        {{"de-DE", "fr-FR"}, "en"},
        {{"C"}, "en"},
        {{}, "en"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TranslationFor(c.uiLanguages), c.expected)
            << c.uiLanguages.join(QLatin1Char(',')).toStdString();
}

// A text of each language and of each kind of source (code, form), through each built
// translation: the Chinese lost-line caption, a Chinese calibration prompt, an English
// confirmation, the not-connected box, a menu of the main window's form.
TEST(Language, BuiltTranslationsTurnTheTextsIntoTheirLanguage) {
    const struct {
        const char* file;
        const char* context;
        const char* source;
        QString expected;
    } cases[] = {
        {"en", "LineRecovery", "严重错误", "Serious Error"},
        {"en", "TFormCount", "现在将进行角度校正！先输入读取次数！",
         "Angle calibration comes next! Enter the number of readings first!"},
        {"en", "ReplyRouting", "Meter Address has modified successfully!",
         "Meter Address has modified successfully!"},
        {"en", "TFormCalirate", "请先与设备通讯！", "Please connect to the meter first!"},
        {"zh_CN", "LineRecovery", "严重错误", "严重错误"},
        {"zh_CN", "ReplyRouting", "Meter Address has modified successfully!", "仪表地址修改成功！"},
        {"zh_CN", "OperatorDialogs", "Please connect the meter first! ", "请先连接仪表！ "},
        {"zh_CN", "TFormTeskLink", "Start COMM(&R)", "开始通讯(&R)"},
        {"zh_CN", "WiringCheck",
         "No voltage on V%1: check the fuse and the voltage lead of phase %1.",
         "V%1 无电压：请检查第 %1 相的保险丝和电压引线。"},
    };
    for (const auto& c : cases) {
        QTranslator translator;
        ASSERT_TRUE(translator.load(QStringLiteral(":/i18n/qetralink_%1.qm").arg(c.file)))
            << c.file;
        EXPECT_EQ(translator.translate(c.context, c.source), c.expected)
            << c.file << " " << c.source;
    }
}

// The start-up choice reaches every text of the program; a desktop in neither language
// reads them in English.
TEST(Language, InstalledTranslationAppliesToTheWholeProgram) {
    auto& app = *QCoreApplication::instance();
    const char* caption = "严重错误";
    EXPECT_EQ(InstallTranslation(app, {"de-DE"}), "en");
    EXPECT_EQ(QCoreApplication::translate("LineRecovery", caption), "Serious Error");
    qDeleteAll(app.findChildren<QTranslator*>());

    EXPECT_EQ(InstallTranslation(app, {"en-US"}), "en");
    EXPECT_EQ(QCoreApplication::translate("LineRecovery", caption), "Serious Error");
    // A translator leaves the program when it is destroyed.
    qDeleteAll(app.findChildren<QTranslator*>());
    EXPECT_EQ(QCoreApplication::translate("LineRecovery", caption), QString::fromUtf8(caption));
}

struct Unfinished {
    QString context;
    QString source;
};

// Messages of a .ts file without a finished translation.
std::vector<Unfinished> UnfinishedIn(const QString& path, int* messages) {
    std::vector<Unfinished> out;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return out;
    }
    QXmlStreamReader xml(&file);
    QString context;
    QString source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            ++*messages;
            const QString type = xml.attributes().value(QLatin1String("type")).toString();
            if (type == QLatin1String("unfinished") || xml.readElementText().isEmpty())
                out.push_back({context, source});
        }
    }
    EXPECT_FALSE(xml.hasError()) << path.toStdString() << ": " << xml.errorString().toStdString();
    return out;
}

// Every text of the code and the forms has a finished translation in both files: lupdate
// takes today's texts into copies of the files, and a text new to them comes in unfinished.
TEST(Language, EveryTextHasAFinishedTranslationInBothLanguages) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QStringList copies;
    for (const QString& name : kTranslations) {
        copies << dir.filePath(name);
        ASSERT_TRUE(QFile::copy(QStringLiteral(QETRA_TRANSLATIONS_DIR "/") + name, copies.last()));
    }
    QProcess lupdate;
    lupdate.start(QStringLiteral(QETRA_LUPDATE),
                  QStringList{"-no-obsolete", "-locations", "none",
                              QStringLiteral(QETRA_SOURCE_DIR "/src"),
                              QStringLiteral(QETRA_SOURCE_DIR "/resources"), "-ts"} +
                      copies);
    ASSERT_TRUE(lupdate.waitForFinished(-1));
    ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();

    for (const QString& copy : copies) {
        int messages = 0;
        for (const Unfinished& u : UnfinishedIn(copy, &messages))
            ADD_FAILURE() << copy.section('/', -1).toStdString() << ": no translation of \""
                          << u.source.toStdString() << "\" (" << u.context.toStdString()
                          << "); run the update_translations target and translate it";
        // The program has several hundred texts: a scan that found none proves nothing.
        EXPECT_GT(messages, 500) << copy.toStdString();
    }
}

} // namespace
