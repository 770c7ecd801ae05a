#include "support/StackBody.h"
#include "support/TestRegistry.h"

#include "analysis/Analyzed2DRes.h"
#include "batch/CmdLine.h"
#include "display/XafsView.h"
#include "foundation/TextUtils.h"
#include "foundation/XafsSpectrum.h"
#include "mainwindow/Body.h"
#include "mainwindow/EnergyShift.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <climits>
#include <cmath>

namespace {
// A 4 x 3 map with 7.5 at (1, 2) and -2 at (3, 0), and the surface
// z = x² + 2y² + 3xy + 4x + 5y + 6.
void fillMap(Analyzed2DRes& map)
{
    AnalyzeCond c;
    c.W = 4;
    c.H = 3;
    map.setCond(c);
    map.setData(1, 2, 0, 0, 7.5);
    map.setData(3, 0, 0, 0, -2.0);
    const double coef[6] = {1, 2, 3, 4, 5, 6};
    for (int i = 0; i < 6; i++)
        map.surfFit.c[i] = coef[i];
}
} // namespace

class TestEnergyShift : public QObject {
    Q_OBJECT
private slots:
    void mapShift_data()
    {
        QTest::addColumn<qint64>("mx");
        QTest::addColumn<qint64>("my");
        QTest::addColumn<bool>("fitted");
        QTest::addColumn<double>("shift");
        QTest::newRow("stored value") << qint64(1) << qint64(2) << false << 7.5;
        QTest::newRow("last column") << qint64(3) << qint64(0) << false << -2.0;
        QTest::newRow("never written") << qint64(0) << qint64(0) << false << 0.0;
        QTest::newRow("left of the map") << qint64(-1) << qint64(0) << false << 0.0;
        QTest::newRow("right of the map") << qint64(4) << qint64(0) << false << 0.0;
        QTest::newRow("below the map") << qint64(0) << qint64(3) << false << 0.0;
        // 4 + 2 + 6 + 8 + 5 + 6
        QTest::newRow("fitted surface") << qint64(2) << qint64(1) << true << 31.0;
        QTest::newRow("fitted at the origin") << qint64(0) << qint64(0) << true << 6.0;
        QTest::newRow("fitted outside") << qint64(4) << qint64(0) << true << 0.0;
        QTest::newRow("far outside") << qint64(1) << qint64(1) + INT_MAX << false << 0.0;
    }
    void mapShift()
    {
        QFETCH(qint64, mx);
        QFETCH(qint64, my);
        QFETCH(bool, fitted);
        Analyzed2DRes map(QStringLiteral("t"));
        fillMap(map);
        QTEST(mapShiftAt(map, mx, my, fitted), "shift");
    }

    void emptyMap()
    {
        Analyzed2DRes map(QStringLiteral("t"));
        QCOMPARE(mapShiftAt(map, 0, 0, false), 0.0);
        QCOMPARE(mapShiftAt(map, 0, 0, true), 0.0);
    }

    void position_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("imageOffset");
        QTest::addColumn<int>("mapOffset");
        QTest::addColumn<qint64>("pos");
        QTest::newRow("same offsets") << 5 << 100 << 100 << qint64(5);
        QTest::newRow("images further right") << 3 << 10 << 12 << qint64(1);
        QTest::newRow("before the map") << 0 << -5 << 3 << qint64(-8);
        QTest::newRow("no overflow") << INT_MAX << INT_MAX << 0 << 2 * qint64(INT_MAX);
    }
    void position()
    {
        QFETCH(int, x);
        QFETCH(int, imageOffset);
        QFETCH(int, mapOffset);
        QTEST(mapPosition(x, imageOffset, mapOffset), "pos");
    }

    // The main window's read goes through the offsets and the "Q.S. Fitted" box.
    void mainWindowShift()
    {
        Body body;
        fillMap(body.eShiftMap);
        body.frameSets.imageHdrX = 10;
        body.mapXOffset = 12;
        body.frameSets.imageHdrY = 7;
        body.mapYOffset = 6;
        QCOMPARE(body.eShiftAt(3, 1), 7.5);  // map (1, 2)
        QCOMPARE(body.eShiftAt(1, 1), 0.0);  // map (-1, 2)
        body.QuadSurfFittedEShift->setChecked(true);
        QCOMPARE(body.eShiftAt(4, 0), 31.0); // map (2, 1)
    }

    // Pixel (2, 1) shifted by -1.5 eV, E. Correct on: the curve lies 1.5 eV up,
    // and so do the edge marker, the "Edge" text, the pre-edge line (it starts at
    // the first point, 8901.5) and the saved file's "midx" and line coefficients,
    // which give its pre and post columns at its own energies.
    void correctedScaleAtShiftedPixel()
    {
        // mu = 0.3 + 0.002 (E - 8900), +-0.05 by turns before the edge, +1 from 8960.
        std::unique_ptr<Body> b = craft::bodyWithStack(4, 3, 61, [](int, int, int k) {
            const double mu = 0.3 + 0.004 * k + (k < 30 ? (k % 2 ? -0.05 : 0.05) : 1.0);
            return std::exp(-mu);
        });
        AnalyzeCond c;
        c.W = 4;
        c.H = 3;
        b->eShiftMap.setCond(c);
        b->eShiftMap.setData(2, 1, 0, 0, -1.5);
        XafsView* v = b->xafsView;
        v->Normalized->setChecked(false);
        v->Xafs->resize(600, 400);
        b->showXafsSpectrum(2.0, 1.0);
        const XafsSpectrum s = v->spectrum;
        QCOMPARE(s.eOffset, -1.5);
        const double edge = s.e0 + 1.5;
        const QImage img = v->Xafs->grab().toImage();
        QVERIFY(v->ExtMsg->text().contains(QStringLiteral("Edge %1 [eV]").arg(addThousandsCommas(QString::number(edge, 'g', 6)))));
        auto columnsOf = [&img](QRgb rgb) {
            QList<int> cols;
            for (int x = 0; x < img.width(); x++)
                for (int y = 0; y < img.height(); y++)
                    if ((img.pixel(x, y) & 0xffffff) == rgb) {
                        cols << x;
                        break;
                    }
            return cols;
        };
        const QList<int> red = columnsOf(0xff0000);
        QVERIFY(!red.isEmpty());
        QVERIFY2(std::abs(red.first() - int(v->coord.toScreenX(edge))) <= 1, qPrintable(QString::number(red.first())));
        const QList<int> pre = columnsOf(0x00c0dc);
        QVERIFY(!pre.isEmpty());
        QVERIFY2(std::abs(pre.first() - int(v->coord.toScreenX(8901.5))) <= 1, qPrintable(QString::number(pre.first())));

        QTemporaryDir dir;
        b->execCmdSlot(CmdLine(QStringLiteral("save_spectra ") + dir.filePath(QStringLiteral("sp.dat"))), false);
        QFile f(dir.filePath(QStringLiteral("sp-2-1-0x0-T.dat")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromLatin1(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
        auto numbersAfter = [&lines](const QString& head) {
            QList<double> n;
            for (const QString& l : lines)
                if (l.startsWith(head))
                    for (const QString& w : l.mid(head.size()).split(u' ', Qt::SkipEmptyParts))
                        n << w.toDouble();
            return n;
        };
        QVERIFY(std::fabs(numbersAfter(QStringLiteral("# midx    :")).value(0) - edge) < 1e-6);
        const QList<double> pc = numbersAfter(QStringLiteral("# pre   vic :"));
        const QList<double> qc = numbersAfter(QStringLiteral("# poste vic :"));
        QCOMPARE(pc.size(), 4);
        QCOMPARE(qc.size(), 4);
        auto line = [](const QList<double>& k, double e) {
            const double lam = 12398.424360387684 / e;
            return k[0] + k[1] * e + k[2] * lam * lam * lam + k[3] * lam * lam * lam * lam;
        };
        int rows = 0;
        for (const QString& l : lines) {
            if (l.startsWith(u'#'))
                continue;
            const QStringList w = l.split(u'\t');
            const double e = w[0].toDouble();
            QCOMPARE(e, 8901.5 + 2.0 * rows++);
            if (e < edge - 15)
                QVERIFY2(std::fabs(line(pc, e) - w[3].toDouble()) < 1e-4, qPrintable(l));
            if (e > edge + 15)
                QVERIFY2(std::fabs(line(qc, e) - w[4].toDouble()) < 1e-4, qPrintable(l));
        }
        QCOMPARE(rows, 61);
    }
};

CORVELLINE_TEST(TestEnergyShift)
#include "tst_energyshift.moc"
