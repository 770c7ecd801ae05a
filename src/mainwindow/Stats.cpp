#include "mainwindow/Stats.h"

#include "display/DrawText.h"
#include "display/FieldValue.h"
#include "display/MouseC.h"
#include "display/ScreenFit.h"

#include <QDebug>
#include <QPainter>

#include <cmath>
#include <utility>

namespace {
QString number(double v)
{
    return QString::number(v, 'g', 6);
}
} // namespace

Stats::Stats(QWidget* parent) : QFrame(parent)
{
    setupUi(this);
    screenfit::scrollForm(*this);
    dashedPen.setDashPattern({8, 2});
    // room below the plot for the rotated tick labels
    DA->cc.marginBottom = 0.2;
    connect(DA, &DispA::drawImage2, this, &Stats::draw);
    connect(DA, &DispA::mouseMoved0, this, &Stats::mouseMoved);
    connect(DA, &DispA::mousePressed0, this, &Stats::mousePressed);
    connect(DA, &DispA::mouseReleased0, this, &Stats::mouseReleased);
    connect(ShowOverImage, &QCheckBox::toggled, this, &Stats::toggledShowOverImage);
    connect(ShowStatsInSelectedArea, &QCheckBox::toggled, DA, qOverload<>(&QWidget::update));
    // The count is read on every repaint; the cap is told once per edit.
    connect(Bins, &QLineEdit::textChanged, this, [this](const QString& text) {
        const QString note = stats::binCapNote(text);
        if (!note.isNull())
            user.tell(note);
    });
    connect(Bins, &QLineEdit::editingFinished, this, &Stats::recount);
    watchNumberField(Bins, FieldKind::Positive);
}

Stats::~Stats()
{
    // The field loses its focus as the children go, after this part is gone.
    disconnect(Bins, &QLineEdit::editingFinished, this, &Stats::recount);
}

int Stats::bins() const
{
    return stats::binCount(Bins->text());
}

double Stats::mapValue(int x, int y) const
{
    if (!map)
        return 0.0;
    // a map from a stack of another size has no value there, not a 0
    if (!map->onMap(x, y))
        return std::nan("");
    return map->valueAt(x, y);
}

void Stats::calcStats(Analyzed2DRes* m, const AnalyzeCond& c)
{
    if (!m)
        return;
    // Not some other count: the field shows why there are no bars.
    if (!fieldReadable(Bins, FieldKind::Positive)) {
        clearStats();
        map = m; // counted again once the field holds a count
        cond = c;
        return;
    }
    map = m;
    cond = c;
    StatsHist h = stats::histogram([this](int x, int y) { return mapValue(x, y); }, cond, bins());
    // A map never computed, or cleared, has nothing left out to tell of.
    const QString note = m->holdsResult() ? stats::leftOutNote(h, m->name) : QString();
    if (note != toldLeftOut && !note.isNull())
        qDebug().noquote() << note;
    toldLeftOut = note;
    if (h.n == 0) { // a map of another size, away from the grid
        clearStats();
        Num->setToolTip(note);
        return;
    }
    Num->setToolTip(note);
    hist = std::move(h);
    stats::clampRange(range, hist);
    calculated = true;
    updateRange();
}

// A new bin count: the bars are counted again over the same map and grid.
void Stats::recount()
{
    if (map)
        calcStats(map, cond);
    else
        clearStats();
}

void Stats::clearStats()
{
    if (!calculated)
        return;
    map = nullptr;
    hist = StatsHist();
    calculated = false;
    Num->setText(QStringLiteral("0"));
    Num->setToolTip(QString());
    for (QLineEdit* e : {Mean, Sigma, SelMean, SelSigma, SelMin, SelMax, X, Val})
        e->clear();
    DA->update();
}

void Stats::updateRange()
{
    const bool changed = stats::rangeStats(range, hist);
    showValues();
    DA->update();
    if (changed)
        emit rangeSelected();
}

void Stats::showValues()
{
    Num->setText(QString::number(hist.n));
    Mean->setText(number(hist.mean));
    Sigma->setText(number(hist.sigma));
    SelMean->setText(number(range.mean));
    SelSigma->setText(number(range.sigma));
    SelMin->setText(number(range.low));
    SelMax->setText(number(range.high));
}

void Stats::draw(QPainter* p)
{
    if (!calculated)
        return;
    ChCoord& cc = DA->cc;
    cc.applyMargins();
    cc.setRealArea(hist.min, 0, hist.max, hist.peak);
    const double w = hist.binWidth > 0 ? hist.binWidth : 1.0;
    const double bottom = cc.isy0;
    const double top = cc.isy1;
    const auto vLine = [&](double x, double y0, double y1) {
        const double sx = cc.toScreenX(x);
        p->drawLine(QPointF(sx, y0), QPointF(sx, y1));
    };
    const auto bar = [&](int i) {
        vLine((i + 0.5) * w + hist.min, cc.toScreenY(hist.counts[size_t(i)]), cc.toScreenY(0));
    };

    p->setPen(QPen(Qt::black, 3));
    for (int i = 0; i < int(hist.counts.size()); i++)
        bar(i);

    p->setPen(QPen(Qt::black, 1));
    DrawText dt;
    QFont font = p->font();
    const double labelLength = std::fabs(cc.sy0 - bottom) - 14;
    const double labelThickness = 14;
    for (const stats::AxisTick& t : stats::axisTicks(hist, cc, labelThickness)) {
        p->drawLine(QPointF(t.screenX, bottom), QPointF(t.screenX, bottom + 10));
        if (labelLength > 4 && !t.label.isNull()) {
            QRectF box(t.screenX, bottom + 12 + labelLength / 2, labelLength, labelThickness);
            dt.drawRotatedText(p, 90, box, font, Qt::AlignLeft | Qt::AlignVCenter, 1, t.label, 9,
                               false, QBrush());
        }
    }

    p->setPen(QColor(255, 0, 0));
    vLine(hist.mean, bottom + 10, top);
    p->setPen(QColor(200, 200, 0));
    vLine(hist.mean - hist.sigma, bottom, top);
    vLine(hist.mean + hist.sigma, bottom, top);

    if (ShowStatsInSelectedArea->isChecked()) {
        dashedPen.setColor(QColor(255, 0, 0));
        p->setPen(dashedPen);
        vLine(range.mean, bottom + 10, top);
        dashedPen.setColor(QColor(200, 200, 0));
        p->setPen(dashedPen);
        vLine(range.mean - range.sigma, bottom, top);
        vLine(range.mean + range.sigma, bottom, top);
    }

    p->setPen(QColor(0, 200, 200));
    p->drawLine(QPointF(DA->m.x, bottom), QPointF(DA->m.x, top));
    const double rx = cc.toRealX(DA->m.x);
    X->setText(number(rx));
    const int under = stats::binOf(rx, hist.min, w, hist.bins);
    Val->setText(QString::number(hist.peak < 1 ? 0 : hist.counts[size_t(under)] / hist.peak));

    p->setPen(QColor(0, 0, 255));
    vLine(range.low, bottom, top);
    vLine(range.high, bottom, top);

    if (std::isfinite(pointedValue)) { // off the map there is no bin to mark
        p->setPen(QPen(QColor(0, 200, 0), 5));
        bar(stats::binOf(pointedValue, hist.min, hist.binWidth, hist.bins));
    }
}

void Stats::mouseMoved()
{
    if (!grabbedEnd)
        return;
    const double x = DA->cc.toRealX(DA->m.x);
    (grabbedEnd == 1 ? range.low : range.high) = x;
    updateRange();
}

void Stats::mousePressed()
{
    const ChCoord& cc = DA->cc;
    grabbedEnd = stats::grabbedEnd(cc.toScreenX(range.low), cc.toScreenX(range.high), DA->m.x);
}

void Stats::mouseReleased()
{
    grabbedEnd = 0;
    if (range.low > range.high) {
        std::swap(range.low, range.high);
        // the shown numbers follow the swapped range at once
        updateRange();
    }
}

void Stats::toggledShowOverImage(bool)
{
    emit rangeSelected();
}

void Stats::pointedAt(double rx, double ry)
{
    pointedValue = mapValue(MouseC::toPixel(rx), MouseC::toPixel(ry));
    DA->update();
}

void Stats::setBins(int n)
{
    Bins->setText(QString::number(n));
    recount();
}

void Stats::setOverImage(bool f)
{
    ShowOverImage->setChecked(f);
}

void Stats::setCalcInSelectedRegion(bool f)
{
    ShowStatsInSelectedArea->setChecked(f);
}
