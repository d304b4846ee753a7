#include "FormMeterConfig.h"

#include "ChangedFields.h"
#include "EngineLink.h"
#include "OperatorDialogs.h"
#include "RequestService.h"
#include "SessionState.h"
#include "TqvModbus.h"
#include "WriteCommand.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

namespace {

QString Caption() {
    return QCoreApplication::translate("TFormMeterConfig", "Meter Configuration");
}

// Each use of the window: its name in the window table and its title, in the order of
// TFormMeterConfig::Use.
struct UseRow {
    const char* name;
    const char* title;
};
constexpr UseRow kUses[] = {
    {"FormConfigSave", QT_TRANSLATE_NOOP("TFormMeterConfig", "Save Meter Configuration")},
    {"FormConfigCompare", QT_TRANSLATE_NOOP("TFormMeterConfig", "Compare with File")},
    {"FormConfigRestore", QT_TRANSLATE_NOOP("TFormMeterConfig", "Restore from File")},
    {"FormConfigClone", QT_TRANSLATE_NOOP("TFormMeterConfig", "Clone to Meters")},
};

const UseRow& RowOf(TFormMeterConfig::Use use) {
    return kUses[static_cast<int>(use)];
}

QTableWidget* MakeGrid(QWidget* parent, const QString& name, const QStringList& headings) {
    auto* grid = new QTableWidget(0, int(headings.size()), parent);
    grid->setObjectName(name);
    grid->setHorizontalHeaderLabels(headings);
    grid->verticalHeader()->hide();
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    return grid;
}

// Differing rows stand out; rows a restore leaves as the meter has them (address and baud
// rate) are greyed.
void AddRow(QTableWidget* grid, const QStringList& cells, bool marked, bool kept = false) {
    const int row = grid->rowCount();
    grid->insertRow(row);
    for (int c = 0; c < cells.size(); ++c) {
        auto* item = new QTableWidgetItem(cells[c]);
        if (marked) {
            item->setBackground(QColor(255, 224, 160));
            QFont bold = item->font();
            bold.setBold(true);
            item->setFont(bold);
        }
        if (kept)
            item->setForeground(QColor(128, 128, 128));
        grid->setItem(row, c, item);
    }
}

QString ConfigFilters() {
    return QCoreApplication::translate("TFormMeterConfig",
                                       "Meter configurations (*%1);;All files (*)")
        .arg(QLatin1String(MeterConfigSuffix));
}

// The folder of the last file chosen in any of these windows, for the next dialog.
QString& LastFolder() {
    static QString folder;
    return folder;
}

QString CsvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1String("\""), QLatin1String("\"\"")) +
           QLatin1Char('"');
}

} // namespace

TFormMeterConfig::TFormMeterConfig(Use use, SessionState& state, OperatorDialogs& dialogs,
                                   RequestService& requests, QWidget* parent)
    : QWidget(parent), use_(use), state_(state), dialogs_(dialogs), requests_(requests) {
    setObjectName(QLatin1String(RowOf(use).name));
    setWindowTitle(tr(RowOf(use).title));
    chooseFile_ = [](QWidget* p, const FileRequest& request) {
        QFileDialog dialog(p, request.title, request.startPath, request.filters);
        dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        const QString path = dialog.selectedFiles().first();
        return request.save ? PathForChosenFilter(path, dialog.selectedNameFilter()) : path;
    };

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    fileLabel_ = new QLabel(tr("No file chosen."), this);
    fileLabel_->setObjectName(QStringLiteral("LabelFile"));
    top->addWidget(fileLabel_, 1);
    auto button = [this, top](const char* name, const QString& text,
                              void (TFormMeterConfig::*click)()) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        connect(b, &QPushButton::clicked, this, click);
        top->addWidget(b);
        actions_ << b;
        return b;
    };
    if (use == Use::Save) {
        button("ButtonSave", tr("Save..."), &TFormMeterConfig::SaveMeterClick);
    } else {
        button("ButtonFile", tr("File..."), &TFormMeterConfig::OpenFileClick);
    }
    if (use == Use::Compare)
        button("ButtonSecondFile", tr("Compare with File..."), &TFormMeterConfig::SecondFileClick);
    if (use == Use::Restore) {
        includeComm_ = new QCheckBox(tr("also address and baud rate"), this);
        includeComm_->setObjectName(QStringLiteral("ChkBoxIncludeComm"));
        top->addWidget(includeComm_);
        button("ButtonRestore", QStringLiteral("Restore"), &TFormMeterConfig::RestoreClick);
    }
    layout->addLayout(top);

    if (use == Use::Clone) {
        auto* row = new QHBoxLayout;
        row->addWidget(new QLabel(tr("Addresses:"), this));
        addresses_ = new QLineEdit(this);
        addresses_->setObjectName(QStringLiteral("EditAddresses"));
        addresses_->setPlaceholderText(QStringLiteral("1-20, 25"));
        row->addWidget(addresses_, 1);
        auto* clone = new QPushButton(QStringLiteral("Clone"), this);
        clone->setObjectName(QStringLiteral("ButtonClone"));
        connect(clone, &QPushButton::clicked, this, &TFormMeterConfig::CloneClick);
        row->addWidget(clone);
        actions_ << clone;
        cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
        cancel_->setObjectName(QStringLiteral("ButtonCancel"));
        cancel_->setEnabled(false);
        connect(cancel_, &QPushButton::clicked, this, [this] { cancelled_ = true; });
        row->addWidget(cancel_);
        auto* save = new QPushButton(tr("Save Results..."), this);
        save->setObjectName(QStringLiteral("ButtonSaveResults"));
        connect(save, &QPushButton::clicked, this, &TFormMeterConfig::SaveResultsClick);
        row->addWidget(save);
        actions_ << save;
        layout->addLayout(row);
        progress_ = new QProgressBar(this);
        progress_->setObjectName(QStringLiteral("ProgressClone"));
        layout->addWidget(progress_);
        results_ = MakeGrid(
            this, QStringLiteral("GridResults"),
            {QStringLiteral("Address"), QStringLiteral("Result"), QStringLiteral("Detail")});
        layout->addWidget(results_);
    } else {
        grid_ =
            MakeGrid(this, QStringLiteral("GridSettings"),
                     {QStringLiteral("Setting"), QStringLiteral("File"), QStringLiteral("Meter")});
        grid_->setColumnWidth(0, 200);
        grid_->setColumnWidth(1, 200);
        auto* filter = new QHBoxLayout;
        differences_ = new QLabel(this);
        differences_->setObjectName(QStringLiteral("LabelDifferences"));
        filter->addWidget(differences_, 1);
        differencesOnly_ = new QCheckBox(tr("Differences only"), this);
        differencesOnly_->setObjectName(QStringLiteral("ChkBoxDifferencesOnly"));
        connect(differencesOnly_, &QCheckBox::toggled, this, &TFormMeterConfig::FilterDifferences);
        filter->addWidget(differencesOnly_);
        layout->addLayout(filter);
        layout->addWidget(grid_);
    }
    // A table to read through, resizable, and wide enough for its three columns and for
    // the whole row of buttons above it.
    const int columns = 3 * 200 + 2 * layout->contentsMargins().left() + 40;
    resize(std::max(columns, sizeHint().width()), 480);
}

TFormMeterConfig::~TFormMeterConfig() = default;

void TFormMeterConfig::closeEvent(QCloseEvent* event) {
    // The run's requests are waited for inside this window's methods.
    if (running_) {
        cancelled_ = true;
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

QString TFormMeterConfig::ChooseFile(bool save, const QString& title, const QString& filters,
                                     const QString& defaultName) {
    const QString folder = LastFolder();
    const QString start =
        folder.isEmpty() ? defaultName
                         : (defaultName.isEmpty() ? folder : QDir(folder).filePath(defaultName));
    const QString path = chooseFile_(this, {save, title, filters, start});
    if (!path.isEmpty())
        LastFolder() = QFileInfo(path).absolutePath();
    return path;
}

void TFormMeterConfig::SetRunning(bool running) {
    running_ = running;
    for (QPushButton* b : actions_)
        b->setEnabled(!running);
    if (cancel_)
        cancel_->setEnabled(running);
}

namespace {

// The line lent to one run of these windows and given back as it was found: a port that
// was closed is opened for the run and closed again.
class LentLink : public EngineLink {
public:
    LentLink(RequestService& requests, bool closeAfter)
        : EngineLink(requests), engine_(requests.Engine()), closeAfter_(closeAfter) {}
    ~LentLink() override {
        if (closeAfter_)
            engine_.Close();
    }
    LentLink(const LentLink&) = delete;
    LentLink& operator=(const LentLink&) = delete;

private:
    TqvModbus& engine_;
    bool closeAfter_;
};

} // namespace

std::unique_ptr<EngineLink> TFormMeterConfig::Borrow() {
    TqvModbus& engine = requests_.Engine();
    if (engine.LineLost()) {
        dialogs_.Warn(Caption(), tr("The line to the meter is lost; nothing was read or "
                                    "written. Try again when it is back."));
        return nullptr;
    }
    bool closeAfter = false;
    if (!engine.PortOpen()) {
        if (state_.PortName.isEmpty()) {
            dialogs_.Warn(Caption(), tr("No port is chosen: choose one first (Execute \u2192 "
                                        "COMM Settings)."));
            return nullptr;
        }
        try {
            engine.Open(QStringLiteral("\\\\.\\") + state_.PortName, state_.Baudrate);
        } catch (const std::exception& e) {
            dialogs_.Warn(Caption(), tr("The port %1 cannot be opened for this run: %2")
                                         .arg(state_.PortName, QString::fromLocal8Bit(e.what())));
            return nullptr;
        }
        closeAfter = true;
    }
    if (!EngineLink::CanBorrow(requests_)) {
        if (closeAfter)
            engine.Close();
        dialogs_.Warn(Caption(), tr("Stop the communication first (Execute \u2192 Stop "
                                    "COMM): the configuration is read and written without "
                                    "polls in between."));
        return nullptr;
    }
    return std::make_unique<LentLink>(requests_, closeAfter);
}

std::optional<MeterConfiguration> TFormMeterConfig::LoadChecked(const QString& path) {
    const MeterConfigRead read = LoadMeterConfig(path);
    if (!read.config) {
        dialogs_.Warn(Caption(), read.problem + tr("\nNothing was written to the meter."));
        return std::nullopt;
    }
    return read.config;
}

std::optional<MeterConfiguration> TFormMeterConfig::ReadMeter(EngineLink& link) {
    QString why;
    SetRunning(true);
    const auto meter =
        ReadMeterConfiguration(link, state_.DevAddr, ConfigMeterModel(state_.MeterModel),
                               QDateTime::currentDateTimeUtc(), &why);
    SetRunning(false);
    if (!meter)
        dialogs_.Warn(Caption(), why + QLatin1Char('.'));
    return meter;
}

void TFormMeterConfig::ShowComparison(const MeterConfiguration& file,
                                      const MeterConfiguration& other, const QString& otherTitle) {
    comparedWithMeter_ = otherTitle == QLatin1String("Meter");
    grid_->setHorizontalHeaderItem(2, new QTableWidgetItem(otherTitle));
    grid_->setRowCount(0);
    const bool includeComm = includeComm_ && includeComm_->isChecked();
    for (const ConfigComparison& row : CompareConfigs(file, other, includeComm))
        AddRow(grid_, {row.name, row.leftText, row.rightText}, row.differs, row.kept);
    FilterDifferences();
}

void TFormMeterConfig::FilterDifferences() {
    if (grid_ == nullptr)
        return;
    int differing = 0;
    for (int r = 0; r < grid_->rowCount(); ++r) {
        const bool differs = grid_->item(r, 0) != nullptr && grid_->item(r, 0)->font().bold();
        differing += differs ? 1 : 0;
        grid_->setRowHidden(r, differencesOnly_->isChecked() && !differs);
    }
    differences_->setText(grid_->rowCount() == 0 ? QString()
                                                 : tr("%1 setting(s) differ").arg(differing));
}

void TFormMeterConfig::SaveMeterClick() {
    auto link = Borrow();
    if (!link)
        return;
    const auto meter = ReadMeter(*link);
    if (!meter)
        return;
    const QString path =
        ChooseFile(true, tr("Save Meter Configuration"), ConfigFilters(),
                   QStringLiteral("meter%1-%2%3")
                       .arg(state_.DevAddr)
                       .arg(meter->saved.toLocalTime().toString(QStringLiteral("yyyy-MM-dd")),
                            QLatin1String(MeterConfigSuffix)));
    if (path.isEmpty())
        return;
    QString why;
    if (!SaveMeterConfig(path, *meter, &why)) {
        dialogs_.Warn(Caption(), why);
        return;
    }
    fileLabel_->setText(path);
    ShowComparison(*meter, *meter, QStringLiteral("Meter"));
    dialogs_.Confirm(tr("Meter configuration saved to %1.").arg(path));
}

void TFormMeterConfig::OpenFileClick() {
    const QString path = ChooseFile(false, tr("Open Meter Configuration"), ConfigFilters());
    if (path.isEmpty())
        return;
    file_ = LoadChecked(path);
    fileLabel_->setText(file_ ? path : tr("No file chosen."));
    if (!file_ || use_ == Use::Clone)
        return;
    auto link = Borrow();
    if (!link)
        return;
    if (const auto meter = ReadMeter(*link))
        ShowComparison(*file_, *meter, QStringLiteral("Meter"));
}

void TFormMeterConfig::RereadMeter() {
    if (!file_ || !comparedWithMeter_ || running_)
        return;
    auto link = Borrow();
    if (!link)
        return;
    if (const auto meter = ReadMeter(*link))
        ShowComparison(*file_, *meter, QStringLiteral("Meter"));
}

void TFormMeterConfig::SecondFileClick() {
    if (!file_) {
        dialogs_.Warn(Caption(), tr("Choose the first file with \"File...\"."));
        return;
    }
    const QString path = ChooseFile(false, tr("Open Second Meter Configuration"), ConfigFilters());
    if (path.isEmpty())
        return;
    if (const auto second = LoadChecked(path))
        ShowComparison(*file_, *second, QFileInfo(path).fileName());
}

void TFormMeterConfig::RestoreClick() {
    if (!file_) {
        dialogs_.Warn(Caption(), tr("Choose the file to restore with \"File...\"."));
        return;
    }
    auto link = Borrow();
    if (!link)
        return;
    const auto meter = ReadMeter(*link);
    if (!meter)
        return;
    const bool includeComm = includeComm_->isChecked();
    ShowComparison(*file_, *meter, QStringLiteral("Meter"));
    const QList<ConfigComparison> rows = CompareConfigs(*file_, *meter, includeComm);
    int differing = 0;
    for (const ConfigComparison& row : rows)
        differing += row.differs ? 1 : 0;
    const OperatorDialogs::AskingFor asking(dialogs_, this);
    if (!dialogs_.AskYesNoWithDetail(PromptCaption(),
                                     tr("Are you sure to restore this configuration to the "
                                        "meter at address %1? %2 setting(s) differ.")
                                         .arg(state_.DevAddr)
                                         .arg(differing),
                                     ChangedFieldsDetail(RestoreChanges(rows))))
        return;
    SetRunning(true);
    const MeterApplyOutcome outcome = ApplyMeterConfiguration(
        *link, *file_, state_.DevAddr, ConfigMeterModel(state_.MeterModel), includeComm);
    SetRunning(false);
    if (includeComm && outcome.result == MeterApplyOutcome::Result::Verified) {
        // The meter took the file's address and baud rate, and the line went with it.
        state_.DevAddr = file_->settings[0x01];
        state_.MeterAddress = file_->settings[0x01];
        state_.Baudrate = file_->settings[0x02];
        state_.MeterBaudRate = file_->settings[0x02];
    }
    if (const auto after = ReadMeter(*link)) {
        ShowComparison(*file_, *after, QStringLiteral("Meter"));
        emit MeterWritten(*after);
    }
    if (outcome.result == MeterApplyOutcome::Result::Verified)
        dialogs_.Confirm(
            tr("Meter configuration verified.") +
            (outcome.answersAt.isEmpty() ? QString() : QLatin1Char('\n') + outcome.answersAt));
    else
        dialogs_.Warn(Caption(), ApplyOutcomeLine(outcome));
}

void TFormMeterConfig::CloneClick() {
    if (!file_) {
        dialogs_.Warn(Caption(), tr("Choose the file to clone with \"File...\"."));
        return;
    }
    QString why;
    const auto addresses = ParseAddressList(addresses_->text(), &why);
    if (!addresses) {
        dialogs_.Warn(Caption(), tr("Addresses: %1 (for example 1-20, 25). Nothing "
                                    "was written to any meter.")
                                     .arg(why));
        addresses_->setFocus();
        return;
    }
    auto link = Borrow();
    if (!link)
        return;
    // One question before the first meter is written, naming every meter and what goes
    // into each: the run writes meter after meter without asking again.
    const OperatorDialogs::AskingFor asking(dialogs_, this);
    if (!dialogs_.AskYesNoWithDetail(
            PromptCaption(),
            tr("Write this configuration to %1 meter(s) at address(es) %2?")
                .arg(addresses->size())
                .arg(AddressListText(*addresses)),
            tr("%1 meter(s): settings and alarms; address and baud rate unchanged.")
                .arg(addresses->size())))
        return;
    results_->setRowCount(0);
    progress_->setRange(0, int(addresses->size()));
    progress_->setValue(0);
    cancelled_ = false;
    SetRunning(true);
    for (const int address : *addresses) {
        if (cancelled_)
            break;
        const MeterApplyOutcome o = ApplyMeterConfiguration(
            *link, *file_, address, ConfigMeterModel(state_.MeterModel), false);
        QStringList detail = {o.detail, o.rollback};
        detail.removeAll(QString());
        AddRow(results_,
               {QString::number(address), ApplyResultText(o.result),
                detail.join(QStringLiteral("; "))},
               o.result != MeterApplyOutcome::Result::Verified);
        progress_->setValue(progress_->value() + 1);
    }
    SetRunning(false);
    if (addresses->mid(0, results_->rowCount()).contains(state_.DevAddr))
        if (const auto after = ReadMeter(*link))
            emit MeterWritten(*after);
    if (cancelled_)
        AddRow(results_,
               {QString(), QStringLiteral("cancelled"),
                QStringLiteral("%1 meter(s) not written")
                    .arg(addresses->size() - results_->rowCount())},
               true);
}

void TFormMeterConfig::SaveResultsClick() {
    const QString path =
        ChooseFile(true, tr("Save Clone Results"), tr("CSV files (*.csv);;All files (*)"),
                   QStringLiteral("clone-results-%1.csv")
                       .arg(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))));
    if (path.isEmpty())
        return;
    QString csv = QStringLiteral("Address,Result,Detail\n");
    for (int r = 0; r < results_->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < results_->columnCount(); ++c)
            cells << CsvField(results_->item(r, c) ? results_->item(r, c)->text() : QString());
        csv += cells.join(QLatin1Char(',')) + QLatin1Char('\n');
    }
    QString why;
    if (!SaveFileAtomically(path, csv.toUtf8(), &why))
        dialogs_.Warn(Caption(), why);
}
