#pragma once

#include "TrendChart.h"
#include "TrendLogReader.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class OperatorDialogs;
class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QProgressBar;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

inline const QString TrendsWindowName = QStringLiteral("FormTrends");

// "Trends": the metering block's values over time, live from the history recorded since
// start-up or from a data log opened from file. Up to eight quantities of at most two
// units; spans from a minute to a day, following the newest values or paused; the visible
// span exported as a data log file and the chart as a picture.
class TFormTrends : public QWidget {
    Q_OBJECT

public:
    // The file dialogs; tests replace them. Empty = cancelled.
    using AskOpenFiles = std::function<QStringList()>;
    using AskSaveFile = std::function<QString(const QString& filter)>;

    TFormTrends(const TrendHistory& live, OperatorDialogs& dialogs, QWidget* parent = nullptr);
    ~TFormTrends() override;

    void SetAskOpenFiles(AskOpenFiles ask) { askOpen_ = std::move(ask); }
    void SetAskSaveFile(AskSaveFile ask) { askSave_ = std::move(ask); }

    // The live history grew.
    void LiveRecorded();
    // Reads a log (one file or a rotated set) in a worker thread, with a progress bar and
    // Cancel, and then draws it instead of the live values; a file that is not a data log
    // is refused with its line and reason, and the chart stays as it was. LogRead tells
    // the outcome. False when a reading is already under way.
    bool StartOpenLog(const QStringList& files);
    // The same, returning once the log is read (the window stays live meanwhile); true
    // when it is drawn.
    bool OpenLog(const QStringList& files);
    bool Reading() const { return reading_ != nullptr; }
    void CancelReading();
    void ShowLive();
    bool ShowingLog() const { return log_.has_value(); }

    // Ticks the quantities (trend quantity indexes); those past eight, or of a third
    // unit, are refused and stay unticked.
    void Choose(const QList<int>& quantities);
    QList<int> Chosen() const;

    // The Y axis of `unit` fixed from the window's fields; false (with the field named)
    // when they are not numbers or not in order.
    bool ApplyFixedAxis();
    bool ExportCsv(const QString& path);
    bool ExportPicture(const QString& path); // .png, or .svg

    TrendChart* Chart() const { return chart_; }
    QListWidget* QuantityList() const { return list_; }
    QLineEdit* EditLow() const { return low_; }
    QLineEdit* EditHigh() const { return high_; }
    QComboBox* ComboAxis() const { return axisUnit_; }
    QCheckBox* CheckAutoscale() const { return autoscale_; }

signals:
    // A reading begun by StartOpenLog ended: drawn, or refused or cancelled.
    void LogRead(bool shown);

private:
    struct LogReading;
    void BuildQuantityList();
    QHBoxLayout* BuildAxisBar();
    QHBoxLayout* BuildFileBar();
    void ShowReadingProgress();
    void FinishOpenLog();
    void ShowLog(TrendLog log, const QStringList& files);
    QString FilesText(const QStringList& files) const;
    void ChoiceChanged();
    void ShowAxisFields();
    void SyncSpan(qint64 span);

    const TrendHistory& live_;
    OperatorDialogs& dialogs_;
    std::optional<TrendLog> log_;
    QString logSource_;
    std::unique_ptr<LogReading> reading_;
    AskOpenFiles askOpen_;
    AskSaveFile askSave_;
    bool updatingChoice_ = false;

    TrendChart* chart_ = nullptr;
    QListWidget* list_ = nullptr;
    QComboBox* span_ = nullptr;
    QCheckBox* follow_ = nullptr;
    QLabel* source_ = nullptr;
    QPushButton* liveButton_ = nullptr;
    QPushButton* openButton_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QComboBox* axisUnit_ = nullptr;
    QCheckBox* autoscale_ = nullptr;
    QLineEdit* low_ = nullptr;
    QLineEdit* high_ = nullptr;
};

// The spans the window offers, in milliseconds.
QList<qint64> TrendSpans();
