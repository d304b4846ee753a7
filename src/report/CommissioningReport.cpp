#include "CommissioningReport.h"

#include "AlarmCodec.h"
#include "AlarmRecords.h"
#include "DiagramPainting.h"
#include "HarmonicsDecode.h"
#include "MaxMinDecode.h"
#include "MeterModelDecode.h"
#include "MeterParamDecode.h"
#include "MeteringDecode.h"
#include "NumberText.h"
#include "PhaseAngleDecode.h"
#include "SettingsMessages.h"
#include "WiringCheck.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>
#include <algorithm>
#include <functional>
#include <vector>

#ifndef QETRA_VERSION
#define QETRA_VERSION "0"
#endif

namespace {

// The report is laid out in screen pixels (96 per inch) whatever the device's resolution,
// so the diagrams come out at the size the windows draw them.
constexpr double kLayoutDpi = 96.0;
constexpr double kMargin = 56.0;
constexpr double kFooterHeight = 28.0;
constexpr double kRowGap = 2.0;
constexpr double kSectionGap = 14.0;

QFont ReportFont(double pixels, bool bold = false) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(int(pixels));
    f.setBold(bold);
    return f;
}

QString NotRead() {
    return QCoreApplication::translate("CommissioningReport", NotReadText);
}

QString NeedsSettings() {
    return QCoreApplication::translate("CommissioningReport", NeedsSettingsText);
}

// What the report scales values with: the PT and CT ratios of the snapshot's block 0x100,
// or nothing when it did not answer.
struct Ratios {
    ScaleRatios ratios;
    bool known = false;
};

// "2026-12-07 22:32:05": ISO 8601 with every part zero-padded. Meters that keep a
// two-digit year in their time stamps count from 2000.
QString StampText(const QList<int>& parts) {
    auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    const int year = parts.value(0);
    return QStringLiteral("%1-%2-%3 %4:%5:%6")
        .arg(QStringLiteral("%1").arg(year < 100 ? 2000 + year : year, 4, 10, QLatin1Char('0')),
             two(parts.value(1)), two(parts.value(2)), two(parts.value(3)), two(parts.value(4)),
             two(parts.value(5)));
}

using Item = std::function<void(QPainter&)>;

// A text as the lines it takes at `width`: broken at its own line ends, then between words,
// and inside a word only where one word is wider than the line. Tabs are spaces and other
// control characters are written out as "\x01", so nothing is drawn as a box.
QStringList WrappedLines(const QString& text, const QFont& font, double width) {
    QStringList lines;
    for (QString paragraph : text.split(QLatin1Char('\n'))) {
        paragraph.replace(QLatin1Char('\t'), QLatin1String("    "));
        QString shown;
        for (const QChar c : paragraph)
            shown += c.category() == QChar::Other_Control
                         ? QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'))
                         : QString(c);
        QTextLayout layout(shown, font);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(std::max(1.0, width));
            QString piece = shown.mid(line.textStart(), line.textLength());
            while (piece.endsWith(QLatin1Char(' ')))
                piece.chop(1);
            lines << piece;
        }
        layout.endLayout();
        if (shown.isEmpty())
            lines << QString();
    }
    return lines;
}

// Lays the report out top to bottom and breaks pages where the next item does not fit;
// pages are painted at the end, when their count is known for the footer.
class Layout {
public:
    Layout(QSizeF page) : page_(page), y_(kMargin) { pages_.emplace_back(); }

    double Width() const { return page_.width() - 2 * kMargin; }
    double Bottom() const { return page_.height() - kMargin - kFooterHeight; }
    double Left() const { return kMargin; }

    // Starts a new page when `height` pixels do not fit on this one; true when it did.
    bool BreakFor(double height) {
        if (y_ + height <= Bottom() || y_ <= kMargin)
            return false;
        pages_.emplace_back();
        y_ = kMargin;
        return true;
    }
    // Room for `height` pixels on this page, or on a new one.
    double Take(double height) {
        BreakFor(height);
        const double top = y_;
        y_ += height;
        return top;
    }
    void Add(Item item) { pages_.back().push_back(std::move(item)); }
    void Gap(double h) { y_ += h; }
    void Title(const QString& text) {
        const QFont f = ReportFont(22, true);
        const double h = QFontMetricsF(f).height() + 8;
        const double top = Take(h);
        Add([=, this](QPainter& p) {
            p.setFont(f);
            p.drawText(QRectF(Left(), top, Width(), h), Qt::AlignLeft | Qt::AlignTop, text);
        });
    }

    void Heading(const QString& text) {
        Gap(kSectionGap);
        const QFont f = ReportFont(15, true);
        const double h = QFontMetricsF(f).height() + 6;
        // A heading never stands alone at the foot of a page.
        const double top = Take(h + 3 * RowHeight());
        y_ = top + h;
        Add([=, this](QPainter& p) {
            p.setFont(f);
            p.drawText(QRectF(Left(), top, Width(), h), Qt::AlignLeft | Qt::AlignTop, text);
            p.setPen(QPen(QColor(120, 120, 120), 0.8));
            p.drawLine(QPointF(Left(), top + h - 2), QPointF(Left() + Width(), top + h - 2));
            p.setPen(Qt::black);
        });
    }

    // Text across the page's width, line by line, so that a long one goes on over the
    // next page instead of running over the footer.
    void Paragraph(const QString& text, bool bold = false) {
        const QFont f = ReportFont(12, bold);
        const double h = QFontMetricsF(f).lineSpacing();
        for (const QString& line : WrappedLines(text, f, Width())) {
            const double top = Take(h);
            Add([=, this](QPainter& p) {
                p.setFont(f);
                p.drawText(QRectF(Left(), top, Width(), h), Qt::AlignLeft | Qt::AlignVCenter, line);
            });
        }
        Gap(kRowGap);
    }

    // Name/value pairs in `columns` columns, row by row; a name or value too long for its
    // cell wraps within it and the row grows.
    // A value that fits on half a line is never broken: the pairs take fewer columns
    // instead ("12345.6789 MWh" stays on one line).
    void Pairs(const QList<std::pair<QString, QString>>& pairs, int columns = 2) {
        const QFont font = ReportFont(12);
        // Names as wide as the widest of them, so no value runs into its name.
        const QFontMetricsF fm(font);
        double widest = 0, widestValue = 0;
        for (const auto& pair : pairs) {
            widest = std::max(widest, fm.horizontalAdvance(pair.first));
            const double value = fm.horizontalAdvance(pair.second);
            if (value <= Width() / 2)
                widestValue = std::max(widestValue, value);
        }
        while (columns > 1 && std::min(widest + 10, Width() / columns * 0.62) + widestValue + 8 >
                                  Width() / columns)
            --columns;
        const double cell = Width() / columns;
        const double nameWidth = std::min(widest + 10, cell * 0.62);
        const double line = fm.lineSpacing();
        for (qsizetype i = 0; i < pairs.size(); i += columns) {
            QList<QStringList> names, values;
            qsizetype lines = 1;
            for (int c = 0; c < columns && i + c < pairs.size(); ++c) {
                names << WrappedLines(pairs[i + c].first, font, nameWidth - 4);
                values << WrappedLines(pairs[i + c].second, font, cell - nameWidth - 6);
                lines = std::max({lines, names.last().size(), values.last().size()});
            }
            const double height = RowHeight() + double(lines - 1) * line;
            const double top = Take(height);
            for (qsizetype c = 0; c < names.size(); ++c) {
                const double x = Left() + double(c) * cell;
                const bool unread = pairs[i + c].second.startsWith(NotRead());
                Add([=](QPainter& p) {
                    p.setFont(font);
                    p.setPen(QColor(70, 70, 70));
                    DrawLines(p, x, top, nameWidth - 4, line, names[c]);
                    p.setPen(unread ? QColor(170, 0, 0) : QColor(Qt::black));
                    DrawLines(p, x + nameWidth, top, cell - nameWidth - 6, line, values[c]);
                    p.setPen(Qt::black);
                });
            }
        }
    }

    // A grid with a heading row; columns as wide as their share of `weights` (equal
    // without).
    void Table(const QStringList& headings, const QList<QStringList>& rows,
               QList<double> weights = {}) {
        const int columns = int(headings.size());
        if (columns == 0)
            return;
        while (weights.size() < columns)
            weights.append(1.0);
        double sum = 0;
        for (int c = 0; c < columns; ++c)
            sum += weights[c];
        QList<double> widths;
        for (int c = 0; c < columns; ++c)
            widths.append(Width() * weights[c] / sum);
        // A cell too long for its column wraps within it and its row grows.
        auto row = [&](const QStringList& cells, bool head) {
            const QFont font = ReportFont(11, head);
            const double line = QFontMetricsF(font).lineSpacing();
            QList<QStringList> lines;
            qsizetype most = 1;
            for (int c = 0; c < columns; ++c) {
                lines << WrappedLines(c < cells.size() ? cells[c] : QString(), font, widths[c] - 6);
                most = std::max(most, lines.last().size());
            }
            const double height = RowHeight() + double(most - 1) * line;
            const double top = Take(height);
            Add([=, this](QPainter& p) {
                p.setFont(font);
                if (head)
                    p.fillRect(QRectF(Left(), top, Width(), height), QColor(232, 232, 232));
                double x = Left();
                const double first = top + (RowHeight() - line) / 2;
                for (int c = 0; c < columns; ++c) {
                    for (qsizetype k = 0; k < lines[c].size(); ++k)
                        p.drawText(QRectF(x + 3, first + double(k) * line, widths[c] - 6, line),
                                   (c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter,
                                   lines[c][k]);
                    x += widths[c];
                }
                p.setPen(QPen(QColor(200, 200, 200), 0.5));
                p.drawLine(QPointF(Left(), top + height), QPointF(Left() + Width(), top + height));
                p.setPen(Qt::black);
            });
        };
        // A table that runs onto the next page repeats its headings there.
        row(headings, true);
        for (const QStringList& cells : rows) {
            if (BreakFor(RowHeight()))
                row(headings, true);
            row(cells, false);
        }
    }

    // A drawing of `height` pixels across the page's width.
    void Drawing(double height, std::function<void(QPainter&, const QRectF&)> draw) {
        const double top = Take(height);
        Add([=, this](QPainter& p) {
            p.setFont(ReportFont(12));
            draw(p, QRectF(Left(), top, Width(), height));
        });
    }

    static double RowHeight() { return 17.0; }

    // Lines of a wrapped cell from `top`: the first centred in a row's height as a single
    // line is, the others below it.
    static void DrawLines(QPainter& p, double x, double top, double width, double line,
                          const QStringList& lines) {
        const double first = top + (RowHeight() - line) / 2;
        for (qsizetype k = 0; k < lines.size(); ++k)
            p.drawText(QRectF(x, first + double(k) * line, width, line),
                       Qt::AlignLeft | Qt::AlignVCenter, lines[k]);
    }

    const std::vector<std::vector<Item>>& Pages() const { return pages_; }

private:
    QSizeF page_;
    double y_;
    std::vector<std::vector<Item>> pages_;
};

QString ValueOr(const std::optional<QString>& text) {
    return text ? *text : NotRead();
}

// The captions the metering window puts beside its values, by label.
// clang-format off
const std::pair<const char*, const char*> kMeteringCaptions[] = {
    {"LabelF", QT_TRANSLATE_NOOP("CommissioningReport", "Frequency")},
    {"LabelUa", QT_TRANSLATE_NOOP("CommissioningReport", "V1")},
    {"LabelUb", QT_TRANSLATE_NOOP("CommissioningReport", "V2")},
    {"LabelUc", QT_TRANSLATE_NOOP("CommissioningReport", "V3")},
    {"LabelUnavg", QT_TRANSLATE_NOOP("CommissioningReport", "V avg (L-N)")},
    {"LabelUab", QT_TRANSLATE_NOOP("CommissioningReport", "V12")},
    {"LabelUbc", QT_TRANSLATE_NOOP("CommissioningReport", "V23")},
    {"LabelUca", QT_TRANSLATE_NOOP("CommissioningReport", "V31")},
    {"LabelUlavg", QT_TRANSLATE_NOOP("CommissioningReport", "V avg (L-L)")},
    {"LabelIa", QT_TRANSLATE_NOOP("CommissioningReport", "I1")},
    {"LabelIb", QT_TRANSLATE_NOOP("CommissioningReport", "I2")},
    {"LabelIc", QT_TRANSLATE_NOOP("CommissioningReport", "I3")},
    {"LabelIavg", QT_TRANSLATE_NOOP("CommissioningReport", "I avg")},
    {"LabelIn", QT_TRANSLATE_NOOP("CommissioningReport", "In")},
    {"LabelPa", QT_TRANSLATE_NOOP("CommissioningReport", "P1")},
    {"LabelPb", QT_TRANSLATE_NOOP("CommissioningReport", "P2")},
    {"LabelPc", QT_TRANSLATE_NOOP("CommissioningReport", "P3")},
    {"LabelPavg", QT_TRANSLATE_NOOP("CommissioningReport", "P sum")},
    {"LabelQa", QT_TRANSLATE_NOOP("CommissioningReport", "Q1")},
    {"LabelQb", QT_TRANSLATE_NOOP("CommissioningReport", "Q2")},
    {"LabelQc", QT_TRANSLATE_NOOP("CommissioningReport", "Q3")},
    {"LabelQavg", QT_TRANSLATE_NOOP("CommissioningReport", "Q sum")},
    {"LabelSa", QT_TRANSLATE_NOOP("CommissioningReport", "S1")},
    {"LabelSb", QT_TRANSLATE_NOOP("CommissioningReport", "S2")},
    {"LabelSc", QT_TRANSLATE_NOOP("CommissioningReport", "S3")},
    {"LabelSavg", QT_TRANSLATE_NOOP("CommissioningReport", "S sum")},
    {"LabelPfa", QT_TRANSLATE_NOOP("CommissioningReport", "PF1")},
    {"LabelPfb", QT_TRANSLATE_NOOP("CommissioningReport", "PF2")},
    {"LabelPfc", QT_TRANSLATE_NOOP("CommissioningReport", "PF3")},
    {"LabelPfavg", QT_TRANSLATE_NOOP("CommissioningReport", "PF")},
    {"LabelUunbl", QT_TRANSLATE_NOOP("CommissioningReport", "Voltage unbalance")},
    {"LabelIunbl", QT_TRANSLATE_NOOP("CommissioningReport", "Current unbalance")},
    {"LabelRt", QT_TRANSLATE_NOOP("CommissioningReport", "Load type")},
    {"LabelP_dema", QT_TRANSLATE_NOOP("CommissioningReport", "Demand P")},
    {"LabelQ_dema", QT_TRANSLATE_NOOP("CommissioningReport", "Demand Q")},
    {"LabelS_dema", QT_TRANSLATE_NOOP("CommissioningReport", "Demand S")},
    {"LabelEp_imp", QT_TRANSLATE_NOOP("CommissioningReport", "Ep_imp")},
    {"LabelEp_exp", QT_TRANSLATE_NOOP("CommissioningReport", "Ep_exp")},
    {"LabelEq_imp", QT_TRANSLATE_NOOP("CommissioningReport", "Eq_imp")},
    {"LabelEq_exp", QT_TRANSLATE_NOOP("CommissioningReport", "Eq_exp")},
    {"LabelEp_total", QT_TRANSLATE_NOOP("CommissioningReport", "Ep_total")},
    {"LabelEp_net", QT_TRANSLATE_NOOP("CommissioningReport", "Ep_net")},
    {"LabelEq_total", QT_TRANSLATE_NOOP("CommissioningReport", "Eq_total")},
    {"LabelEq_net", QT_TRANSLATE_NOOP("CommissioningReport", "Eq_net")},
};
const char* const kAngleCaptions[] = {
    QT_TRANSLATE_NOOP("CommissioningReport", "V2 behind V1"),
    QT_TRANSLATE_NOOP("CommissioningReport", "V3 behind V1"),
    QT_TRANSLATE_NOOP("CommissioningReport", "I1 behind V1"),
    QT_TRANSLATE_NOOP("CommissioningReport", "I2 behind V1"),
    QT_TRANSLATE_NOOP("CommissioningReport", "I3 behind V1"),
    QT_TRANSLATE_NOOP("CommissioningReport", "V23 behind V12"),
    QT_TRANSLATE_NOOP("CommissioningReport", "I1 behind V12"),
    QT_TRANSLATE_NOOP("CommissioningReport", "I3 behind V12"),
};
const char* const kThdCaptions[] = {
    QT_TRANSLATE_NOOP("CommissioningReport", "THD V1"),
    QT_TRANSLATE_NOOP("CommissioningReport", "THD V2"),
    QT_TRANSLATE_NOOP("CommissioningReport", "THD V3"),
    QT_TRANSLATE_NOOP("CommissioningReport", "THD V avg"),
    QT_TRANSLATE_NOOP("CommissioningReport", "THD I1"),
    QT_TRANSLATE_NOOP("CommissioningReport", "THD I2"),
    QT_TRANSLATE_NOOP("CommissioningReport", "THD I3"),
    QT_TRANSLATE_NOOP("CommissioningReport", "THD I avg"),
};
// clang-format on

QString Caption(const QString& label) {
    for (const auto& [name, caption] : kMeteringCaptions)
        if (label == QLatin1String(name))
            return QCoreApplication::translate("CommissioningReport", caption);
    return label;
}

QList<std::pair<QString, QString>> NamedTexts(const LabelTexts& texts,
                                              std::span<const char* const> captions,
                                              const QString& unit = {}) {
    QList<std::pair<QString, QString>> pairs;
    for (qsizetype i = 0; i < texts.size(); ++i)
        pairs.append({i < qsizetype(captions.size())
                          ? QCoreApplication::translate("CommissioningReport", captions[i])
                          : texts[i].label,
                      texts[i].text + unit});
    return pairs;
}

// Cells of a decoded grid as table rows under their row headings.
QList<QStringList> GridRows(const GridTexts& cells, const QStringList& rowHeadings, int columns) {
    QList<QStringList> rows;
    for (const QString& heading : rowHeadings) {
        QStringList row(columns);
        row[0] = heading;
        rows.append(row);
    }
    for (const GridText& cell : cells)
        if (cell.row >= 1 && cell.row <= rows.size() && cell.column >= 1 && cell.column < columns)
            rows[cell.row - 1][cell.column] = cell.text;
    return rows;
}

QString SignedSeconds(qint64 seconds) {
    if (seconds == 0)
        return QCoreApplication::translate("CommissioningReport", "0 s (in step)");
    return QCoreApplication::translate("CommissioningReport", "%1%2 s (meter %3)")
        .arg(seconds > 0 ? "+" : "")
        .arg(seconds)
        .arg(seconds > 0 ? QCoreApplication::translate("CommissioningReport", "ahead")
                         : QCoreApplication::translate("CommissioningReport", "behind"));
}

// The wiring verdict of a snapshot, judged as the meter is told it is wired (as the phase
// angle window judges it); nothing when the angles or the metering values are missing.
std::optional<QList<WiringHint>> JudgeWiring(const ReportSnapshot& s) {
    const auto& angles = s.Block(ReportBlock::Angles);
    const auto& metering = s.Block(ReportBlock::Metering);
    const auto lags = angles ? PhaseLagsFromBlock(*angles) : std::nullopt;
    const auto magnitudes = metering ? PhaseMagnitudesFromMeteringBlock(*metering) : std::nullopt;
    if (!lags || !magnitudes)
        return std::nullopt;
    const auto& params = s.Block(ReportBlock::Parameters);
    const WiringMode mode = params ? WiringMode{(*params)[3], (*params)[4]} : WiringMode{};
    return CheckWiring(MakePhasorSet(*magnitudes, *lags), mode);
}

// What the technician calls each block when it is missing from the record.
// clang-format off
const char* const kBlockNames[ReportBlockCount] = {
    QT_TRANSLATE_NOOP("CommissioningReport", "settings"),
    QT_TRANSLATE_NOOP("CommissioningReport", "model"),
    QT_TRANSLATE_NOOP("CommissioningReport", "clock"),
    QT_TRANSLATE_NOOP("CommissioningReport", "run time"),
    QT_TRANSLATE_NOOP("CommissioningReport", "metering values"),
    QT_TRANSLATE_NOOP("CommissioningReport", "temperature"),
    QT_TRANSLATE_NOOP("CommissioningReport", "relay outputs"),
    QT_TRANSLATE_NOOP("CommissioningReport", "digital inputs"),
    QT_TRANSLATE_NOOP("CommissioningReport", "phase angles"),
    QT_TRANSLATE_NOOP("CommissioningReport", "THD"),
    QT_TRANSLATE_NOOP("CommissioningReport", "current spectrum"),
    QT_TRANSLATE_NOOP("CommissioningReport", "maxima"),
    QT_TRANSLATE_NOOP("CommissioningReport", "minima"),
    QT_TRANSLATE_NOOP("CommissioningReport", "alarm settings"),
    QT_TRANSLATE_NOOP("CommissioningReport", "alarm records"),
};
// clang-format on

// The report's first line, what the customer reads first: the wiring verdict, the alarms
// active now and the blocks that did not answer.
QString VerdictText(const ReportSnapshot& s) {
    QStringList parts;
    const auto hints = JudgeWiring(s);
    if (!hints)
        parts << QCoreApplication::translate("CommissioningReport", "wiring not checked");
    else if (hints->isEmpty())
        parts << QCoreApplication::translate("CommissioningReport", "wiring looks right");
    for (const WiringHint& h : hints ? *hints : QList<WiringHint>{})
        parts << h.text;
    const auto& records = s.Block(ReportBlock::AlarmRecords);
    if (s.alarmModel && records && !records->isEmpty()) {
        QStringList groups;
        for (int g = 0; g < AlarmGroupCount; ++g)
            if (((*records)[0] >> g) & 1)
                groups << QString::number(g + 1);
        parts << (groups.isEmpty()
                      ? QCoreApplication::translate("CommissioningReport", "no alarm active")
                      : QCoreApplication::translate("CommissioningReport",
                                                    "alarm active in group %1")
                            .arg(groups.join(QStringLiteral(", "))));
    }
    QStringList missing;
    for (int b = 0; b < ReportBlockCount; ++b) {
        const bool alarmBlock =
            b == int(ReportBlock::AlarmSettings) || b == int(ReportBlock::AlarmRecords);
        if (!s.blocks[size_t(b)] && (s.alarmModel || !alarmBlock))
            missing << QCoreApplication::translate("CommissioningReport", kBlockNames[b]);
    }
    parts << (missing.isEmpty()
                  ? QCoreApplication::translate("CommissioningReport", "every block read")
                  : QCoreApplication::translate("CommissioningReport", "not read: %1")
                        .arg(missing.join(QStringLiteral(", "))));
    return QCoreApplication::translate("CommissioningReport", "Verdict: %1")
        .arg(parts.join(QStringLiteral("; ")));
}

// Where the technician and the customer sign the record by hand: name, date and signature
// each on a line to write on, the technician's name filled in when the form had it.
void SignOffSection(Layout& l, const ReportSnapshot& s) {
    l.Heading(QCoreApplication::translate("CommissioningReport", "9  Hand-over"));
    const QStringList sides = {QCoreApplication::translate("CommissioningReport", "Technician"),
                               QCoreApplication::translate("CommissioningReport", "Customer")};
    const QStringList fields = {QCoreApplication::translate("CommissioningReport", "Name"),
                                QCoreApplication::translate("CommissioningReport", "Date"),
                                QCoreApplication::translate("CommissioningReport", "Signature")};
    const QString technician = s.technician;
    l.Drawing(150, [=](QPainter& p, const QRectF& area) {
        const double half = area.width() / 2;
        const QFont bold = ReportFont(12, true), plain = ReportFont(12);
        for (int side = 0; side < 2; ++side) {
            const double x = area.left() + side * half;
            p.setFont(bold);
            p.drawText(QRectF(x, area.top(), half - 20, 20), Qt::AlignLeft | Qt::AlignVCenter,
                       sides[side]);
            p.setFont(plain);
            for (int f = 0; f < fields.size(); ++f) {
                const double y = area.top() + 30 + f * (f == 2 ? 42 : 38);
                const QRectF name(x, y, 80, 22);
                p.drawText(name, Qt::AlignLeft | Qt::AlignBottom, fields[f]);
                if (side == 0 && f == 0 && !technician.isEmpty())
                    p.drawText(QRectF(x + 84, y, half - 110, 22), Qt::AlignLeft | Qt::AlignBottom,
                               technician);
                p.setPen(QPen(QColor(90, 90, 90), 0.8));
                p.drawLine(QPointF(x + 82, y + 24), QPointF(x + half - 24, y + 24));
                p.setPen(Qt::black);
            }
        }
    });
}

void SiteSection(Layout& l, const ReportSnapshot& s) {
    l.Heading(QCoreApplication::translate("CommissioningReport", "1  Site"));
    const auto& clock = s.Block(ReportBlock::Clock);
    const std::optional<QDateTime> meterTime = clock ? MeterClockTime(*clock) : std::nullopt;
    QString difference = NotRead();
    if (meterTime && s.pcTime.isValid()) {
        // Both clocks as wall-clock readings: the meter knows no time zone.
        const QDateTime pc(s.pcTime.date(), s.pcTime.time());
        difference = SignedSeconds(pc.secsTo(*meterTime));
    }
    l.Pairs({{QCoreApplication::translate("CommissioningReport", "Site"), s.site},
             {QCoreApplication::translate("CommissioningReport", "Feeder / panel"), s.feeder},
             {QCoreApplication::translate("CommissioningReport", "Technician"), s.technician},
             {QCoreApplication::translate("CommissioningReport", "PC date and time"),
              s.pcTime.isValid() ? s.pcTime.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                                 : NotRead()},
             {QCoreApplication::translate("CommissioningReport", "Meter clock"),
              clock ? StampText({(*clock)[0], (*clock)[1], (*clock)[2], (*clock)[3], (*clock)[4],
                                 (*clock)[5]})
                    : NotRead()},
             {QCoreApplication::translate("CommissioningReport", "Meter clock - PC"), difference}});
    if (!s.notes.isEmpty()) {
        l.Paragraph(QCoreApplication::translate("CommissioningReport", "Notes"), true);
        l.Paragraph(s.notes);
    }
}

void MeterSection(Layout& l, const ReportSnapshot& s) {
    l.Heading(QCoreApplication::translate("CommissioningReport", "2  Meter"));
    const auto& model = s.Block(ReportBlock::Model);
    const ModelBlockView view = model ? DecodeModelBlock(*model) : ModelBlockView{};
    const auto& params = s.Block(ReportBlock::Parameters);
    const auto& run = s.Block(ReportBlock::RunTime);
    l.Pairs({{QCoreApplication::translate("CommissioningReport", "Model"), s.model},
             {QCoreApplication::translate("CommissioningReport", "Firmware version"),
              ValueOr(view.version)},
             {QCoreApplication::translate("CommissioningReport", "Address (asked)"),
              QString::number(s.address)},
             {QCoreApplication::translate("CommissioningReport", "Address (meter)"),
              params ? TextFor(DecodeMeterParamBlock(*params), "LabelAddr") : NotRead()},
             {QCoreApplication::translate("CommissioningReport", "Baud rate"),
              QCoreApplication::translate("CommissioningReport", "%1 bps").arg(s.baud)},
             {QCoreApplication::translate("CommissioningReport", "Run time"),
              run ? ValueOr(RunTimeText(*run, s.numbers)) : NotRead()},
             {QCoreApplication::translate("CommissioningReport", "Port"), s.port},
             {QCoreApplication::translate("CommissioningReport", "Device"), s.device}});
}

void ConfigurationSection(Layout& l, const ReportSnapshot& s, const Ratios& r) {
    const ScaleRatios& ratios = r.ratios;
    l.Heading(QCoreApplication::translate("CommissioningReport", "3  Configuration"));
    const auto& params = s.Block(ReportBlock::Parameters);
    // The block is kept only whole (34 registers), so it holds every setting.
    if (!params) {
        l.Pairs(
            {{QCoreApplication::translate("CommissioningReport", "Meter settings"), NotRead()}});
    } else {
        MeterSettingsRegisters registers{};
        std::copy_n(params->begin(), registers.size(), registers.begin());
        QList<std::pair<QString, QString>> pairs;
        for (const MeterSettingView& view : ViewMeterSettings(registers))
            pairs.append({view.shownName, view.text});
        pairs.append({QCoreApplication::translate("CommissioningReport", "PT ratio"),
                      QString::number(ratios.pt, 'g', 8)});
        pairs.append({QCoreApplication::translate("CommissioningReport", "CT ratio"),
                      QString::number(ratios.ct, 'g', 8)});
        l.Pairs(pairs);
    }
    if (!s.alarmModel)
        return;
    l.Paragraph(QCoreApplication::translate("CommissioningReport", "Alarm groups"), true);
    const auto& alarms = s.Block(ReportBlock::AlarmSettings);
    const auto input = alarms ? AlarmSettingsFromBlock(*alarms, ratios, s.numbers) : std::nullopt;
    if (!input) {
        l.Pairs(
            {{QCoreApplication::translate("CommissioningReport", "Alarm settings"), NotRead()}});
        return;
    }
    auto pick = [](int index, std::initializer_list<const char*> items) {
        return index >= 0 && index < int(items.size())
                   ? QCoreApplication::translate("CommissioningReport", items.begin()[index])
                   : QString();
    };
    QList<QStringList> rows;
    for (int g = 0; g < AlarmGroupCount; ++g) {
        const AlarmGroupInput& in = input->groups[size_t(g)];
        rows.append({QCoreApplication::translate("CommissioningReport", "Group %1").arg(g + 1),
                     pick(in.status, {QT_TRANSLATE_NOOP("CommissioningReport", "OFF"),
                                      QT_TRANSLATE_NOOP("CommissioningReport", "ACTIVE")}),
                     pick(in.do1, {QT_TRANSLATE_NOOP("CommissioningReport", "OFF"),
                                   QT_TRANSLATE_NOOP("CommissioningReport", "ON")}),
                     pick(in.do2, {QT_TRANSLATE_NOOP("CommissioningReport", "OFF"),
                                   QT_TRANSLATE_NOOP("CommissioningReport", "ON")}),
                     ShownAlarmItemText(in.item),
                     pick(in.direction, {QT_TRANSLATE_NOOP("CommissioningReport", "Below"),
                                         QT_TRANSLATE_NOOP("CommissioningReport", "Above")}),
                     !r.known && AlarmItemScaled(in.item) ? NeedsSettings() : in.limit});
    }
    l.Table({QCoreApplication::translate("CommissioningReport", "Group"),
             QCoreApplication::translate("CommissioningReport", "Status"),
             QCoreApplication::translate("CommissioningReport", "DO1"),
             QCoreApplication::translate("CommissioningReport", "DO2"),
             QCoreApplication::translate("CommissioningReport", "Item"),
             QCoreApplication::translate("CommissioningReport", "Limit"),
             QCoreApplication::translate("CommissioningReport", "Value")},
            rows, {1.1, 1, 0.8, 0.8, 2.6, 0.9, 1.4});
    const QStringList delays = AlarmDelayTexts();
    l.Pairs({{QCoreApplication::translate("CommissioningReport", "Alarm delay"),
              input->delay >= 0 && input->delay < delays.size()
                  ? QCoreApplication::translate("CommissioningReport", "%1 ms")
                        .arg(delays[input->delay])
                  : QString::number((*alarms)[1])}});
}

void MeasurementSection(Layout& l, const ReportSnapshot& s, const Ratios& r) {
    l.Heading(QCoreApplication::translate("CommissioningReport", "4  Measurements"));
    const auto& metering = s.Block(ReportBlock::Metering);
    QList<std::pair<QString, QString>> pairs;
    if (metering) {
        for (const LabelText& t : DecodeMeteringBlock(*metering, r.ratios, s.numbers))
            pairs.append({Caption(t.label),
                          !r.known && MeteringLabelScaled(t.label) ? NeedsSettings() : t.text});
    } else {
        pairs.append(
            {QCoreApplication::translate("CommissioningReport", "Metering values"), NotRead()});
    }
    const auto& temperature = s.Block(ReportBlock::Temperature);
    pairs.append({QCoreApplication::translate("CommissioningReport", "Temperature"),
                  temperature ? TemperatureText(temperature->front(), s.numbers) : NotRead()});
    // Two columns when most values say why they are missing, so that each says it on a line.
    l.Pairs(pairs, metering && !r.known ? 2 : 3);
    l.Gap(6);
    QList<std::pair<QString, QString>> io;
    const auto& inputs = s.Block(ReportBlock::Inputs);
    for (int k = 0; k < 4; ++k)
        io.append({QStringLiteral("DI%1").arg(k + 1),
                   inputs ? InputStateText((*inputs)[k] != 0) : NotRead()});
    const auto& relays = s.Block(ReportBlock::Relays);
    for (int k = 0; k < 2; ++k)
        io.append({QStringLiteral("RO%1").arg(k + 1),
                   relays ? RelayStateText((*relays)[k] != 0) : NotRead()});
    l.Pairs(io, 3);
}

void WiringSection(Layout& l, const ReportSnapshot& s) {
    l.Heading(QCoreApplication::translate("CommissioningReport", "5  Wiring"));
    const auto& angles = s.Block(ReportBlock::Angles);
    if (!angles) {
        l.Pairs({{QCoreApplication::translate("CommissioningReport", "Phase angles"), NotRead()}});
    } else {
        l.Pairs(NamedTexts(DecodePhaseAngleBlock(*angles, s.numbers), kAngleCaptions,
                           QStringLiteral(" \u00B0")),
                4);
    }
    const auto& metering = s.Block(ReportBlock::Metering);
    const auto lags = angles ? PhaseLagsFromBlock(*angles) : std::nullopt;
    const auto magnitudes = metering ? PhaseMagnitudesFromMeteringBlock(*metering) : std::nullopt;
    if (!lags || !magnitudes) {
        l.Paragraph(QCoreApplication::translate("CommissioningReport",
                                                "Wiring check: %1 (it needs the phase angles "
                                                "and the metering values of one snapshot)")
                        .arg(NotRead()));
        return;
    }
    const PhasorSet phasors = MakePhasorSet(*magnitudes, *lags);
    const QList<WiringHint> hints = *JudgeWiring(s);
    l.Gap(6);
    l.Drawing(300, [phasors](QPainter& p, const QRectF& area) {
        const double side = area.height();
        PaintPhasorDiagram(p, QRectF(area.center().x() - side / 2, area.top(), side, side),
                           &phasors, DiagramColors{});
    });
    l.Gap(6);
    l.Paragraph(QCoreApplication::translate("CommissioningReport", "Wiring check"), true);
    if (hints.isEmpty())
        l.Paragraph(QCoreApplication::translate("WiringCheck", WiringLooksRight));
    for (const WiringHint& h : hints)
        l.Paragraph(QStringLiteral("\u2022 ") + h.text);
}

void QualitySection(Layout& l, const ReportSnapshot& s) {
    l.Heading(QCoreApplication::translate("CommissioningReport", "6  Power quality"));
    const auto& thd = s.Block(ReportBlock::Thd);
    if (thd)
        l.Pairs(NamedTexts(DecodeThdBlock(*thd, s.numbers), kThdCaptions, QStringLiteral(" %")), 4);
    else
        l.Pairs({{QCoreApplication::translate("CommissioningReport", "THD"), NotRead()}});
    const auto& spectrum = s.Block(ReportBlock::Spectrum);
    if (!spectrum) {
        l.Pairs(
            {{QCoreApplication::translate("CommissioningReport", "Current spectrum"), NotRead()}});
        return;
    }
    const CurrentSpectrum values = CurrentSpectrumValues(*spectrum);
    l.Gap(6);
    l.Drawing(230, [values](QPainter& p, const QRectF& area) {
        PaintSpectrumChart(p, area, values, DiagramColors{},
                           QCoreApplication::translate("CommissioningReport",
                                                       "Harmonic current in % of the fundamental"));
    });
}

void AlarmRecordsPart(Layout& l, const ReportSnapshot& s, const Ratios& known);

void StatisticsSection(Layout& l, const ReportSnapshot& s, const Ratios& known) {
    const ScaleRatios& ratios = known.ratios;
    l.Heading(QCoreApplication::translate("CommissioningReport", "7  Max/Min and alarm records"));
    const auto& maxBlock = s.Block(ReportBlock::Max);
    const auto& minBlock = s.Block(ReportBlock::Min);
    const QStringList rowsHeadings = MaxMinRowHeadings();
    // One row per quantity: the maximum with its time, then the minimum with its time.
    auto stamped = [&](const std::optional<QList<quint16>>& block) {
        QList<QStringList> out;
        const GridTexts cells = block ? DecodeMaxMinBlock(*block, ratios, s.numbers) : GridTexts{};
        const QList<QStringList> rows = GridRows(cells, rowsHeadings, 8);
        for (qsizetype i = 0; i < rows.size(); ++i) {
            const QStringList& r = rows[i];
            if (!block) {
                out.append({NotRead(), QString()});
                continue;
            }
            out.append({!known.known && MaxMinRecordScaled(int(i)) ? NeedsSettings() : r[7],
                        StampText({r[1].toInt(), r[2].toInt(), r[3].toInt(), r[4].toInt(),
                                   r[5].toInt(), r[6].toInt()})});
        }
        return out;
    };
    const QList<QStringList> maxima = stamped(maxBlock);
    const QList<QStringList> minima = stamped(minBlock);
    QList<QStringList> rows;
    for (qsizetype i = 0; i < rowsHeadings.size(); ++i)
        rows.append({rowsHeadings[i], maxima[i][0], maxima[i][1], minima[i][0], minima[i][1]});
    l.Table({QString(), QCoreApplication::translate("CommissioningReport", "Max Value"),
             QCoreApplication::translate("CommissioningReport", "at"),
             QCoreApplication::translate("CommissioningReport", "Min Value"),
             QCoreApplication::translate("CommissioningReport", "at")},
            rows, {0.8, 1.2, 1.2, 1.2, 1.2});
    if (s.alarmModel)
        AlarmRecordsPart(l, s, known);
}

// The meter's alarm records, those it has filled, each with its time as one date.
void AlarmRecordsPart(Layout& l, const ReportSnapshot& s, const Ratios& known) {
    const DecodeContext context{known.ratios, s.numbers};
    l.Gap(8);
    l.Paragraph(QCoreApplication::translate("CommissioningReport", "Alarm records"), true);
    const auto& records = s.Block(ReportBlock::AlarmRecords);
    if (!records) {
        l.Pairs({{QCoreApplication::translate("CommissioningReport", "Alarm records"), NotRead()}});
        return;
    }
    const AlarmRecordTexts texts = DecodeAlarmRecordBlock(*records, context);
    const QList<QStringList> logged = GridRows(texts.records, AlarmRecordRowHeadings(),
                                               1 + int(AlarmRecordColumnHeadings().size()));
    // Item, event and value, then the time stamp as one date; slots the meter never filled
    // are left out rather than shown as empty rows.
    constexpr int kValueColumn = 3;
    QList<QStringList> rows;
    for (qsizetype r = 0; r < logged.size(); ++r) {
        const QStringList& cells = logged[r];
        if (std::all_of(cells.begin() + 1, cells.end(),
                        [](const QString& c) { return c.isEmpty(); }))
            continue;
        QList<int> stamp;
        for (int c = kValueColumn + 1; c < cells.size(); ++c)
            stamp << cells[c].toInt();
        rows.append({cells[0], cells[1], cells[2],
                     !known.known && AlarmRecordValueScaled(*records, int(r)) ? NeedsSettings()
                                                                              : cells[kValueColumn],
                     StampText(stamp)});
    }
    if (rows.isEmpty()) {
        l.Paragraph(QCoreApplication::translate("CommissioningReport", "No alarm records"));
        return;
    }
    l.Table({QString(), QCoreApplication::translate("CommissioningReport", "Item"),
             QCoreApplication::translate("CommissioningReport", "Event"),
             QCoreApplication::translate("CommissioningReport", "Value"),
             QCoreApplication::translate("CommissioningReport", "Time")},
            rows, {1.3, 2.6, 0.9, 1.6, 2.0});
}

void LineSection(Layout& l, const ReportSnapshot& s) {
    l.Heading(QCoreApplication::translate("CommissioningReport", "8  The line"));
    l.Pairs({{QCoreApplication::translate("CommissioningReport", "Requests sent"),
              QString::number(s.line.sent)},
             {QCoreApplication::translate("CommissioningReport", "Good replies"),
              QString::number(s.line.good)},
             {QCoreApplication::translate("CommissioningReport", "No response"),
              QString::number(s.line.noResponse)},
             {QCoreApplication::translate("CommissioningReport", "CRC errors"),
              QString::number(s.line.crcErrors)}});
}

} // namespace

int PaintCommissioningReport(QPagedPaintDevice& device, const ReportSnapshot& s,
                             const QDateTime& printedAt) {
    const double scale = device.logicalDpiX() / kLayoutDpi;
    const QSizeF page(device.width() / scale, device.height() / scale);
    const auto& params = s.Block(ReportBlock::Parameters);
    const Ratios ratios{params ? RatiosFromParamBlock(*params, ScaleRatios{}) : ScaleRatios{},
                        params.has_value()};

    Layout l(page);
    l.Title(QCoreApplication::translate("CommissioningReport", "Commissioning report"));
    l.Paragraph(VerdictText(s), true);
    SiteSection(l, s);
    MeterSection(l, s);
    ConfigurationSection(l, s, ratios);
    MeasurementSection(l, s, ratios);
    WiringSection(l, s);
    QualitySection(l, s);
    StatisticsSection(l, s, ratios);
    LineSection(l, s);
    SignOffSection(l, s);

    QPainter p(&device);
    const int total = int(l.Pages().size());
    // The footer says how the numbers are written, so that "1.234,5" on a German report is
    // not read as one and a quarter.
    const QString footer =
        QStringLiteral("QetraLink %1 \u2014 %2 \u2014 %3")
            .arg(QStringLiteral(QETRA_VERSION),
                 printedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                 QCoreApplication::translate("CommissioningReport", "numbers in %1: %2")
                     .arg(s.numbers.nativeLanguageName().isEmpty() ? QStringLiteral("C")
                                                                   : s.numbers.nativeLanguageName(),
                          GroupedText(1234.5, 1, s.numbers)));
    for (int n = 0; n < total; ++n) {
        if (n > 0)
            device.newPage();
        p.resetTransform();
        p.scale(scale, scale);
        for (const Item& item : l.Pages()[size_t(n)])
            item(p);
        const QRectF foot(kMargin, page.height() - kMargin, page.width() - 2 * kMargin,
                          kFooterHeight);
        p.setFont(ReportFont(10));
        p.setPen(QColor(90, 90, 90));
        p.drawText(foot, Qt::AlignLeft | Qt::AlignVCenter, footer);
        p.drawText(foot, Qt::AlignRight | Qt::AlignVCenter,
                   QCoreApplication::translate("CommissioningReport", "Page %1 of %2")
                       .arg(n + 1)
                       .arg(total));
        p.setPen(Qt::black);
    }
    p.end();
    return total;
}

bool WriteCommissioningReport(const QString& path, const ReportSnapshot& snapshot,
                              QPageSize::PageSizeId paper, const QDateTime& printedAt,
                              QString* error, FileSink* sink) {
    // Made in memory (a report is some 100 kB) and saved whole, so a full disk or a
    // pulled stick never leaves a cut PDF where a good one was.
    QBuffer pdfBytes;
    pdfBytes.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&pdfBytes);
        pdf.setResolution(int(kLayoutDpi));
        pdf.setPageSize(QPageSize(paper));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setTitle(QStringLiteral("Commissioning report"));
        pdf.setCreator(QStringLiteral("QetraLink " QETRA_VERSION));
        PaintCommissioningReport(pdf, snapshot, printedAt);
    }
    return SaveFileAtomically(path, pdfBytes.data(), error, sink);
}
