#include "FormLogToFile.h"

#include "ScriptedDialogs.h"
#include "WindowTestSupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Nothing starts until every field is right, and the message names the wrong field.
TEST(FormLogToFileTest, ChecksEveryFieldBeforeLoggingStarts) {
    WidgetTestApp();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ScriptedDialogs dialogs;
    TFormLogToFile form(dialogs);

    struct Case {
        QString file;
        int every;
        QString seconds;
        QString message; // start of the warning; empty = accepted
    };
    const Case cases[] = {
        {"", 0, "10", "CSV file: enter the name"},
        {dir.path(), 0, "10", "CSV file: \"" + dir.path() + "\" is a folder"},
        {dir.filePath("missing/meter.csv"), 0, "10", "CSV file: the folder"},
        {dir.filePath("meter.csv"), 1, "0", "Interval: enter 1 to 86400 seconds."},
        {dir.filePath("meter.csv"), 1, "90000", "Interval: enter 1 to 86400 seconds."},
        {dir.filePath("meter.csv"), 1, "30", ""},
        {dir.filePath("meter.csv"), 0, "0", ""}, // every reply: the seconds are not used
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.toStdString() + " / " + c.seconds.toStdString());
        dialogs.Clear();
        form.EditFile()->setText(c.file);
        form.ComboInterval()->setCurrentIndex(c.every);
        form.SpinSeconds()->findChild<QLineEdit*>()->setText(c.seconds +
                                                             form.SpinSeconds()->suffix());
        const auto settings = form.Checked();
        if (c.message.isEmpty()) {
            ASSERT_TRUE(settings) << dialogs.Texts().join('|').toStdString();
            EXPECT_TRUE(dialogs.Shown().isEmpty());
            EXPECT_EQ(settings->fileName, c.file);
            EXPECT_EQ(settings->minIntervalS, c.every == 1 ? c.seconds.toInt() : 0);
        } else {
            EXPECT_FALSE(settings);
            ASSERT_EQ(dialogs.Shown().size(), 1);
            EXPECT_TRUE(dialogs.Shown()[0].text.startsWith(c.message))
                << dialogs.Shown()[0].text.toStdString();
        }
    }

    form.ComboRotation()->setCurrentIndex(2);
    EXPECT_EQ(form.Settings().rotation, LogRotation::Daily);
}
