// The commissioning report end to end: qetra-poll reads a simulated meter of known
// configuration and writes the PDF; its text is read back with pdftotext and its images
// listed with pdfimages (poppler-utils).

#include "MeterSimProcess.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int exitCode = -1;
    QString out, err;
};

// With `fileSizeKb`, the program may write files of at most that many kB (a full disk).
ToolRun RunTool(const QString& program, QStringList arguments,
                const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
                int fileSizeKb = 0) {
    QProcess p;
    p.setProcessEnvironment(environment);
    if (fileSizeKb > 0)
        p.start("bash",
                QStringList{
                    "-c", QStringLiteral("trap '' XFSZ; ulimit -f %1; exec \"$@\"").arg(fileSizeKb),
                    "bash", program} +
                    arguments);
    else
        p.start(program, arguments);
    ToolRun r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        r.err = QStringLiteral("%1 did not finish: %2").arg(program, p.errorString());
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// A site of 120 characters in words, the longest the form takes, and 110 lines of notes.
const QString kLongSite = [] {
    QStringList words;
    for (int k = 1; k <= 10; ++k)
        words << QStringLiteral("Cabinet-%1").arg(k, 2, 10, QLatin1Char('0'));
    return words.join(' ') + QStringLiteral(" Feeder End");
}();
const QStringList kNoteLines = [] {
    QStringList lines;
    for (int k = 1; k <= 110; ++k)
        lines << QStringLiteral("Note %1 checked").arg(k, 3, 10, QLatin1Char('0'));
    return lines;
}();

enum class Target { New, OldReport, Fifo };

struct ReportCase {
    const char* name;
    QStringList simArguments;
    QStringList pollArguments; // after the site, technician and notes of every case
    int exitCode;              // of qetra-poll: 3 when a block did not answer
    QStringList patterns;      // must match the report's text (pdftotext -layout), or
                               // standard error when no report is written
    QStringList absent;        // must not
    Target target = Target::New;
    int fileSizeKb = 0;
    int framesHeard = -1; // when not -1: the requests the meter heard in all
};

void PrintTo(const ReportCase& c, std::ostream* os) {
    *os << c.name;
}

QString PdfText(const QString& pdf, int page = 0) {
    QStringList arguments = {"-layout", pdf, "-"};
    if (page > 0)
        arguments =
            QStringList{"-f", QString::number(page), "-l", QString::number(page)} + arguments;
    const ToolRun text = RunTool(QStringLiteral("pdftotext"), arguments);
    EXPECT_EQ(text.exitCode, 0) << "pdftotext (poppler-utils): " << qPrintable(text.err);
    return text.out;
}

// Every word of the long site and every line of the notes is in the report, the notes in
// order from page 1 on, and on each page above its footer.
void ExpectLongTextsWhole(const QString& pdf) {
    const QString all = PdfText(pdf);
    for (const QString& word : kLongSite.split(' '))
        EXPECT_TRUE(all.contains(word)) << word.toStdString();
    qsizetype at = 0;
    for (const QString& line : kNoteLines) {
        const qsizetype found = all.indexOf(line, at);
        EXPECT_GE(found, at) << line.toStdString() << " missing or out of order";
        at = std::max(at, found);
    }
    EXPECT_TRUE(PdfText(pdf, 1).contains(kNoteLines.first())) << "page 1 ends before the notes";
    const int pages = int(all.count(QRegularExpression(R"(Page \d+ of \d+)")));
    for (int page = 1; page <= pages; ++page) {
        const QString text = PdfText(pdf, page);
        const qsizetype footer = text.indexOf(QStringLiteral("Page %1 of").arg(page));
        EXPECT_GE(footer, 0) << page;
        for (const QString& line : kNoteLines)
            if (text.contains(line)) {
                EXPECT_LT(text.indexOf(line), footer) << line.toStdString() << " below the footer";
            }
    }
}

class CommissioningReport : public testing::TestWithParam<ReportCase> {};

TEST_P(CommissioningReport, RecordsWhatTheMeterHoldsAndMeasures) {
    const ReportCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A ports folder of its own: no COM name of another test can meet this one.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QETRA_PORTS_DIR"), dir.filePath(QStringLiteral("ports")));
    MeterSimProcess sim(
        QStringList{"--address", "7", "--pt-ratio", "100", "--ct1", "200"} + c.simArguments, env);
    ASSERT_TRUE(sim.started()) << qPrintable(sim.errors());

    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    const QByteArray old = "%PDF of last week's report";
    if (c.target == Target::OldReport) {
        QFile f(pdf);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(old) == old.size());
    }
    if (c.target == Target::Fifo) {
        ASSERT_EQ(::mkfifo(QFile::encodeName(pdf).constData(), 0600), 0);
    }
    const ToolRun poll =
        RunTool(QStringLiteral(QETRA_POLL_PATH),
                QStringList{"--port", sim.device(), "--addr", "7", "--timeout", "1500", "--report",
                            pdf, "--site", "Substation North", "--technician", "R. Ortiz",
                            "--notes", "Handed over after commissioning"} +
                    c.pollArguments,
                env, c.fileSizeKb);
    ASSERT_EQ(poll.exitCode, c.exitCode) << qPrintable(poll.err);
    if (c.framesHeard >= 0) {
        EXPECT_EQ(sim.stop(), 0);
        EXPECT_TRUE(sim.errors().contains(QStringLiteral("frames=%1 ").arg(c.framesHeard)))
            << qPrintable(sim.errors());
    }
    if (c.exitCode != 0 && c.exitCode != 3) {
        // No report: the reason on standard error, and whatever was there stays.
        for (const QString& pattern : c.patterns)
            EXPECT_TRUE(poll.err.contains(QRegularExpression(pattern)))
                << pattern.toStdString() << " not in:\n"
                << poll.err.toStdString();
        struct stat st {};
        const bool there = ::stat(QFile::encodeName(pdf).constData(), &st) == 0;
        EXPECT_EQ(there, c.target != Target::New);
        if (c.target == Target::Fifo) {
            EXPECT_TRUE(S_ISFIFO(st.st_mode));
        }
        QFile f(pdf);
        if (c.target == Target::OldReport && f.open(QIODevice::ReadOnly)) {
            EXPECT_EQ(f.readAll(), old);
        }
        return;
    }
    EXPECT_TRUE(poll.err.contains(QStringLiteral("report written to"))) << qPrintable(poll.err);

    const QString text = PdfText(pdf);
    for (const QString& pattern :
         QStringList{R"(Model\s+QETRA 7300)", R"(Page 1 of \d)", R"(QetraLink \d+\.\d+)"} +
             c.patterns)
        EXPECT_TRUE(text.contains(QRegularExpression(pattern)))
            << pattern.toStdString() << " not in:\n"
            << text.toStdString();
    for (const QString& pattern : c.absent)
        EXPECT_FALSE(text.contains(QRegularExpression(pattern)))
            << pattern.toStdString() << " in:\n"
            << text.toStdString();
    if (c.pollArguments.contains(QStringLiteral("--notes")))
        ExpectLongTextsWhole(pdf);

    // The diagrams are drawn as vectors: no page carries a picture at all.
    const ToolRun images = RunTool(QStringLiteral("pdfimages"), {"-list", pdf});
    ASSERT_EQ(images.exitCode, 0) << qPrintable(images.err);
    EXPECT_EQ(images.out.trimmed().split('\n').size(), 2) << qPrintable(images.out);
}

// The settings of the meter, and its values scaled by them.
const QStringList kSettingsRead = {R"(Address \(meter\)\s+7\b)", R"(Meter Address\s+7\b)",
                                   R"(PT ratio\s+100\b)", R"(CT ratio\s+40\b)"};
// Site, technician and notes as given.
const QStringList kSite = {R"(Site\s+Substation North)", R"(Technician\s+R\. Ortiz)",
                           R"(Handed over after commissioning)"};

// The simulated meter's phase voltages are near 230 V on the secondary: with a PT ratio of
// 100 the report must show them in kilovolts, scaled by the block 0x100 of the same pass.
INSTANTIATE_TEST_SUITE_P(
    MeterSim, CommissioningReport,
    testing::Values(
        ReportCase{
            "RightWiring",
            {},
            {},
            0,
            kSettingsRead + kSite +
                QStringList{
                    R"(Commissioning report\s+Verdict: wiring looks right; no alarm active; every block read)",
                    R"(V1\s+2\d\.\d+ kV)", R"(Wiring looks right)",
                    R"(Harmonic current in % of the fundamental)", R"(Good replies\s+15\b)",
                    R"(Alarm delay\s+\d+ ms)", R"(Meter clock\s+\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\b)",
                    R"(U1\s+2\d\.\d+ kV\s+20\d\d-\d\d-\d\d \d\d:\d\d:\d\d\s)"},
            {R"(not read)"}},
        ReportCase{"ReversedCt2",
                   {"--wiring-fault", "reversed-ct2"},
                   {},
                   0,
                   kSettingsRead + QStringList{R"(CT2 is reversed)"},
                   {R"(Wiring looks right)"}},
        // A meter that keeps the phase angles to itself: the angles and the verdict
        // that rests on them say so instead of showing anything else.
        ReportCase{"SilentAngleBlock",
                   {"--silent-block", "0x39D"},
                   {},
                   3,
                   kSettingsRead + QStringList{R"(Phase angles\s+not read)",
                                               R"(Wiring check: not read)", R"(No response\s+2\b)",
                                               R"(V1\s+2\d\.\d+ kV)"},
                   {R"(Wiring looks right)"}},
        // Without its settings nothing the PT and CT ratios scale is a value: 229.6 V for a
        // 22.96 kV feeder would be a false record.
        ReportCase{"SilentSettingsBlock",
                   {"--silent-block", "0x100"},
                   {},
                   3,
                   {R"(Meter settings\s+not read)", R"(V1\s+not read \(needs the meter\s)",
                    R"(P sum\s+not read \(needs the meter\s)", R"(U1\s+not read \(needs)",
                    R"(V1 \(Phase A Voltage\)\s+Above\s+not read \(needs)",
                    R"(Frequency\s+\d\d\.\d\d Hz)", R"(No response\s+2\b)"},
                   {R"(\d V\b)", R"(\d kV\b)", R"(\d W\b)", R"(\d kW\b)", R"(\d A\b)"}},
        // One reply of block 0x100 lost: it is asked again and the report is whole.
        ReportCase{"SettingsBlockLostOnce",
                   {"--drop-read", "0x100:1"},
                   {},
                   0,
                   kSettingsRead + QStringList{R"(V1\s+2\d\.\d+ kV)", R"(No response\s+1\b)"},
                   {R"(not read)"}},
        ReportCase{"LongSiteAndNotes",
                   {},
                   {"--site", kLongSite, "--notes", kNoteLines.join('\n')},
                   0,
                   {R"(Page 2 of \d)"},
                   {}},
        ReportCase{"SiteBeyondTheFormsLimit",
                   {},
                   {"--site", kLongSite + "x"},
                   2,
                   {R"(Site: at most 120 characters \(121 typed\))"},
                   {}},
        ReportCase{"ControlCharacterInTheSite",
                   {},
                   {"--site", QStringLiteral("North\aBay")},
                   2,
                   {R"(Site: a control character \(U\+0007\) at character 6)"},
                   {}},
        ReportCase{"NobodyAtTheAddress",
                   {},
                   {"--addr", "8"},
                   1,
                   {R"(No answer from address 8 at 9600 baud on .*: check the address, baud rate)",
                    R"(no report was written)"},
                   {},
                   Target::New,
                   0,
                   4},
        ReportCase{
            "ReportOnAFullDisk",
            {},
            {},
            1,
            {R"(cannot write .*report.pdf: File too large; the file that was there is kept)"},
            {},
            Target::OldReport,
            8},
        ReportCase{"ReportOntoAFifo",
                   {},
                   {},
                   1,
                   {R"(report.pdf is a FIFO, not a regular file)"},
                   {},
                   Target::Fifo}),
    [](const testing::TestParamInfo<ReportCase>& info) { return std::string(info.param.name); });

} // namespace
