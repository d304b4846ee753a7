#include "WindowKit.h"

#include "ChildWindowFrame.h"
#include "ValueCopy.h"
#include "ValueFreshness.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QMimeData>
#include <QPalette>
#include <QPointer>
#include <QTableWidget>
#include <QWidget>
#include <algorithm>
#include <optional>

namespace {

void SetTextColor(QPalette& p, const QColor& color) {
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::WindowText, color);
        p.setColor(group, QPalette::ButtonText, color);
    }
}

// An old value keeps its own look here, to get it back with the next reply.
constexpr char kFreshPalette[] = "qetraFreshPalette";
constexpr char kFreshToolTip[] = "qetraFreshToolTip";
constexpr int kFreshForegroundRole = Qt::UserRole + 0x51;
constexpr int kStaleRole = Qt::UserRole + 0x52;

void SetTextColor(QWidget* w, const QColor& color) {
    QPalette p = w->palette();
    SetTextColor(p, color);
    w->setPalette(p);
}

void ShowLabelAge(QLabel* label, bool fresh, const QString& staleText) {
    const QVariant kept = label->property(kFreshPalette);
    if (fresh) {
        if (!kept.isValid())
            return;
        label->setPalette(kept.value<QPalette>());
        label->setToolTip(label->property(kFreshToolTip).toString());
        label->setProperty(kFreshPalette, QVariant());
        label->setProperty(kFreshToolTip, QVariant());
        return;
    }
    if (!kept.isValid()) {
        label->setProperty(kFreshPalette, QVariant::fromValue(label->palette()));
        label->setProperty(kFreshToolTip, label->toolTip());
        QPalette p = label->palette();
        SetTextColor(p, StaleColor());
        label->setPalette(p);
    }
    label->setToolTip(staleText);
}

void ShowCellAge(QTableWidgetItem* item, bool fresh, const QString& staleText) {
    const bool stale = item->data(kStaleRole).toBool();
    if (fresh) {
        if (!stale)
            return;
        item->setData(Qt::ForegroundRole, item->data(kFreshForegroundRole));
        item->setData(kFreshForegroundRole, QVariant());
        item->setData(kStaleRole, QVariant());
        item->setToolTip(QString());
        return;
    }
    if (!stale) {
        item->setData(kFreshForegroundRole, item->data(Qt::ForegroundRole));
        item->setData(kStaleRole, true);
        item->setForeground(StaleColor());
    }
    item->setToolTip(staleText);
}

// The controls of one form or grid that show values of register blocks, and of which
// block each; they are drawn anew whenever a block goes old or fresh.
class FreshnessMarks : public QObject {
public:
    static FreshnessMarks* Of(QWidget* owner, const ValueFreshness* freshness) {
        auto* marks = dynamic_cast<FreshnessMarks*>(
            owner->findChild<QObject*>(Name(), Qt::FindDirectChildrenOnly));
        if (marks == nullptr && freshness == nullptr)
            return nullptr;
        if (marks == nullptr)
            marks = new FreshnessMarks(owner);
        if (freshness != nullptr && marks->freshness_ != freshness)
            marks->Follow(freshness);
        return marks;
    }

    void MarkLabel(QLabel* label, std::optional<quint16> block) {
        if (block)
            labels_.insert(label, {label, *block});
        else
            labels_.remove(label);
        ShowLabel(label, block);
    }
    void MarkCell(QTableWidget* grid, int row, int column, std::optional<quint16> block) {
        const auto cell = std::make_pair(row, column);
        if (block)
            cells_.insert(cell, *block);
        else
            cells_.remove(cell);
        if (QTableWidgetItem* item = grid->item(row - 1, column - 1))
            ShowCell(item, block);
    }

private:
    explicit FreshnessMarks(QWidget* owner) : QObject(owner) { setObjectName(Name()); }
    static QString Name() { return QStringLiteral("qetraFreshnessMarks"); }

    void Follow(const ValueFreshness* freshness) {
        disconnect(followed_);
        freshness_ = freshness;
        followed_ = connect(freshness, &ValueFreshness::Changed, this, [this] { Refresh(); });
    }

    // Not a block's value (the program's own text): drawn as fresh.
    QString StaleText(std::optional<quint16> block) const {
        if (!block || freshness_ == nullptr || freshness_->IsFresh(*block))
            return {};
        return freshness_->StaleText(*block);
    }
    void ShowLabel(QLabel* label, std::optional<quint16> block) const {
        const QString stale = StaleText(block);
        ShowLabelAge(label, stale.isEmpty(), stale);
    }
    void ShowCell(QTableWidgetItem* item, std::optional<quint16> block) const {
        const QString stale = StaleText(block);
        ShowCellAge(item, stale.isEmpty(), stale);
    }

    void Refresh() {
        for (const LabelMark& m : std::as_const(labels_)) {
            if (m.label)
                ShowLabel(m.label, m.block);
        }
        if (auto* grid = qobject_cast<QTableWidget*>(parent())) {
            for (auto it = cells_.cbegin(); it != cells_.cend(); ++it) {
                if (QTableWidgetItem* item = grid->item(it.key().first - 1, it.key().second - 1))
                    ShowCell(item, it.value());
            }
        }
    }

    QPointer<const ValueFreshness> freshness_;
    QMetaObject::Connection followed_;
    struct LabelMark {
        QPointer<QLabel> label;
        quint16 block;
    };
    QHash<const QLabel*, LabelMark> labels_;
    QHash<std::pair<int, int>, quint16> cells_;
};

// The block whose reply is being shown, if any.
std::optional<quint16> DecodingBlock(const ValueFreshness::Source& source) {
    if (source.freshness == nullptr)
        return std::nullopt;
    return source.startAddr;
}

QTableWidgetItem* CellItem(QTableWidget* grid, int row, int column) {
    if (row == 0 && column == 0)
        return nullptr;
    if (row == 0) {
        if (column - 1 >= grid->columnCount())
            return nullptr;
        QTableWidgetItem* item = grid->horizontalHeaderItem(column - 1);
        if (item == nullptr) {
            item = new QTableWidgetItem;
            grid->setHorizontalHeaderItem(column - 1, item);
        }
        return item;
    }
    if (column == 0) {
        if (row - 1 >= grid->rowCount())
            return nullptr;
        QTableWidgetItem* item = grid->verticalHeaderItem(row - 1);
        if (item == nullptr) {
            item = new QTableWidgetItem;
            grid->setVerticalHeaderItem(row - 1, item);
        }
        return item;
    }
    if (row - 1 >= grid->rowCount() || column - 1 >= grid->columnCount())
        return nullptr;
    QTableWidgetItem* item = grid->item(row - 1, column - 1);
    if (item == nullptr) {
        item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        grid->setItem(row - 1, column - 1, item);
    }
    return item;
}

} // namespace

QList<CopiedValue> ShownValues(const QWidget* form) {
    QList<CopiedValue> values;
    for (const QLabel* label : form->findChildren<QLabel*>()) {
        if (!label->property("valueLabel").toBool() || label->text().isEmpty())
            continue;
        // Each value label "LabelX" has its caption "CaptionX" beside it in the form.
        QString name = label->objectName();
        if (name.startsWith(QLatin1String("Label")))
            name = QStringLiteral("Caption") + name.mid(5);
        const auto* caption = form->findChild<QLabel*>(name);
        values.append(
            SplitValueText(caption ? caption->text() : label->objectName(), label->text()));
    }
    return values;
}

void CopyShownValues(const QWidget* form) {
    const QList<CopiedValue> values = ShownValues(form);
    auto* data = new QMimeData;
    data->setText(CopiedValuesText(values));
    data->setHtml(CopiedValuesHtml(values));
    QApplication::clipboard()->setMimeData(data);
}

void PrepareChildWindow(QWidget* window, ChildFrame frame) {
    StyleValueLabels(window);
    const auto labels = window->findChildren<QLabel*>();
    if (std::any_of(labels.begin(), labels.end(),
                    [](const QLabel* l) { return l->property("valueLabel").toBool(); })) {
        // Right-click or Ctrl+C copies what the window shows, for a spreadsheet or a mail.
        auto* copy = new QAction(QCoreApplication::translate("WindowKit", "Copy Values"), window);
        copy->setObjectName(QStringLiteral("actionCopyValues"));
        copy->setShortcut(QKeySequence::Copy);
        copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        QObject::connect(copy, &QAction::triggered, window, [window] { CopyShownValues(window); });
        window->addAction(copy);
        if (window->contextMenuPolicy() == Qt::DefaultContextMenu)
            window->setContextMenuPolicy(Qt::ActionsContextMenu);
    }
    if (frame == ChildFrame::Resizable)
        UseResizableChildFrame(window);
    else
        UseFixedChildFrame(window);
}

QColor ValueColor() {
    return QColor(0, 0, 255);
}

QColor StaleColor() {
    return QColor(128, 128, 128);
}

QColor OnColor() {
    return QColor(255, 0, 0);
}

QColor OffColor() {
    return QColor(0, 128, 0);
}

void StyleValueLabels(QWidget* form) {
    for (QLabel* label : form->findChildren<QLabel*>()) {
        if (!label->property("valueLabel").toBool())
            continue;
        SetTextColor(label, ValueColor());
        // Whatever the form shows before the meter's first reply is a placeholder.
        ShowLabelAge(label, false, ValueFreshness::NotReadYetText());
        const QFontMetrics metrics(label->font());
        const int margins = label->contentsMargins().left() + label->contentsMargins().right() +
                            2 * label->margin() + 2 * label->frameWidth();
        const QString sample = label->property("widthSample").toString();
        const int width =
            std::max({label->minimumWidth(), label->sizeHint().width(),
                      metrics.horizontalAdvance(sample) + margins + (sample.isEmpty() ? 0 : 2)});
        label->setFixedWidth(width);
        // The form's placeholder ("0000000000000") only sized the label: shown, it would
        // read as a value the meter sent. Until the first reply the label stays empty and its
        // tooltip says why.
        label->clear();
    }
}

void ApplyLabelTexts(const QWidget* form, const LabelTexts& texts) {
    const ValueFreshness::Source source = ValueFreshness::Decoding();
    FreshnessMarks* marks = nullptr;
    for (const LabelText& t : texts) {
        auto* label = form->findChild<QLabel*>(t.label);
        if (label == nullptr)
            continue;
        label->setText(t.text);
        if (!label->property("valueLabel").toBool())
            continue;
        if (marks == nullptr)
            marks = FreshnessMarks::Of(const_cast<QWidget*>(form), source.freshness);
        if (marks != nullptr)
            marks->MarkLabel(label, DecodingBlock(source));
        else
            ShowLabelAge(label, true, QString());
    }
}

void ShowOnOff(QWidget* control, bool on) {
    // A state is shown in its own colour, never as an old value: the inputs and relays are
    // read in every rotation, and the alarm states turn grey again with their block.
    if (control->property(kFreshPalette).isValid()) {
        control->setToolTip(control->property(kFreshToolTip).toString());
        control->setProperty(kFreshPalette, QVariant());
        control->setProperty(kFreshToolTip, QVariant());
    }
    SetTextColor(control, on ? OnColor() : OffColor());
}

void ApplyGridTexts(QTableWidget* grid, const GridTexts& texts) {
    const ValueFreshness::Source source = ValueFreshness::Decoding();
    FreshnessMarks* const marks = FreshnessMarks::Of(grid, source.freshness);
    for (const GridText& t : texts) {
        QTableWidgetItem* item = CellItem(grid, t.row, t.column);
        if (item == nullptr)
            continue;
        item->setText(t.text);
        // Headings are the program's, not the meter's.
        if (t.row == 0 || t.column == 0)
            continue;
        if (marks != nullptr)
            marks->MarkCell(grid, t.row, t.column, DecodingBlock(source));
        else
            ShowCellAge(item, true, QString());
    }
}

QString GridCellText(const QTableWidget* grid, int row, int column) {
    const QTableWidgetItem* item = nullptr;
    if (row == 0 && column > 0)
        item = grid->horizontalHeaderItem(column - 1);
    else if (column == 0 && row > 0)
        item = grid->verticalHeaderItem(row - 1);
    else if (row > 0 && column > 0)
        item = grid->item(row - 1, column - 1);
    return item ? item->text() : QString();
}

void SetGridHeadings(QTableWidget* grid, const QStringList& columnHeadings,
                     const QStringList& rowHeadings) {
    GridTexts texts;
    for (int c = 0; c < columnHeadings.size(); ++c)
        texts.append({0, c + 1, columnHeadings[c]});
    for (int r = 0; r < rowHeadings.size(); ++r)
        texts.append({r + 1, 0, rowHeadings[r]});
    ApplyGridTexts(grid, texts);
}
