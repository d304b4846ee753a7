// The report the program writes on the technician's desktop: its headings, labels and
// setting names in the desktop's language, read back from the PDF with pdftotext.

#include "AlarmRecords.h"
#include "CommissioningReport.h"
#include "MaxMinDecode.h"
#include "QtTestSupport.h"

#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
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

// An 11 kV feeder's meter that answered every block: PT 11000 V / 100 V, CT 600 A / 5 A.
// The maximum of U1 and the clock were stamped 2026-12-07 22:39:07, the maximum with the
// two-digit year the meter keeps in its records. `records` fills the alarm record block.
ReportSnapshot MediumVoltageFeeder(const QLocale& numbers, const QList<quint16>& records = {}) {
    ReportSnapshot s = SettingsOnly();
    s.technician = QStringLiteral("R. Ortiz");
    s.pcTime = QDateTime(QDate(2026, 12, 7), QTime(22, 39, 7));
    s.numbers = numbers;
    for (const ReportRead& read : ReportReads())
        s.blocks[int(read.block)] = QList<quint16>(read.count);
    QList<quint16>& params = *s.blocks[int(ReportBlock::Parameters)];
    params[1] = 1;
    params[2] = 9600;
    params[6] = 11000; // PT1, low word

    params[7] = 100;
    params[8] = 600;
    QList<quint16>& metering = *s.blocks[int(ReportBlock::Metering)];
    metering[0x01] = 577;  // 6.347 kV
    metering[0x0E] = 2534; // 33.449 MW
    metering[0x19] = 7952; // 104.966 MVA
    metering[0x26] = 123456789 >> 16;
    metering[0x27] = 123456789 & 0xFFFF; // 12345.6789 MWh
    *s.blocks[int(ReportBlock::Clock)] = {2026, 12, 7, 22, 39, 7};
    QList<quint16>& max = *s.blocks[int(ReportBlock::Max)];
    max[0] = 982; // U1 10.802 kV
    for (int k = 0; k < 6; ++k)
        max[1 + k] = QList<quint16>{26, 12, 7, 22, 39, 7}[k];
    if (!records.isEmpty())
        s.blocks[int(ReportBlock::AlarmRecords)] = records;
    return s;
}

// An alarm record block: group 2 in alarm now, one record in slot 1 (V1 above its limit at
// 2026-01-02 03:04:05) and the other eight slots never filled.
QList<quint16> OneAlarmRecord() {
    QList<quint16> block(AlarmRecordBlockCount);
    block[0] = 0x0002;
    const quint16 record[AlarmRecordSize] = {1, 600, 26, 1, 2, 3, 4, 5};
    std::copy(std::begin(record), std::end(record), block.begin() + 1);
    return block;
}

TEST(CommissioningReport, IsFitToHandOverWithDatesUnitsVerdictAndSignOff) {
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale de(QLocale::German, QLocale::Germany);
    ReportSnapshot noClock = MediumVoltageFeeder(us, OneAlarmRecord());
    noClock.blocks[int(ReportBlock::Clock)].reset();
    const struct {
        const char* name;
        ReportSnapshot snapshot;
        QStringList expected;   // patterns, in the order they stand in the report
        QStringList unexpected; // patterns
    } cases[] = {
        {"medium-voltage feeder, no alarm records",
         MediumVoltageFeeder(us),
         {R"(^Commissioning report Verdict: )", R"(no alarm active; every block read 1 Site)",
          R"(PC date and time 2026-12-07 22:39:07)", R"(Meter clock 2026-12-07 22:39:07)",
          R"(V1 6\.347 kV)", R"(P1 33\.449 MW)", R"(S sum 104\.966 MVA)",
          R"(Ep_imp 12345\.6789 MWh)", R"(U1 10\.802 kV 2026-12-07 22:39:07)",
          R"(Alarm records No alarm records)", R"(9 Hand-over Technician Customer Name R\. Ortiz)",
          R"(Date Date Signature Signature)", R"(numbers in American English: 1,234\.5)"},
         {R"(Alarm Record \d)", R"(\b26-12-0?7\b)", R"(\d,\d{3}\.\d{3} k)", R"(not read)"}},
        {"German numbers",
         MediumVoltageFeeder(de),
         {R"(V1 6,347 kV)", R"(P1 33,449 MW)", R"(Ep_imp 12345,6789 MWh)",
          R"(numbers in Deutsch: 1\.234,5)"},
         {R"(33\.449 MW)"}},
        {"an alarm active, one record and the clock not read",
         noClock,
         {R"(Verdict: .*alarm active in group 2; not read: clock 1 Site)",
          R"(Alarm Record 1 V1 .* Alarm 6,600\.0 V 2026-01-02 03:04:05)"},
         {R"(Alarm Record [2-9])", R"(No alarm records)"}},
    };
    for (const auto& c : cases) {
        const QString text = ReportText(c.snapshot);
        qsizetype from = 0;
        for (const QString& pattern : c.expected) {
            const QRegularExpressionMatch m = QRegularExpression(pattern).match(text, from);
            EXPECT_TRUE(m.hasMatch()) << c.name << ": no " << pattern.toStdString() << " after "
                                      << text.mid(from, 400).toStdString();
            if (m.hasMatch())
                from = m.capturedEnd();
        }
        for (const QString& pattern : c.unexpected)
            EXPECT_FALSE(text.contains(QRegularExpression(pattern)))
                << c.name << ": " << pattern.toStdString();
    }
}

} // namespace
