#include "display/XafsView.h"

#include "analysis/ElemCtrl.h"
#include "display/MouseC.h"
#include "display/ScreenFit.h"
#include "display/XafsPlot.h"
#include "display/_FileDialog.h"
#include "foundation/Globals.h"

#include <QDebug>
#include <QLineEdit>
#include <QPainter>
#include <QPolygon>

#include <cmath>

using XafsPlot::toVertex;
using XafsPlot::usableRange;

namespace {

// One polyline gathered vertex by vertex; a vertex that is no number ends
// the piece drawn so far instead of reaching the painter.
class Polyline {
public:
    Polyline(const QPen& pen, int reserve) : pen(pen) { pts.reserve(reserve); }
    void add(QPainter* p, double sx, double sy)
    {
        if (!std::isfinite(sx) || !std::isfinite(sy)) {
            flush(p);
            return;
        }
        pts.append(QPoint(toVertex(sx), toVertex(sy)));
    }
    void flush(QPainter* p)
    {
        if (pts.size() > 1) {
            p->setPen(pen);
            p->drawPolyline(pts);
        }
        pts.clear();
    }

private:
    QPen pen;
    QPolygon pts;
};

QPen dashedPen(QColor color, int width, const QList<qreal>& dashes)
{
    QPen pen(color, width);
    pen.setDashPattern(dashes);
    return pen;
}

const QColor gridColor(192, 192, 192);

} // namespace

XafsView::XafsView(QWidget* parent) : QFrame(parent)
{
    setupUi(this);
    screenfit::scrollForm(*this);
    toStars_->hide();
    connect(Xafs, SIGNAL(drawImage1(QPainter*)), this, SLOT(draw(QPainter*)));
    saveDialog = new _FileDialog(QString(), nullptr);
    saveDialog->setFileMode(QFileDialog::AnyFile);
    saveDialog->setAcceptMode(QFileDialog::AcceptSave);
    saveDialog->setNameFilters(
        {QStringLiteral("Data File (*.dat)"), QStringLiteral("Any Files (* *.*)")});
    mouse = &Xafs->m;
    connect(Save, &QPushButton::clicked, saveDialog, &_FileDialog::show);
    // Headers without points are no saved spectrum.
    saveDialog->saveWith(this, [this](const QString& f) {
        if (spectrum.size() > 0)
            return saveData(f);
        emit mistake(tr("Can't save %1: no spectrum is shown").arg(f));
        return false;
    });
    connect(Xafs, &DispA::mouseMoved0, this, &XafsView::onMouseMoved);
    connect(Xafs, &DispA::wheelMoved0, this, &XafsView::onWheelMoved);
    connect(ResetXScale, &QPushButton::clicked, this, &XafsView::resetXScale);
    connect(toStars_, &QPushButton::clicked, this, &XafsView::toStars);
    // A user's tick shows at once; the batch setters go through setChecked,
    // which does not click, and leave the plot to its next repaint.
    for (QCheckBox* box : {Normalized, ECorrect, ShowRaw, ShowFFT})
        connect(box, &QCheckBox::clicked, this, &XafsView::update);
}

// The dialog has no parent, so that it opens as a window of its own.
XafsView::~XafsView() { delete saveDialog; }

double XafsView::setXafsSpectrum(const XafsSpectrum& s)
{
    spectrum = s;
    if (autoXScale)
        fitXRangeToSpectrum();
    Xafs->update();
    emit updated();
    return spectrum.e0 - standard.e0;
}

void XafsView::setRawSpectrum(const Spectrum& s)
{
    rawSpectrum = s;
    Xafs->update();
    emit updated();
}

void XafsView::fitXRangeToSpectrum()
{
    // An empty spectrum has no span; its sentinels would wreck pan and zoom.
    if (!autoXScale || spectrum.size() == 0)
        return;
    const double off = spectrum.useXOffset ? spectrum.xOffset : 0.0;
    double lo = spectrum.minX - off;
    double hi = spectrum.maxX - off;
    usableRange(lo, hi);
    defaultXMin = xMin = lo;
    defaultXMax = xMax = hi;
}

void XafsView::addSpectrum(XafsSpectrum* s) { extraSpectra.append(s); }

void XafsView::update()
{
    Xafs->update();
    emit updated();
}

void XafsView::resetXScale()
{
    xMin = defaultXMin;
    xMax = defaultXMax;
    Xafs->update();
    emit updated();
}

void XafsView::setNormalize(bool f) { Normalized->setChecked(f); }

void XafsView::setEnergyCorrection(bool f) { ECorrect->setChecked(f); }

void XafsView::currentPosition(int ix_, int iy_, int hw_, int vw_)
{
    ix = ix_;
    iy = iy_;
    hw = hw_;
    vw = vw_;
}

void XafsView::toStars()
{
    QByteArray data;
    spectrum.write(&data, false);
    emit sendXafsDataToStars(data);
}

bool XafsView::saveData(QString fname)
{
    const QString base = XafsPlot::saveBaseName(fname, ix, iy, hw, vw);
    const QString tName = XafsPlot::savedSpectrumName(base, QStringLiteral("T"));
    const bool saved = spectrum.save(tName, true);
    standard.save(XafsPlot::savedSpectrumName(base, QStringLiteral("std")), false);
    for (int i = 0; i < extraSpectra.size(); ++i) {
        if (extraSpectra[i])
            extraSpectra[i]->save(
                XafsPlot::savedSpectrumName(base, QStringLiteral("other%1").arg(i)), false);
    }
    qDebug() << "xafs view : save data" << base << tName;
    // Publishing a file that is not there would send peers after nothing.
    if (saved)
        emit savedXafsData(tName);
    emit saveScreenAs(base);
    return saved;
}

void XafsView::fitCoordToCanvas()
{
    coord.setScreenArea(0, Xafs->height(), Xafs->width(), 0);
    coord.applyMargins();
}

void XafsView::setEnergyArea(const Spectrum& ys)
{
    double xlo = xMin;
    double xhi = xMax;
    double ylo = ys.minY;
    double yhi = ys.maxY;
    usableRange(xlo, xhi);
    usableRange(ylo, yhi);
    coord.setRealArea(xlo, ylo, xhi, yhi);
}

void XafsView::setCurveArea(bool normalized)
{
    if (normalized)
        setEnergyArea(spectrum.doubleNormalized);
    else
        setEnergyArea(spectrum);
}

double XafsView::energyAtPixel(int s) const
{
    return XafsPlot::realAt(s, xMin, xMax, coord.isx0, coord.isx1);
}

void XafsView::onMouseMoved()
{
    if (spectrum.size() == 0)
        return;
    fitCoordToCanvas();
    // The raw and Fourier views keep the axes their last draw set.
    if (!ShowRaw->isChecked())
        setCurveArea(Normalized->isChecked());
    const double x = coord.toRealX(mouse->x);
    const double y = coord.toRealY(mouse->y);
    XVal->setText(QStringLiteral("%1").arg(x, 0, 'f', 1));
    YVal->setText(QStringLiteral("%1").arg(y, 0, 'f', 3));
    const double e = energyAtPixel(mouse->x);
    Position->setText(QString::number(XafsPlot::pointIndexAt(spectrum, e)));
    // A drag keeps the meaning of its press; a move itself carries no button.
    if (mouse->pressed && MouseC::mode(mouse->pressButton, mouse->pressModifiers) == 0) {
        const double d = energyAtPixel(mouse->px) - e;
        if (std::isfinite(d) && std::isfinite(xMin + d) && std::isfinite(xMax + d)) {
            xMin += d;
            xMax += d;
        }
    }
}

void XafsView::onWheelMoved()
{
    if (spectrum.size() == 0)
        return;
    fitCoordToCanvas();
    const double c = energyAtPixel(mouse->x);
    XafsPlot::zoomAbout(c, Xafs->zoomFactor, xMin, xMax);
    if (!(ShowRaw->isChecked() && ShowFFT->isChecked())) {
        double lo = xMin;
        double hi = xMax;
        usableRange(lo, hi);
        coord.setRealXRange(lo, hi);
    }
    XVal->setText(QString::number(coord.toRealX(mouse->x), 'g', 6));
    YVal->setText(QString::number(coord.toRealY(mouse->y), 'g', 6));
    Xafs->update();
    emit updated();
}

QPen XafsView::extraPen(int i) const
{
    return i < pens.size() ? pens[i] : QPen(paletteColor(i), 1);
}

double XafsView::elemEnergy(const ElemCtrl* row) const
{
    // toDouble gives 0 for a text that is no number
    return row && row->Eng ? row->Eng->text().toDouble() : 0.0;
}

void XafsView::draw(QPainter* p)
{
    const bool ecorr = ECorrect->isChecked();
    const bool raw = ShowRaw->isChecked();
    fitCoordToCanvas();
    bool fourier = false;
    if (!raw) {
        if (Normalized->isChecked())
            drawNormalized(p, ecorr);
        else
            drawMeasured(p, ecorr);
    } else {
        fourier = ShowFFT->isChecked();
        setRawArea(fourier);
    }
    // The edge as the curve shows it: on the corrected scale when it is.
    const double edge = spectrum.e0 - (ecorr ? spectrum.eOffset : 0.0);
    // Energy markers mean nothing on the axis of Fourier components.
    if (!fourier)
        drawMarkers(p, edge);
    drawFrameAndTicks(p);
    if (!fourier)
        drawElemLabels(p);
    if (raw)
        drawRawView(p, fourier);
    ExtMsg->setText(XafsPlot::annotation(spectrum.dMut, edge, spectrum.midxOutOfRange, spectrum.midxNoisy));
}

void XafsView::drawNormalized(QPainter* p, bool ecorr)
{
    setCurveArea(true);
    for (int i = 0; i < extraSpectra.size(); ++i) {
        const XafsSpectrum* s = extraSpectra[i];
        if (!s || !s->enabled)
            continue;
        const int n = s->size();
        const int nd = s->doubleNormalized.size();
        Polyline line(extraPen(i), n);
        for (int k = 0; k < n; ++k)
            line.add(p, coord.toScreenX(s->pos(k)),
                     coord.toScreenY(k < nd ? s->doubleNormalized.y(k) : 0.0));
        line.flush(p);
    }

    const Spectrum& dn = spectrum.doubleNormalized;
    const double shift = ecorr ? spectrum.eOffset : 0.0;
    const int n = dn.size();
    Polyline curve(QPen(QColor(0, 0, 0), 2), n);
    double prev = n > 0 ? dn.pos(0) - shift : 0.0;
    for (int k = 0; k < n; ++k) {
        const double x = dn.pos(k) - shift;
        if (std::fabs(x - prev) > XafsPlot::segmentGap)
            curve.flush(p);
        curve.add(p, coord.toScreenX(x), coord.toScreenY(dn.y(k)));
        prev = x;
    }
    curve.flush(p);
}

void XafsView::drawMeasured(QPainter* p, bool ecorr)
{
    setCurveArea(false);
    const double shownYMin = coord.rymin;
    const double shownYMax = coord.rymax;
    for (int i = 0; i < extraSpectra.size(); ++i) {
        const XafsSpectrum* s = extraSpectra[i];
        if (!s || !s->enabled)
            continue;
        // each further curve on its own y scale
        double lo = s->minY;
        double hi = s->maxY;
        usableRange(lo, hi);
        coord.setRealYRange(lo, hi);
        const int n = s->size();
        const QPen pen = extraPen(i);
        QPen dashed = pen;
        dashed.setDashPattern({6, 2});
        Polyline pre(dashed, n);
        Polyline post(dashed, n);
        Polyline curve(pen, n);
        for (int k = 0; k < n; ++k) {
            const double x = s->pos(k);
            const double sx = coord.toScreenX(x);
            pre.add(p, sx, coord.toScreenY(s->pre.value(x)));
            post.add(p, sx, coord.toScreenY(s->post.value(x)));
            curve.add(p, sx, coord.toScreenY(s->y(k)));
        }
        pre.flush(p);
        post.flush(p);
        curve.flush(p);
    }
    coord.setRealYRange(shownYMin, shownYMax);

    const double shift = ecorr ? spectrum.eOffset : 0.0;
    const int n = spectrum.size();
    Polyline pre(dashedPen(QColor(0, 192, 220), 1, {8, 3}), n);
    Polyline post(dashedPen(QColor(0, 220, 192), 1, {8, 3, 3, 3}), n);
    Polyline curve(QPen(QColor(0, 0, 0), 2), n);
    double prev = n > 0 ? spectrum.pos(0) - shift : 0.0;
    for (int k = 0; k < n; ++k) {
        // The lines are read where they were fitted and drawn where the curve is.
        const double xl = spectrum.pos(k);
        const double x = xl - shift;
        if (std::fabs(x - prev) > XafsPlot::segmentGap) {
            pre.flush(p);
            post.flush(p);
            curve.flush(p);
        }
        const double sx = coord.toScreenX(x);
        pre.add(p, sx, coord.toScreenY(spectrum.pre.value(xl)));
        post.add(p, sx, coord.toScreenY(spectrum.post.value(xl)));
        curve.add(p, sx, coord.toScreenY(spectrum.y(k)));
        prev = x;
    }
    pre.flush(p);
    post.flush(p);
    curve.flush(p);
}

void XafsView::setRawArea(bool fourier)
{
    const int n = rawSpectrum.size();
    if (!fourier) {
        setEnergyArea(rawSpectrum);
        return;
    }
    fftAmp = nullptr;
    // a short curve has no spectrum worth showing, and FFTW is kept from empty ones
    if (n >= 10) {
        fft.setSize(n);
        fft.forward(rawSpectrum);
        fftAmp = fft.amplitudes();
    }
    double ylo = 0.0;
    double yhi = 1.0;
    XafsPlot::fftYRange(fftAmp, n, ylo, yhi);
    double xlo = 0.0;
    double xhi = n / 10 - 1;
    usableRange(xlo, xhi);
    coord.setRealArea(xlo, ylo, xhi, yhi);
}

void XafsView::drawRawView(QPainter* p, bool fourier)
{
    if (!fourier) {
        const int n = rawSpectrum.size();
        Polyline line(QPen(QColor(192, 0, 0), 1), n);
        for (int k = 0; k < n; ++k)
            line.add(p, coord.toScreenX(rawSpectrum.pos(k)), coord.toScreenY(rawSpectrum.y(k)));
        line.flush(p);
        return;
    }
    if (!fftAmp)
        return;
    const int m = rawSpectrum.size() / 10;
    Polyline line(QPen(QColor(0, 192, 0), 1), m);
    for (int k = 0; k < m; ++k)
        line.add(p, coord.toScreenX(k), coord.toScreenY(fftAmp[k]));
    line.flush(p);
}

void XafsView::drawMarkers(QPainter* p, double edge)
{
    const int y0 = toVertex(coord.isy0);
    const int y1 = toVertex(coord.isy1);
    auto vline = [&](double e) {
        const double sx = coord.toScreenX(e);
        if (std::isfinite(sx))
            p->drawLine(toVertex(sx), y0, toVertex(sx), y1);
    };
    if (frameEnergy > 0) {
        p->setPen(QPen(QColor(0, 224, 0), 1));
        vline(frameEnergy);
    }
    if (elemRows) {
        p->setPen(QPen(QColor(255, 0, 0), 1));
        for (const ElemCtrl* row : *elemRows)
            vline(elemEnergy(row));
    }
    p->setPen(QPen(QColor(255, 0, 0), 2));
    vline(edge);
}

void XafsView::drawFrameAndTicks(QPainter* p)
{
    const int x0 = toVertex(coord.isx0);
    const int x1 = toVertex(coord.isx1);
    const int y0 = toVertex(coord.isy0);
    const int y1 = toVertex(coord.isy1);
    QPen pen(gridColor, 2);
    p->setPen(pen);
    p->drawLine(x0, y0, x1, y0);
    p->drawLine(x0, y1, x1, y1);
    p->drawLine(x0, y0, x0, y1);
    p->drawLine(x1, y0, x1, y1);
    pen.setWidth(1);
    p->setPen(pen);

    // r is negative: the top of the plot lies above its bottom
    const int r = toVertex(std::trunc(double(y1 - y0) / coord.labelRows));
    const int c = toVertex(std::trunc(std::trunc(double(x1 - x0) / coord.labelCols) * coord.labelFill));
    QFont font = Xafs->font();
    const int flags = Qt::AlignHCenter | Qt::AlignVCenter;

    double step = 0;
    double first = 0;
    double last = -1;
    if (ChCoord::niceRange(coord.rxmin, coord.rxmax, step, first, last)) {
        const int n = ChCoord::tickCount(first, step, last);
        auto label = [&](double v) {
            QRectF box(toVertex(coord.toScreenX(v)) - 5 * c, y0 - r, 10 * c,
                       std::trunc(coord.labelFill * r));
            drawText.drawTextInBox(p, box, font, flags, 1, QString::number(v, 'g', 6), 12);
        };
        for (int i = 0; i < n; ++i) {
            const double v = XafsPlot::tickValue(first, i, step);
            const int sx = toVertex(coord.toScreenX(v));
            p->drawLine(sx, y0, sx, y1);
            label(v);
        }
        if (n > 0) {
            label(XafsPlot::tickValue(first, 0, step));
            label(XafsPlot::tickValue(first, n - 1, step));
        }
    }
    if (ChCoord::niceRange(coord.rymin, coord.rymax, step, first, last)) {
        const int n = ChCoord::tickCount(first, step, last);
        auto label = [&](double v, double height) {
            QRectF box(0, toVertex(coord.toScreenY(v)) - r / 2, x0 - c, height);
            drawText.drawTextInBox(p, box, font, Qt::AlignRight | Qt::AlignVCenter, 1,
                                   QString::number(v, 'g', 6), 12);
        };
        for (int i = 0; i < n; ++i) {
            const double v = XafsPlot::tickValue(first, i, step);
            const int sy = toVertex(coord.toScreenY(v));
            p->drawLine(x0, sy, x1, sy);
            label(v, r);
        }
        if (n > 0) {
            label(XafsPlot::tickValue(first, 0, step), r);
            label(XafsPlot::tickValue(first, n - 1, step), std::trunc(coord.labelFill * r));
        }
    }
}

void XafsView::drawElemLabels(QPainter* p)
{
    if (!elemRows)
        return;
    const int y0 = toVertex(coord.isy0);
    const int y1 = toVertex(coord.isy1);
    const int r = toVertex(std::trunc(double(y1 - y0) / coord.labelRows));
    const int s = toVertex(std::trunc(coord.labelFill * r));
    QFont font = Xafs->font();
    p->setPen(QPen(gridColor, 1));
    for (const ElemCtrl* row : *elemRows) {
        const double sx = coord.toScreenX(elemEnergy(row));
        if (!row || !row->Name || !std::isfinite(sx))
            continue;
        QRectF box(toVertex(sx) + s / 2, (y0 + y1) / 2, y0 - y1, s);
        drawText.drawRotatedText(p, 270, box, font, Qt::AlignHCenter | Qt::AlignVCenter, 1,
                                 row->Name->text(), 12, false, QBrush());
    }
}
