#pragma once

#include "TrafficModel.h"

#include <QWidget>

#include <functional>

class OperatorDialogs;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableView;

// The traffic monitor: every request, reply, time-out, failed reply and piece of stray
// bytes on the line as one row, from the master's own record of its transactions. It
// shows the main window's TrafficModel, which records whether or not the window is open.
//
// Pause stops the view (recording goes on), Clear empties the record and its counts, the
// two lists filter by status and by function, Copy puts the selected rows on the
// clipboard as tab-separated text, Save writes the shown rows to a text or CSV file.
class TFormTrafficMonitor : public QWidget {
    Q_OBJECT
public:
    // Asks for the file to save to and tells the filter chosen with it; an empty name
    // cancels. Tests replace it.
    struct SaveChoice {
        QString fileName;
        QString filter;
    };
    using SaveFileChooser = std::function<SaveChoice(QWidget* parent)>;

    TFormTrafficMonitor(TrafficModel& model, OperatorDialogs& dialogs, QWidget* parent = nullptr);

    void SetSaveFileChooser(SaveFileChooser chooser) { chooseFile_ = std::move(chooser); }

    // The commands of the window's buttons, for the buttons and for tests.
    void SetPaused(bool paused);
    void CopySelection();
    // Writes the rows the filters let through, comma- or tab-separated; false (after
    // telling the operator) when the file could not be written.
    bool SaveTo(const QString& fileName, bool csv);

    QTableView* View() const { return view_; }
    TrafficFilterModel& Filter() { return filter_; }
    QString CountsText() const;

private:
    void UpdateCounts();
    void FitColumns();
    void showEvent(QShowEvent* event) override;
    QList<TrafficRow> ShownRows(bool selectedOnly) const;

    TrafficModel& model_;
    OperatorDialogs& dialogs_;
    TrafficFilterModel filter_;
    SaveFileChooser chooseFile_;
    QTableView* view_ = nullptr;
    QPushButton* pause_ = nullptr;
    QComboBox* status_ = nullptr;
    QComboBox* function_ = nullptr;
    QSpinBox* capacity_ = nullptr;
    QLabel* counts_ = nullptr;
    bool followTail_ = true;
};
