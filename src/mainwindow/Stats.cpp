#include "mainwindow/Stats.h"

Stats::Stats(QWidget* parent) : QFrame(parent)
{
    setWindowTitle(tr("Statistics"));
    ShowOverImage = new QCheckBox(tr("Show Over Image"), this);
}

Stats::~Stats() = default;
