#include "frmAbout.h"

#include "QetraVersion.h"
#include "ui_frmAbout.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QUrl>

TForm_About::TForm_About(QWidget* parent) : TForm_About(DescribeThisSystem(), parent) {}

TForm_About::TForm_About(const SystemDescription& system, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::TForm_About>()) {
    ui->setupUi(this);
    ui->Label3->installEventFilter(this);
    FormCreate(system);
}

TForm_About::~TForm_About() = default;

void TForm_About::FormCreate(const SystemDescription& system) {
    // The release and the Qt it runs on, as `QetraLink --version` prints them, so the
    // operator can read them off when reporting a fault.
    ui->Label1->setText(ProgramVersionText(QStringLiteral("QetraLink")));
    if (system.versionText)
        ui->Label4->setText(*system.versionText);
    if (system.physicalMemoryBytes)
        ui->Label7->setText(PhysicalMemoryText(*system.physicalMemoryBytes));
}

void TForm_About::Label3Click() {
    const QString target = ui->Label3->text().trimmed();
    if (target.isEmpty())
        return;
    QDesktopServices::openUrl(QUrl::fromUserInput(target));
}

bool TForm_About::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->Label3 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Label3Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
