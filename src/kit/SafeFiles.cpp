#include "SafeFiles.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QStringList>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString SystemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QString KindOf(mode_t mode) {
    if (S_ISREG(mode))
        return {};
    if (S_ISFIFO(mode))
        return QCoreApplication::translate("SafeFiles", "a FIFO");
    if (S_ISCHR(mode))
        return QCoreApplication::translate("SafeFiles", "a character device");
    if (S_ISBLK(mode))
        return QCoreApplication::translate("SafeFiles", "a block device");
    if (S_ISDIR(mode))
        return QCoreApplication::translate("SafeFiles", "a folder");
    if (S_ISSOCK(mode))
        return QCoreApplication::translate("SafeFiles", "a socket");
    return QCoreApplication::translate("SafeFiles", "not a regular file");
}

// A QSaveFile: the temporary file is made in the target's folder, so the replacement is a
// rename within one file system. QSaveFile's own commit lets a failed flush of its buffer
// pass (the target would be replaced by a cut file) and ignores a failed sync, so both are
// done and checked here before the commit.
class SaveFileSink : public FileSink {
public:
    bool Open(const QString& path) override {
        file_.setFileName(path);
        if (file_.open(QIODevice::WriteOnly))
            return true;
        error_ = file_.errorString();
        return false;
    }
    qint64 Write(const QByteArray& bytes) override {
        errno = 0;
        const qint64 written = file_.write(bytes);
        if (written != bytes.size())
            error_ = Why();
        return written;
    }
    bool Flush() override {
        errno = 0;
        if (!file_.flush()) {
            error_ = Why();
            return false;
        }
        if (::fsync(file_.handle()) != 0) {
            error_ = SystemError(errno);
            return false;
        }
        return true;
    }
    bool Commit() override {
        if (file_.commit())
            return true;
        error_ = file_.errorString();
        return false;
    }
    void Discard() override { file_.cancelWriting(); }
    QString ErrorString() const override { return error_; }

private:
    // The system's reason where there is one: Qt reports some failed writes as "Unknown
    // error", which would hide a full disk.
    QString Why() const { return errno != 0 ? SystemError(errno) : file_.errorString(); }

    QSaveFile file_;
    QString error_;
};

} // namespace

std::unique_ptr<FileSink> MakeSaveFileSink() {
    return std::make_unique<SaveFileSink>();
}

QString NotARegularFile(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return KindOf(st.st_mode);
}

QString SaveTargetProblem(const QString& path) {
    if (path.isEmpty())
        return QCoreApplication::translate("SafeFiles", "no file name given");
    const QString kind = NotARegularFile(path);
    if (kind.isEmpty())
        return {};
    return QCoreApplication::translate(
               "SafeFiles",
               "%1 is %2, not a regular file; a save would replace it, so nothing is written "
               "there (choose a new name or a regular file)")
        .arg(path, kind);
}

bool SaveFileAtomically(const QString& path, const QByteArray& bytes, QString* why,
                        FileSink* sink) {
    auto fail = [&](const QString& reason) {
        if (why)
            *why = reason;
        return false;
    };
    if (const QString problem = SaveTargetProblem(path); !problem.isEmpty())
        return fail(problem);
    const bool existed = QFileInfo::exists(path);
    std::unique_ptr<FileSink> own;
    if (!sink) {
        own = MakeSaveFileSink();
        sink = own.get();
    }
    const QString kept =
        existed
            ? QCoreApplication::translate("SafeFiles", "the file that was there is kept as it was")
            : QCoreApplication::translate("SafeFiles", "no file was made");
    const QString failed = QCoreApplication::translate("SafeFiles", "cannot write %1: %2; %3");
    if (!sink->Open(path))
        return fail(failed.arg(path, sink->ErrorString(), kept));
    if (sink->Write(bytes) != bytes.size() || !sink->Flush()) {
        const QString error = sink->ErrorString();
        sink->Discard();
        return fail(failed.arg(path, error, kept));
    }
    if (!sink->Commit())
        return fail(failed.arg(path, sink->ErrorString(), kept));
    return true;
}

bool ReadRegularFile(const QString& path, qint64 maxBytes, QByteArray* bytes, QString* why) {
    auto fail = [&](const QString& reason) {
        if (why)
            *why = reason;
        return false;
    };
    const QByteArray name = QFile::encodeName(path);
    auto tooLarge = [&](qint64 size) {
        return fail(
            QCoreApplication::translate(
                "SafeFiles", "%1 has %2 bytes or more; a file of more than %3 bytes is not read")
                .arg(path, QLocale::c().toString(size), QLocale::c().toString(maxBytes)));
    };
    struct stat st {};
    if (::stat(name.constData(), &st) != 0)
        return fail(QCoreApplication::translate("SafeFiles", "cannot read %1: %2")
                        .arg(path, SystemError(errno)));
    // Nothing but a regular file is opened: a FIFO would block the open, a device would
    // never end.
    if (!S_ISREG(st.st_mode))
        return fail(QCoreApplication::translate(
                        "SafeFiles", "%1 is %2, not a regular file; only a regular file is read")
                        .arg(path, KindOf(st.st_mode)));
    if (st.st_size > maxBytes)
        return tooLarge(st.st_size);
    // Opened without waiting, and looked at again: the name may lead elsewhere by now.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return fail(QCoreApplication::translate("SafeFiles", "cannot read %1: %2")
                        .arg(path, SystemError(errno)));
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return fail(QCoreApplication::translate(
                        "SafeFiles", "%1 is %2, not a regular file; only a regular file is read")
                        .arg(path, KindOf(st.st_mode)));
    QByteArray data(qsizetype(std::min<qint64>(st.st_size, maxBytes) + 1), Qt::Uninitialized);
    qint64 got = 0;
    while (true) {
        if (got == data.size()) {
            // Grown since it was looked at: read on only up to the limit.
            if (got > maxBytes)
                return tooLarge(got);
            data.resize(qsizetype(std::min<qint64>(2 * got, maxBytes + 1)));
        }
        const ssize_t n = ::read(fd, data.data() + got, size_t(data.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail(QCoreApplication::translate("SafeFiles", "cannot read %1: %2")
                            .arg(path, SystemError(errno)));
        if (n == 0)
            break;
        got += n;
    }
    if (got > maxBytes)
        return tooLarge(got);
    data.resize(qsizetype(got));
    if (bytes)
        *bytes = data;
    return true;
}

QString PathForChosenFilter(const QString& path, const QString& nameFilter) {
    if (path.isEmpty())
        return path;
    // "Meter configurations (*.qmeter.json *.json)": the patterns between the brackets.
    const qsizetype open = nameFilter.lastIndexOf(QLatin1Char('('));
    const qsizetype close = nameFilter.lastIndexOf(QLatin1Char(')'));
    const QString patterns =
        open >= 0 && close > open ? nameFilter.mid(open + 1, close - open - 1) : nameFilter;
    QStringList suffixes;
    for (const QString& pattern : patterns.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!pattern.startsWith(QLatin1String("*.")))
            return path; // "*" or a pattern that names no extension
        suffixes << pattern.mid(1);
    }
    if (suffixes.isEmpty())
        return path;
    for (const QString& suffix : suffixes)
        if (path.endsWith(suffix, Qt::CaseInsensitive))
            return path;
    return path + suffixes.first();
}
