// The markers drawn over the image display, and the cross sections and value
// read-outs that follow the pointer.
#include "mainwindow/Body.h"

#include "analysis/Analyzer.h"
#include "display/CrossSView.h"
#include "display/FieldValue.h"
#include "display/ImgDispA.h"
#include "imagestack/TiffData.h"
#include "mainwindow/ReadOut.h"

#include <QPainter>

namespace {

QRect screenRect(const ChCoord& cc, const QRectF& r)
{
    return readout::screenRect(cc, r.x(), r.y(), r.width(), r.height());
}

// The stored value at (x, y) of a map's row-major array; 0 outside it.
double mapValue(const Analyzed2DRes& map, const std::vector<double>& v, int x, int y)
{
    const int w = map.cond.W;
    if (x < 0 || y < 0 || x >= w || y >= map.cond.H)
        return 0.0;
    const size_t i = size_t(y) * size_t(w) + size_t(x);
    return i < v.size() ? v[i] : 0.0;
}

// A map's row (alongRow) or column through `at`, as the frames' profiles are
// laid out; bins without a result are left out.
Spectrum mapProfile(const Analyzed2DRes& map, const std::vector<double>& v, bool alongRow, int at, int imageH)
{
    Spectrum s;
    const int n = alongRow ? map.cond.W : map.cond.H;
    for (int i = 0; i < n; i++) {
        const int x = alongRow ? i : at;
        const int y = alongRow ? at : i;
        if (map.onMap(x, y))
            s.append(alongRow ? i : readout::vCrossCursor(i, imageH), mapValue(map, v, x, y));
    }
    return s;
}

} // namespace

// The pointed bin and the statistics bins are drawn from the bin sizes as
// they stand: a new size shows at once, not at the next pointer move.
void Body::setupOverlay()
{
    for (QLineEdit* e : {vHWidth_, vVWidth_, aHWidth_, aVWidth_}) {
        connect(e, &QLineEdit::textChanged, dispA, qOverload<>(&QWidget::update));
        watchNumberField(e, FieldKind::Count);
    }
    // The spectra and cross sections of the pointed bin are of its size.
    for (QLineEdit* e : {vHWidth_, vVWidth_})
        connect(e, &QLineEdit::textChanged, this, &Body::refreshShown);
}

void Body::draw(QPainter* p)
{
    const ChCoord& cc = dispA->cc;
    using readout::truncated;

    p->setPen(QPen(QColor(255, 0, 0), 2));
    if (binSizeMistake(true, false).isEmpty())
        p->drawRect(readout::binRect(cc, pointX, pointY, viewW(), viewH()));

    p->setPen(QColor(192, 192, 0));
    const int sx = truncated(cc.toScreenX(pointX));
    const int sy = truncated(cc.toScreenY(pointY));
    p->drawLine(sx, truncated(cc.toScreenY(0)), sx, truncated(cc.toScreenY(imageH)));
    p->drawLine(truncated(cc.toScreenX(0)), sy, truncated(cc.toScreenX(imageW)), sy);

    if (dispA->sel.dragging || dispA->sel.valid) {
        p->setPen(QColor(192, 192, 255));
        p->drawRect(screenRect(cc, dispA->sel.area));
        BoxSize->setText(readout::boxSizeText(dispA->sel.area));
    }
    // I0 first, so the I1 outline lies on top where they overlap.
    if (frameSets.darkInUse(FrameSets::I0)) {
        p->setPen(QColor(192, 255, 192));
        p->drawRect(screenRect(cc, frameSets.darkRect(FrameSets::I0)));
    }
    if (frameSets.darkInUse(FrameSets::I1)) {
        p->setPen(QColor(255, 192, 192));
        p->drawRect(screenRect(cc, frameSets.darkRect(FrameSets::I1)));
    }
    CBar->update();

    if (statsRangeSet && stats.ShowOverImage->isChecked()) {
        p->setPen(QColor(255, 200, 200));
        AnalyzeCond c;
        const Analyzed2DRes* map = analyzer->selectedRes();
        if (map && binGrid(c)) {
            // A negative half size counts as none, as in every grid.
            const int hx = qMax(0, c.hx);
            const int hy = qMax(0, c.hy);
            do {
                // Off a map of another size there is no value to lie in the range.
                const double v = map->onMap(c.cx, c.cy) ? mapValue(*map, map->data, c.cx, c.cy) : qQNaN();
                if (statsMin <= v && v <= statsMax)
                    p->drawRect(readout::screenRect(cc, double(c.cx) - hx, double(c.cy) - hy,
                                                    2.0 * hx, 2.0 * hy));
            } while (c.next());
        }
    }
    if (!walkRunning())
        showStatistics();
}

// A move with a button held drags an area or pans: the read-out stays where
// the button went down.
void Body::onMouseMovedInDispA()
{
    if (!dispA->m.pressed)
        pointTo(readout::truncated(dispA->cc.toRealX(dispA->m.x)),
                readout::truncated(dispA->cc.toRealY(dispA->m.y)));
}

void Body::refreshReadOuts()
{
    const int x = pointX;
    const int y = pointY;
    const bool sized = binSizeMistake(true, false).isEmpty();
    HCross->profile = Spectrum();
    VCross->profile = Spectrum();
    if (shown.showsMap()) {
        // A map not made yet reads nothing: no value, no profile.
        const Analyzed2DRes* map = shownMap();
        const bool made = map && map->holdsResult();
        Value->clear();
        if (made) {
            const std::vector<double>& v = map->showProc ? map->procData : map->data;
            HCross->profile = mapProfile(*map, v, true, y, imageH);
            VCross->profile = mapProfile(*map, v, false, x, imageH);
            if (map->onMap(x, y))
                Value->setText(readout::valueText(mapValue(*map, v, x, y)));
        }
        if (shown.choice == ShownState::ResAnalysis) {
            const bool inside = made && x >= 0 && y >= 0 && x < map->cond.W && y < map->cond.H;
            if (inside)
                Value2->setText(readout::valueText(map->surfFit.value(x, y)));
            else
                Value2->clear();
        }
    } else {
        const bool i1 = shown.choice == ShownState::Data;
        if (sized) {
            HCross->profile = hProfileAt(y, 1, viewH(), i1);
            VCross->profile = vProfileAt(x, 1, viewW(), i1);
        }
        // No frame leaves no value: the last frame's would read as this one's.
        if (const TiffData* f = shownFrame())
            Value->setText(readout::valueText(f->value(x, y)));
        else
            Value->clear();
    }
    HCross->cursor = x;
    HCross->update();
    // Where the column profile puts row y.
    VCross->cursor = readout::truncated(readout::vCrossCursor(y, imageH));
    VCross->update();
    const TiffData* dark = frameSets.darkFrame();
    // Without a dark frame the field reads as at the start.
    DarkValue->setText(dark ? readout::darkValueText(dark->value(x, y)) : QStringLiteral("0.0"));
}
