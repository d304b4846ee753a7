#pragma once

#include "TrendHistory.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QWidget>
#include <optional>
#include <vector>

class QPainter;

// The trend chart: up to eight series of a trend history over a span of time, drawn from
// one min/max pair per pixel column, so a day of values draws as fast as a minute and no
// peak falls between pixels. The first unit shown has the left axis, a second unit the
// right one. The wheel zooms the time axis around the pointer, dragging pans it (and stops
// following the newest values); the pointer is a cursor that reads the time and every
// shown value.
class TrendChart : public QWidget {
    Q_OBJECT

public:
    static constexpr int MaxSeries = 8;
    static constexpr qint64 ShortestSpanMs = 60'000;
    static constexpr qint64 LongestSpanMs = 24 * 3'600'000LL;

    struct Axis {
        bool autoscale = true;
        double low = 0;
        double high = 1;
    };

    explicit TrendChart(QWidget* parent = nullptr);

    // Not owned; null draws an empty chart. The history may grow between paints.
    void SetHistory(const TrendHistory* history);
    const TrendHistory* History() const { return history_; }
    // Trend quantity indexes (TrendQuantities()), at most eight, of at most two units.
    void SetSeries(const QList<int>& quantities);
    const QList<int>& Series() const { return series_; }
    // The units in axis order: left, then right.
    QStringList Units() const;

    void SetSpanMs(qint64 span);
    qint64 SpanMs() const { return spanMs_; }
    // Following: the span ends at the newest value. Paused: it ends at EndMs().
    void SetFollow(bool follow);
    bool Follow() const { return follow_; }
    void SetEndMs(qint64 end);
    qint64 EndMs() const; // the end shown now
    qint64 StartMs() const { return EndMs() - spanMs_; }

    void SetAxis(const QString& unit, const Axis& axis);
    Axis AxisOf(const QString& unit) const { return axes_.value(unit); }

    // The cursor's time (none while the pointer is outside the plot).
    void SetCursorMs(std::optional<qint64> t);
    std::optional<qint64> CursorMs() const { return cursorMs_; }
    // "13:45:07.250  V1 229.8 V  I1 5.012 A": the cursor's time and each series' value
    // nearest to it (within the span's width of a pixel column, else "–").
    QString CursorText() const;

    // Draws the chart as on screen into any painter (the window, a picture file).
    void Render(QPainter& p, const QRect& area);
    // The plot inside `area`: one pixel column per decimated column.
    QRect PlotRect(const QRect& area) const;

    QSize sizeHint() const override { return {900, 420}; }

signals:
    // Dragging paused the chart, or the wheel changed the span.
    void FollowChanged(bool follow);
    void SpanChanged(qint64 spanMs);

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // One value axis: where a value is drawn.
    struct ValueScale {
        double low = 0, high = 1;
        double Y(const QRect& plot, double v) const;
    };
    struct Frame; // what one drawing of the chart computes once

    qint64 TimeAtX(double x) const;
    void Decimate(Frame& f) const;
    void DrawTimeAxis(QPainter& p, const Frame& f) const;
    void DrawValueAxes(QPainter& p, const Frame& f) const;
    void DrawSeries(QPainter& p, const Frame& f) const;
    void DrawLegend(QPainter& p, const Frame& f) const;

    const TrendHistory* history_ = nullptr;
    QList<int> series_;
    qint64 spanMs_ = 15 * 60'000;
    bool follow_ = true;
    qint64 endMs_ = 0;
    QHash<QString, Axis> axes_;
    std::optional<qint64> cursorMs_;
    std::optional<QPoint> dragFrom_;
    qint64 dragEndMs_ = 0;
    std::vector<TrendColumn> columns_;
};

// The colour of each of the eight series.
QColor TrendSeriesColor(int slot);
// Whether a value axis from `low` to `high` can be drawn: finite, in order, and a span the
// single-precision samples can fill (at least a millionth of the values).
bool TrendAxisDrawable(double low, double high);
// Ticks of a value axis from `low` to `high`: 1, 2 or 5 times a power of ten apart, at
// most `most` + 1 of them; none where the axis cannot be drawn.
QList<double> TrendValueTicks(double low, double high, int most);
