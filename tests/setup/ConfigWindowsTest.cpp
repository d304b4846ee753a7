// The configuration windows of the Setup menu against the simulated meter: restore with
// its comparison table, clone over a line with CSV results, no run while polling, and a
// closed port opened for a run.

#include "FormMeterConfig.h"
#include "FormSetPara.h"
#include "MessageText.h"
#include "MeterConfigFixture.h"
#include "MeterSimShell.h"
#include "QtTestSupport.h"
#include "RequestService.h"
#include "SetupWindows.h"
#include "WindowTestSupport.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <gtest/gtest.h>

#include <memory>
#include <optional>

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
            w->SetFileChooser([this](QWidget*, const TFormMeterConfig::FileRequest& r) {
                dialogsAsked << r;
                return r.save ? csv : file;
            });
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
    QList<TFormMeterConfig::FileRequest> dialogsAsked; // every file dialog, in order
    QString file = t.dir.filePath("sample.qmeter.json");
    QString csv = t.dir.filePath("results.csv");
};

TEST_F(ConfigWindows, RestoreShowsTheDifferencesAsksOnceAndVerifies) {
    // Windows that show what the restore changes, opened before it.
    auto* settings = qobject_cast<TFormSetPara*>(t->ShowWindowOfMenuItem("MM0302"));
    ASSERT_NE(settings, nullptr);
    TFormMeterConfig* compare = Open("mnuCompareConfig");
    ASSERT_NE(compare, nullptr);
    compare->OpenFileClick();
    const QStringList differing = Marked(compare->SettingsGrid());
    ASSERT_TRUE(differing.contains("CT1"));
    ASSERT_NE(settings->Edit("EditCT1")->text(), "200");
    // The count of differences, and the filter that shows only them.
    QTableWidget* grid = compare->SettingsGrid();
    EXPECT_EQ(compare->DifferenceCount()->text(),
              QString("%1 setting(s) differ").arg(differing.size()));
    auto shownRows = [grid] {
        int shown = 0;
        for (int r = 0; r < grid->rowCount(); ++r)
            shown += grid->isRowHidden(r) ? 0 : 1;
        return shown;
    };
    EXPECT_GT(shownRows(), differing.size());
    compare->DifferencesOnlyBox()->setChecked(true);
    EXPECT_EQ(shownRows(), differing.size());

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
    // The other windows read again what the meter now holds.
    EXPECT_EQ(settings->Edit("EditCT1")->text(), "200");
    EXPECT_TRUE(WaitUntil([&] { return Marked(compare->SettingsGrid()).isEmpty(); }))
        << Marked(compare->SettingsGrid()).join('|').toStdString();
    EXPECT_EQ(compare->DifferenceCount()->text(), "0 setting(s) differ");
    EXPECT_EQ(shownRows(), 0); // the filter stays on for the new comparison

    // Saved from the meter: the file's settings with the meter's own address.
    TFormMeterConfig* save = Open("mnuSaveConfig");
    ASSERT_NE(save, nullptr);
    TFormMeterConfig::FileRequest saveAsked;
    save->SetFileChooser([&](QWidget*, const TFormMeterConfig::FileRequest& r) {
        saveAsked = r;
        return t.dir.filePath("saved.qmeter.json");
    });
    save->SaveMeterClick();
    // The save dialog of its own, starting in the folder last used, named by meter and date.
    EXPECT_TRUE(saveAsked.save);
    EXPECT_EQ(saveAsked.title, "Save Meter Configuration");
    EXPECT_TRUE(saveAsked.filters.startsWith("Meter configurations (*.qmeter.json)"));
    EXPECT_EQ(
        saveAsked.startPath,
        t.dir.filePath("meter1-" + QDate::currentDate().toString("yyyy-MM-dd") + ".qmeter.json"));
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

    // One question before the first write names the meters and what goes into them; No
    // leaves every meter as it was.
    w->AddressesEdit()->setText("1-3");
    t.dialogs.Clear();
    t.dialogs.QueueAnswer(false);
    w->CloneClick();
    ASSERT_EQ(t.dialogs.Shown().size(), 1) << t.dialogs.Texts().join('|').toStdString();
    const ScriptedDialogs::Box asked = t.dialogs.Shown().first();
    EXPECT_EQ(asked.kind, ScriptedDialogs::Kind::Question);
    EXPECT_EQ(asked.text, "Write this configuration to 3 meter(s) at address(es) 1-3?");
    EXPECT_EQ(asked.detail, "3 meter(s): settings and alarms; address and baud rate unchanged.");
    EXPECT_EQ(asked.window, w);
    EXPECT_EQ(w->ResultsGrid()->rowCount(), 0);
    TFormMeterConfig* compare = Open("mnuCompareConfig");
    ASSERT_NE(compare, nullptr);
    compare->OpenFileClick();
    EXPECT_TRUE(Marked(compare->SettingsGrid()).contains("CT1"));
    compare->close();

    t.dialogs.Clear();
    t.dialogs.QueueAnswer(true);
    w->CloneClick();
    EXPECT_EQ(t.dialogs.Texts().size(), 1);
    EXPECT_EQ(t.dialogs.UnansweredQuestions(), 0);
    w->SaveResultsClick();
    // The results' dialog is not the configuration's.
    ASSERT_FALSE(dialogsAsked.isEmpty());
    EXPECT_TRUE(dialogsAsked.last().save);
    EXPECT_EQ(dialogsAsked.last().title, "Save Clone Results");
    EXPECT_TRUE(dialogsAsked.last().filters.startsWith("CSV files (*.csv)"));
    EXPECT_EQ(
        dialogsAsked.last().startPath,
        t.dir.filePath("clone-results-" + QDate::currentDate().toString("yyyy-MM-dd") + ".csv"));
    QFile results(csv);
    ASSERT_TRUE(results.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(results.readAll()),
              "Address,Result,Detail\n1,verified,\n2,verified,\n3,no answer,the meter at "
              "address 3 does not answer the read of its version (0x0510)\n");

    // Cancel stops the run between meters.
    const QMetaObject::Connection cancelAfterOne =
        QObject::connect(w->findChild<QProgressBar*>("ProgressClone"), &QProgressBar::valueChanged,
                         w->CancelButton(), [w](int done) {
                             if (done == 1)
                                 w->CancelButton()->click();
                         });
    t.dialogs.QueueAnswer(true);
    w->CloneClick();
    ASSERT_EQ(w->ResultsGrid()->rowCount(), 2);
    EXPECT_EQ(w->ResultsGrid()->item(0, 1)->text(), "verified");
    EXPECT_EQ(w->ResultsGrid()->item(1, 1)->text(), "cancelled");
    EXPECT_EQ(w->ResultsGrid()->item(1, 2)->text(), "2 meter(s) not written");

    QObject::disconnect(cancelAfterOne);

    // While the program polls, a run would put its requests between the poll's.
    t->StartPolling();
    t.dialogs.Clear();
    w->CloneClick();
    // The menu path as the menu reads, without the keys' ampersands.
    EXPECT_TRUE(
        t.dialogs.Texts().last().startsWith("Stop the communication first (Execute → Stop COMM): "))
        << t.dialogs.Texts().last().toStdString();
    t->StopPolling();
    ASSERT_TRUE(WaitUntil([&] { return !t->Modbus().CycleBusy(); }));
    // The stop cut the poll's request short; the meter's late reply to it must be over
    // before the next run, or the meter hears two requests run together and answers
    // neither: ask until a read is answered again.
    ASSERT_TRUE(WaitUntil([&] {
        auto outcome = std::make_shared<std::optional<RequestOutcome>>();
        t->Requests().Submit(WithSlaveAddress(ReadMessage(0x510, 1), 1).toLatin1(),
                             [outcome](const RequestOutcome& o) { *outcome = o; });
        WaitUntil([&] { return outcome->has_value(); });
        return outcome->has_value() && (*outcome)->Answered();
    }));

    // With the port closed, a run opens it for itself and closes it again.
    t->Modbus().Close();
    TFormMeterConfig* offline = Open("mnuCompareConfig");
    ASSERT_NE(offline, nullptr);
    t.dialogs.Clear();
    offline->OpenFileClick();
    EXPECT_EQ(t.dialogs.Shown().size(), 0) << t.dialogs.Texts().join('|').toStdString();
    EXPECT_GT(offline->SettingsGrid()->rowCount(), 0);
    EXPECT_FALSE(t->Modbus().PortOpen());
}

} // namespace
