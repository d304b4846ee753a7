#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

// The files a technician keeps (meter configurations, commissioning reports, clone
// results) and the ones the program reads back. A save is whole or not at all: the bytes
// go to a temporary file in the target's folder, which replaces the target only once every
// byte is on disk, so a full disk or a pulled stick leaves the earlier file as it was. A
// read takes only a regular file of bounded size, so a device, a FIFO or a runaway file can
// neither stall the program nor exhaust its memory.

// Where the bytes of a save go. The program's own (MakeSaveFileSink) is a QSaveFile;
// tests put in one that fails the way a full disk does.
class FileSink {
public:
    virtual ~FileSink() = default;
    virtual bool Open(const QString& path) = 0;
    // Bytes taken; they may still sit in a buffer.
    virtual qint64 Write(const QByteArray& bytes) = 0;
    // Every byte handed to the file system: false when it refused them (a full disk).
    virtual bool Flush() = 0;
    // The new file takes the target's place.
    virtual bool Commit() = 0;
    // The new file is thrown away; the target stays as it was.
    virtual void Discard() = 0;
    virtual QString ErrorString() const = 0;
};
std::unique_ptr<FileSink> MakeSaveFileSink();

// Why nothing may be saved under `path`: something is there that is not a regular file
// (a device, a FIFO, a socket, a folder; a link is judged by what it leads to), which a
// save would replace with a file. Empty when a save may go ahead.
QString SaveTargetProblem(const QString& path);

// Writes `bytes` to `path` whole or not at all, through `sink` (a QSaveFile when none is
// given): the target checked first, then every write, the flush and the replacement.
// False, with the reason in `why` ("cannot write /data/cfg.json: No space left on device;
// the file that was there is kept"), on any failure; the earlier file is then untouched.
bool SaveFileAtomically(const QString& path, const QByteArray& bytes, QString* why,
                        FileSink* sink = nullptr);

// Reads the whole of `path` when it is a regular file (a link to one is fine) of at most
// `maxBytes`. Anything else (a device, a FIFO, a folder, a larger file, one that grows
// past the limit while it is read) is refused before or while reading, never waited on,
// with the reason in `why` naming the file.
bool ReadRegularFile(const QString& path, qint64 maxBytes, QByteArray* bytes, QString* why);

// "a FIFO", "a character device", "a folder", ...: what the file system holds at `path`
// when it is not a regular file; empty for a regular file or nothing at all.
QString NotARegularFile(const QString& path);

// The name a save dialog's answer is saved under: the dialog's chosen name filter adds its
// extension when the name typed has none of the filter's ("meter17" with "Meter
// configurations (*.qmeter.json)" -> "meter17.qmeter.json"; "chart.png" with "SVG drawing
// (*.svg)" -> "chart.png.svg"), so the filter decides the format. A filter of "*" keeps the
// name as typed; so does an empty path (the dialog was cancelled).
QString PathForChosenFilter(const QString& path, const QString& nameFilter);
