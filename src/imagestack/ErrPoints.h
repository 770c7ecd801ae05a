#pragma once
// Defective pixel positions from an error-points file, and the line rules that
// the error-points and pixel-mask files share.
#include <QList>
#include <QMetaType>
#include <QPoint>
#include <QSet>
#include <QString>

class ErrPoints {
public:
    // Reads an error-points file; false (and an empty list) when it cannot be opened.
    bool read(const QString& fileName, bool append);
    bool contains(int x, int y) const;

    bool use = false;
    QString fileName;
    QList<QPoint> points;
    int width = 0;
    int height = 0;

    // "# Size" with at least two items: the size line of both file kinds.
    static bool sizeLine(const QString& line, int& width, int& height);
    // Any other line: false when it holds fewer than two items after its comment is cut.
    static bool pointLine(const QString& line, int& x, int& y, double* value = nullptr);

private:
    void reindex();

    // Positions of `points` as read, for contains() without a list walk; only
    // trusted while the list still has the length it had when it was indexed.
    QSet<quint64> index;
    qsizetype indexedCount = 0;
};

// The program-wide list: default of every frame, and the list the dark check compares with.
extern ErrPoints globalErrPoints;

Q_DECLARE_METATYPE(ErrPoints*)
