#include "foundation/LineReader.h"

#include "foundation/DeferredLog.h"

#include <QDebug>
#include <QFileInfo>

bool isRegularFile(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

bool refuseIrregular(const QString& path)
{
    if (!QFileInfo::exists(path) || isRegularFile(path))
        return false;
    debugLine().noquote() << "Not a regular file, not read:" << path;
    return true;
}

void LineReader::start(QIODevice* device, const QString& name)
{
    in.setDevice(device);
    name_ = name;
    lineNo = 0;
    refused_ = false;
    opened = true;
}

bool LineReader::open(const QString& path)
{
    in.setDevice(nullptr);
    file.close();
    opened = false;
    name_ = path;
    refused_ = false;
    if (path.isEmpty())
        return false;
    if (refuseIrregular(path)) {
        refused_ = true;
        return false;
    }
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    // Replaced between the check and the open.
    if (file.isSequential()) {
        debugLine().noquote() << "Not a regular file, not read:" << path;
        file.close();
        refused_ = true;
        return false;
    }
    start(&file, path);
    return true;
}

void LineReader::openBytes(const QByteArray& bytes, const QString& name)
{
    in.setDevice(nullptr);
    buffer.close();
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly | QIODevice::Text);
    start(&buffer, name);
}

bool LineReader::readLine(QString& line)
{
    if (!opened || refused_)
        return false;
    // One character more than allowed tells an overlong line from one at the cap;
    // the stream stops filling its buffer there.
    if (!in.readLineInto(&line, maxLineLength + 1))
        return false;
    ++lineNo;
    if (line.size() > maxLineLength) {
        debugLine().noquote() << QStringLiteral("Line %1 longer than %2 characters, reading stopped:")
                                  .arg(lineNo).arg(maxLineLength)
                           << name_;
        line.clear();
        refused_ = true;
        return false;
    }
    return true;
}

bool LineReader::rewind()
{
    if (!opened)
        return false;
    // A refused text stays refused.
    lineNo = 0;
    return in.seek(0);
}

qint64 LineReader::size() const
{
    return opened && in.device() ? in.device()->size() : 0;
}
