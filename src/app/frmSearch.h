#pragma once

#include "MeterSearch.h"
#include "NetworkModbusPort.h"

#include <QDialog>
#include <optional>

class QLabel;
class QListWidget;
class QProgressBar;
class MeterLine;
class OperatorDialogs;
class QPushButton;

// "Search for a meter": tries every address at every baud rate of the meter on one port
// with a harmless read of the model block, shows the progress and every meter that
// answers; the operator uses one with a click on "Use" (or a double click). Cancel stops
// a running search at once (within one try's wait) and closes the dialog otherwise.
//
// The search needs the port to itself: it refuses while polling is on, closes the
// line's port while it runs and reopens it afterwards.
class TFormSearch : public QDialog {
    Q_OBJECT
public:
    TFormSearch(OperatorDialogs& dialogs, MeterLine& line, const QString& port,
                QWidget* parent = nullptr);
    ~TFormSearch() override;

    // Searches a meter behind a network converter instead of the serial port: the unit
    // identifiers at the line's baud rate, each try with a short wait. Before the search
    // starts.
    void SearchNetwork(const QString& host, quint16 port, NetworkFraming framing);
    // Restricts the search (tests); the default is the full plan.
    void SetPlan(const SearchPlan& plan) { plan_ = plan; }
    // Starts; false (with a box) while polling is on or when the port cannot be opened.
    bool StartSearch();
    void CancelSearch();
    bool Running() const { return search_.Running(); }
    const QList<FoundMeter>& Found() const { return search_.Found(); }
    // Uses the meter in row `row` of the list: closes the dialog with Accepted.
    void UseRow(int row);
    const std::optional<FoundMeter>& Chosen() const { return chosen_; }

    QProgressBar* Progress() const { return progress_; }
    QListWidget* List() const { return list_; }
    QLabel* StatusLabel() const { return status_; }

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void Finished();
    void GiveBackPort();

    OperatorDialogs& dialogs_;
    MeterLine& line_;
    QString port_;
    SearchPlan plan_;
    MeterSearch search_;
    bool tookPort_ = false;
    bool network_ = false;
    bool started_ = false;
    std::optional<FoundMeter> chosen_;
    QLabel* intro_ = nullptr;
    QLabel* status_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QListWidget* list_ = nullptr;
    QPushButton* use_ = nullptr;
    QPushButton* cancel_ = nullptr;
};
