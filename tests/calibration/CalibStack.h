#pragma once
// A main window with a synthetic I1 stack whose left half has its edge 2 eV
// above the standard's and its right half 1 eV below, and the standard file.
#include "support/FrameCraft.h"

#include "display/ImgDispA.h"
#include "mainwindow/Body.h"

#include <QFile>
#include <QTextStream>

#include <cmath>
#include <functional>
#include <memory>

namespace calibstack {

const double stdEdge = 8990.0;

// Absorption behind an edge rising linearly over 10 eV around centre.
inline double muAt(double e, double centre)
{
    const double t = (e - centre + 5.0) / 10.0;
    return t <= 0.0 ? 0.0 : t >= 1.0 ? 1.0 : t;
}

// Left half +2 eV, right half -1 eV against the standard.
inline double shiftOf(int x, int w) { return x < w / 2 ? 2.0 : -1.0; }

inline double energy(int k) { return 8900.0 + k; }
const int frames = 201;

inline bool writeStandard(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&f);
    for (int k = 0; k < frames; k++)
        out << energy(k) << ' ' << muAt(energy(k), stdEdge) << '\n';
    return true;
}

// w x h pixels, bins of one pixel, no I0: the walk's area is the whole image.
// shift(x, y): the edge of pixel (x, y) against the standard, the halves when none.
inline std::unique_ptr<Body> bodyWithStack(int w = 10, int h = 4,
                                           const std::function<double(int, int)>& shift = {})
{
    std::unique_ptr<Body> b(new Body());
    for (int k = 0; k < frames; k++) {
        QVector<double> v;
        for (int y = 0; y < h; y++) {
            for (int x = 0; x < w; x++)
                v << std::exp(-muAt(energy(k), stdEdge + (shift ? shift(x, y) : shiftOf(x, w))));
        }
        b->frameSets.append(FrameSets::I1, craft::floatFrame(w, h, v), energy(k));
    }
    b->followI1Stack();
    b->UseI0->setChecked(false);
    b->FluoType->setChecked(false);
    for (QLineEdit* e : {b->vHWidth_, b->vVWidth_, b->aHWidth_, b->aVWidth_})
        e->setText(QStringLiteral("0"));
    b->dispA->sel.valid = false;
    b->dispA->viewWin = QRectF(0, 0, w, h);
    return b;
}

} // namespace calibstack
