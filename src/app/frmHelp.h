#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QMenu;
class QAction;
class QPrinter;

namespace Ui {
class TFormHelp;
}

// Where the help file is looked for: the current directory (a file dropped beside the
// program wins), then the share folder next to the program's own folder (an unpacked or
// relocated install), then the folder the package installs it to.
QStringList HelpFileFolders();

// The first of `folders` that holds `helpFile`; a path with a folder, or a name found
// nowhere, comes back as given.
QString LocateHelpFile(const QString& helpFile, const QStringList& folders);

// The help viewer: shows the rich-text help file, lets the operator copy,
// select all and print it.
//
// The shell opens it from "About Intelligent Power Meter(&M)" and from the
// Help tool button without an owner, modally, and releases it when it closes:
//     TFormHelp help(windowTitle());   // the main window's caption names the print job
//     help.exec();
// The help file is read each time the window is shown; without it (or when it
// cannot be read) the window shows the line that says so. A file name without a
// folder is looked for with LocateHelpFile in HelpFileFolders().
class TFormHelp : public QDialog {
    Q_OBJECT

public:
    // Asks whether and where to print; false cancels. The default is the print dialog.
    using PrintConfirmation = std::function<bool(QPrinter& printer, QWidget* owner)>;

    explicit TFormHelp(const QString& mainCaption = QString(),
                       const QString& helpFile = QStringLiteral("QETRA.rtf"),
                       QWidget* parent = nullptr);
    ~TFormHelp() override;

    void setPrintConfirmation(PrintConfirmation confirm);
    // The main window's caption, a blank and this window's caption.
    QString printJobTitle() const;

public slots:
    void FormShow();
    void PopupMenu1Popup();
    void PM0101Click();
    void PM0102Click();
    void PM0104Click();
    void Button1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::TFormHelp> ui;
    QMenu* PopupMenu1;
    QAction* PM0103;
    QString mainCaption_;
    QString helpFile_;
    PrintConfirmation confirmPrint_;
};
