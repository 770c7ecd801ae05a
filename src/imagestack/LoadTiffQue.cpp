#include "imagestack/LoadTiffQue.h"

#include <QtGlobal>

LoadTiffQue::LoadTiffQue(const QStringList& files, bool ignoreLive, int skip, int cutFirst,
                         int cutLast, ErrPoints* errPs, EX_CMD_ID loadCmdId, quint64 generation)
    : files(files),
      ignoreLive(ignoreLive),
      // A skip of 0 would read the same file for ever, a negative cut past the list.
      skip(qMax(1, skip)),
      cutFirst(qMax(0, cutFirst)),
      cutLast(qMax(0, cutLast)),
      errPs(errPs),
      loadCmdId(loadCmdId),
      generation(generation),
      errPoints(errPs ? *errPs : globalErrPoints),
      programErrPointsInUse(globalErrPoints.use)
{
}
