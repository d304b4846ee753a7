#include "WindowKit.h"

#include "ChildWindowFrame.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QPalette>
#include <QTableWidget>
#include <QWidget>
#include <algorithm>

namespace {

void SetTextColor(QWidget* w, const QColor& color) {
    QPalette p = w->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::WindowText, color);
        p.setColor(group, QPalette::ButtonText, color);
    }
    w->setPalette(p);
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

void PrepareChildWindow(QWidget* window, ChildFrame frame) {
    StyleValueLabels(window);
    if (frame == ChildFrame::Resizable)
        UseResizableChildFrame(window);
    else
        UseFixedChildFrame(window);
}

QColor ValueColor() {
    return QColor(0, 0, 255);
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
        const QFontMetrics metrics(label->font());
        const int margins = label->contentsMargins().left() + label->contentsMargins().right() +
                            2 * label->margin() + 2 * label->frameWidth();
        const QString sample = label->property("widthSample").toString();
        const int width =
            std::max({label->minimumWidth(), label->sizeHint().width(),
                      metrics.horizontalAdvance(sample) + margins + (sample.isEmpty() ? 0 : 2)});
        label->setFixedWidth(width);
    }
}

void ApplyLabelTexts(const QWidget* form, const LabelTexts& texts) {
    for (const LabelText& t : texts) {
        if (auto* label = form->findChild<QLabel*>(t.label))
            label->setText(t.text);
    }
}

void ShowOnOff(QWidget* control, bool on) {
    SetTextColor(control, on ? OnColor() : OffColor());
}

void ApplyGridTexts(QTableWidget* grid, const GridTexts& texts) {
    for (const GridText& t : texts) {
        if (QTableWidgetItem* item = CellItem(grid, t.row, t.column))
            item->setText(t.text);
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
