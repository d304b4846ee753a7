#include "frmHelp.h"

#include "QetraVersion.h"
#include "RtfReader.h"
#include "ui_frmHelp.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QShowEvent>

Q_LOGGING_CATEGORY(lcHelp, "qetra.help")

namespace {

bool askWithPrintDialog(QPrinter& printer, QWidget* owner) {
    QPrintDialog dialog(&printer, owner);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace

QStringList HelpFileFolders() {
    QStringList folders{QDir::currentPath()};
    if (QCoreApplication::instance())
        folders << QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                   QStringLiteral("/../share/qetralink"));
    folders << QString::fromUtf8(kQetraDataDir);
    folders.removeDuplicates();
    return folders;
}

QString LocateHelpFile(const QString& helpFile, const QStringList& folders) {
    if (helpFile.contains(QLatin1Char('/')))
        return helpFile;
    for (const QString& folder : folders) {
        const QString candidate = QDir(folder).filePath(helpFile);
        if (QFileInfo::exists(candidate))
            return candidate;
    }
    return helpFile;
}

TFormHelp::TFormHelp(const QString& mainCaption, const QString& helpFile, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFormHelp>()), mainCaption_(mainCaption),
      helpFile_(helpFile), confirmPrint_(askWithPrintDialog) {
    ui->setupUi(this);

    // The window's grey sits a little bluer than the desktop's default.
    QPalette shade = palette();
    shade.setColor(QPalette::Window, QColor(212, 213, 216));
    setPalette(shade);
    setAutoFillBackground(true);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->addAction(ui->PM0101);
    PopupMenu1->addAction(ui->PM0102);
    PM0103 = PopupMenu1->addSeparator();
    PM0103->setObjectName(QStringLiteral("PM0103"));
    PopupMenu1->addAction(ui->PM0104);

    connect(PopupMenu1, &QMenu::aboutToShow, this, &TFormHelp::PopupMenu1Popup);
    connect(ui->RichEdit1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        PopupMenu1->popup(ui->RichEdit1->viewport()->mapToGlobal(at));
    });
    connect(ui->PM0101, &QAction::triggered, this, &TFormHelp::PM0101Click);
    connect(ui->PM0102, &QAction::triggered, this, &TFormHelp::PM0102Click);
    connect(ui->PM0104, &QAction::triggered, this, &TFormHelp::PM0104Click);
    connect(ui->Button1, &QPushButton::clicked, this, &TFormHelp::Button1Click);
}

TFormHelp::~TFormHelp() = default;

void TFormHelp::setPrintConfirmation(PrintConfirmation confirm) {
    confirmPrint_ = confirm ? std::move(confirm) : askWithPrintDialog;
}

QString TFormHelp::printJobTitle() const {
    if (mainCaption_.isEmpty())
        return windowTitle();
    return mainCaption_ + QLatin1Char(' ') + windowTitle();
}

void TFormHelp::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFormHelp::FormShow() {
    QFile file(LocateHelpFile(helpFile_, HelpFileFolders()));
    // A missing or unreadable file leaves the line that says there is no help.
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcHelp) << "cannot read the help file" << file.fileName() << ":"
                          << file.errorString();
        return;
    }
    const QByteArray content = file.readAll();
    if (RtfReader::looksLikeRtf(content)) {
        RtfReader::read(content, *ui->RichEdit1->document());
    } else {
        // A help file that is not rich text is still shown, as plain text.
        ui->RichEdit1->setPlainText(QString::fromLocal8Bit(content));
    }
    ui->RichEdit1->moveCursor(QTextCursor::Start);
}

void TFormHelp::PopupMenu1Popup() {
    ui->PM0101->setEnabled(ui->RichEdit1->textCursor().hasSelection());
}

void TFormHelp::PM0101Click() {
    ui->RichEdit1->copy();
}

void TFormHelp::PM0102Click() {
    ui->RichEdit1->selectAll();
}

void TFormHelp::PM0104Click() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(printJobTitle());
    if (!confirmPrint_(printer, this))
        return;
    ui->RichEdit1->print(&printer);
}

void TFormHelp::Button1Click() {
    accept();
}
