#include "FormTrends.h"

#include "OperatorDialogs.h"
#include "TrendExport.h"
#include "TrendQuantities.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
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

std::optional<double> Number(const QString& text) {
    bool ok = false;
    const double v = QLocale::c().toDouble(text.trimmed(), &ok);
    if (ok && std::isfinite(v))
        return v;
    // The operator's own decimal comma.
    const double local = QLocale().toDouble(text.trimmed(), &ok);
    return ok && std::isfinite(local) ? std::optional(local) : std::nullopt;
}

} // namespace

QList<qint64> TrendSpans() {
    return {60'000, 5 * 60'000, 15 * 60'000, 3'600'000, 6 * 3'600'000, 24 * 3'600'000};
}

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

    span_ = new QComboBox(this);
    span_->setObjectName(QStringLiteral("ComboSpan"));
    span_->setMinimumContentsLength(8);
    for (qint64 ms : TrendSpans())
        span_->addItem(SpanText(ms), ms);
    follow_ = new QCheckBox(tr("Follow newest"), this);
    follow_->setObjectName(QStringLiteral("CheckFollow"));
    follow_->setChecked(true);
    source_ = new QLabel(tr("Live"), this);
    source_->setObjectName(QStringLiteral("LabelSource"));
    auto* open = new QPushButton(tr("Open Log\u2026"), this);
    open->setObjectName(QStringLiteral("ButtonOpenLog"));
    liveButton_ = new QPushButton(tr("Live"), this);
    liveButton_->setObjectName(QStringLiteral("ButtonLive"));
    liveButton_->setEnabled(false);
    auto* csv = new QPushButton(tr("Export CSV\u2026"), this);
    csv->setObjectName(QStringLiteral("ButtonExportCsv"));
    auto* picture = new QPushButton(tr("Export Picture\u2026"), this);
    picture->setObjectName(QStringLiteral("ButtonExportPicture"));

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
    auto* apply = new QPushButton(tr("Apply"), this);
    apply->setObjectName(QStringLiteral("ButtonApplyAxis"));

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
    auto* files = new QHBoxLayout;
    files->addWidget(source_, 1);
    files->addWidget(open);
    files->addWidget(liveButton_);
    files->addWidget(csv);
    files->addWidget(picture);
    auto* right = new QVBoxLayout;
    right->addLayout(bar);
    right->addWidget(chart_, 1);
    right->addLayout(files);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(list_);
    layout->addLayout(right, 1);

    connect(span_, &QComboBox::activated, this,
            [this] { chart_->SetSpanMs(span_->currentData().toLongLong()); });
    connect(chart_, &TrendChart::SpanChanged, this, [this](qint64 s) { SyncSpan(s); });
    connect(follow_, &QCheckBox::toggled, chart_, &TrendChart::SetFollow);
    connect(chart_, &TrendChart::FollowChanged, follow_, &QCheckBox::setChecked);
    connect(open, &QPushButton::clicked, this, [this] {
        const QStringList files = askOpen_();
        if (!files.isEmpty())
            OpenLog(files);
    });
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
    connect(axisUnit_, &QComboBox::currentIndexChanged, this, [this] { ShowAxisFields(); });
    connect(autoscale_, &QCheckBox::toggled, this, [this](bool on) {
        low_->setEnabled(!on);
        high_->setEnabled(!on);
        if (on) {
            chart_->SetAxis(axisUnit_->currentData().toString(), TrendChart::Axis{});
        }
    });
    connect(apply, &QPushButton::clicked, this, [this] { ApplyFixedAxis(); });

    SyncSpan(chart_->SpanMs());
    Choose({TrendQuantityOfColumn(QStringLiteral("V1 (V)")),
            TrendQuantityOfColumn(QStringLiteral("I1 (A)"))});
    resize(1100, 520);
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

bool TFormTrends::OpenLog(const QStringList& files) {
    TrendLogResult result = ReadTrendLog(files);
    if (!result.log) {
        dialogs_.Error(Caption(), tr("This file cannot be drawn: %1").arg(result.problem.Text()));
        return false;
    }
    log_ = std::move(result.log);
    chart_->SetHistory(&log_->history);
    // The whole log in view where it fits in a day, else its last day.
    const TrendHistory& h = log_->history;
    chart_->SetFollow(false);
    chart_->SetSpanMs(h.LastTime() - h.FirstTime() + 1);
    chart_->SetEndMs(h.LastTime() + 1);
    source_->setText(tr("Log: %1 (%2 lines)")
                         .arg(files.size() == 1 ? QFileInfo(files.front()).fileName()
                                                : tr("%1 files").arg(files.size()))
                         .arg(log_->rows));
    liveButton_->setEnabled(true);
    QList<int> keep;
    for (int q : Chosen()) {
        if (log_->quantities.contains(q))
            keep << q;
    }
    if (keep.isEmpty())
        keep = log_->quantities.mid(0, 1);
    Choose(keep);
    return true;
}

void TFormTrends::ShowLive() {
    log_.reset();
    chart_->SetHistory(&live_);
    chart_->SetFollow(true);
    source_->setText(tr("Live"));
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
    low_->setText(axis.autoscale ? QString() : QString::number(axis.low));
    high_->setText(axis.autoscale ? QString() : QString::number(axis.high));
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
    const std::optional<double> low = Number(low_->text());
    const std::optional<double> high = Number(high_->text());
    if (!low || !high) {
        dialogs_.Warn(Caption(), tr("Y axis (%1) \"%2\": please enter a number.")
                                     .arg(shown, !low ? tr("from") : tr("to")));
        return false;
    }
    if (!(*high > *low)) {
        dialogs_.Warn(Caption(),
                      tr("Y axis (%1): \"to\" must be greater than \"from\".").arg(shown));
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
