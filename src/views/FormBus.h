#pragma once

#include "ValueText.h"

#include <QHash>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <QtGlobal>

class BusOverview;
class OperatorDialogs;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class ValueFreshness;
struct SessionState;

inline const QString BusWindowName = QStringLiteral("FormBus");

// The live values of a meter's row from its metering block (0x130), scaled by its own PT
// and CT ratios: average phase voltage, average current, total active power, power factor
// and frequency, as the metering window writes them. Empty texts for a block too short.
QStringList BusValueTexts(const QList<quint16>& metering, const ScaleRatios& ratios,
                          const QLocale& locale = QLocale());

// "Bus": the meters on the line, one row each, with their state and a few live values.
// The technician types the address list; a double-click or Enter on a row makes that
// meter the one every window shows and writes to.
class TFormBus : public QWidget {
    Q_OBJECT
public:
    enum Column { ColAddress, ColVersion, ColState, ColFailed, ColAge, ColValues };

    TFormBus(BusOverview& overview, SessionState& state, ValueFreshness& freshness,
             OperatorDialogs& dialogs, QWidget* parent = nullptr);

    // Reads the address list typed, checks it and polls those meters. False, with the
    // message naming the field and its range, when it is refused.
    bool ApplyAddresses();
    // Makes the meter of the row the picked one.
    void PickRow(int row);
    // A reply of a meter of the line (the overview's, or the picked meter's own).
    void MeterReplied(int address, quint16 start, const QList<quint16>& registers);

    QTableWidget* Table() const { return table_; }
    QLineEdit* AddressEdit() const { return addresses_; }
    int RowOf(int address) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Rebuild();
    void Refresh(int address);
    void RefreshAll();

    BusOverview& overview_;
    SessionState& state_;
    ValueFreshness& freshness_;
    OperatorDialogs& dialogs_;
    QLineEdit* addresses_ = nullptr;
    QPushButton* apply_ = nullptr;
    QLabel* picked_ = nullptr;
    QTableWidget* table_ = nullptr;
    QHash<int, ScaleRatios> ratios_;
};
