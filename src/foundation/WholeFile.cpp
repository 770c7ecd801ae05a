#include "foundation/WholeFile.h"

#include <QBuffer>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QMutex>
#include <QMutexLocker>
#include <QSaveFile>
#include <QTextStream>

#include <cerrno>
#include <cstring>
#include <utility>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {
QMutex sinkLock;
SaveFailureSink failureSink;

// The system's own words where Qt has words of its own for the same reason:
// a name that is a folder, or an earlier file that cannot be written (on a
// read-only disk the system says so, where Qt says "not writable").
QString systemReason(const QString& fileName, const QString& qtReason)
{
    const QFileInfo fi(fileName);
    if (fi.isDir())
        return QString::fromLocal8Bit(std::strerror(EISDIR));
#ifdef Q_OS_UNIX
    if (fi.exists() && ::access(QFile::encodeName(fileName).constData(), W_OK) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
#endif
    return qtReason;
}

QString saveFailureLine(const QString& fileName, const QString& reason)
{
    const QString shown = fileName.isEmpty() ? fileName : QFileInfo(fileName).absoluteFilePath();
    return QStringLiteral("Can't save %1: %2").arg(shown, reason);
}
} // namespace

// The stream's way into the file: its text takes the checked writes too.
class WholeFilePipe : public QIODevice {
public:
    explicit WholeFilePipe(WholeFile& f)
        : owner(f)
    {
        open(QIODevice::WriteOnly);
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override { return owner.write(data, size) ? size : -1; }

private:
    WholeFile& owner;
};

WholeFile::WholeFile(const QString& fileName)
    : name(fileName)
{
    const QFileInfo fi(fileName);
    direct = fi.exists() && !fi.isFile() && !fi.isDir();
    if (direct)
        file = std::make_unique<QFile>(fileName);
    else
        file = std::make_unique<QSaveFile>(fileName);
}

WholeFile::~WholeFile() = default;

bool WholeFile::open(bool text)
{
    QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Unbuffered;
    if (text)
        mode |= QIODevice::Text;
    opened = !name.isEmpty() && file->open(mode);
    if (!opened)
        tellSaveFailure(name,
                        name.isEmpty() ? QStringLiteral("no file name") : systemReason(name, file->errorString()));
    return opened;
}

bool WholeFile::write(const char* data, qint64 size)
{
    if (!opened || !failure.isEmpty())
        return false;
    // A short write is followed by one that fails with the reason.
    while (size > 0) {
        const qint64 n = file->write(data, size);
        if (n <= 0) {
            failure = file->errorString();
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

QTextStream& WholeFile::text()
{
    if (!stream) {
        pipe = std::make_unique<WholeFilePipe>(*this);
        stream = std::make_unique<QTextStream>(pipe.get());
    }
    return *stream;
}

bool WholeFile::commit()
{
    if (!opened)
        return false;
    if (stream)
        stream->flush();
    opened = false;
    if (failure.isEmpty() && !file->flush())
        failure = file->errorString();
    if (direct) {
        file->close();
    } else {
        auto* saved = static_cast<QSaveFile*>(file.get());
#ifdef Q_OS_UNIX
        // Some file systems tell a full disk only when the data go out.
        if (failure.isEmpty() && ::fsync(saved->handle()) != 0)
            failure = QString::fromLocal8Bit(std::strerror(errno));
#endif
        if (!failure.isEmpty()) {
            saved->cancelWriting();
            saved->commit(); // removes the temporary
        } else if (!saved->commit()) {
            failure = saved->errorString();
        }
    }
    if (failure.isEmpty())
        return true;
    tellSaveFailure(name, failure);
    return false;
}

void tellSaveFailure(const QString& fileName, const QString& reason)
{
    const QString line = saveFailureLine(fileName, reason);
    qDebug().noquote() << line;
    SaveFailureSink sink;
    {
        QMutexLocker l(&sinkLock);
        sink = failureSink;
    }
    if (sink)
        sink(line);
}

SaveFailureSink setSaveFailureSink(SaveFailureSink sink)
{
    QMutexLocker l(&sinkLock);
    std::swap(failureSink, sink);
    return sink;
}

bool saveWhole(const QString& fileName, const QByteArray& bytes, bool text)
{
    WholeFile f(fileName);
    if (!f.open(text))
        return false;
    f.write(bytes);
    return f.commit();
}

bool saveWholeText(const QString& fileName, const std::function<void(QTextStream&)>& fill)
{
    WholeFile f(fileName);
    if (!f.open(true))
        return false;
    fill(f.text());
    return f.commit();
}

bool appendWhole(const QString& fileName, const QByteArray& more)
{
    QByteArray before;
    QFile old(fileName);
    // A folder is refused below, in the words every writer uses.
    if (old.exists() && !QFileInfo(fileName).isDir()) {
        if (!old.open(QIODevice::ReadOnly)) {
            tellSaveFailure(fileName, old.errorString());
            return false;
        }
        before = old.readAll();
        if (old.error() != QFileDevice::NoError) {
            tellSaveFailure(fileName, old.errorString());
            return false;
        }
    }
    WholeFile f(fileName);
    if (!f.open())
        return false;
    // What the file holds goes back byte for byte; the new lines as text.
    f.write(before);
    f.setTextMode(true);
    f.write(more);
    return f.commit();
}

bool savePictureWhole(const QImage& image, const QString& fileName)
{
    // Encoded in memory first, so the encoder never meets a full disk half-way.
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    QImageWriter writer(&buf, QFileInfo(fileName).suffix().toLower().toLatin1());
    if (!writer.write(image)) {
        tellSaveFailure(fileName, writer.errorString());
        return false;
    }
    return saveWhole(fileName, bytes);
}
