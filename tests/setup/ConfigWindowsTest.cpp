// The configuration windows of the Setup menu against the simulated meter: restore with
// its comparison table, clone over a line with CSV results, and no run while polling.

#include "FormMeterConfig.h"
#include "MeterConfigFixture.h"
#include "MeterSimShell.h"
#include "SetupWindows.h"
#include "WindowTestSupport.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <gtest/gtest.h>

namespace {

class ConfigWindows : public ::testing::Test {
protected:
    void SetUp() override {
        WidgetTestApp();
        // Meters at addresses 1 and 2 on one line; the program talks to address 1.
        ASSERT_TRUE(t.StartMeter({"--also-address", "2"})) << qPrintable(t.SimErrors());
        t.Make({RegisterSetupWindows}, TestShell::RealPort);
        ASSERT_TRUE(t->Modbus().PortOpen()) << t.dialogs.Texts().join('|').toStdString();
        // Only an address where nobody answers waits this long.
        t->Modbus().SetQueryTimeout(500);
        ASSERT_TRUE(SaveMeterConfig(file, SampleConfiguration(), nullptr));
    }

    TFormMeterConfig* Open(const char* menuItem) {
        auto* w = qobject_cast<TFormMeterConfig*>(t->ShowWindowOfMenuItem(menuItem));
        if (w != nullptr)
            w->SetFileChooser([this](QWidget*, bool save) { return save ? csv : file; });
        return w;
    }

    // The settings shown as differing, by name.
    static QStringList Marked(const QTableWidget* grid) {
        QStringList names;
        for (int r = 0; r < grid->rowCount(); ++r)
            if (grid->item(r, 0)->font().bold())
                names << grid->item(r, 0)->text();
        return names;
    }

    MeterSimShell t;
    QString file = t.dir.filePath("sample.qmeter.json");
    QString csv = t.dir.filePath("results.csv");
};

TEST_F(ConfigWindows, RestoreShowsTheDifferencesAsksOnceAndVerifies) {
    TFormMeterConfig* w = Open("mnuRestoreConfig");
    ASSERT_NE(w, nullptr);
    w->OpenFileClick();
    const QStringList before = Marked(w->SettingsGrid());
    EXPECT_TRUE(before.contains("CT1") && before.contains("Group 1 Item"))
        << before.join('|').toStdString();
    EXPECT_FALSE(before.contains("Meter Address")); // kept as the meter has it

    t.dialogs.QueueAnswer(true);
    w->RestoreClick();
    EXPECT_EQ(t.dialogs.Texts().filter("Are you sure to restore").size(), 1);
    // Below the question each marked setting, meter → file; the box is this window's.
    const auto& shown = t.dialogs.Shown();
    const auto asked = std::find_if(shown.begin(), shown.end(), [](const auto& box) {
        return box.kind == ScriptedDialogs::Kind::Question;
    });
    ASSERT_NE(asked, shown.end());
    EXPECT_EQ(asked->detail.split('\n').size(), before.size()) << asked->detail.toStdString();
    EXPECT_TRUE(asked->detail.contains(
        QRegularExpression("^CT1: \\S+ → \\S+$", QRegularExpression::MultilineOption)))
        << asked->detail.toStdString();
    EXPECT_EQ(asked->window, w);
    EXPECT_TRUE(t.dialogs.Texts().contains("Meter configuration verified."))
        << t.dialogs.Texts().join('|').toStdString();
    EXPECT_TRUE(Marked(w->SettingsGrid()).isEmpty());
    EXPECT_EQ(t.State().DevAddr, 1);

    // Saved from the meter: the file's settings with the meter's own address.
    TFormMeterConfig* save = Open("mnuSaveConfig");
    ASSERT_NE(save, nullptr);
    save->SetFileChooser([this](QWidget*, bool) { return t.dir.filePath("saved.qmeter.json"); });
    save->SaveMeterClick();
    const MeterConfigRead saved = LoadMeterConfig(t.dir.filePath("saved.qmeter.json"));
    ASSERT_TRUE(saved.config) << saved.problem.toStdString();
    MeterSettingsRegisters expected = SampleConfiguration().settings;
    expected[0x01] = 1;
    EXPECT_EQ(saved.config->settings, expected);
    EXPECT_EQ(saved.config->alarms, SampleConfiguration().alarms);
}

TEST_F(ConfigWindows, CloneReportsEachMeterAndSavesTheResults) {
    TFormMeterConfig* w = Open("mnuCloneConfig");
    ASSERT_NE(w, nullptr);
    w->OpenFileClick();
    w->AddressesEdit()->setText("1-3, 400");
    w->CloneClick();
    EXPECT_TRUE(t.dialogs.Texts().last().startsWith("Addresses: \"400\" is not within 1..247"));
    EXPECT_EQ(w->ResultsGrid()->rowCount(), 0);

    w->AddressesEdit()->setText("1-3");
    w->CloneClick();
    w->SaveResultsClick();
    QFile results(csv);
    ASSERT_TRUE(results.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(results.readAll()),
              "Address,Result,Detail\n1,verified,\n2,verified,\n3,no answer,the meter at "
              "address 3 does not answer the read of its version (0x0510)\n");

    // Cancel stops the run between meters.
    QObject::connect(w->findChild<QProgressBar*>("ProgressClone"), &QProgressBar::valueChanged,
                     w->CancelButton(), [w](int done) {
                         if (done == 1)
                             w->CancelButton()->click();
                     });
    w->CloneClick();
    ASSERT_EQ(w->ResultsGrid()->rowCount(), 2);
    EXPECT_EQ(w->ResultsGrid()->item(0, 1)->text(), "verified");
    EXPECT_EQ(w->ResultsGrid()->item(1, 1)->text(), "cancelled");
    EXPECT_EQ(w->ResultsGrid()->item(1, 2)->text(), "2 meter(s) not written");

    // While the program polls, a run would put its requests between the poll's.
    t->StartPolling();
    t.dialogs.Clear();
    w->CloneClick();
    EXPECT_TRUE(t.dialogs.Texts().last().startsWith("Stop the communication first"));
}

} // namespace
