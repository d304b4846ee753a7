// The report the program writes on the technician's desktop: its headings, labels and
// setting names in the desktop's language, read back from the PDF with pdftotext.

#include "CommissioningReport.h"
#include "QtTestSupport.h"

#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtAppEnvironment<QGuiApplication>);

// The report's text as pdftotext reads it, spaces squeezed; empty on any failure.
QString ReportText(const ReportSnapshot& snapshot) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    QString why;
    if (!WriteCommissioningReport(pdf, snapshot, QPageSize::A4,
                                  QDateTime(QDate(2026, 3, 1), QTime(9, 30)), &why)) {
        ADD_FAILURE() << why.toStdString();
        return {};
    }
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext (poppler-utils): " << p.errorString().toStdString();
        return {};
    }
    return QString::fromUtf8(p.readAllStandardOutput()).simplified();
}

// A meter that answered only its settings: address 1, 9600 baud, PT 100/100, CT 5.
ReportSnapshot SettingsOnly() {
    ReportSnapshot s;
    s.site = QStringLiteral("North");
    s.model = QStringLiteral("QETRA 7300");
    QList<quint16> params(34);
    params[1] = 1;
    params[2] = 9600;
    params[6] = 100;
    params[7] = 100;
    params[8] = 5;
    s.blocks[int(ReportBlock::Parameters)] = params;
    return s;
}

TEST(CommissioningReport, HeadingsLabelsAndSettingNamesFollowTheDesktopsLanguage) {
    const struct {
        const char* translation; // nullptr: a desktop in neither language
        QStringList expected;
    } cases[] = {
        {nullptr,
         {"Commissioning report", "1 Site", "Site North", "Access Code 0", "Meter clock not read",
          "Page 1 of"}},
        {"zh_CN", {"调试报告", "1 现场", "现场 North", "访问密码 0", "仪表时钟 未读取", "第 1 页"}},
    };
    for (const auto& c : cases) {
        std::optional<ScopedTranslation> language;
        if (c.translation) {
            language.emplace(c.translation);
            ASSERT_TRUE(language->Loaded()) << c.translation;
        }
        const QString text = ReportText(SettingsOnly());
        for (const QString& part : c.expected)
            EXPECT_TRUE(text.contains(part))
                << (c.translation ? c.translation : "untranslated") << ": no \""
                << part.toStdString() << "\" in " << text.left(600).toStdString();
    }
}

} // namespace
