#include "imagestack/LoadTiff.h"

LoadTiff::LoadTiff(QObject* parent) : QObject(parent) {}

LoadTiff::~LoadTiff() = default;

void LoadTiff::loadTiffs(QStringList, bool, int, int, int, ErrPoints*, EX_CMD_ID loadCmdId)
{
    emit finishLoadFiles(loadCmdId);
}

void LoadTiff::stop() {}
