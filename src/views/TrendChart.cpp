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

QColor TrendSeriesColor(int slot) {
    static const QColor colors[TrendChart::MaxSeries] = {
        QColor(200, 50, 40),  QColor(40, 90, 200), QColor(30, 140, 60), QColor(220, 150, 0),
        QColor(140, 60, 170), QColor(0, 150, 160), QColor(120, 80, 40), QColor(90, 90, 90)};
    return colors[std::clamp(slot, 0, TrendChart::MaxSeries - 1)];
}

QList<double> TrendValueTicks(double low, double high, int most) {
    QList<double> ticks;
    if (!(high > low) || most < 2)
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
    for (double v = std::ceil(low / step) * step; v <= high + step * 1e-9; v += step)
        ticks << (std::abs(v) < step * 1e-9 ? 0.0 : v);
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

void TrendChart::Render(QPainter& p, const QRect& area) {
    p.fillRect(area, palette().base());
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setFont(font());
    const QFontMetrics fm(font());
    const QColor text = palette().color(QPalette::Text);
    const QColor grid = palette().color(QPalette::Midlight);
    const QRect plot = PlotRect(area);
    if (plot.width() < 40 || plot.height() < 40)
        return;
    const qint64 t1 = EndMs(), t0 = t1 - spanMs_;

    // One min/max pair per pixel column and series; the axes are scaled from them.
    const int width = plot.width();
    const QStringList units = Units();
    std::vector<std::vector<TrendColumn>> decimated(size_t(series_.size()));
    std::vector<Range> ranges(size_t(units.size()));
    for (int s = 0; s < series_.size(); ++s) {
        auto& cols = decimated[size_t(s)];
        cols.resize(size_t(width));
        if (history_)
            history_->Decimate(series_[s], t0, t1, cols);
        Range& r = ranges[size_t(units.indexOf(TrendQuantities()[series_[s]].unit))];
        for (const TrendColumn& c : cols) {
            if (c.Empty())
                continue;
            r.low = std::min(r.low, double(c.min));
            r.high = std::max(r.high, double(c.max));
        }
    }
    struct Scale {
        double low = 0, high = 1;
        double Y(const QRect& plot, double v) const {
            return plot.bottom() - (v - low) / (high - low) * plot.height();
        }
    };
    std::vector<Scale> scales(size_t(units.size()));
    for (int u = 0; u < units.size(); ++u) {
        const Axis axis = axes_.value(units[u]);
        Scale& sc = scales[size_t(u)];
        if (!axis.autoscale && axis.high > axis.low) {
            sc = {axis.low, axis.high};
        } else if (ranges[size_t(u)].Valid()) {
            const Range& r = ranges[size_t(u)];
            const double pad = std::max((r.high - r.low) * 0.05, std::abs(r.high) * 1e-4 + 1e-6);
            sc = {r.low - pad, r.high + pad};
        }
    }

    // Grid and time axis.
    p.setPen(text);
    p.drawRect(plot.adjusted(0, 0, -1, -1));
    qint64 step = kTimeSteps[std::size(kTimeSteps) - 1];
    for (const qint64 s : kTimeSteps) {
        if (double(s) / double(spanMs_) * width >= kTickPixels) {
            step = s;
            break;
        }
    }
    const qint64 offset = QDateTime::fromMSecsSinceEpoch(t0).offsetFromUtc() * 1000LL;
    const QString format = step < 60'000 ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm");
    for (qint64 t = ((t0 + offset) / step + 1) * step - offset; t < t1; t += step) {
        const int x = plot.left() + int(double(t - t0) / double(spanMs_) * width);
        p.setPen(grid);
        p.drawLine(x, plot.top() + 1, x, plot.bottom() - 1);
        p.setPen(text);
        const QString label = QDateTime::fromMSecsSinceEpoch(t).toString(format);
        const int w = fm.horizontalAdvance(label);
        p.drawText(x - w / 2, plot.bottom() + 4 + fm.ascent(), label);
    }
    // Value axes: the first unit on the left, a second on the right.
    for (int u = 0; u < units.size() && u < 2; ++u) {
        const Scale& sc = scales[size_t(u)];
        const QList<double> ticks =
            TrendValueTicks(sc.low, sc.high, std::max(2, plot.height() / 40));
        const double tickStep = ticks.size() > 1 ? ticks[1] - ticks[0] : 1.0;
        for (double v : ticks) {
            const int y = int(std::lround(sc.Y(plot, v)));
            if (u == 0) {
                p.setPen(grid);
                p.drawLine(plot.left() + 1, y, plot.right() - 1, y);
            }
            p.setPen(text);
            const QString label = AxisLabel(v, tickStep);
            const QRect box = u == 0 ? QRect(area.left(), y - fm.height() / 2,
                                             plot.left() - area.left() - 4, fm.height())
                                     : QRect(plot.right() + 4, y - fm.height() / 2,
                                             area.right() - plot.right() - 4, fm.height());
            p.drawText(box, (u == 0 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, label);
        }
        const QString unit = units[u].isEmpty() ? QStringLiteral("PF") : units[u];
        p.drawText(u == 0 ? QRect(area.left(), plot.top() - fm.height() - 2,
                                  plot.left() - area.left() - 4, fm.height())
                          : QRect(plot.right() + 4, plot.top() - fm.height() - 2,
                                  area.right() - plot.right() - 4, fm.height()),
                   (u == 0 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, unit);
    }

    // The series: a vertical stroke from each column's minimum to its maximum, joined to
    // the next column unless a gap lies between them.
    p.save();
    p.setClipRect(plot.adjusted(1, 1, -1, -1));
    QList<QLineF> lines;
    QList<QPointF> points;
    for (int s = 0; s < series_.size(); ++s) {
        const Scale& sc = scales[size_t(units.indexOf(TrendQuantities()[series_[s]].unit))];
        lines.clear();
        points.clear();
        bool havePrev = false;
        double prevX = 0, prevY = 0;
        const auto& cols = decimated[size_t(s)];
        for (int c = 0; c < width; ++c) {
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

    // Legend, with units, across the top.
    int x = plot.left();
    const int legendY = area.top() + 4;
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
        p.drawText(plot, Qt::AlignCenter,
                   series_.isEmpty() ? tr("Choose up to eight quantities on the left.")
                                     : tr("No values yet: every reply of the metering block is "
                                          "recorded from start-up."));
    }

    // The cursor: a line at its time and the values read there.
    if (cursorMs_ && *cursorMs_ >= t0 && *cursorMs_ < t1) {
        const int cx = plot.left() + int(double(*cursorMs_ - t0) / double(spanMs_) * width);
        p.setPen(QPen(text, 1, Qt::DashLine));
        p.drawLine(cx, plot.top(), cx, plot.bottom());
        p.setPen(text);
        p.drawText(QRect(plot.left(), legendY + fm.height() + 2, plot.width(), fm.height()),
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
