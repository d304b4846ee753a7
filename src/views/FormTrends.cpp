#include "FormTrends.h"

#include "NumberInput.h"
#include "NumberText.h"
#include "OperatorDialogs.h"
#include "TrendExport.h"
#include "TrendQuantities.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#ifdef QETRA_HAVE_SVG
#include <QSvgGenerator>
#endif

namespace {

QString Caption() {
    return QCoreApplication::translate("FormTrends", "Trends");
}

QString SpanText(qint64 ms) {
    return ms < 3'600'000 ? QCoreApplication::translate("FormTrends", "%1 min").arg(ms / 60'000)
                          : QCoreApplication::translate("FormTrends", "%1 h").arg(ms / 3'600'000);
}

// The Y axis fields take numbers as every other field does, with the axis' unit.
std::optional<double> AxisNumber(const QString& text, const QString& unit) {
    NumberField field;
    field.negative = true;
    if (!unit.isEmpty())
        field.units = {unit};
    field.kilo =
        unit == QLatin1String("W") || unit == QLatin1String("var") || unit == QLatin1String("VA");
    return ReadNumber(text, field);
}

} // namespace

QList<qint64> TrendSpans() {
    return {60'000, 5 * 60'000, 15 * 60'000, 3'600'000, 6 * 3'600'000, 24 * 3'600'000};
}

namespace {
QPushButton* Button(const QString& text, const char* name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}
} // namespace

// A log being read in a worker thread: the window stays live, shows how far it is, and
// can cancel it.
struct TFormTrends::LogReading {
    QStringList files;
    TrendLogProgress progress;
    TrendLogResult result;
    QThread* thread = nullptr;
    QTimer ticker;
};

TFormTrends::TFormTrends(const TrendHistory& live, OperatorDialogs& dialogs, QWidget* parent)
    : QWidget(parent), live_(live), dialogs_(dialogs) {
    setObjectName(TrendsWindowName);
    setWindowTitle(Caption());
    askOpen_ = [this] {
        return QFileDialog::getOpenFileNames(this, tr("Open Log"), QString(),
                                             tr("Data logs (*.csv);;All files (*)"));
    };
    askSave_ = [this](const QString& filter) {
        return QFileDialog::getSaveFileName(this, tr("Export"), QString(), filter);
    };

    chart_ = new TrendChart(this);
    chart_->setObjectName(QStringLiteral("Chart"));
    chart_->SetHistory(&live_);
    BuildQuantityList();

    auto* right = new QVBoxLayout;
    right->addLayout(BuildAxisBar());
    right->addWidget(chart_, 1);
    right->addLayout(BuildFileBar());
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(list_);
    layout->addLayout(right, 1);

    SyncSpan(chart_->SpanMs());
    Choose({TrendQuantityOfColumn(QStringLiteral("V1 (V)")),
            TrendQuantityOfColumn(QStringLiteral("I1 (A)"))});
    resize(1100, 520);
}

TFormTrends::~TFormTrends() {
    // A reading still under way is stopped; it looks at the request every few megabytes.
    if (reading_) {
        reading_->progress.cancel = true;
        reading_->thread->wait();
        delete reading_->thread;
    }
}

void TFormTrends::BuildQuantityList() {
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("ListQuantities"));
    for (const TrendQuantity& q : TrendQuantities()) {
        auto* item = new QListWidgetItem(
            q.unit.isEmpty() ? q.name : QStringLiteral("%1 (%2)").arg(q.name, q.unit), list_);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
        item->setCheckState(Qt::Unchecked);
    }
    list_->setMaximumWidth(list_->fontMetrics().horizontalAdvance(QStringLiteral("Dmd_Q (var)")) +
                           60);
    connect(list_, &QListWidget::itemChanged, this, [this] { ChoiceChanged(); });
}

QHBoxLayout* TFormTrends::BuildAxisBar() {
    span_ = new QComboBox(this);
    span_->setObjectName(QStringLiteral("ComboSpan"));
    span_->setMinimumContentsLength(8);
    for (qint64 ms : TrendSpans())
        span_->addItem(SpanText(ms), ms);
    follow_ = new QCheckBox(tr("Follow newest"), this);
    follow_->setObjectName(QStringLiteral("CheckFollow"));
    follow_->setChecked(true);
    axisUnit_ = new QComboBox(this);
    axisUnit_->setObjectName(QStringLiteral("ComboAxis"));
    autoscale_ = new QCheckBox(tr("Autoscale"), this);
    autoscale_->setObjectName(QStringLiteral("CheckAutoscale"));
    autoscale_->setChecked(true);
    low_ = new QLineEdit(this);
    low_->setObjectName(QStringLiteral("EditLow"));
    high_ = new QLineEdit(this);
    high_->setObjectName(QStringLiteral("EditHigh"));
    for (QLineEdit* e : {low_, high_})
        e->setMaximumWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("-000000.000")) + 12);
    QPushButton* apply = Button(tr("Apply"), "ButtonApplyAxis", this);

    auto* bar = new QHBoxLayout;
    bar->addWidget(new QLabel(tr("Span"), this));
    bar->addWidget(span_);
    bar->addWidget(follow_);
    bar->addSpacing(12);
    bar->addWidget(new QLabel(tr("Y axis"), this));
    bar->addWidget(axisUnit_);
    bar->addWidget(autoscale_);
    bar->addWidget(new QLabel(tr("from"), this));
    bar->addWidget(low_);
    bar->addWidget(new QLabel(tr("to"), this));
    bar->addWidget(high_);
    bar->addWidget(apply);
    bar->addStretch(1);

    connect(span_, &QComboBox::activated, this,
            [this] { chart_->SetSpanMs(span_->currentData().toLongLong()); });
    connect(chart_, &TrendChart::SpanChanged, this, [this](qint64 s) { SyncSpan(s); });
    connect(follow_, &QCheckBox::toggled, chart_, &TrendChart::SetFollow);
    connect(chart_, &TrendChart::FollowChanged, follow_, &QCheckBox::setChecked);
    connect(axisUnit_, &QComboBox::currentIndexChanged, this, [this] { ShowAxisFields(); });
    connect(autoscale_, &QCheckBox::toggled, this, [this](bool on) {
        low_->setEnabled(!on);
        high_->setEnabled(!on);
        if (on)
            chart_->SetAxis(axisUnit_->currentData().toString(), TrendChart::Axis{});
    });
    connect(apply, &QPushButton::clicked, this, [this] { ApplyFixedAxis(); });
    return bar;
}

QHBoxLayout* TFormTrends::BuildFileBar() {
    source_ = new QLabel(tr("Live"), this);
    source_->setObjectName(QStringLiteral("LabelSource"));
    openButton_ = Button(tr("Open Log\u2026"), "ButtonOpenLog", this);
    liveButton_ = Button(tr("Live"), "ButtonLive", this);
    liveButton_->setEnabled(false);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("ProgressOpenLog"));
    progress_->setRange(0, 1000);
    progress_->hide();
    cancel_ = Button(tr("Cancel"), "ButtonCancelOpenLog", this);
    cancel_->hide();
    QPushButton* csv = Button(tr("Export CSV\u2026"), "ButtonExportCsv", this);
    QPushButton* picture = Button(tr("Export Picture\u2026"), "ButtonExportPicture", this);

    auto* files = new QHBoxLayout;
    files->addWidget(source_, 1);
    files->addWidget(progress_, 1);
    files->addWidget(cancel_);
    files->addWidget(openButton_);
    files->addWidget(liveButton_);
    files->addWidget(csv);
    files->addWidget(picture);

    connect(openButton_, &QPushButton::clicked, this, [this] {
        const QStringList chosen = askOpen_();
        if (!chosen.isEmpty())
            StartOpenLog(chosen);
    });
    connect(cancel_, &QPushButton::clicked, this, [this] { CancelReading(); });
    connect(liveButton_, &QPushButton::clicked, this, [this] { ShowLive(); });
    connect(csv, &QPushButton::clicked, this, [this] {
        const QString path = askSave_(tr("Data log (*.csv)"));
        if (!path.isEmpty())
            ExportCsv(path);
    });
    connect(picture, &QPushButton::clicked, this, [this] {
#ifdef QETRA_HAVE_SVG
        const QString path = askSave_(tr("PNG picture (*.png);;SVG drawing (*.svg)"));
#else
        const QString path = askSave_(tr("PNG picture (*.png)"));
#endif
        if (!path.isEmpty())
            ExportPicture(path);
    });
    return files;
}

void TFormTrends::SyncSpan(qint64 span) {
    const int at = span_->findData(span);
    if (at >= 0) {
        span_->setCurrentIndex(at);
    } else {
        // A span the wheel made: shown as it is, not one of the list's.
        span_->setCurrentIndex(-1);
        span_->setPlaceholderText(span < 3'600'000 ? tr("%1 s").arg(span / 1000)
                                                   : tr("%1 min").arg(span / 60'000));
    }
}

void TFormTrends::LiveRecorded() {
    if (!log_ && chart_->Follow())
        chart_->update();
}

bool TFormTrends::StartOpenLog(const QStringList& files) {
    if (reading_)
        return false;
    reading_ = std::make_unique<LogReading>();
    LogReading* r = reading_.get();
    r->files = files;
    r->thread = QThread::create([r] { r->result = ReadTrendLog(r->files, &r->progress); });
    connect(r->thread, &QThread::finished, this, [this] { FinishOpenLog(); });
    connect(&r->ticker, &QTimer::timeout, this, [this] { ShowReadingProgress(); });
    r->ticker.start(100);
    progress_->setValue(0);
    progress_->show();
    cancel_->show();
    cancel_->setEnabled(true);
    openButton_->setEnabled(false);
    source_->setText(tr("Reading %1\u2026").arg(FilesText(files)));
    r->thread->start();
    return true;
}

bool TFormTrends::OpenLog(const QStringList& files) {
    if (!StartOpenLog(files))
        return false;
    QEventLoop wait;
    bool shown = false;
    connect(this, &QObject::destroyed, &wait, &QEventLoop::quit);
    connect(this, &TFormTrends::LogRead, &wait, [&](bool s) {
        shown = s;
        wait.quit();
    });
    wait.exec();
    return shown;
}

void TFormTrends::CancelReading() {
    if (!reading_)
        return;
    reading_->progress.cancel = true;
    cancel_->setEnabled(false);
}

QString TFormTrends::FilesText(const QStringList& files) const {
    return files.size() == 1 ? QFileInfo(files.front()).fileName()
                             : tr("%1 files").arg(files.size());
}

void TFormTrends::ShowReadingProgress() {
    if (!reading_)
        return;
    const qint64 total = reading_->progress.bytesTotal.load();
    const qint64 done = reading_->progress.bytesRead.load();
    progress_->setValue(total > 0 ? int(std::min<qint64>(1000, done * 1000 / total)) : 0);
}

void TFormTrends::FinishOpenLog() {
    std::unique_ptr<LogReading> r = std::move(reading_);
    r->thread->wait();
    delete r->thread;
    progress_->hide();
    cancel_->hide();
    openButton_->setEnabled(true);
    const bool shown = r->result.log.has_value();
    if (shown)
        ShowLog(std::move(*r->result.log), r->files);
    else
        source_->setText(log_ ? logSource_ : tr("Live"));
    if (!shown && !r->result.cancelled)
        dialogs_.Error(Caption(),
                       tr("This file cannot be drawn: %1").arg(r->result.problem.Text()));
    emit LogRead(shown);
}

void TFormTrends::ShowLog(TrendLog log, const QStringList& files) {
    log_ = std::move(log);
    chart_->SetHistory(&log_->history);
    // The whole log in view where it fits in a day, else its last day.
    const TrendHistory& h = log_->history;
    chart_->SetFollow(false);
    chart_->SetSpanMs(h.LastTime() - h.FirstTime() + 1);
    chart_->SetEndMs(h.LastTime() + 1);
    logSource_ = tr("Log: %1 (%2 lines)").arg(FilesText(files)).arg(log_->rows);
    // What the reader decided on its own (a repeated hour) is said beside the source.
    if (!log_->notes.isEmpty())
        logSource_ += QStringLiteral(" \u2013 ") + log_->notes.join(QStringLiteral("; "));
    source_->setText(logSource_);
    source_->setToolTip(log_->notes.join(QLatin1Char('\n')));
    liveButton_->setEnabled(true);
    QList<int> keep;
    for (int q : Chosen()) {
        if (log_->quantities.contains(q))
            keep << q;
    }
    if (keep.isEmpty())
        keep = log_->quantities.mid(0, 1);
    Choose(keep);
}

void TFormTrends::ShowLive() {
    log_.reset();
    chart_->SetHistory(&live_);
    chart_->SetFollow(true);
    source_->setText(tr("Live"));
    source_->setToolTip(QString());
    liveButton_->setEnabled(false);
    ChoiceChanged();
}

void TFormTrends::Choose(const QList<int>& quantities) {
    updatingChoice_ = true;
    for (int i = 0; i < list_->count(); ++i)
        list_->item(i)->setCheckState(Qt::Unchecked);
    QStringList units;
    int n = 0;
    for (int q : quantities) {
        if (q < 0 || q >= list_->count() || n == TrendChart::MaxSeries)
            continue;
        const QString& unit = TrendQuantities()[q].unit;
        if (!units.contains(unit) && units.size() == 2)
            continue;
        if (!units.contains(unit))
            units << unit;
        list_->item(q)->setCheckState(Qt::Checked);
        ++n;
    }
    updatingChoice_ = false;
    ChoiceChanged();
}

QList<int> TFormTrends::Chosen() const {
    QList<int> chosen;
    for (int i = 0; i < list_->count(); ++i) {
        if (list_->item(i)->checkState() == Qt::Checked)
            chosen << i;
    }
    return chosen;
}

void TFormTrends::ChoiceChanged() {
    if (updatingChoice_)
        return;
    updatingChoice_ = true;
    const QList<int> chosen = Chosen();
    chart_->SetSeries(chosen);
    const QStringList units = chart_->Units();
    // What cannot be added is greyed out, with the reason on it.
    for (int i = 0; i < list_->count(); ++i) {
        QListWidgetItem* item = list_->item(i);
        QString why;
        if (item->checkState() == Qt::Checked)
            why.clear(); // a chosen quantity can always be taken off
        else if (log_ && !log_->quantities.contains(i))
            why = tr("The log has no column for it.");
        else if (chosen.size() >= TrendChart::MaxSeries)
            why = tr("At most eight quantities at once.");
        else if (units.size() == 2 && !units.contains(TrendQuantities()[i].unit))
            why = tr("At most two units at once (a Y axis on each side).");
        item->setFlags(why.isEmpty() ? (Qt::ItemIsUserCheckable | Qt::ItemIsEnabled)
                                     : Qt::ItemIsUserCheckable);
        item->setToolTip(why);
    }
    const QString current = axisUnit_->currentData().toString();
    axisUnit_->clear();
    for (const QString& u : units)
        axisUnit_->addItem(u.isEmpty() ? QStringLiteral("PF") : u, u);
    axisUnit_->setCurrentIndex(std::max(0, axisUnit_->findData(current)));
    updatingChoice_ = false;
    ShowAxisFields();
}

void TFormTrends::ShowAxisFields() {
    if (updatingChoice_)
        return;
    const TrendChart::Axis axis = chart_->AxisOf(axisUnit_->currentData().toString());
    autoscale_->setChecked(axis.autoscale);
    low_->setEnabled(!axis.autoscale);
    high_->setEnabled(!axis.autoscale);
    low_->setText(axis.autoscale ? QString() : ShortestText(axis.low));
    high_->setText(axis.autoscale ? QString() : ShortestText(axis.high));
}

bool TFormTrends::ApplyFixedAxis() {
    if (axisUnit_->count() == 0)
        return false;
    const QString unit = axisUnit_->currentData().toString();
    const QString shown = axisUnit_->currentText();
    if (autoscale_->isChecked()) {
        chart_->SetAxis(unit, TrendChart::Axis{});
        return true;
    }
    const std::optional<double> low = AxisNumber(low_->text(), unit);
    const std::optional<double> high = AxisNumber(high_->text(), unit);
    if (!low || !high) {
        const QString text = (!low ? low_ : high_)->text();
        const QString advice = NumberAdvice(text);
        dialogs_.Warn(Caption(), tr("Y axis (%1) \"%2\": please enter a number.")
                                         .arg(shown, !low ? tr("from") : tr("to")) +
                                     (advice.isEmpty() ? QString() : QLatin1Char(' ') + advice));
        return false;
    }
    if (!(*high > *low)) {
        dialogs_.Warn(Caption(),
                      tr("Y axis (%1): \"to\" must be greater than \"from\".").arg(shown));
        return false;
    }
    if (!TrendAxisDrawable(*low, *high)) {
        dialogs_.Warn(Caption(), tr("Y axis (%1): %2 to %3 is too small a span to draw; make "
                                    "it at least a millionth of the values.")
                                     .arg(shown, low_->text().trimmed(), high_->text().trimmed()));
        return false;
    }
    chart_->SetAxis(unit, TrendChart::Axis{false, *low, *high});
    return true;
}

bool TFormTrends::ExportCsv(const QString& path) {
    const TrendHistory& h = log_ ? log_->history : live_;
    QSaveFile file(path);
    const QByteArray text =
        TrendSpanCsv(h, chart_->Series(), chart_->StartMs(), chart_->EndMs()).toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        dialogs_.Error(Caption(), tr("Cannot write \"%1\": %2").arg(path, file.errorString()));
        return false;
    }
    return true;
}

bool TFormTrends::ExportPicture(const QString& path) {
    const QRect area(QPoint(0, 0), chart_->size());
    bool ok = false;
    QString why;
#ifdef QETRA_HAVE_SVG
    if (path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        QSvgGenerator svg;
        svg.setFileName(path);
        svg.setSize(area.size());
        svg.setViewBox(area);
        svg.setTitle(windowTitle());
        QPainter p;
        ok = p.begin(&svg);
        if (ok) {
            chart_->Render(p, area);
            ok = p.end();
        }
        why = tr("the drawing could not be written");
    } else
#endif
    {
        QImage image(area.size(), QImage::Format_RGB32);
        {
            QPainter p(&image);
            chart_->Render(p, area);
        }
        ok = image.save(path, "PNG");
        why = tr("the picture could not be written (PNG)");
    }
    if (!ok)
        dialogs_.Error(Caption(), tr("Cannot write \"%1\": %2").arg(path, why));
    return ok;
}
