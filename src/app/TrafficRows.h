#pragma once

#include "TransactionObserver.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>

// How a row of the traffic monitor ended. A request and its reply share their
// transaction's outcome (the codes the status bar counts); bytes that belong to no reply
// are Stray.
enum class TrafficStatus : quint8 { Ok, NoResponse, CrcError, FieldError, Stray };
inline constexpr int kTrafficStatusCount = 5;

enum class TrafficDirection : quint8 { Tx, Rx };

// One line of the traffic monitor: a request, a reply (or its absence) or stray bytes.
struct TrafficRow {
    qint64 timeMs = 0; // wall clock, ms since the epoch
    TrafficDirection direction = TrafficDirection::Tx;
    int slave = -1;    // -1 when the bytes name none
    int function = -1; // the request's function code; -1 for stray bytes
    QString functionName;
    QString start;      // "0x0130", the coil or register the request names; may be empty
    QString detail;     // count, written value, or the meter's exception
    int exception = -1; // the meter's exception code when the reply is an exception
    QByteArray bytes;
    std::optional<double> latencyMs; // replies: request written -> last chunk delivered
    TrafficStatus status = TrafficStatus::Ok;
};

// The master's outcome code (0 accepted, 1 missing or short, 2 no frame or CRC, 3 fields).
TrafficStatus StatusOfCode(quint8 code);
// "OK", "no response", "CRC error", "field error", "stray".
QString StatusName(TrafficStatus status);
// "Read Holding Registers", ...; "Function 0x42" for a code the meter does not know.
QString FunctionName(quint8 function);
// "Illegal Data Address", ...; "Exception 0x0C" for others.
QString ExceptionName(quint8 code);
// The three names as the operator reads them; the saved traffic keeps the ones above.
QString ShownStatusName(TrafficStatus status);
QString ShownFunctionName(quint8 function);
QString ShownExceptionName(quint8 code);

// The rows of one evaluated transaction: the request, then what came back. Bytes in front
// of or behind a reply whose CRC checks out get stray rows of their own; a reply that does
// not check out is shown whole. An exception reply (function code + 0x80 with a good CRC)
// names the exception. `writtenAtMs` is the wall-clock time of the write; the other rows
// are timed from it by the master's own clock.
QList<TrafficRow> TransactionRows(const TransactionRecord& record, qint64 writtenAtMs);
// Bytes that arrived while no reply was awaited.
TrafficRow StrayRow(const QByteArray& bytes, qint64 atMs);

// Columns of the monitor, in order.
enum TrafficColumn : int {
    ColTime,
    ColDirection,
    ColSlave,
    ColFunction,
    ColStart,
    ColDetail,
    ColBytes,
    ColLatency,
    ColStatus,
    TrafficColumnCount
};
QStringList TrafficHeaders();
// The texts a column must show whole on screen, its header among them: the widest of each kind
// (every status, every function name, every exception). Empty for the bytes column, which
// takes the room that is left.
QStringList TrafficColumnSamples(int column);
// The texts of a row's columns. Times read "HH:mm:ss.zzz" local, or with the date in
// front when `withDate` is set (saved files).
QStringList TrafficRowTexts(const TrafficRow& row, bool withDate = false);
QString TrafficCellText(const TrafficRow& row, int column, bool withDate = false);
// A cell as the monitor shows it: the function, exception and status in the operator's
// language.
QString ShownTrafficCellText(const TrafficRow& row, int column);
// Rows as tab-separated text with a header line (clipboard, .txt files) or as CSV.
QString TrafficRowsAsText(const QList<TrafficRow>& rows);
QString TrafficRowsAsCsv(const QList<TrafficRow>& rows);
// One CSV field: quoted when it holds a comma, quote or line break.
QString CsvField(const QString& text);

// The filters of the save dialog; CSV is the first, so the one a plain Save gets.
inline const QString kTrafficCsvFilter = QStringLiteral("CSV files (*.csv)");
inline const QString kTrafficTextFilter = QStringLiteral("Text files (*.txt)");

// Where Save writes, and how. A name without an extension gets the chosen filter's
// (".csv", or ".txt" for the text filter); ".csv" files are comma-separated and ".txt"
// files tab-separated whatever the filter; any other extension follows the filter.
struct TrafficSaveTarget {
    QString fileName;
    bool csv = true;
};
TrafficSaveTarget TrafficSaveTargetOf(const QString& chosen, const QString& filter);
