#include "FormWave.h"

#include "HarmonicsDecode.h"
#include "SessionState.h"
#include "SpectrumChart.h"
#include "WindowKit.h"
#include "ui_frmWave.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QScrollBar>

namespace {

// Column widths of the grids: harmonics 50, then the sums and factors a little wider.
constexpr int kHarmonicColumnWidth = 50;
constexpr int kVoltageTailWidths[] = {83, 92, 78, 81};
constexpr int kCurrentTailWidths[] = {80, 87, 78};
constexpr int kRowHeight = 22;
// The smallest grid and chart: about ten harmonics side by side, a chart that still
// tells the bars apart.
constexpr int kMinimumGridWidth = 560;
constexpr int kMinimumChartHeight = 160;

template <std::size_t N>
void PrepareGrid(QTableWidget* grid, const QStringList& columns, const QStringList& rows,
                 const int (&tailWidths)[N]) {
    // A read-only table: no cell cursor to mark.
    grid->setFocusPolicy(Qt::NoFocus);
    grid->setColumnCount(int(columns.size()));
    grid->setRowCount(int(rows.size()));
    SetGridHeadings(grid, columns, rows);
    QHeaderView* h = grid->horizontalHeader();
    h->setSectionResizeMode(QHeaderView::Interactive);
    h->setDefaultSectionSize(kHarmonicColumnWidth);
    for (std::size_t k = 0; k < N; ++k)
        h->resizeSection(int(columns.size() - N + k), tailWidths[k]);
    QHeaderView* v = grid->verticalHeader();
    v->setSectionResizeMode(QHeaderView::Interactive);
    v->setDefaultSectionSize(kRowHeight);
    v->setFixedWidth(kHarmonicColumnWidth);
    // All three rows show; the columns scroll sideways within the window's width.
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grid->setFixedHeight(h->sizeHint().height() + v->length() +
                         grid->horizontalScrollBar()->sizeHint().height() + 2 * grid->frameWidth());
}

} // namespace

TFormWave::TFormWave(const SessionState& state, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::FormWave>()), state_(state) {
    ui->setupUi(this);
    PrepareGrid(ui->StringGridU, VoltageGridColumnHeadings(), VoltageGridRowHeadings(),
                kVoltageTailWidths);
    PrepareGrid(ui->StringGridI, CurrentGridColumnHeadings(), CurrentGridRowHeadings(),
                kCurrentTailWidths);
    // A wider window shows more harmonics before the grids scroll, and a taller one a
    // taller chart; the form's size is the smallest at which all still reads well.
    for (QTableWidget* grid : {ui->StringGridU, ui->StringGridI}) {
        grid->setMinimumWidth(kMinimumGridWidth);
        grid->setMaximumWidth(QWIDGETSIZE_MAX);
    }
    ui->ChartSpectrumI->setMinimumSize(kMinimumGridWidth, kMinimumChartHeight);
    ui->ChartSpectrumI->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    ui->ChartSpectrumI->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    if (auto* column = qobject_cast<QBoxLayout*>(layout()))
        column->setStretchFactor(ui->GroupSpectrum, 1);
    ApplyMeterModel(state_.MeterModel);
    PrepareChildWindow(this, ChildFrame::Resizable);
}

TFormWave::~TFormWave() = default;

QLabel* TFormWave::Label(const QString& name) const {
    return findChild<QLabel*>(name);
}

QTableWidget* TFormWave::VoltageGrid() const {
    return ui->StringGridU;
}

QTableWidget* TFormWave::CurrentGrid() const {
    return ui->StringGridI;
}

SpectrumChart* TFormWave::Chart() const {
    return ui->ChartSpectrumI;
}

void TFormWave::ShowThd(const QList<quint16>& values) {
    ApplyLabelTexts(this, DecodeThdBlock(values, locale_));
}

void TFormWave::ShowCurrentSpectrum(const QList<quint16>& values) {
    ApplyGridTexts(ui->StringGridI, DecodeCurrentSpectrum(values, locale_));
    ui->ChartSpectrumI->SetSpectrum(CurrentSpectrumValues(values));
}

void TFormWave::FormActivate() {
    ApplyMeterModel(state_.MeterModel);
}

void TFormWave::ApplyMeterModel(quint8 model) {
    ui->StringGridU->setEnabled(model == 1);
    ui->StringGridI->setEnabled(model == 1);
}
