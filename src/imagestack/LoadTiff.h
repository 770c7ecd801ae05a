#pragma once
// Loader of one image stack, living on a thread of its own. Completed later:
// for now it only answers every request as finished, so nothing waits on it.
#include "batch/CmdDef.h"

#include <QObject>
#include <QStringList>

class ErrPoints;
class TiffData;

class LoadTiff : public QObject {
    Q_OBJECT
public:
    explicit LoadTiff(QObject* parent = nullptr);
    ~LoadTiff() override;

    bool busy = false;

signals:
    void loaded(TiffData* data, int fNo, int totalFiles);
    void finishLoadFiles(EX_CMD_ID id);

public slots:
    void loadTiffs(QStringList files, bool ignoreLive, int skip, int cutFirst, int cutLast,
                   ErrPoints* errPs, EX_CMD_ID loadCmdId);
    void stop();
};
