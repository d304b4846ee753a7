#include "TrendChart.h"

#include "TrendQuantities.h"

#include <QDateTime>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

// Time ticks at least this far apart on screen.
constexpr int kTickPixels = 90;
constexpr qint64 kTimeSteps[] = {1'000,      2'000,      5'000,     10'000,    15'000,
                                 30'000,     60'000,     120'000,   300'000,   600'000,
                                 900'000,    1'800'000,  3'600'000, 7'200'000, 10'800'000,
                                 21'600'000, 43'200'000, 86'400'000};

QString ValueText(double v) {
    return QString::number(v, 'g', 6);
}

QString AxisLabel(double v, double step) {
    const int decimals = step >= 1 ? 0 : std::min(6, int(std::ceil(-std::log10(step))));
    return QString::number(v, 'f', decimals);
}

struct Range {
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();
    bool Valid() const { return low <= high; }
};

} // namespace

double TrendChart::ValueScale::Y(const QRect& plot, double v) const {
    return plot.bottom() - (v - low) / (high - low) * plot.height();
}

QColor TrendSeriesColor(int slot) {
    static const QColor colors[TrendChart::MaxSeries] = {
        QColor(200, 50, 40),  QColor(40, 90, 200), QColor(30, 140, 60), QColor(220, 150, 0),
        QColor(140, 60, 170), QColor(0, 150, 160), QColor(120, 80, 40), QColor(90, 90, 90)};
    return colors[std::clamp(slot, 0, TrendChart::MaxSeries - 1)];
}

bool TrendAxisDrawable(double low, double high) {
    const double span = high - low;
    // The samples are single-precision: a span below a millionth of the values would draw
    // one flat line and ticks that cannot be told apart.
    return std::isfinite(low) && std::isfinite(high) && std::isfinite(span) && span > 0 &&
           span >= 1e-6 * std::max(std::abs(low), std::abs(high));
}

QList<double> TrendValueTicks(double low, double high, int most) {
    QList<double> ticks;
    if (!TrendAxisDrawable(low, high) || most < 2)
        return ticks;
    const double rough = (high - low) / (most - 1);
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double step = 10 * power;
    for (const double m : {1.0, 2.0, 5.0}) {
        if (m * power >= rough) {
            step = m * power;
            break;
        }
    }
    // Counted, not stepped: a step too small to move the value on must not loop forever,
    // and no axis gets more ticks than it asked for (one more for rounding).
    const double first = std::ceil(low / step) * step;
    if (!std::isfinite(first) || !(step > 0) || first + step == first)
        return ticks;
    for (int i = 0; i <= most; ++i) {
        const double v = first + i * step;
        if (v > high + step * 1e-9)
            break;
        ticks << (std::abs(v) < step * 1e-9 ? 0.0 : v);
    }
    return ticks;
}

TrendChart::TrendChart(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setMinimumSize(320, 200);
}

void TrendChart::SetHistory(const TrendHistory* history) {
    history_ = history;
    update();
}

void TrendChart::SetSeries(const QList<int>& quantities) {
    series_ = quantities.mid(0, MaxSeries);
    update();
}

QStringList TrendChart::Units() const {
    QStringList units;
    for (int q : series_) {
        const QString& u = TrendQuantities()[q].unit;
        if (!units.contains(u))
            units << u;
    }
    return units;
}

void TrendChart::SetSpanMs(qint64 span) {
    span = std::clamp(span, ShortestSpanMs, LongestSpanMs);
    if (span == spanMs_)
        return;
    // Paused, the span keeps its end; following, the newest value stays at the right.
    spanMs_ = span;
    emit SpanChanged(spanMs_);
    update();
}

void TrendChart::SetFollow(bool follow) {
    if (follow == follow_)
        return;
    if (!follow)
        endMs_ = EndMs();
    follow_ = follow;
    emit FollowChanged(follow_);
    update();
}

void TrendChart::SetEndMs(qint64 end) {
    endMs_ = end;
    update();
}

qint64 TrendChart::EndMs() const {
    if (follow_ && history_ && !history_->Empty())
        return history_->LastTime() + 1;
    return endMs_;
}

void TrendChart::SetAxis(const QString& unit, const Axis& axis) {
    axes_[unit] = axis;
    update();
}

void TrendChart::SetCursorMs(std::optional<qint64> t) {
    cursorMs_ = t;
    update();
}

QString TrendChart::CursorText() const {
    if (!cursorMs_)
        return {};
    QStringList parts{QDateTime::fromMSecsSinceEpoch(*cursorMs_)
                          .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"))};
    const qint64 reach = std::max<qint64>(spanMs_ / std::max(1, PlotRect(rect()).width()), 1000);
    for (int q : series_) {
        const TrendQuantity& tq = TrendQuantities()[q];
        const qsizetype i = history_ ? history_->Nearest(q, *cursorMs_, reach) : -1;
        const QString value =
            i < 0 ? QStringLiteral("\u2013")
                  : ValueText(history_->ValueAt(q, i)) +
                        (tq.unit.isEmpty() ? QString() : QLatin1Char(' ') + tq.unit);
        parts << tq.name + QLatin1Char(' ') + value;
    }
    return parts.join(QStringLiteral("   "));
}

QRect TrendChart::PlotRect(const QRect& area) const {
    const QFontMetrics fm = fontMetrics();
    const int axisWidth = fm.horizontalAdvance(QStringLiteral("-000000.00")) + 8;
    const int right = Units().size() > 1 ? axisWidth : 12;
    const int top = 2 * fm.height() + 10; // legend and cursor line
    const int bottom = fm.height() + 8;
    return area.adjusted(axisWidth, top, -right, -bottom);
}

qint64 TrendChart::TimeAtX(double x) const {
    const QRect plot = PlotRect(rect());
    const double f = (x - plot.left()) / std::max(1, plot.width());
    return StartMs() + qint64(std::llround(f * double(spanMs_)));
}

void TrendChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    Render(p, rect());
}

struct TrendChart::Frame {
    QRect area, plot;
    qint64 t0 = 0, t1 = 0;
    QStringList units;
    std::vector<std::vector<TrendColumn>> decimated; // per series, a column per pixel
    std::vector<ValueScale> scales;                  // per unit
};

void TrendChart::Render(QPainter& p, const QRect& area) {
    p.fillRect(area, palette().base());
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setFont(font());
    Frame f;
    f.area = area;
    f.plot = PlotRect(area);
    if (f.plot.width() < 40 || f.plot.height() < 40)
        return;
    f.t1 = EndMs();
    f.t0 = f.t1 - spanMs_;
    f.units = Units();
    Decimate(f);
    p.setPen(palette().color(QPalette::Text));
    p.drawRect(f.plot.adjusted(0, 0, -1, -1));
    DrawTimeAxis(p, f);
    DrawValueAxes(p, f);
    DrawSeries(p, f);
    DrawLegend(p, f);
}

void TrendChart::Decimate(Frame& f) const {
    // One min/max pair per pixel column and series; the axes are scaled from them.
    std::vector<Range> ranges(size_t(f.units.size()));
    f.decimated.resize(size_t(series_.size()));
    for (int s = 0; s < series_.size(); ++s) {
        auto& cols = f.decimated[size_t(s)];
        cols.resize(size_t(f.plot.width()));
        if (history_)
            history_->Decimate(series_[s], f.t0, f.t1, cols);
        Range& r = ranges[size_t(f.units.indexOf(TrendQuantities()[series_[s]].unit))];
        for (const TrendColumn& c : cols) {
            if (c.Empty())
                continue;
            r.low = std::min(r.low, double(c.min));
            r.high = std::max(r.high, double(c.max));
        }
    }
    f.scales.assign(size_t(f.units.size()), ValueScale{});
    for (int u = 0; u < f.units.size(); ++u) {
        const Axis axis = axes_.value(f.units[u]);
        ValueScale& sc = f.scales[size_t(u)];
        if (!axis.autoscale && TrendAxisDrawable(axis.low, axis.high)) {
            sc = {axis.low, axis.high};
        } else if (ranges[size_t(u)].Valid()) {
            const Range& r = ranges[size_t(u)];
            const double pad = std::max((r.high - r.low) * 0.05, std::abs(r.high) * 1e-4 + 1e-6);
            sc = {r.low - pad, r.high + pad};
        }
    }
}

void TrendChart::DrawTimeAxis(QPainter& p, const Frame& f) const {
    const QFontMetrics fm(font());
    const int width = f.plot.width();
    qint64 step = kTimeSteps[std::size(kTimeSteps) - 1];
    for (const qint64 s : kTimeSteps) {
        if (double(s) / double(spanMs_) * width >= kTickPixels) {
            step = s;
            break;
        }
    }
    const qint64 offset = QDateTime::fromMSecsSinceEpoch(f.t0).offsetFromUtc() * 1000LL;
    const QString format = step < 60'000 ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm");
    for (qint64 t = ((f.t0 + offset) / step + 1) * step - offset; t < f.t1; t += step) {
        const int x = f.plot.left() + int(double(t - f.t0) / double(spanMs_) * width);
        p.setPen(palette().color(QPalette::Midlight));
        p.drawLine(x, f.plot.top() + 1, x, f.plot.bottom() - 1);
        p.setPen(palette().color(QPalette::Text));
        const QString label = QDateTime::fromMSecsSinceEpoch(t).toString(format);
        const int w = fm.horizontalAdvance(label);
        p.drawText(x - w / 2, f.plot.bottom() + 4 + fm.ascent(), label);
    }
}

void TrendChart::DrawValueAxes(QPainter& p, const Frame& f) const {
    // The first unit on the left, a second on the right.
    const QFontMetrics fm(font());
    const QRect& plot = f.plot;
    const QRect& area = f.area;
    for (int u = 0; u < f.units.size() && u < 2; ++u) {
        const ValueScale& sc = f.scales[size_t(u)];
        const QList<double> ticks =
            TrendValueTicks(sc.low, sc.high, std::max(2, plot.height() / 40));
        const double tickStep = ticks.size() > 1 ? ticks[1] - ticks[0] : 1.0;
        const QRect column = u == 0
                                 ? QRect(area.left(), 0, plot.left() - area.left() - 4, 0)
                                 : QRect(plot.right() + 4, 0, area.right() - plot.right() - 4, 0);
        const Qt::Alignment align = (u == 0 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
        for (double v : ticks) {
            const int y = int(std::lround(sc.Y(plot, v)));
            if (u == 0) {
                p.setPen(palette().color(QPalette::Midlight));
                p.drawLine(plot.left() + 1, y, plot.right() - 1, y);
            }
            p.setPen(palette().color(QPalette::Text));
            p.drawText(QRect(column.left(), y - fm.height() / 2, column.width(), fm.height()),
                       align, AxisLabel(v, tickStep));
        }
        const QString unit = f.units[u].isEmpty() ? QStringLiteral("PF") : f.units[u];
        p.drawText(QRect(column.left(), plot.top() - fm.height() - 2, column.width(), fm.height()),
                   align, unit);
    }
}

void TrendChart::DrawSeries(QPainter& p, const Frame& f) const {
    // A vertical stroke from each column's minimum to its maximum, joined to the next
    // column unless a gap lies between them.
    const QRect& plot = f.plot;
    p.save();
    p.setClipRect(plot.adjusted(1, 1, -1, -1));
    QList<QLineF> lines;
    QList<QPointF> points;
    for (int s = 0; s < series_.size(); ++s) {
        const ValueScale& sc =
            f.scales[size_t(f.units.indexOf(TrendQuantities()[series_[s]].unit))];
        lines.clear();
        points.clear();
        bool havePrev = false;
        double prevX = 0, prevY = 0;
        const auto& cols = f.decimated[size_t(s)];
        for (int c = 0; c < plot.width(); ++c) {
            const TrendColumn& col = cols[size_t(c)];
            if (col.Empty())
                continue;
            const double x = plot.left() + c + 0.5;
            if (havePrev && !col.breakBefore)
                lines << QLineF(prevX, prevY, x, sc.Y(plot, col.first));
            if (col.min != col.max)
                lines << QLineF(x, sc.Y(plot, col.min), x, sc.Y(plot, col.max));
            else if (!havePrev || col.breakBefore)
                points << QPointF(x, sc.Y(plot, col.min));
            prevX = x;
            prevY = sc.Y(plot, col.last);
            havePrev = true;
        }
        p.setPen(QPen(TrendSeriesColor(s), 1));
        p.drawLines(lines);
        p.drawPoints(points);
    }
    p.restore();
}

void TrendChart::DrawLegend(QPainter& p, const Frame& f) const {
    // The series with their units across the top, what to do when there is nothing to
    // draw, and the cursor: a line at its time and the values read there.
    const QFontMetrics fm(font());
    const QColor text = palette().color(QPalette::Text);
    int x = f.plot.left();
    const int legendY = f.area.top() + 4;
    for (int s = 0; s < series_.size(); ++s) {
        const TrendQuantity& tq = TrendQuantities()[series_[s]];
        const QString name = tq.unit.isEmpty()
                                 ? tq.name
                                 : tq.name + QStringLiteral(" (") + tq.unit + QLatin1Char(')');
        p.fillRect(QRect(x, legendY + (fm.height() - 10) / 2, 10, 10), TrendSeriesColor(s));
        x += 14;
        p.setPen(text);
        p.drawText(x, legendY + fm.ascent(), name);
        x += fm.horizontalAdvance(name) + 14;
    }
    if (series_.isEmpty() || !history_ || history_->Empty()) {
        p.setPen(palette().color(QPalette::Disabled, QPalette::Text));
        p.drawText(f.plot, Qt::AlignCenter,
                   series_.isEmpty() ? tr("Choose up to eight quantities on the left.")
                                     : tr("No values yet: every reply of the metering block is "
                                          "recorded from start-up."));
    }
    if (cursorMs_ && *cursorMs_ >= f.t0 && *cursorMs_ < f.t1) {
        const int cx =
            f.plot.left() + int(double(*cursorMs_ - f.t0) / double(spanMs_) * f.plot.width());
        p.setPen(QPen(text, 1, Qt::DashLine));
        p.drawLine(cx, f.plot.top(), cx, f.plot.bottom());
        p.setPen(text);
        p.drawText(QRect(f.plot.left(), legendY + fm.height() + 2, f.plot.width(), fm.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, CursorText());
    }
}

void TrendChart::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0)
        return;
    // The time under the pointer stays where it is.
    const double x = event->position().x();
    const qint64 pinned = TimeAtX(x);
    const qint64 span = std::clamp(qint64(double(spanMs_) * std::pow(0.8, delta / 120.0)),
                                   ShortestSpanMs, LongestSpanMs);
    if (span == spanMs_)
        return;
    const QRect plot = PlotRect(rect());
    const double f = (x - plot.left()) / std::max(1, plot.width());
    if (!follow_ || f < 0.98) {
        const qint64 end = pinned + qint64(std::llround((1.0 - f) * double(span)));
        SetFollow(false);
        endMs_ = end;
    }
    spanMs_ = span;
    emit SpanChanged(spanMs_);
    update();
    event->accept();
}

void TrendChart::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    dragFrom_ = event->position().toPoint();
    dragEndMs_ = EndMs();
}

void TrendChart::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (dragFrom_) {
        const QRect plot = PlotRect(rect());
        const double shift = double(pos.x() - dragFrom_->x()) / std::max(1, plot.width());
        SetFollow(false);
        endMs_ = dragEndMs_ - qint64(std::llround(shift * double(spanMs_)));
    }
    const QRect plot = PlotRect(rect());
    SetCursorMs(plot.contains(pos) ? std::optional<qint64>(TimeAtX(pos.x())) : std::nullopt);
}

void TrendChart::mouseReleaseEvent(QMouseEvent*) {
    dragFrom_.reset();
}

void TrendChart::leaveEvent(QEvent*) {
    SetCursorMs(std::nullopt);
}
