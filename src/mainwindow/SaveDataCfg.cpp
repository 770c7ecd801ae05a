#include "mainwindow/SaveDataCfg.h"

SaveDataCfg::SaveDataCfg(QWidget* parent) : QFrame(parent) {}

SaveDataCfg::~SaveDataCfg() = default;
