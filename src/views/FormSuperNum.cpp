#include "FormSuperNum.h"

#include "MaxMinDecode.h"
#include "OperatorDialogs.h"
#include "PollSchedule.h"
#include "SessionState.h"
#include "WindowKit.h"
#include "WriteCommand.h"
#include "ui_frmSuperNum.h"

#include <QHeaderView>

namespace {

// Row titles, then YY MM DD hh mm ss and the value.
constexpr int kMaxWidths[] = {50, 41, 24, 23, 22, 21, 23, 124};
constexpr int kMinWidths[] = {50, 42, 24, 24, 24, 23, 23, 118};
constexpr int kRowHeight = 19;

void PrepareGrid(QTableWidget* grid, bool maximum, const int (&widths)[8]) {
    const QStringList columns = MaxMinColumnHeadings(maximum);
    const QStringList rows = MaxMinRowHeadings();
    grid->setColumnCount(int(columns.size()));
    grid->setRowCount(int(rows.size()));
    SetGridHeadings(grid, columns, rows);
    QHeaderView* h = grid->horizontalHeader();
    h->setSectionResizeMode(QHeaderView::Interactive);
    // A digit pair must fit its narrow column whatever the desktop's font.
    const int pair = grid->fontMetrics().horizontalAdvance(QStringLiteral("00")) + 8;
    for (int c = 0; c < columns.size(); ++c)
        h->resizeSection(c, std::max(widths[c + 1], pair));
    QHeaderView* v = grid->verticalHeader();
    v->setSectionResizeMode(QHeaderView::Interactive);
    v->setDefaultSectionSize(kRowHeight);
    v->setFixedWidth(widths[0]);
    // The whole table shows without scrolling; a wider window gives the values the room.
    const int frame = 2 * grid->frameWidth();
    grid->setMinimumSize(widths[0] + h->length() + frame,
                         h->sizeHint().height() + v->length() + frame);
    grid->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    grid->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    h->setStretchLastSection(true);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

} // namespace

TFormSuperNum::TFormSuperNum(SessionState& state, OperatorDialogs& dialogs, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::FormSuperNum>()), state_(state), dialogs_(dialogs) {
    ui->setupUi(this);
    PrepareGrid(ui->StringGridMax, true, kMaxWidths);
    PrepareGrid(ui->StringGridMin, false, kMinWidths);
    connect(ui->Button1, &QPushButton::clicked, this, &TFormSuperNum::Button1Click);
    PrepareChildWindow(this, ChildFrame::Resizable);
}

TFormSuperNum::~TFormSuperNum() = default;

QTableWidget* TFormSuperNum::MaxGrid() const {
    return ui->StringGridMax;
}

QTableWidget* TFormSuperNum::MinGrid() const {
    return ui->StringGridMin;
}

QPushButton* TFormSuperNum::ClearButton() const {
    return ui->Button1;
}

void TFormSuperNum::ShowMaxBlock(const QList<quint16>& values) {
    ApplyGridTexts(ui->StringGridMax,
                   DecodeMaxMinBlock(values, {state_.PtRatio, state_.CtRatio}, locale_));
}

void TFormSuperNum::ShowMinBlock(const QList<quint16>& values) {
    ApplyGridTexts(ui->StringGridMin,
                   DecodeMaxMinBlock(values, {state_.PtRatio, state_.CtRatio}, locale_));
}

void TFormSuperNum::Button1Click() {
    // The meter answers with a plain echo; the cleared tables show at the next poll of
    // each block.
    QueueConfirmedWrite(state_, dialogs_, QString::fromLatin1(ClearStatisticsQuestion), WriteSlot,
                        ClearStatisticsMessage());
}
