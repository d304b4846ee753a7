// Saves that are whole or nothing, and reads that take only a regular file of bounded
// size: every kind of target and source a technician's folder can hold, a full disk
// through an injected sink (/dev/full: the real error text) and a real one through the
// process's file size limit.

#include "SafeFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <csignal>
#include <functional>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

namespace {

constexpr qint64 kLimit = 1 << 20;
const QByteArray kOld = "the file as it was\n";
const QByteArray kNew(64 * 1024, 'n');

// The bytes of a save go to /dev/full, which takes them into its buffer and refuses them
// when they are flushed, as a full disk does; the target itself is never touched.
class FullDiskSink : public FileSink {
public:
    bool Open(const QString&) override { return file_.open(QIODevice::WriteOnly); }
    qint64 Write(const QByteArray& bytes) override { return file_.write(bytes); }
    bool Flush() override { return file_.flush(); }
    bool Commit() override { return false; }
    void Discard() override { discarded = true; }
    QString ErrorString() const override { return file_.errorString(); }
    bool discarded = false;

private:
    QFile file_{QStringLiteral("/dev/full")};
};

// The process may write files of at most `bytes` while it lives (and a write beyond is an
// error, not a signal).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &was_);
        signal_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = was_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &was_);
        std::signal(SIGXFSZ, signal_);
    }

private:
    rlimit was_{};
    void (*signal_)(int) = nullptr;
};

void Write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray Contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
}

struct FileCase {
    const char* name;
    // Puts what the case needs into `dir` and gives the path to read or save to.
    std::function<QString(const QDir& dir)> make;
    bool save; // SaveFileAtomically of kNew, else ReadRegularFile
    bool succeeds;
    const char* says; // part of the reason when it fails
    // What must hold of `path` afterwards.
    std::function<void(const QString& path)> after = [](const QString&) {};
    bool fullDisk = false;    // through FullDiskSink
    bool sizeLimited = false; // the real QSaveFile under a 16 kB file size limit
};

void PrintTo(const FileCase& c, std::ostream* os) {
    *os << c.name;
}

QString Fifo(const QDir& dir) {
    const QString path = dir.filePath(QStringLiteral("fifo"));
    EXPECT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    return path;
}

QString Existing(const QDir& dir) {
    const QString path = dir.filePath(QStringLiteral("kept.json"));
    Write(path, kOld);
    return path;
}

void StillFifo(const QString& path) {
    EXPECT_EQ(NotARegularFile(path), "a FIFO");
}

void Untouched(const QString& path) {
    EXPECT_EQ(Contents(path), kOld);
    // No temporary file is left beside it either.
    EXPECT_EQ(QFileInfo(path).dir().entryList(QDir::Files).size(), 1);
}

class SafeFiles : public ::testing::TestWithParam<FileCase> {};

TEST_P(SafeFiles, TakesOrRefusesEachKindOfFile) {
    const FileCase& c = GetParam();
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QDir dir(temp.path());
    const QString path = c.make(dir);
    QString why;
    bool ok = false;
    if (c.save) {
        FullDiskSink full;
        std::optional<FileSizeLimit> limit;
        if (c.sizeLimited)
            limit.emplace(16 * 1024);
        ok = SaveFileAtomically(path, kNew, &why, c.fullDisk ? &full : nullptr);
        limit.reset();
        EXPECT_EQ(full.discarded, c.fullDisk);
        if (ok) {
            EXPECT_EQ(Contents(path), kNew);
        }
    } else {
        QByteArray bytes = "unchanged";
        ok = ReadRegularFile(path, kLimit, &bytes, &why);
        EXPECT_EQ(bytes, ok ? Contents(path) : QByteArray("unchanged"));
    }
    EXPECT_EQ(ok, c.succeeds) << why.toStdString();
    if (!c.succeeds) {
        EXPECT_TRUE(why.contains(QLatin1String(c.says))) << why.toStdString();
        EXPECT_TRUE(why.contains(path)) << "names the file: " << why.toStdString();
    }
    c.after(path);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SafeFiles,
    ::testing::Values(
        FileCase{"ReadARegularFile", Existing, false, true, ""},
        FileCase{"ReadThroughALink",
                 [](const QDir& dir) {
                     const QString link = dir.filePath(QStringLiteral("link"));
                     QFile::link(Existing(dir), link);
                     return link;
                 },
                 false, true, ""},
        FileCase{"ReadAFifoWithoutWaiting", Fifo, false, false, "is a FIFO, not a regular file"},
        FileCase{"ReadDevZero", [](const QDir&) { return QStringLiteral("/dev/zero"); }, false,
                 false, "is a character device, not a regular file"},
        FileCase{"ReadAFolder", [](const QDir& dir) { return dir.path(); }, false, false,
                 "is a folder"},
        FileCase{"ReadAFileBeyondTheLimit",
                 [](const QDir& dir) {
                     QFile big(dir.filePath(QStringLiteral("big")));
                     EXPECT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(kLimit + 1));
                     return big.fileName();
                 },
                 false, false,
                 "has 1048577 bytes or more; a file of more than 1048576 bytes is not read"},
        FileCase{"ReadAMissingFile",
                 [](const QDir& dir) { return dir.filePath(QStringLiteral("none")); }, false, false,
                 "No such file or directory"},
        FileCase{"SaveUnderANewName",
                 [](const QDir& dir) { return dir.filePath(QStringLiteral("new.json")); }, true,
                 true, ""},
        FileCase{"SaveOverAFile", Existing, true, true, ""},
        FileCase{"SaveOntoAFifo", Fifo, true, false, "is a FIFO, not a regular file", StillFifo},
        FileCase{"SaveOntoALinkToAFifo",
                 [](const QDir& dir) {
                     const QString link = dir.filePath(QStringLiteral("to-fifo"));
                     QFile::link(Fifo(dir), link);
                     return link;
                 },
                 true, false, "is a FIFO", StillFifo},
        FileCase{"SaveOntoAFolder", [](const QDir& dir) { return dir.path(); }, true, false,
                 "is a folder"},
        FileCase{"SaveOnAFullDisk", Existing, true, false,
                 "No space left on device; the file that was there is kept as it was", Untouched,
                 true},
        FileCase{"SaveBeyondTheFileSizeLimit", Existing, true, false,
                 "File too large; the file that was there is kept as it was", Untouched, false,
                 true}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

// The chosen filter of a save dialog adds its extension, and a name that has it already is
// kept; "All files" keeps what was typed.
TEST(SafeFiles, TheChosenFilterAddsItsExtension) {
    const struct {
        const char* path;
        const char* filter;
        const char* saved;
    } cases[] = {
        {"/d/meter17", "Meter configurations (*.qmeter.json)", "/d/meter17.qmeter.json"},
        {"/d/meter17.qmeter.json", "Meter configurations (*.qmeter.json)",
         "/d/meter17.qmeter.json"},
        {"/d/meter17.QMETER.JSON", "Meter configurations (*.qmeter.json)",
         "/d/meter17.QMETER.JSON"},
        {"/d/meter17.json", "Meter configurations (*.qmeter.json)", "/d/meter17.json.qmeter.json"},
        {"/d/chart", "SVG drawing (*.svg)", "/d/chart.svg"},
        {"/d/chart.png", "SVG drawing (*.svg)", "/d/chart.png.svg"},
        {"/d/chart.jpeg", "Pictures (*.jpg *.jpeg)", "/d/chart.jpeg"},
        {"/d/chart", "Pictures (*.jpg *.jpeg)", "/d/chart.jpg"},
        {"/d/results", "All files (*)", "/d/results"},
        {"/d/results", "", "/d/results"},
        {"", "CSV files (*.csv)", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PathForChosenFilter(c.path, c.filter), c.saved) << c.path << " " << c.filter;
}
