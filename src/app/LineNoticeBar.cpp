#include "LineNoticeBar.h"

#include <QLabel>
#include <QPushButton>

LineNoticeBar::LineNoticeBar(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("StatusBarLine"));
    setSizeGripEnabled(false);
    noAnswer_ = new QLabel(this);
    noAnswer_->setObjectName(QStringLiteral("LabelNoAnswer"));
    // A long port name must not widen the window; the whole text is in the tooltip.
    noAnswer_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    noAnswer_->setMinimumWidth(1);
    addWidget(noAnswer_, 1);
    search_ = new QPushButton(tr("Search\u2026"), this);
    search_->setObjectName(QStringLiteral("ButtonSearchMeter"));
    search_->setFlat(true);
    search_->setCursor(Qt::PointingHandCursor);
    addWidget(search_);
    losses_ = new QLabel(this);
    losses_->setObjectName(QStringLiteral("LabelLineLosses"));
    addPermanentWidget(losses_);
    connect(search_, &QPushButton::clicked, this, &LineNoticeBar::SearchRequested);
    ShowWhenNeeded();
}

void LineNoticeBar::SetNoAnswer(const QString& text) {
    noAnswer_->setText(text);
    noAnswer_->setToolTip(text);
    ShowWhenNeeded();
}

void LineNoticeBar::SetLosses(const QString& text) {
    losses_->setText(text);
    ShowWhenNeeded();
}

QString LineNoticeBar::NoAnswer() const {
    return noAnswer_->text();
}

QString LineNoticeBar::Losses() const {
    return losses_->text();
}

void LineNoticeBar::ShowWhenNeeded() {
    const bool silent = !noAnswer_->text().isEmpty();
    noAnswer_->setVisible(silent);
    search_->setVisible(silent);
    losses_->setVisible(!losses_->text().isEmpty());
    setVisible(silent || !losses_->text().isEmpty());
}
