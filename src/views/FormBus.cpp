#include "FormBus.h"

#include "AddressList.h"
#include "BusOverview.h"
#include "MeterParamDecode.h"
#include "MeterSearch.h"
#include "MeteringDecode.h"
#include "OperatorDialogs.h"
#include "SessionState.h"
#include "ValueFreshness.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr quint16 kVersionStart = 0x510;
// The labels of the metering block the row shows, in column order.
const char* const kValueLabels[] = {"LabelUnavg", "LabelIavg", "LabelPavg", "LabelPfavg", "LabelF"};
constexpr int kValueCount = int(std::size(kValueLabels));
} // namespace

QStringList BusValueTexts(const QList<quint16>& metering, const ScaleRatios& ratios,
                          const QLocale& locale) {
    const LabelTexts texts = DecodeMeteringBlock(metering, ratios, locale);
    QStringList out;
    for (const char* label : kValueLabels)
        out << TextFor(texts, QLatin1String(label));
    return out;
}

TFormBus::TFormBus(BusOverview& overview, SessionState& state, ValueFreshness& freshness,
                   OperatorDialogs& dialogs, QWidget* parent)
    : QWidget(parent), overview_(overview), state_(state), freshness_(freshness),
      dialogs_(dialogs) {
    setObjectName(BusWindowName);
    setWindowTitle(tr("Bus"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(tr("Addresses:"), this));
    addresses_ = new QLineEdit(this);
    addresses_->setObjectName(QStringLiteral("editAddresses"));
    addresses_->setPlaceholderText(QStringLiteral("1-12, 17"));
    addresses_->setMaxLength(AddressList::kMaxTextLength);
    addresses_->setText(state_.BusAddresses);
    top->addWidget(addresses_, 1);
    apply_ = new QPushButton(tr("Poll these meters"), this);
    apply_->setObjectName(QStringLiteral("btnPollAddresses"));
    top->addWidget(apply_);
    layout->addLayout(top);
    picked_ = new QLabel(this);
    picked_->setObjectName(QStringLiteral("labelPicked"));
    layout->addWidget(picked_);
    table_ = new QTableWidget(0, ColValues + kValueCount, this);
    table_->setObjectName(QStringLiteral("tblBus"));
    table_->setHorizontalHeaderLabels({tr("Address"), tr("Model and firmware"), tr("State"),
                                       tr("Failed (last minute)"), tr("Last reply"), tr("U avg"),
                                       tr("I avg"), tr("P total"), tr("PF"), tr("Frequency")});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->hide();
    table_->installEventFilter(this);
    layout->addWidget(table_, 1);

    connect(apply_, &QPushButton::clicked, this, &TFormBus::ApplyAddresses);
    connect(addresses_, &QLineEdit::returnPressed, this, &TFormBus::ApplyAddresses);
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { PickRow(row); });
    connect(&overview_, &BusOverview::Replied, this, &TFormBus::MeterReplied);
    connect(&overview_, &BusOverview::StateChanged, this, &TFormBus::Refresh);
    // The ages of the last replies and the failure shares move on with the clock.
    auto* ticker = new QTimer(this);
    connect(ticker, &QTimer::timeout, this, &TFormBus::RefreshAll);
    ticker->start(1000);
    Rebuild();
}

bool TFormBus::eventFilter(QObject* watched, QEvent* event) {
    if (watched == table_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && table_->currentRow() >= 0) {
            PickRow(table_->currentRow());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool TFormBus::ApplyAddresses() {
    const AddressList list = AddressList::Read(addresses_->text());
    if (const QString problem = list.Problem(); !problem.isEmpty()) {
        dialogs_.Warn(tr("Bus"), problem);
        return false;
    }
    state_.BusAddresses = AddressList::Text(list.addresses);
    addresses_->setText(state_.BusAddresses);
    overview_.SetAddresses(list.addresses);
    Rebuild();
    return true;
}

void TFormBus::PickRow(int row) {
    const QTableWidgetItem* item = table_->item(row, ColAddress);
    if (item == nullptr)
        return;
    PickMeter(state_, freshness_, item->data(Qt::UserRole).toInt());
    RefreshAll();
}

int TFormBus::RowOf(int address) const {
    for (int r = 0; r < table_->rowCount(); ++r)
        if (table_->item(r, ColAddress)->data(Qt::UserRole).toInt() == address)
            return r;
    return -1;
}

void TFormBus::Rebuild() {
    const QList<int>& addresses = overview_.Addresses();
    table_->setRowCount(int(addresses.size()));
    for (int r = 0; r < int(addresses.size()); ++r) {
        for (int c = 0; c < table_->columnCount(); ++c)
            if (table_->item(r, c) == nullptr)
                table_->setItem(r, c, new QTableWidgetItem);
        table_->item(r, ColAddress)->setText(QString::number(addresses[r]));
        table_->item(r, ColAddress)->setData(Qt::UserRole, addresses[r]);
    }
    RefreshAll();
}

void TFormBus::RefreshAll() {
    for (int a : overview_.Addresses())
        Refresh(a);
    picked_->setText(tr("The windows show meter %1.").arg(state_.DevAddr));
}

void TFormBus::Refresh(int address) {
    const int row = RowOf(address);
    const BusMeterState* meter = overview_.Meter(address);
    if (row < 0 || meter == nullptr)
        return;
    table_->item(row, ColState)->setText(meter->StateText());
    table_->item(row, ColFailed)->setText(meter->FailureShareText());
    table_->item(row, ColAge)->setText(meter->ReplyAgeText());
    QFont font = table_->font();
    font.setBold(address == state_.DevAddr);
    for (int c = 0; c < table_->columnCount(); ++c)
        table_->item(row, c)->setFont(font);
}

void TFormBus::MeterReplied(int address, quint16 start, const QList<quint16>& registers) {
    const int row = RowOf(address);
    if (row < 0)
        return;
    if (start == kVersionStart) {
        table_->item(row, ColVersion)->setText(VersionText(registers));
    } else if (start == MeterParamBlockStart) {
        ratios_[address] = RatiosFromParamBlock(registers, ratios_.value(address));
    } else if (start == MeteringBlockStart) {
        const QStringList texts = BusValueTexts(registers, ratios_.value(address));
        for (int i = 0; i < kValueCount; ++i)
            table_->item(row, ColValues + i)->setText(texts.value(i));
    }
    Refresh(address);
}
