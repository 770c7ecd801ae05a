#include "support/AnalysisValues.h"
#include "support/EdgeSpectra.h"
#include "support/TestRegistry.h"

#include "analysis/ElemAnalysis.h"

#include <QTest>
#include <cmath>
#include <limits>

namespace {
const double NaN = std::numeric_limits<double>::quiet_NaN();

// 1 eV grid 8900..9100: 1 below 9000, 2 from 9000 on; variants change a few points.
XafsSpectrum stepVariant(const QString& kind)
{
    Spectrum pts = sampled(8900, 9100, 1.0, [&](double e) {
        if (kind == "nan" && e == 9030)
            return NaN;
        if (kind == "low start" && e < 8950)
            return 0.5;
        if (kind == "point at the level" && e == 8999)
            return 1.5;
        if (kind == "flat")
            return 1.0;
        return rampValue(e, 9000, 9000, 1.0, 2.0);
    });
    XafsSpectrum s;
    static_cast<Spectrum&>(s) = pts;
    return s;
}

} // namespace

class TestElemAnalysis : public QObject {
    Q_OBJECT
private slots:
    void oneRow_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<double>("roiS");
        QTest::addColumn<double>("th");
        QTest::addColumn<bool>("noNeg");
        // raw jump, jump, MP, MM, DE, ROI, NROI; E0 9000, dE 20, ROI 40 eV wide
        QTest::addColumn<QList<double>>("expected");
        // Background values: dmut 0.25, dE 7, ROI -3, NROI -4.
        const QList<double> bg{0.25, 0.25, 0.25, 7, -3, -4};
        const QList<double> step{1, 1, 2, 1, -0.5, 0.5, 0.5};
        QTest::newRow("step") << "step" << 8990.0 << 0.0 << false << step;
        QTest::newRow("jump equal to threshold") << "step" << 8990.0 << 1.0 << false << QList<double>{1} + bg;
        QTest::newRow("nan jump") << "nan" << 8990.0 << 0.0 << false << QList<double>{NaN} + bg;
        // No jump passes a threshold below 0: the ROI over it, 0 / 0, takes the background.
        QTest::newRow("no jump, threshold below 0") << "flat" << 8990.0 << -1.0 << false
                                                    << QList<double>{0, 0, 1, 1, 0, 0, -4};
        QTest::newRow("negative ROI, NoNeg") << "low start" << 8900.0 << 0.0 << true
                                             << QList<double>{1, 1, 2, 1, -0.5, -3, -4};
        // 1.5 at 8999 is the upper point of the crossing 8998 -> 8999, not the lower one of the next.
        QTest::newRow("point at the level") << "point at the level" << 8990.0 << 0.0 << false
                                            << QList<double>{1, 1, 2, 1, -1.5, 0.525, 0.525};
    }
    void oneRow()
    {
        QFETCH(QString, kind);
        QFETCH(QList<double>, expected);
        ElemsRequest r;
        r.s = stepVariant(kind);
        ElemRowConds row;
        row.e0 = 9000;
        row.dE = 20;
        QFETCH(double, roiS);
        row.roiS = roiS;
        row.roiE = roiS + (kind == "low start" ? 40 : 20);
        QFETCH(double, th);
        row.thDMut = th;
        QFETCH(bool, noNeg);
        row.noNeg = noNeg;
        r.rows = {row};
        r.bg = {0.25, 0.0, 7, -3, -4};
        AnalyzeReply out;
        ElemAnalysis::run(r, out);
        const QList<QList<double>> got{out.elemRawDMut, out.elemDMut, out.elemMP, out.elemMM,
                                       out.elemDE,      out.elemROI,  out.elemNROI};
        for (int k = 0; k < got.size(); ++k)
            QVERIFY2(got[k].size() == 1 && sameValue(got[k][0], expected[k], 1e-12), qPrintable(QString::number(k)));
    }

    // Rows at 9000 (jump 1) and 9050 (jump 0.5) on 1 | 2 | 2.5.
    void normalised_data()
    {
        QTest::addColumn<int>("mainT");
        QTest::addColumn<double>("thSecond");
        QTest::addColumn<double>("bgDMut");
        QTest::addColumn<QList<double>>("dmut");
        QTest::addColumn<QList<double>>("ndmut");
        QTest::newRow("first") << 0 << 0.0 << 0.0 << QList<double>{1, 0.5} << QList<double>{1, 0.5};
        QTest::newRow("second") << 1 << 0.0 << 0.0 << QList<double>{1, 0.5} << QList<double>{2, 1};
        QTest::newRow("main target past the rows") << 2 << 0.0 << 0.0 << QList<double>{1, 0.5} << QList<double>{1, 0.5};
        QTest::newRow("main target's background") << 1 << 1.0 << 0.25 << QList<double>{1, 0.25} << QList<double>{4, 1};
    }
    void normalised()
    {
        QFETCH(int, mainT);
        QFETCH(double, thSecond);
        QFETCH(double, bgDMut);
        ElemsRequest r;
        static_cast<Spectrum&>(r.s) =
            sampled(8900, 9100, 1.0, [](double e) { return e < 9000 ? 1.0 : (e < 9050 ? 2.0 : 2.5); });
        r.rows = {ElemRowConds(), ElemRowConds()};
        r.rows[0].e0 = 9000;
        r.rows[0].dE = 20;
        r.rows[1].e0 = 9050;
        r.rows[1].dE = 10;
        r.rows[1].thDMut = thSecond;
        r.mainT = mainT;
        r.bg.dMut = bgDMut;
        AnalyzeReply out;
        ElemAnalysis::run(r, out);
        QCOMPARE(out.elemRawDMut, QList<double>({1, 0.5}));
        QTEST(out.elemDMut, "dmut");
        QTEST(out.elemNDMut, "ndmut");
    }
};

CORVELLINE_TEST(TestElemAnalysis)
#include "tst_elemanalysis.moc"
