#include "mainwindow/Stats.h"

Stats::Stats(QWidget* parent) : QFrame(parent)
{
    setWindowTitle(tr("Statistics"));
}

Stats::~Stats() = default;
