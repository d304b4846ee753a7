#include "frmTrafficMonitor.h"

#include "OperatorDialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The functions the program sends, in the order an operator looks for them.
const quint8 kFunctions[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x10,
                             0x83, 0x85, 0x91, 0xB0, 0xC3, 0xC4, 0xC5};

} // namespace

TFormTrafficMonitor::TFormTrafficMonitor(TrafficModel& model, OperatorDialogs& dialogs,
                                         QWidget* parent)
    : QWidget(parent), model_(model), dialogs_(dialogs) {
    setObjectName(QStringLiteral("FormTrafficMonitor"));
    setWindowTitle(tr("Traffic Monitor"));
    chooseFile_ = [](QWidget* p) {
        SaveChoice choice;
        choice.fileName = QFileDialog::getSaveFileName(
            p, tr("Save Traffic"), QString(),
            kTrafficCsvFilter + QStringLiteral(";;") + kTrafficTextFilter, &choice.filter);
        return choice;
    };

    filter_.setSourceModel(&model_);

    pause_ = new QPushButton(tr("Pause"), this);
    pause_->setObjectName(QStringLiteral("ButtonPause"));
    pause_->setCheckable(true);
    auto* clear = new QPushButton(tr("Clear"), this);
    clear->setObjectName(QStringLiteral("ButtonClear"));
    auto* copy = new QPushButton(tr("Copy"), this);
    copy->setObjectName(QStringLiteral("ButtonCopy"));
    auto* save = new QPushButton(tr("Save..."), this);
    save->setObjectName(QStringLiteral("ButtonSave"));

    status_ = new QComboBox(this);
    status_->setObjectName(QStringLiteral("ComboStatus"));
    status_->addItem(tr("All statuses"));
    for (int s = 0; s < kTrafficStatusCount; ++s)
        status_->addItem(ShownStatusName(TrafficStatus(s)), s);
    function_ = new QComboBox(this);
    function_->setObjectName(QStringLiteral("ComboFunction"));
    function_->addItem(tr("All functions"));
    for (quint8 f : kFunctions)
        function_->addItem(QStringLiteral("%1 %2")
                               .arg(f, 2, 16, QLatin1Char('0'))
                               .toUpper()
                               .arg(ShownFunctionName(f)),
                           int(f));

    capacity_ = new QSpinBox(this);
    capacity_->setObjectName(QStringLiteral("SpinRows"));
    capacity_->setRange(100, 1000000);
    capacity_->setSingleStep(1000);
    capacity_->setValue(model_.Capacity());
    capacity_->setToolTip(tr("Rows kept; the oldest go first"));

    counts_ = new QLabel(this);
    counts_->setObjectName(QStringLiteral("LabelCounts"));
    // A new count must not lay the whole window out again.
    counts_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);

    view_ = new QTableView(this);
    view_->setObjectName(QStringLiteral("GridTraffic"));
    view_->setModel(&filter_);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view_->setWordWrap(false);
    view_->verticalHeader()->setVisible(false);
    // A fixed row height: the view never measures rows it does not show.
    view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    view_->horizontalHeader()->setStretchLastSection(false);
    view_->horizontalHeader()->setSectionResizeMode(ColBytes, QHeaderView::Stretch);
    FitColumns();

    auto* bar = new QHBoxLayout;
    bar->addWidget(pause_);
    bar->addWidget(clear);
    bar->addWidget(status_);
    bar->addWidget(function_);
    bar->addWidget(copy);
    bar->addWidget(save);
    bar->addWidget(new QLabel(tr("Rows:"), this));
    bar->addWidget(capacity_);
    bar->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(view_, 1);
    layout->addWidget(counts_);
    resize(900, 400);

    connect(pause_, &QPushButton::toggled, this, [this](bool on) { SetPaused(on); });
    connect(clear, &QPushButton::clicked, this, [this] { model_.Clear(); });
    connect(copy, &QPushButton::clicked, this, [this] { CopySelection(); });
    connect(save, &QPushButton::clicked, this, [this] {
        const SaveChoice choice = chooseFile_ ? chooseFile_(this) : SaveChoice();
        if (choice.fileName.isEmpty())
            return;
        const TrafficSaveTarget target = TrafficSaveTargetOf(choice.fileName, choice.filter);
        SaveTo(target.fileName, target.csv);
    });
    connect(status_, &QComboBox::currentIndexChanged, this, [this](int i) {
        filter_.SetStatus(i <= 0 ? std::nullopt
                                 : std::optional(TrafficStatus(status_->itemData(i).toInt())));
    });
    connect(function_, &QComboBox::currentIndexChanged, this, [this](int i) {
        filter_.SetFunction(i <= 0 ? std::nullopt : std::optional(function_->itemData(i).toInt()));
    });
    connect(capacity_, &QSpinBox::valueChanged, this, [this](int n) { model_.SetCapacity(n); });

    // Follow the newest row while the operator is at the bottom; leave the view where it
    // is when they scrolled up to read. Whether the view is at the bottom is taken from
    // where the scroll bar was moved to, not at the moment rows arrive: the range grows by
    // itself when the window is first laid out or resized, and that is no scrolling up.
    QScrollBar* scroll = view_->verticalScrollBar();
    connect(scroll, &QScrollBar::valueChanged, this,
            [this, scroll](int value) { followTail_ = value >= scroll->maximum(); });
    connect(scroll, &QScrollBar::rangeChanged, this, [this, scroll](int, int maximum) {
        if (followTail_)
            scroll->setValue(maximum);
    });
    connect(&filter_, &QAbstractItemModel::rowsInserted, this, [this] {
        if (followTail_)
            view_->scrollToBottom();
    });
    // Comes with each batch of rows, a few times a second at most.
    connect(&model_, &TrafficModel::CountsChanged, this, [this] { UpdateCounts(); });
    UpdateCounts();
}

void TFormTrafficMonitor::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // A monitor opened on a long record starts at the newest row, as it goes on.
    followTail_ = true;
    view_->scrollToBottom();
}

void TFormTrafficMonitor::FitColumns() {
    // Each column as wide as its widest text, so that no status or function name is cut;
    // the bytes take what is left.
    const int cellMargin =
        2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view_) + 1);
    const QFontMetrics cells = view_->fontMetrics();
    const QFontMetrics header = view_->horizontalHeader()->fontMetrics();
    const int headerMargin =
        2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, view_->horizontalHeader()) +
        style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, view_->horizontalHeader());
    for (int c = 0; c < TrafficColumnCount; ++c) {
        const QStringList samples = TrafficColumnSamples(c);
        if (samples.isEmpty())
            continue;
        int width = header.horizontalAdvance(samples.first()) + headerMargin;
        for (const QString& text : samples.mid(1))
            width = std::max(width, cells.horizontalAdvance(text) + cellMargin);
        view_->setColumnWidth(c, width + 4);
    }
}

QString TFormTrafficMonitor::CountsText() const {
    QStringList parts{tr("Transactions %1").arg(model_.Transactions())};
    for (int s = 0; s < kTrafficStatusCount; ++s)
        parts << QStringLiteral("%1 %2")
                     .arg(ShownStatusName(TrafficStatus(s)))
                     .arg(model_.Count(TrafficStatus(s)));
    parts << tr("rows %1 of %2").arg(model_.RecordedCount()).arg(model_.Capacity());
    return parts.join(QStringLiteral("   "));
}

void TFormTrafficMonitor::UpdateCounts() {
    counts_->setText(CountsText() + (model_.Paused() ? tr("   (paused)") : QString()));
}

void TFormTrafficMonitor::SetPaused(bool paused) {
    if (pause_->isChecked() != paused)
        pause_->setChecked(paused); // comes back here through toggled
    model_.SetPaused(paused);
    pause_->setText(paused ? tr("Resume") : tr("Pause"));
    if (!paused)
        view_->scrollToBottom();
    UpdateCounts();
}

QList<TrafficRow> TFormTrafficMonitor::ShownRows(bool selectedOnly) const {
    QList<int> sourceRows;
    if (selectedOnly) {
        for (const QModelIndex& i : view_->selectionModel()->selectedRows())
            sourceRows << filter_.mapToSource(i).row();
        std::sort(sourceRows.begin(), sourceRows.end());
    } else {
        for (int r = 0; r < filter_.rowCount(); ++r)
            sourceRows << filter_.mapToSource(filter_.index(r, 0)).row();
    }
    QList<TrafficRow> rows;
    rows.reserve(sourceRows.size());
    for (int r : sourceRows)
        rows << model_.RowAt(r);
    return rows;
}

void TFormTrafficMonitor::CopySelection() {
    const QList<TrafficRow> rows = ShownRows(true);
    if (rows.isEmpty())
        return;
    QApplication::clipboard()->setText(TrafficRowsAsText(rows));
}

bool TFormTrafficMonitor::SaveTo(const QString& fileName, bool csv) {
    const QList<TrafficRow> rows = ShownRows(false);
    const QString text = csv ? TrafficRowsAsCsv(rows) : TrafficRowsAsText(rows);
    // Written to a temporary file and renamed: a failed save leaves no half file behind.
    QSaveFile file(fileName);
    if (file.open(QIODevice::WriteOnly | QIODevice::Text) && file.write(text.toUtf8()) >= 0 &&
        file.commit())
        return true;
    dialogs_.Error(tr("Traffic Monitor"),
                   tr("Cannot save the traffic to \"%1\": %2").arg(fileName, file.errorString()));
    return false;
}
