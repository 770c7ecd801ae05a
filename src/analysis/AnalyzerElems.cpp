#include "analysis/AnalyzerElems.h"

#include "analysis/ElemCtrl.h"
#include "foundation/ElemData.h"
#include "foundation/TextUtils.h"
#include "foundation/VictoreenRec.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDebug>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

QList<ElemToken> parseElemNames(const QString& text)
{
    QString t = text;
    t.replace(QLatin1Char(','), QLatin1Char(' '));
    QList<ElemToken> tokens;
    const QStringList words = t.simplified().split(QLatin1Char(' '));
    for (const QString& w : words) {
        ElemToken tok;
        tok.element = w;
        tok.edgeName = QStringLiteral("K");
        const int p = w.indexOf(QLatin1Char('-'));
        if (p > 0) {
            tok.element = w.left(p);
            tok.edgeName = w.mid(p + 1);
        }
        tok.edge = edgeNameToIndex(tok.edgeName);
        tok.z = elemSymbolToZ(tok.element);
        if (tok.z > 0)
            tokens << tok;
    }
    return tokens;
}

void sortElemTokens(QList<ElemToken>& tokens)
{
    const int n = int(tokens.size());
    for (int i = 0; i < n - 1; i++) {
        int m = i;
        for (int j = i + 1; j < n; j++) {
            if (tokens[j].z < tokens[m].z)
                m = j;
        }
        if (m != i)
            tokens.swapItemsAt(i, m);
    }
}

QList<int> elemRowsNamed(const QList<ElemCtrl*>& rows, const QString& key, bool byIndex)
{
    QList<int> found;
    for (int i = 0; i < rows.size(); i++) {
        if (rows[i]->Name->text() == key)
            found << i;
    }
    if (!found.isEmpty())
        return found;
    const int z = elemSymbolToZ(key);
    if (z > 0) {
        for (int i = 0; i < rows.size(); i++) {
            if (rows[i]->z == z)
                found << i;
        }
        // "Cu" with rows Cu-K and Cu-L3 names neither
        if (found.size() == 1)
            return found;
        found.clear();
    }
    if (byIndex) {
        bool ok = false;
        const int i = key.toInt(&ok); // a word is no index: never row 0
        if (ok && i >= 0 && i < rows.size())
            found << i;
    }
    return found;
}

int findElemRow(const QList<ElemCtrl*>& rows, const QString& key)
{
    const QList<int> found = elemRowsNamed(rows, key, true);
    return found.isEmpty() ? -1 : found.first();
}

QStringList elemEdgesOutside(const QList<ElemCtrl*>& rows, const ElemsRequest& r,
                             const std::vector<double>& energies)
{
    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
    for (double e : energies) {
        if (std::isfinite(e)) {
            lo = std::min(lo, e);
            hi = std::max(hi, e);
        }
    }
    QStringList lines;
    if (!(lo <= hi))
        return lines;
    auto text = [](double e) { return QString::number(e, 'g', 6); };
    const QList<ElemRowConds>& conds = r.rows;
    const ElemBackground& bg = r.bg;
    const qsizetype n = std::min(rows.size(), conds.size());
    const auto outside = [&](qsizetype i) { return !(lo <= conds[i].e0 && conds[i].e0 <= hi); };
    // N. dmut is the row's dmut over the main target's in each bin (over 1 without a target, and
    // when the target's is 0).
    const qsizetype t = r.mainT;
    QString nDMut = text(bg.dMut);
    if (bg.dMut != 0.0 && t >= 0 && t < n)
        nDMut = outside(t) ? QStringLiteral("1")
                           : QStringLiteral("%1 over the target %2's dmut").arg(nDMut, rows[t]->Name->text());
    static const char* const typed[4] = {"K", "L1", "L2", "L3"};
    for (qsizetype i = 0; i < n; ++i) {
        if (!outside(i))
            continue;
        const int z = rows[i]->z;
        const QString symbol = z > 0 && z < elementCount ? elementTable[z].symbol : QString();
        QString other;
        for (int edge = 0; edge < 4 && other.isEmpty(); ++edge) {
            const double e = victoreenEdge(z, edge) * 1000.0;
            if (e > 0.0 && lo <= e && e <= hi)
                other = QStringLiteral("name the edge among them as %1-%2").arg(symbol, QLatin1String(typed[edge]));
        }
        if (other.isEmpty())
            other = QStringLiteral("no K or L edge of %1 lies among them").arg(symbol);
        lines << QStringLiteral("The element row %1 has its edge at %2 eV, outside the I1 frames (%3 to %4 eV): "
                                "its maps hold the background values in every bin (dmut, Mut+ and Mut- %5, dE %6, "
                                "ROI %7, NROI %8) and N. dmut %9; %10")
                     .arg(rows[i]->Name->text(), text(conds[i].e0), text(lo), text(hi), text(bg.dMut), text(bg.dE),
                          text(bg.roi), text(bg.nRoi), nDMut, other);
    }
    return lines;
}

bool CorrelationSums::value(double& c) const
{
    if (!(vv > 0.0) || !(ss > 0.0))
        return false;
    double d = std::sqrt(vv * ss);
    if (!std::isfinite(d)) // the product overflows where the two roots do not
        d = std::sqrt(vv) * std::sqrt(ss);
    const double r = vs / d;
    if (!std::isfinite(r))
        return false;
    c = r;
    return true;
}

bool elemCorrelation(const QList<double>& ratios, const QList<bool>& use, const QList<double>& stdRatio, double& c)
{
    CorrelationSums sums;
    const qsizetype n = std::min({ratios.size(), use.size(), stdRatio.size()});
    for (qsizetype i = 0; i < n; ++i) {
        if (use[i])
            sums.add(ratios[i], stdRatio[i]);
    }
    return sums.value(c);
}

AnalyzerElems::AnalyzerElems(QObject* parent)
    : QObject(parent), corMap(QStringLiteral("a2d ElemsCor")), corThMap(QStringLiteral("a2d ElemsCorTh"))
{
}

AnalyzerElems::~AnalyzerElems()
{
    // rows placed in the panel's layout belong to the panel
    for (ElemCtrl* row : std::as_const(elems)) {
        if (!row->parent())
            delete row;
    }
}

void AnalyzerElems::setup(const ElemsForm& f)
{
    form = f;
    if (form.setStd)
        connect(form.setStd, SIGNAL(clicked()), this, SLOT(setElemsStd()));
    if (form.corTh)
        connect(form.corTh, SIGNAL(editingFinished()), this, SLOT(newCorTh()));
    if (form.reCalcCor)
        connect(form.reCalcCor, SIGNAL(clicked()), this, SLOT(recalcCorMap()));
    if (form.names)
        connect(form.names, SIGNAL(editingFinished()), this, SLOT(newElems()));
    elemsDispGroup = new QButtonGroup(this);
    elemsDispGroup->setExclusive(true);
    for (int i = 0; i < 9; i++) {
        if (form.disp[i])
            elemsDispGroup->addButton(form.disp[i]);
    }
    if (form.disp[0])
        form.disp[0]->setChecked(true);
    connect(elemsDispGroup, SIGNAL(buttonClicked(QAbstractButton*)), this, SIGNAL(changedSelection()));
    setCorTh(0.999);
}

int AnalyzerElems::targetIndex() const
{
    const int id = targetGroup ? targetGroup->checkedId() : 0;
    return id < 0 ? 0 : id;
}

int AnalyzerElems::showIndex() const
{
    const int id = showGroup ? showGroup->checkedId() : 0;
    return id < 0 ? 0 : id;
}

void AnalyzerElems::newElems()
{
    if (analysisRunning) {
        user.tell(QStringLiteral("Element rows are not rebuilt while an analysis runs"));
        return;
    }
    // The worker may still hold pointers to the old rows: they go only after
    // the event loop has run.
    if (targetGroup)
        targetGroup->deleteLater();
    if (showGroup)
        showGroup->deleteLater();
    targetGroup = new QButtonGroup(this);
    targetGroup->setExclusive(true);
    showGroup = new QButtonGroup(this);
    showGroup->setExclusive(true);
    for (ElemCtrl* row : std::as_const(elems)) {
        if (form.rowLayout)
            form.rowLayout->removeWidget(row);
        row->hide();
        row->deleteLater();
    }
    connect(showGroup, SIGNAL(buttonClicked(QAbstractButton*)), this, SIGNAL(changedSelection()));
    elems.clear();
    rowMaps.clear();

    QList<ElemToken> tokens = parseElemNames(form.names ? form.names->text() : QString());
    if (form.sortByANo && form.sortByANo->isChecked() && tokens.size() >= 2)
        sortElemTokens(tokens);
    for (int i = 0; i < tokens.size(); i++) {
        ElemCtrl* row = new ElemCtrl;
        std::array<std::unique_ptr<Analyzed2DRes>, 7> own;
        ElemCtrl::Maps ptrs;
        for (size_t k = 0; k < own.size(); ++k) {
            own[k] = std::make_unique<Analyzed2DRes>(QString());
            ptrs[k] = own[k].get();
        }
        rowMaps.push_back(std::move(own));
        row->setMaps(ptrs);
        row->setElement(tokens[i].z, tokens[i].edge, tokens[i].name());
        elems << row;
        if (form.rowLayout)
            form.rowLayout->addWidget(row, i, 0);
        targetGroup->addButton(row->MainTarget, i);
        showGroup->addButton(row->Show, i);
    }
    if (!elems.isEmpty()) {
        elems[0]->MainTarget->setChecked(true);
        elems[0]->Show->setChecked(true);
    }
}

void AnalyzerElems::setElemsStd()
{
    for (ElemCtrl* row : std::as_const(elems))
        row->setStd();
    recalcCorMap();
}

void AnalyzerElems::setProgress(double perCent)
{
    if (form.progress)
        form.progress->setText(QString::asprintf("%5.2f", perCent));
}

void AnalyzerElems::recalcCorMap()
{
    if (analysisRunning) {
        // The walk is filling these maps; a new grid now would wipe its bins.
        user.tell(QStringLiteral("The correlation maps are not recalculated while an analysis runs"));
        return;
    }
    AnalyzeCond c = corMap.cond;
    c.reset();
    struct Used {
        const Analyzed2DRes* map;
        double std;
    };
    std::vector<Used> used;
    for (ElemCtrl* row : std::as_const(elems)) {
        if (row->Use->isChecked())
            used.push_back({row->map(1), row->stdRatio});
    }
    if (!elems.isEmpty()) {
        // fresh arrays, so the range describes the new values only
        corMap.setCond(c);
        corThMap.setCond(c);
    }
    const double rows = double(c.y1) - double(c.y0);
    do {
        if (c.first)
            setProgress(rows > 0 ? (double(c.cy) - c.y0) / rows * 100.0 : 0.0);
        if (elems.isEmpty())
            continue;
        CorrelationSums sums;
        for (const Used& u : used)
            sums.add(u.map->valueAt(c.cx, c.cy), u.std);
        double cor = 0.0;
        if (!sums.value(cor))
            cor = 0.0;
        corMap.setData(c.cx, c.cy, c.hx, c.hy, cor);
        corThMap.setData(c.cx, c.cy, c.hx, c.hy, cor >= corTh ? cor : 0.0);
    } while (c.next());
    setProgress(100.0);
    corMap.genImg();
    corThMap.genImg();
    emit changedSelection();
}

QList<bool> AnalyzerElems::useFlags() const
{
    QList<bool> l;
    for (const ElemCtrl* row : elems)
        l.append(row->Use->isChecked());
    return l;
}

QList<double> AnalyzerElems::stdRatios() const
{
    QList<double> l;
    for (const ElemCtrl* row : elems)
        l.append(row->stdRatio);
    return l;
}

void AnalyzerElems::calcCorrelation()
{
    QList<double> ratios;
    for (const ElemCtrl* row : std::as_const(elems))
        ratios.append(row->ratio);
    double c;
    if (elemCorrelation(ratios, useFlags(), stdRatios(), c))
        emit setNewCorrelation(c);
}

void AnalyzerElems::newCorTh()
{
    if (!form.corTh)
        return;
    const double v = form.corTh->text().toDouble();
    setCorTh(std::isfinite(v) ? v : 0.0);
}

void AnalyzerElems::setCorTh(double v)
{
    if (form.corTh)
        form.corTh->setText(QString::number(v, 'g', 6));
    corTh = v;
    recalcCorMap();
}

QList<int> AnalyzerElems::rowsNamed(const QString& key, bool byIndex)
{
    const QList<int> found = elemRowsNamed(elems, key, byIndex);
    if (found.isEmpty()) {
        QStringList names;
        for (const ElemCtrl* row : elems)
            names << row->Name->text();
        const QString line = QStringLiteral("No element row is named \"%1\"; the rows are: %2")
                                 .arg(key, names.isEmpty() ? QStringLiteral("none") : names.join(QStringLiteral(", ")));
        user.tell(line);
    }
    return found;
}

void AnalyzerElems::selectElemTarget(const QString& row)
{
    const QList<int> found = rowsNamed(row, true);
    if (!found.isEmpty())
        elems[found.first()]->MainTarget->setChecked(true);
    emit changedSelection();
}

void AnalyzerElems::selectElemShow(const QString& row)
{
    const QList<int> found = rowsNamed(row, true);
    if (!found.isEmpty())
        elems[found.first()]->Show->setChecked(true);
    emit changedSelection();
}

void AnalyzerElems::setElemUse(const QString& row, bool f)
{
    const QList<int> found = rowsNamed(row, true);
    if (!found.isEmpty())
        elems[found.first()]->Use->setChecked(f);
}

void AnalyzerElems::setElemsDE(double v)
{
    for (ElemCtrl* row : std::as_const(elems))
        row->PrePostDE->setText(QString::number(v, 'g', 6));
}

void AnalyzerElems::setElemROI(const QString& name, double s, double e)
{
    for (int i : rowsNamed(name, false)) {
        elems[i]->ROIs->setText(energyText(s));
        elems[i]->ROIe->setText(energyText(e));
    }
}

void AnalyzerElems::setElemThDMut(const QString& name, double v)
{
    for (int i : rowsNamed(name, false))
        elems[i]->ThDMut->setText(QString::number(v, 'g', 6));
}

void AnalyzerElems::setElemNoNeg(const QString& name, bool f)
{
    for (int i : rowsNamed(name, false))
        elems[i]->NoNeg->setChecked(f);
}

void AnalyzerElems::selectElemsDispMode(int i)
{
    if (i >= 0 && i < 9 && form.disp[i])
        form.disp[i]->setChecked(true);
    emit changedSelection();
}

void AnalyzerElems::setSortByANo(bool f)
{
    if (form.sortByANo)
        form.sortByANo->setChecked(f);
}
