#pragma once
// One load request of a stack: the chosen files with the walk settings, the
// error points to repair with and the program-wide list's switch (both copied
// when the request is made, in the GUI thread, so the owner may change them
// while the loader reads) and the generation of the loader it was made for.
#include "batch/CmdDef.h"
#include "imagestack/ErrPoints.h"

#include <QMetaType>
#include <QStringList>

class LoadTiffQue {
public:
    LoadTiffQue() = default;
    // Settings out of range are brought in: skip to at least 1, the cuts to at least 0.
    LoadTiffQue(const QStringList& files, bool ignoreLive, int skip, int cutFirst, int cutLast,
                ErrPoints* errPs, EX_CMD_ID loadCmdId, quint64 generation);

    // The walk takes cutFirst, cutFirst + skip, ... while below endIndex();
    // the file at cutFirst is taken whenever it exists.
    bool hasFirst() const { return cutFirst < files.size(); }
    int endIndex() const { return int(files.size()) - cutLast; }
    // A file the walk passes over, with a log line, rather than reads.
    bool skipsLive(const QString& path) const { return ignoreLive && path.contains(QLatin1String("Live")); }

    QStringList files;
    bool ignoreLive = false;
    int skip = 1;
    int cutFirst = 0;
    int cutLast = 0;
    // The owner's list, which a loaded frame points at; the repair uses `errPoints`.
    ErrPoints* errPs = nullptr;
    EX_CMD_ID loadCmdId = NOT_EX_CMD;
    quint64 generation = 0;
    ErrPoints errPoints;               // the owner's list, or the program's without one
    bool programErrPointsInUse = false; // repairs TIFF frames

};

Q_DECLARE_METATYPE(LoadTiffQue)
