#pragma once
// Every file the program writes goes through here: the bytes go to a temporary
// file in the target's folder, which takes the target's name only when every
// write and the sync succeeded. So a full disk or a vanished folder never
// leaves a partial or empty file, and an earlier file of that name keeps its
// bytes. A failure is told once, as one line naming the file and the system's
// reason, in the debug log and to the sink (the batch window).
// QSaveFile alone is not enough: it puts a file in place whose last buffered
// bytes did not fit, so every write here goes unbuffered and is checked.
#include <QFileDevice>
#include <QString>

#include <functional>
#include <memory>

class QImage;
class QTextStream;

class WholeFile {
public:
    explicit WholeFile(const QString& fileName);
    ~WholeFile(); // a file never committed is discarded
    WholeFile(const WholeFile&) = delete;
    WholeFile& operator=(const WholeFile&) = delete;

    // False, and told, when the temporary file cannot be made. A name that
    // is a device or a pipe is written straight: it is never replaced.
    bool open(bool text = false);
    // False after any failed write, this one or an earlier; commit tells it.
    bool write(const char* data, qint64 size);
    bool write(const QByteArray& bytes) { return write(bytes.constData(), bytes.size()); }
    // A stream on the file; commit flushes it.
    QTextStream& text();
    // Line ends of later writes as the platform's text files have them.
    void setTextMode(bool on) { file->setTextModeEnabled(on); }
    // Puts the file in place. False, the file discarded and the failure told,
    // when it never opened or any write, the close or the renaming failed.
    bool commit();

    const QString& fileName() const { return name; }

private:
    QString name;
    std::unique_ptr<QFileDevice> file; // a QSaveFile, or a QFile for a device
    bool direct = false;
    std::unique_ptr<QIODevice> pipe; // carries the stream's text through write
    std::unique_ptr<QTextStream> stream;
    QString failure; // the system's reason for the first failed write
    bool opened = false;
};

// Tells a failed save: the debug log and the sink get the line "Can't save
// <file>: <reason>", the file named absolutely.
void tellSaveFailure(const QString& fileName, const QString& reason);

// The bytes as the whole file; false (told) on any failure.
bool saveWhole(const QString& fileName, const QByteArray& bytes, bool text = false);
// A text file, whole, of what fill writes to the stream; false (told) on any failure.
bool saveWholeText(const QString& fileName, const std::function<void(QTextStream&)>& fill);
// The file's bytes followed by more, put in place whole: a failed append
// leaves the file as it was.
bool appendWhole(const QString& fileName, const QByteArray& more);
// The picture encoded in the format its name's suffix gives, saved whole.
bool savePictureWhole(const QImage& image, const QString& fileName);

// Where a failed save is told besides the debug log; returns the sink it
// replaces, so that an owner can put it back.
using SaveFailureSink = std::function<void(const QString& line)>;
SaveFailureSink setSaveFailureSink(SaveFailureSink sink);
