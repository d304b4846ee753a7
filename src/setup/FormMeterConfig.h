#pragma once

#include "ConfigTransfer.h"

#include <QWidget>
#include <functional>
#include <optional>

class EngineLink;
class OperatorDialogs;
class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class RequestService;
struct SessionState;

// The meter configuration windows of the Setup menu, one class in four uses:
//  - Save: reads the meter's blocks fresh and writes them to a .qmeter.json file;
//  - Compare: every setting of a file against the meter, or against a second file, with
//    the settings that differ highlighted;
//  - Restore: shows the differences, asks once, writes settings and alarms together,
//    reads every register back and reports "verified" or the registers that differ;
//  - Clone: the file to a list of addresses on the present line, meter by meter, with a
//    progress bar, Cancel between meters and a table of results that saves as CSV.
// The meter is read and written through the line's request service while its poll is
// stopped, so no poll request falls between the writes of one meter; a closed port is
// opened for the run and closed again.
class TFormMeterConfig : public QWidget {
    Q_OBJECT

public:
    enum class Use { Save, Compare, Restore, Clone };
    TFormMeterConfig(Use use, SessionState& state, OperatorDialogs& dialogs,
                     RequestService& requests, QWidget* parent = nullptr);
    ~TFormMeterConfig() override;

    // One file dialog: to open or to save as, its own title and name filters, and the
    // file it starts at (the last folder used, with a name made of the meter and the date
    // for a save).
    struct FileRequest {
        bool save = false;
        QString title;
        QString filters; // "Meter configurations (*.qmeter.json);;All files (*)"
        QString startPath;
    };
    // Choosers of a file; the program's own adds the chosen filter's extension to a name
    // typed without it. Tests put their own answers in.
    using FileChooser = std::function<QString(QWidget* parent, const FileRequest& request)>;
    void SetFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

    // The buttons' actions.
    void SaveMeterClick();
    void OpenFileClick();
    void SecondFileClick();
    void RestoreClick();
    void CloneClick();
    void SaveResultsClick();

    // Reads the meter again when this window compares a file with it (after another
    // window wrote to the meter).
    void RereadMeter();

    QTableWidget* SettingsGrid() const { return grid_; }
    QTableWidget* ResultsGrid() const { return results_; }
    QLineEdit* AddressesEdit() const { return addresses_; }
    QCheckBox* IncludeCommBox() const { return includeComm_; }
    // The comparison's count of differing settings, and its filter to show only them.
    QLabel* DifferenceCount() const { return differences_; }
    QCheckBox* DifferencesOnlyBox() const { return differencesOnly_; }
    QPushButton* CancelButton() const { return cancel_; }

signals:
    // A confirmed write went to the meter the program talks to, and this is what the
    // meter holds after it, read fresh.
    void MeterWritten(const MeterConfiguration& meter);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The line for one run, given back as it was when the link ends; or a warning why it
    // cannot be had now (the line lost, the port not to be opened).
    std::unique_ptr<EngineLink> Borrow();
    std::optional<MeterConfiguration> LoadChecked(const QString& path);
    std::optional<MeterConfiguration> ReadMeter(EngineLink& link);
    void ShowComparison(const MeterConfiguration& file, const MeterConfiguration& other,
                        const QString& otherTitle);
    void SetRunning(bool running);
    // Shows the count of differing rows and hides the others when asked to.
    void FilterDifferences();
    // Asks chooseFile_ and remembers the folder of the answer for the next dialog.
    QString ChooseFile(bool save, const QString& title, const QString& filters,
                       const QString& defaultName = QString());

    Use use_;
    SessionState& state_;
    OperatorDialogs& dialogs_;
    RequestService& requests_;
    FileChooser chooseFile_;
    std::optional<MeterConfiguration> file_;
    bool running_ = false;
    bool comparedWithMeter_ = false;
    bool cancelled_ = false;

    QLabel* fileLabel_ = nullptr;
    QLabel* differences_ = nullptr;
    QCheckBox* differencesOnly_ = nullptr;
    QTableWidget* grid_ = nullptr;
    QTableWidget* results_ = nullptr;
    QLineEdit* addresses_ = nullptr;
    QCheckBox* includeComm_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QList<QPushButton*> actions_;
};
