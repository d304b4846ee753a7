#include "QetraVersion.h"
#include "QtTestSupport.h"
#include "frmAbout.h"
#include "frmCount.h"
#include "frmHelp.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

namespace {

const auto* const widgetApp =
    ::testing::AddGlobalTestEnvironment(new QtAppEnvironment<QApplication>);

const QString designLine =
    QStringLiteral("Cannot find the file \"QETRA.rtf\", so no help information to show.");

template <class T> T* child(QWidget& parent, const char* name) {
    T* found = parent.findChild<T*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

void writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// Opens the help window's popup menu as a right click would, and closes it again.
bool copyEnabledWhenMenuOpens(TFormHelp& help) {
    auto* menu = child<QMenu>(help, "PopupMenu1");
    menu->popup(QPoint(10, 10));
    const bool enabled = child<QAction>(help, "PM0101")->isEnabled();
    menu->hide();
    return enabled;
}

class HelpWindow : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
};

} // namespace

TEST_F(HelpWindow, ShowsTheDesignLineWithoutAHelpFile) {
    TFormHelp help(QString(), path("QETRA.rtf"));
    help.show();
    EXPECT_EQ(help.windowTitle(), "Help");
    EXPECT_EQ(child<QTextEdit>(help, "RichEdit1")->toPlainText(), designLine);

    // A name that exists but cannot be read as a file changes nothing either.
    ASSERT_TRUE(QDir(dir.path()).mkdir("QETRA.rtf"));
    TFormHelp unreadable(QString(), path("QETRA.rtf"));
    unreadable.show();
    EXPECT_EQ(child<QTextEdit>(unreadable, "RichEdit1")->toPlainText(), designLine);
}

TEST_F(HelpWindow, ReadsQetraRtfFromTheCurrentDirectory) {
    writeFile(path("QETRA.rtf"), "{\\rtf1\\ansi Connect the meter {\\b first}.\\par Then poll.}");
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    TFormHelp help; // the default file name, relative to the current directory
    help.show();
    QDir::setCurrent(before);

    auto* view = child<QTextEdit>(help, "RichEdit1");
    EXPECT_EQ(view->toPlainText(), "Connect the meter first.\nThen poll.");
    EXPECT_TRUE(view->isReadOnly());
    QTextCursor at(view->document()->find("first"));
    EXPECT_EQ(at.charFormat().fontWeight(), QFont::Bold);
}

// Installed, the help file lives in the package's share folder, not where the program starts.
TEST_F(HelpWindow, AHelpFileNotInTheCurrentDirectoryIsFoundInTheInstalledFolders) {
    const QStringList folders{path("cwd"), path("share"), path("system")};
    const struct {
        QStringList holding; // the folders that have a QETRA.rtf
        QString found;
    } cases[] = {
        {{"system"}, path("system/QETRA.rtf")},
        {{"share", "system"}, path("share/QETRA.rtf")},
        {{"cwd", "share", "system"}, path("cwd/QETRA.rtf")},
        {{}, "QETRA.rtf"}, // found nowhere: the window keeps the line that says so
    };
    for (const auto& c : cases) {
        for (const char* folder : {"cwd", "share", "system"}) {
            QDir(path(folder)).removeRecursively();
            ASSERT_TRUE(QDir(dir.path()).mkpath(folder));
            if (c.holding.contains(folder))
                writeFile(QDir(path(folder)).filePath("QETRA.rtf"), "{\\rtf1 help}");
        }
        EXPECT_EQ(LocateHelpFile("QETRA.rtf", folders), c.found)
            << c.holding.join(',').toStdString();
    }
    // A path with a folder is the operator's or a test's own choice and is taken as it is.
    EXPECT_EQ(LocateHelpFile("docs/QETRA.rtf", folders), "docs/QETRA.rtf");

    // A file beside the program wins over the installed one.
    const QStringList searched = HelpFileFolders();
    EXPECT_EQ(searched.first(), QDir::currentPath());
    EXPECT_TRUE(searched.contains(QString::fromUtf8(kQetraDataDir)));
}

TEST_F(HelpWindow, ShowsAHelpFileThatIsNotRichTextAsPlainText) {
    writeFile(path("help.rtf"), "Plain notes\nsecond line");
    TFormHelp help(QString(), path("help.rtf"));
    help.show();
    EXPECT_EQ(child<QTextEdit>(help, "RichEdit1")->toPlainText(), "Plain notes\nsecond line");
}

TEST_F(HelpWindow, CopyFollowsTheSelectionAndSelectAllSelectsEverything) {
    writeFile(path("QETRA.rtf"), "{\\rtf1 First line\\par Second line}");
    TFormHelp help(QString(), path("QETRA.rtf"));
    help.show();
    auto* view = child<QTextEdit>(help, "RichEdit1");

    EXPECT_FALSE(copyEnabledWhenMenuOpens(help));
    child<QAction>(help, "PM0102")->trigger();
    EXPECT_TRUE(copyEnabledWhenMenuOpens(help));

    QApplication::clipboard()->clear();
    child<QAction>(help, "PM0101")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "First line\nSecond line");

    view->moveCursor(QTextCursor::End); // selection gone again
    EXPECT_FALSE(copyEnabledWhenMenuOpens(help));

    EXPECT_EQ(child<QAction>(help, "PM0101")->shortcut(), QKeySequence("Ctrl+C"));
    EXPECT_EQ(child<QAction>(help, "PM0102")->shortcut(), QKeySequence("Ctrl+A"));
    EXPECT_TRUE(child<QAction>(help, "PM0103")->isSeparator());
}

TEST_F(HelpWindow, PrintsTheHelpAsOneTitledJob) {
    // Long enough for several pages, so that the job shows it printed this text.
    QByteArray rtf = "{\\rtf1 ";
    for (int line = 1; line <= 150; ++line)
        rtf += "Printed help line " + QByteArray::number(line) + "\\par ";
    writeFile(path("QETRA.rtf"), rtf + "}");
    const QString mainCaption = QStringLiteral("Advanced Intelligent Power Meter -- QETRA 7300");
    TFormHelp help(mainCaption, path("QETRA.rtf"));
    help.show();

    QString jobTitle;
    int asked = 0;
    help.setPrintConfirmation([&](QPrinter& printer, QWidget* owner) {
        ++asked;
        EXPECT_EQ(owner, &help);
        jobTitle = printer.docName();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path("help.pdf"));
        return true;
    });
    child<QAction>(help, "PM0104")->trigger();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(jobTitle, mainCaption + " Help");

    QFile pdf(path("help.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray content = pdf.readAll();
    EXPECT_TRUE(content.startsWith("%PDF-"));
    const qsizetype pages = content.count("/Type /Page\n") + content.count("/Type /Page\r");
    EXPECT_GE(pages, 3);
    EXPECT_LE(pages, 10);

    // Declining the dialog prints nothing.
    help.setPrintConfirmation([&](QPrinter& printer, QWidget*) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path("declined.pdf"));
        return false;
    });
    child<QAction>(help, "PM0104")->trigger();
    EXPECT_FALSE(QFile::exists(path("declined.pdf")));
}

TEST_F(HelpWindow, OkClosesTheWindow) {
    TFormHelp help(QString(), path("QETRA.rtf"));
    help.show();
    auto* ok = child<QPushButton>(help, "Button1");
    EXPECT_TRUE(ok->isDefault());
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_FALSE(help.isVisible());
    EXPECT_EQ(help.result(), QDialog::Accepted);
}

TEST(AboutBox, ShowsTheSystemItIsGiven) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    TForm_About about(SystemDescription{QStringLiteral("Windows 95 (4.0.950 )"), 33554432});
    EXPECT_EQ(about.windowTitle(), "About");
    EXPECT_EQ(child<QLabel>(about, "Label2")->text(), "QETRA Series");
    EXPECT_EQ(child<QLabel>(about, "Label5")->text(), "Intelligent Power Meter");
    EXPECT_TRUE(child<QLabel>(about, "Label5")->font().bold());
    EXPECT_EQ(child<QLabel>(about, "Label4")->text(), "Windows 95 (4.0.950 )");
    EXPECT_EQ(child<QLabel>(about, "Label6")->text(), "Physical Memory:");
    EXPECT_EQ(child<QLabel>(about, "Label7")->text(), "32,768 KB");
    // The release as `QetraLink --version` prints it.
    EXPECT_EQ(child<QLabel>(about, "Label1")->text(),
              QStringLiteral("QetraLink %1 (Qt %2)").arg(kQetraVersion, qVersion()));

    // Without an answer from the system the labels keep their design texts.
    TForm_About unknown(SystemDescription{});
    EXPECT_EQ(child<QLabel>(unknown, "Label4")->text(), "");
    EXPECT_EQ(child<QLabel>(unknown, "Label7")->text(), "");

    // On this machine both come from the system.
    TForm_About here;
    EXPECT_FALSE(child<QLabel>(here, "Label4")->text().isEmpty());
    EXPECT_TRUE(child<QLabel>(here, "Label7")->text().endsWith(" KB"));
}

// Records what the about box asks the desktop to open.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

TEST(AboutBox, TheLinkLabelOpensItsTextOnly) {
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler("https", &recorder, "open");
    QDesktopServices::setUrlHandler("http", &recorder, "open");
    TForm_About about(SystemDescription{});
    about.show();
    auto* link = child<QLabel>(about, "Label3");
    QTest::mouseClick(link, Qt::LeftButton);
    EXPECT_TRUE(recorder.opened.isEmpty()); // the empty design text opens nothing

    link->setText("https://example.com/meters");
    QTest::mouseClick(link, Qt::LeftButton);
    EXPECT_EQ(recorder.opened, QList<QUrl>{QUrl("https://example.com/meters")});
    QDesktopServices::unsetUrlHandler("https");
    QDesktopServices::unsetUrlHandler("http");

    QTest::mouseClick(child<QPushButton>(about, "Button1"), Qt::LeftButton);
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

namespace {

// Answers the next modal dialog: optionally types a count, then presses a button.
void answerNextDialog(const char* button, const QString& typed, QString* seen) {
    QTimer::singleShot(0, [=] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        auto* edit = dialog->findChild<QLineEdit*>("Edit1");
        ASSERT_NE(edit, nullptr);
        *seen = edit->text();
        if (!typed.isNull())
            edit->setText(typed);
        QTest::mouseClick(dialog->findChild<QPushButton*>(button), Qt::LeftButton);
    });
}

template <class Dialog>
void checkCountDialog(const char* caption, const char* prompt, const char* designText) {
    Dialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8(caption));
    EXPECT_EQ(child<QLabel>(dialog, "Label1")->text(), QString::fromUtf8(prompt));
    EXPECT_EQ(child<QLabel>(dialog, "Label2")->text(), QString::fromUtf8("输入读取次数："));
    EXPECT_EQ(child<QLineEdit>(dialog, "Edit1")->text(), QLatin1String(designText));
    EXPECT_EQ(child<QPushButton>(dialog, "Button1")->text(), QString::fromUtf8("确 定"));
    EXPECT_EQ(child<QPushButton>(dialog, "Button2")->text(), QString::fromUtf8("取 消"));
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);

    // OK hands back the text as typed, pre-filled with the current count.
    QString seen;
    answerNextDialog("Button1", "250", &seen);
    EXPECT_EQ(Dialog::ask("100"), std::optional<QString>("250"));
    EXPECT_EQ(seen, "100");

    // Cancel changes nothing, even after typing.
    answerNextDialog("Button2", "7", &seen);
    EXPECT_EQ(Dialog::ask("100"), std::nullopt);

    // Enter in the edit presses the default button.
    Dialog typed;
    typed.setCount("30");
    typed.show();
    QTest::keyClick(child<QLineEdit>(typed, "Edit1"), Qt::Key_Return);
    EXPECT_EQ(typed.result(), QDialog::Accepted);
    EXPECT_EQ(typed.count(), "30");
}

} // namespace

TEST(CountDialogs, AngleCount) {
    checkCountDialog<TFormAngleCount>("角度校正", "现在将进行角度校正！先输入读取次数！", "0000");
}

TEST(CountDialogs, ValueCount) {
    checkCountDialog<TFormValueCount>("模值校正", "现在将进行模值校正！先输入读取次数！", "Edit1");
}

#include "DialogsTest.moc"
