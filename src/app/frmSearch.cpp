#include "frmSearch.h"

#include "MeterLine.h"
#include "OperatorDialogs.h"
#include "PortName.h"
#include "Settings.h"
#include "TqvModbus.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

TFormSearch::TFormSearch(OperatorDialogs& dialogs, MeterLine& line, const QString& port,
                         QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      dialogs_(dialogs), line_(line), port_(port) {
    setObjectName(QStringLiteral("FormSearch"));
    setWindowTitle(tr("Search for a meter"));
    auto* layout = new QVBoxLayout(this);
    intro_ = new QLabel(this);
    intro_->setWordWrap(true);
    layout->addWidget(intro_);
    progress_ = new QProgressBar(this);
    layout->addWidget(progress_);
    status_ = new QLabel(this);
    layout->addWidget(status_);
    list_ = new QListWidget(this);
    list_->setMinimumHeight(90);
    layout->addWidget(list_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    use_ = new QPushButton(tr("Use"), this);
    use_->setEnabled(false);
    cancel_ = new QPushButton(tr("Cancel"), this);
    buttons->addWidget(use_);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);
    resize(460, 260);

    connect(use_, &QPushButton::clicked, this, [this] { UseRow(list_->currentRow()); });
    connect(cancel_, &QPushButton::clicked, this, &TFormSearch::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { UseRow(list_->row(item)); });
    connect(list_, &QListWidget::currentRowChanged, this,
            [this](int row) { use_->setEnabled(row >= 0); });

    search_.OnProgress = [this](int done, int total, quint32 baud, int address) {
        progress_->setRange(0, total);
        progress_->setValue(done);
        status_->setText(tr("Trying address %1 at %2 baud (%3 of %4)")
                             .arg(address)
                             .arg(baud)
                             .arg(done + 1)
                             .arg(total));
    };
    search_.OnFound = [this](const FoundMeter& m) {
        list_->addItem(FoundMeterText(m));
        if (list_->currentRow() < 0)
            list_->setCurrentRow(0);
    };
    search_.OnFinished = [this] { Finished(); };
}

void TFormSearch::SearchNetwork(const QString& host, quint16 port, NetworkFraming framing) {
    if (started_)
        return;
    network_ = true;
    port_ = NetworkLineName(host, port);
    plan_ = NetworkSearchPlan(line_.Modbus().BaudRate());
    search_.UsePort(std::make_unique<NetworkModbusPort>(host, port, framing));
}

TFormSearch::~TFormSearch() {
    search_.Abort();
    GiveBackPort();
}

void TFormSearch::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Shown by the operator's "Search...": start at once, once the box is on the screen.
    if (!started_)
        QTimer::singleShot(0, this, [this] {
            if (!started_ && !StartSearch())
                QDialog::reject();
        });
}

bool TFormSearch::StartSearch() {
    started_ = true;
    TqvModbus& engine = line_.Modbus();
    if (engine.CycleBusy()) {
        dialogs_.Warn(windowTitle(), tr("The meter is being polled: stop polling first "
                                        "(Stop COMM), then search."));
        return false;
    }
    // The port may be the one the program polls; only one may hold it.
    if (engine.PortOpen()) {
        engine.Close();
        tookPort_ = true;
    }
    QString why;
    if (!search_.Start(port_, plan_, &why)) {
        GiveBackPort();
        dialogs_.Error(windowTitle(), tr("Cannot search %1: %2").arg(port_, why));
        return false;
    }
    list_->clear();
    progress_->setRange(0, search_.Total());
    QStringList rates;
    for (quint32 r : plan_.rates)
        rates << QString::number(r);
    if (network_) {
        intro_->setText(tr("Unit identifiers %1..%2 are tried on %3 with a read of the "
                           "meter's model block; the converter's serial side stays at %4 baud.")
                            .arg(plan_.firstAddress)
                            .arg(plan_.lastAddress)
                            .arg(search_.Engine().LineDevice(), rates.join(QStringLiteral(", "))));
        return true;
    }
    intro_->setText(tr("Addresses %1..%2 at %3 baud are tried on %4 with a read of "
                       "the meter's model block.")
                        .arg(plan_.firstAddress)
                        .arg(plan_.lastAddress)
                        .arg(rates.join(QStringLiteral(", ")), PortDisplayName(port_)));
    return true;
}

void TFormSearch::CancelSearch() {
    if (search_.Running()) {
        status_->setText(tr("Stopping..."));
        search_.Cancel();
    }
}

void TFormSearch::reject() {
    // Cancel during a search stops it; the found meters stay to be used.
    if (search_.Running()) {
        CancelSearch();
        return;
    }
    QDialog::reject();
}

void TFormSearch::Finished() {
    progress_->setValue(search_.Done());
    QString text = search_.Cancelled() ? tr("Stopped: ") : tr("Done: ");
    text += tr("%1 meter(s) found in %2 tries.").arg(search_.Found().size()).arg(search_.Done());
    if (!search_.Failure().isEmpty())
        text = tr("Ended: ") + search_.Failure() + QLatin1Char('.');
    status_->setText(text);
    cancel_->setText(tr("Close"));
    GiveBackPort();
}

void TFormSearch::GiveBackPort() {
    if (!tookPort_ || search_.Running())
        return;
    tookPort_ = false;
    // A converter is connected to again in the background, as the line opens it.
    if (dynamic_cast<const NetworkModbusPort*>(&line_.Modbus().Port())) {
        line_.Open();
        return;
    }
    // Polling was off; the port the program had is opened again as it was.
    QString why;
    if (!line_.Modbus().ReopenLine(&why))
        status_->setText(status_->text() + tr(" The program's port did not reopen: ") + why);
}

void TFormSearch::UseRow(int row) {
    if (row < 0 || row >= search_.Found().size())
        return;
    chosen_ = search_.Found()[row];
    search_.Abort();
    GiveBackPort();
    accept();
}
