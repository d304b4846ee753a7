// The commissioning report end to end: qetra-poll reads a simulated meter of known
// configuration and writes the PDF; its text is read back with pdftotext and its images
// listed with pdfimages (poppler-utils).

#include "MeterSimProcess.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int exitCode = -1;
    QString out, err;
};

ToolRun RunTool(const QString& program, const QStringList& arguments,
                const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess p;
    p.setProcessEnvironment(environment);
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

struct ReportCase {
    const char* name;
    QStringList simArguments;
    int exitCode;         // of qetra-poll: 3 when a block did not answer
    QStringList patterns; // must match the report's text (pdftotext -layout)
    QStringList absent;   // must not
};

void PrintTo(const ReportCase& c, std::ostream* os) {
    *os << c.name;
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
    const ToolRun poll = RunTool(QStringLiteral(QETRA_POLL_PATH),
                                 {"--port", sim.device(), "--addr", "7", "--timeout", "1500",
                                  "--report", pdf, "--site", "Substation North", "--technician",
                                  "R. Ortiz", "--notes", "Handed over after commissioning"},
                                 env);
    ASSERT_EQ(poll.exitCode, c.exitCode) << qPrintable(poll.err);
    EXPECT_TRUE(poll.err.contains(QStringLiteral("report written to"))) << qPrintable(poll.err);

    const ToolRun text = RunTool(QStringLiteral("pdftotext"), {"-layout", pdf, "-"});
    ASSERT_EQ(text.exitCode, 0) << "pdftotext (poppler-utils): " << qPrintable(text.err);
    for (const QString& pattern :
         QStringList{R"(Site\s+Substation North)", R"(Technician\s+R\. Ortiz)",
                     R"(Handed over after commissioning)", R"(Model\s+QETRA 7300)",
                     R"(Address \(meter\)\s+7\b)", R"(Meter Address\s+7\b)", R"(PT ratio\s+100\b)",
                     R"(CT ratio\s+40\b)", R"(Page 1 of \d)", R"(QetraLink \d+\.\d+)"} +
             c.patterns)
        EXPECT_TRUE(text.out.contains(QRegularExpression(pattern)))
            << pattern.toStdString() << " not in:\n"
            << text.out.toStdString();
    for (const QString& pattern : c.absent)
        EXPECT_FALSE(text.out.contains(QRegularExpression(pattern)))
            << pattern.toStdString() << " in:\n"
            << text.out.toStdString();

    // The diagrams are drawn as vectors: no page carries a picture at all.
    const ToolRun images = RunTool(QStringLiteral("pdfimages"), {"-list", pdf});
    ASSERT_EQ(images.exitCode, 0) << qPrintable(images.err);
    EXPECT_EQ(images.out.trimmed().split('\n').size(), 2) << qPrintable(images.out);
}

// The simulated meter's phase voltages are near 230 V on the secondary: with a PT ratio of
// 100 the report must show them in kilovolts, scaled by the block 0x100 of the same pass.
INSTANTIATE_TEST_SUITE_P(
    MeterSim, CommissioningReport,
    testing::Values(ReportCase{"RightWiring",
                               {},
                               0,
                               {R"(V1\s+2\d\.\d+ kV)", R"(Wiring looks right)",
                                R"(Harmonic current in % of the fundamental)",
                                R"(Good replies\s+15\b)"},
                               {R"(not read)"}},
                    ReportCase{"ReversedCt2",
                               {"--wiring-fault", "reversed-ct2"},
                               0,
                               {R"(CT2 is reversed)"},
                               {R"(Wiring looks right)"}},
                    // A meter that keeps the phase angles to itself: the angles and the verdict
                    // that rests on them say so instead of showing anything else.
                    ReportCase{"SilentAngleBlock",
                               {"--silent-block", "0x39D"},
                               3,
                               {R"(Phase angles\s+not read)", R"(Wiring check: not read)",
                                R"(No response\s+1\b)", R"(V1\s+2\d\.\d+ kV)"},
                               {R"(Wiring looks right)"}}),
    [](const testing::TestParamInfo<ReportCase>& info) { return std::string(info.param.name); });

} // namespace
