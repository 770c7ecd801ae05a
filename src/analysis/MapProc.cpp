#include "analysis/MapProc.h"

#include "display/_FileDialog.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDebug>
#include <QLineEdit>

#include <algorithm>
#include <cstdlib>

namespace {
bool checked(const QAbstractButton* b)
{
    return b && b->isChecked();
}
} // namespace

MapProc::MapProc(QObject* parent)
    : QObject(parent), map1(QStringLiteral("E-Shift Map 1")), map2(QStringLiteral("E-Shift Map 2")),
      procMap(QStringLiteral("Processed Map"))
{
}

void MapProc::setup(const MapProcForm& f, _FileDialog* map1Dialog, _FileDialog* map2Dialog)
{
    form = f;
    QButtonGroup* show = new QButtonGroup(this);
    show->setExclusive(true);
    for (QAbstractButton* b : {form.showMap1, form.showMap2, form.showProcessedMap}) {
        if (b)
            show->addButton(b);
    }
    if (form.showProcessedMap)
        form.showProcessedMap->setChecked(true);
    connect(show, SIGNAL(buttonClicked(QAbstractButton*)), this, SIGNAL(changedSelection()));

    QButtonGroup* type = new QButtonGroup(this);
    type->setExclusive(true);
    for (QAbstractButton* b : {form.procTypeSub, form.procTypeDiv, form.procTypeMask}) {
        if (b)
            type->addButton(b);
    }
    if (form.procTypeSub)
        form.procTypeSub->setChecked(true);

    for (_FileDialog* d : {map1Dialog, map2Dialog}) {
        if (d) {
            d->setFileMode(QFileDialog::ExistingFile);
            d->setAcceptMode(QFileDialog::AcceptOpen);
        }
    }
    if (form.selMap1 && map1Dialog)
        connect(form.selMap1, SIGNAL(clicked()), map1Dialog, SLOT(show()));
    if (form.selMap2 && map2Dialog)
        connect(form.selMap2, SIGNAL(clicked()), map2Dialog, SLOT(show()));
    if (map1Dialog)
        connect(map1Dialog, SIGNAL(fileSelected(QString)), this, SLOT(loadMap1(QString)));
    if (map2Dialog)
        connect(map2Dialog, SIGNAL(fileSelected(QString)), this, SLOT(loadMap2(QString)));
    if (form.captureAsMap1)
        connect(form.captureAsMap1, SIGNAL(clicked()), this, SLOT(captureAsMap1()));
    if (form.captureAsMap2)
        connect(form.captureAsMap2, SIGNAL(clicked()), this, SLOT(captureAsMap2()));
    if (form.askProcessMaps)
        connect(form.askProcessMaps, SIGNAL(clicked()), this, SLOT(processMaps()));
}

MapProc::Op MapProc::op() const
{
    if (checked(form.procTypeSub))
        return Sub;
    if (checked(form.procTypeDiv))
        return Div;
    if (checked(form.procTypeMask))
        return Mask;
    return Sub;
}

double MapProc::combine(Op op, double v1, double v2)
{
    switch (op) {
    case Div:
        return v2 != 0.0 ? v1 / v2 : 1.0;
    case Mask:
        return v2 > 0.0 ? v1 : 0.0;
    case Sub:
    default:
        return v1 - v2;
    }
}

double MapProc::binMean(const Analyzed2DRes& map, int cx, int cy, int hx, int hy)
{
    const qint64 ax = std::abs(qint64(hx));
    const qint64 ay = std::abs(qint64(hy));
    const qint64 xa = std::max<qint64>(0, cx - ax);
    const qint64 xb = std::min<qint64>(qint64(map.cond.W) - 1, cx + ax);
    const qint64 ya = std::max<qint64>(0, cy - ay);
    const qint64 yb = std::min<qint64>(qint64(map.cond.H) - 1, cy + ay);
    double sum = 0.0;
    qint64 n = 0;
    for (qint64 y = ya; y <= yb; y++) {
        for (qint64 x = xa; x <= xb; x++) {
            // a pixel of a bin given no result holds 0, which is no value
            if (map.onMap(int(x), int(y))) {
                sum += map.valueAt(int(x), int(y));
                n++;
            }
        }
    }
    return n > 0 ? sum / double(n) : 0.0;
}

Analyzed2DRes* MapProc::shownMap()
{
    if (checked(form.showProcessedMap))
        return &procMap;
    if (checked(form.showMap2))
        return &map2;
    if (checked(form.showMap1))
        return &map1;
    return nullptr;
}

void MapProc::load(const QString& fname, Analyzed2DRes& map, QLineEdit* nameField)
{
    bool valid = false;
    emit loadMap(fname, map, valid);
    if (valid && nameField)
        nameField->setText(fname);
}

void MapProc::loadMap1(const QString& fname)
{
    load(fname, map1, form.map1Name);
}

void MapProc::loadMap2(const QString& fname)
{
    load(fname, map2, form.map2Name);
}

void MapProc::capture(Analyzed2DRes& map, QLineEdit* nameField)
{
    Analyzed2DRes* shown = nullptr;
    emit askSelectedRes(shown);
    map.copyFrom(shown); // the shown map itself is left as it is
    if (nameField)
        nameField->setText(map.name);
}

void MapProc::captureAsMap1()
{
    capture(map1, form.map1Name);
}

void MapProc::captureAsMap2()
{
    capture(map2, form.map2Name);
}

void MapProc::processMaps()
{
    if (!map1.valid || !map2.valid)
        return;
    AnalyzeCond g;
    emit askAnalyzeCond(g);
    // No stack, or no bin of the region on the image: nothing to combine.
    if (g.W <= 0 || g.H <= 0)
        return;
    // A map from a stack of another size sums to 0 off its edge, which would
    // pass for a value: such bins get none, like bins off the image.
    const auto onBoth = [this](const AnalyzeCond& b) {
        return map1.onMap(b.cx, b.cy) && map2.onMap(b.cx, b.cy);
    };
    AnalyzeCond c = g;
    qint64 bins = 0;
    qint64 off = 0;
    c.reset();
    do {
        bins++;
        off += onBoth(c) ? 0 : 1;
    } while (c.next());
    if (off == bins) {
        user.tell(QStringLiteral("Map processing: no bin of the grid lies on both maps"));
        return;
    }
    if (off > 0)
        user.tell(QStringLiteral("Map processing: %1 of %2 bins lie off Map 1 or Map 2, left without result")
                      .arg(off)
                      .arg(bins));
    const Op o = op();
    procMap.setCond(g);
    c.reset();
    do {
        if (!onBoth(c)) {
            // 0 for the picture and the files, but not a value to count
            procMap.setNoResult(c.cx, c.cy, c.hx, c.hy);
            continue;
        }
        // Means, not sums: a walk writes a bin's value into all its pixels,
        // and a difference or a mask must read in the maps' own units.
        const double v1 = binMean(map1, c.cx, c.cy, c.hx, c.hy);
        const double v2 = binMean(map2, c.cx, c.cy, c.hx, c.hy);
        procMap.setData(c.cx, c.cy, c.hx, c.hy, combine(o, v1, v2));
    } while (c.next());
    // one line for the whole map: a line per bin would cost more than the sums
    qDebug() << "processed maps" << int(o) << "grid" << g.W << g.H << "bins" << g.hx << g.hy
             << "range" << procMap.min << procMap.max;
    procMap.genImg();
}
