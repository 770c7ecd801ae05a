#include "support/AnalysisValues.h"
#include "support/EdgeSpectra.h"
#include "support/TestRegistry.h"

#include "analysis/LCFFit.h"

#include <QTest>
#include <cmath>
#include <limits>

namespace {

const double NaN = std::numeric_limits<double>::quiet_NaN();
const double Inf = std::numeric_limits<double>::infinity();

// Reference A: edge 8995..9000. Reference B: edge 9001..9007, stored 2 eV higher
// in its file, so its row carries ΔE = 2.
double refA(double e) { return rampValue(e, 8995, 9000); }
double refB(double e) { return rampValue(e, 9001, 9007); }

QList<LCFRefData> twoRefs()
{
    return {refDataOf(sampled(8900, 9100, 0.5, refA), 0, 0.0),
            refDataOf(sampled(8902, 9102, 0.5, [](double x) { return refB(x - 2); }), 1, 2.0)};
}

// 0.3 A + 0.7 B on 8910..9090, stored at energies e + eOffset.
LCFRequest mixRequest(double eOffset)
{
    LCFRequest r;
    const Spectrum pts =
        sampled(8910 + eOffset, 9090 + eOffset, 0.5, [eOffset](double x) {
            return 0.3 * refA(x - eOffset) + 0.7 * refB(x - eOffset);
        });
    r.s = XafsSpectrum(pts, "mix", 1, eOffset, SuggestElm());
    r.rowCount = 4;
    r.refs = twoRefs();
    return r;
}

// a A + (1 - a) B on from..from + 180 every step eV.
XafsSpectrum mixOf(double a, double from, double step)
{
    return XafsSpectrum(sampled(from, from + 180, step, [a](double x) { return a * refA(x) + (1 - a) * refB(x); }),
                        "mix", 1, 0.0, SuggestElm());
}

// The references of r looked up at the energies of r's spectrum.
LCFFit::RefTable tableOnSpectrum(const LCFRequest& r)
{
    std::vector<double> energies;
    for (const QPointF& p : r.s.points)
        energies.push_back(p.x());
    return LCFFit::table(r.refs, energies);
}

} // namespace

class TestLCFFit : public QObject {
    Q_OBJECT
private slots:
    // expected: ratios then amounts of A and B
    void mixRecovered_data()
    {
        QTest::addColumn<int>("method");
        QTest::addColumn<double>("dMut");  // < 0: the jump the normalisation found (1)
        QTest::addColumn<bool>("fitted");
        QTest::addColumn<QList<double>>("expected");
        QTest::newRow("current") << int(LCFFit::Current) << -1.0 << true << QList<double>{0.3, 0.7, 0.3, 0.7};
        QTest::newRow("current, jump 2") << int(LCFFit::Current) << 2.0 << true << QList<double>{0.3, 0.7, 0.6, 1.4};
        QTest::newRow("current, jump 0") << int(LCFFit::Current) << 0.0 << false << QList<double>{0, 0, 0, 0};
        QTest::newRow("old") << int(LCFFit::Old) << -1.0 << true << QList<double>{0.3, 0.7, 0.3, 0.7};
        QTest::newRow("old, jump 2") << int(LCFFit::Old) << 2.0 << true << QList<double>{0.3, 0.7, 0.6, 1.4};
    }
    void mixRecovered()
    {
        QFETCH(int, method);
        QFETCH(double, dMut);
        QFETCH(bool, fitted);
        QFETCH(QList<double>, expected);
        LCFRequest r = mixRequest(0.0);
        QVERIFY(std::fabs(r.s.dMut - 1.0) < 1e-12);  // flat lines 0 and 1
        if (dMut >= 0)
            r.s.dMut = dMut;
        const AnalyzeReply out = LCFFit::fit(r, LCFFit::Method(method));
        QCOMPARE(out.fitted, fitted);
        QCOMPARE(out.lcfRows, QList<int>({0, 1}));
        const QList<double> got = out.lcfRatios + out.lcfDMuts;
        for (int i = 0; i < 4; ++i)
            QVERIFY(sameValue(got[i], expected[i], 1e-9));
        if (!fitted)
            QCOMPARE(out.z, 0.0);
    }

    // Exact fit: the fitted curve (on the fit's energies x - eOffset) meets the
    // measured one everywhere, so every counted point deviates by 0 except those
    // where the measured curve is exactly 0 (relative deviation 1). Counted: all but the first and
    // the last point; the zeros are the points from 8910.5 to 8995.
    void residual()
    {
        const LCFRequest r = mixRequest(4.0);
        const AnalyzeReply out = LCFFit::fit(r, LCFFit::Current);
        QCOMPARE(out.fittedSpectrum.name, QString("anal-LCF"));
        QCOMPARE(out.fittedSpectrum.x(0), 8910.0);
        const int points = 361;
        QCOMPARE(r.s.size(), points);
        const int zeros = int((8995 - 8910.5) / 0.5) + 1;
        QVERIFY(std::fabs(out.z - (double(zeros) / (points - 2)) / points) < 1e-12);
    }

    // Raw absorption = 0.5 + 0.002 (e - 9000) + cA·PA + cB·PB, where P = N - 1 of
    // each flat reference: MLCF recovers cA and cB, clips negative ones and
    // divides by the unclipped sum (0 when that is negative).
    void mlcf_data()
    {
        QTest::addColumn<double>("cA");
        QTest::addColumn<double>("cB");
        QTest::addColumn<QList<double>>("expected");  // ratios, then amounts
        QTest::newRow("both positive") << 0.4 << 1.2 << QList<double>{0.25, 0.75, 0.4, 1.2};
        QTest::newRow("one negative") << -0.2 << 0.9 << QList<double>{0.0, 0.9 / 0.7, 0.0, 0.9};
        QTest::newRow("negative sum") << -0.9 << 0.2 << QList<double>{NaN, Inf, 0.0, 0.2};
    }
    void mlcf()
    {
        QFETCH(double, cA);
        QFETCH(double, cB);
        QFETCH(QList<double>, expected);
        LCFRequest r;
        r.rowCount = 2;
        r.refs = twoRefs();
        r.isMLCF = true;
        const Spectrum pts = sampled(8910, 9090, 0.5, [=](double e) {
            return 0.5 + 0.002 * (e - 9000) + cA * (refA(e) - 1) + cB * (refB(e) - 1);
        });
        r.s = XafsSpectrum(pts, "raw", 1, 0.0, SuggestElm());
        const AnalyzeReply out = LCFFit::fit(r, LCFFit::Multi);
        QVERIFY(out.fitted);
        QCOMPARE(out.fittedSpectrum.name, QString("anal-MLCF"));
        const QList<double> got = out.lcfRatios + out.lcfDMuts;
        for (int i = 0; i < 4; ++i)
            QVERIFY(sameValue(got[i], expected[i], 1e-4));
    }

    // Reference A lies on 8950..9050 (ΔE 0), B on 8960..9060 with ΔE 5, so the
    // references allow 8955..9050; with B ending at 9050 its shift sets the top
    // too: 8955..9045. Exactly four sample points lie in the fit
    // range, two of them on its ends; the others carry 1000. With four unknowns
    // (MLCF) the coefficients come back only when both ends take part and no
    // outside point does. The fitted curve spans the references' common range,
    // whatever the requested one.
    void range_data()
    {
        QTest::addColumn<double>("bTop");  // B's last energy
        QTest::addColumn<double>("sE0");
        QTest::addColumn<double>("eE0");
        QTest::addColumn<QList<double>>("inside");
        QTest::addColumn<QList<double>>("outside");
        QTest::addColumn<double>("fitFirst");
        QTest::addColumn<double>("fitLast");
        QTest::newRow("references cut")
            << 9060.0 << 0.0 << 30000.0 << QList<double>{8955, 8998, 9004, 9050} << QList<double>{8954.5, 9050.5}
            << 8955.0 << 9050.0;
        QTest::newRow("request cuts")
            << 9060.0 << 8990.0 << 9020.0 << QList<double>{8990, 8998, 9004, 9020}
            << QList<double>{8955, 8989.5, 9020.5, 9050} << 8955.0 << 9050.0;
        QTest::newRow("mixed") << 9060.0 << 8990.0 << 30000.0 << QList<double>{8990, 8998, 9004, 9050}
                               << QList<double>{8989.5, 9050.5} << 8989.5 << 9050.0;
        QTest::newRow("shifted reference cuts the top")
            << 9050.0 << 0.0 << 30000.0 << QList<double>{8955, 8998, 9004, 9045} << QList<double>{8954.5, 9045.5}
            << 8955.0 << 9045.0;
    }
    void range()
    {
        QFETCH(double, bTop);
        QFETCH(double, sE0);
        QFETCH(double, eE0);
        QFETCH(QList<double>, inside);
        QFETCH(QList<double>, outside);
        QFETCH(double, fitFirst);
        QFETCH(double, fitLast);
        LCFRequest r;
        r.rowCount = 2;
        r.refs = {refDataOf(sampled(8950, 9050, 1, refA), 0, 0.0),
                  refDataOf(sampled(8960, bTop, 1, [](double x) { return refB(x - 5); }), 1, 5.0)};
        r.sE0 = sE0;
        r.eE0 = eE0;
        const LCFFit::Range rg = LCFFit::range(r.refs, sE0, eE0);
        QCOMPARE(rg.lo, std::max(sE0, 8955.0));
        QCOMPARE(rg.hi, std::min(eE0, fitLast));
        QList<double> xs = inside + outside;
        std::sort(xs.begin(), xs.end());
        Spectrum pts;
        for (double e : xs)
            pts.append(e, inside.contains(e) ? 0.5 + 0.002 * (e - 9000) + 0.4 * (refA(e) - 1) + 1.2 * (refB(e) - 1)
                                             : 1000.0);
        r.s = XafsSpectrum(pts, "few", 1, 0.0, SuggestElm());
        const AnalyzeReply out = LCFFit::fit(r, LCFFit::Multi);
        QVERIFY(out.fitted);
        QVERIFY(std::fabs(out.lcfDMuts[0] - 0.4) < 1e-6);
        QVERIFY(std::fabs(out.lcfDMuts[1] - 1.2) < 1e-6);
        QVERIFY(out.fittedSpectrum.size() > 0);
        QCOMPARE(out.fittedSpectrum.x(0), fitFirst);
        QCOMPARE(out.fittedSpectrum.x(out.fittedSpectrum.size() - 1), fitLast);
    }

    // A fit that does not run (one row) answers zeros for the used rows and z 0.
    void notRun()
    {
        LCFRequest r = mixRequest(0.0);
        r.rowCount = 1;
        const AnalyzeReply out = LCFFit::fit(r, LCFFit::Old);
        QVERIFY(!out.fitted);
        QCOMPARE(out.lcfRatios + out.lcfDMuts, QList<double>({0.0, 0.0, 0.0, 0.0}));
        QCOMPARE(out.z, 0.0);
        QCOMPARE(out.fittedSpectrum.size(), 0);
    }

    // No sample point between 9000.2 and 9000.4 (steps of 0.5 eV): the fit still
    // runs with nothing to fit, so coefficients 0 and z 0; MLCF divides by their sum.
    void emptyRange_data()
    {
        QTest::addColumn<int>("method");
        QTest::addColumn<double>("ratio");
        QTest::newRow("current") << int(LCFFit::Current) << 0.0;
        QTest::newRow("old") << int(LCFFit::Old) << 0.0;
        QTest::newRow("MLCF") << int(LCFFit::Multi) << NaN;
    }
    void emptyRange()
    {
        QFETCH(int, method);
        QFETCH(double, ratio);
        LCFRequest r = mixRequest(0.0);
        r.sE0 = 9000.2;
        r.eE0 = 9000.4;
        const AnalyzeReply out = LCFFit::fit(r, LCFFit::Method(method));
        QVERIFY(out.fitted);
        const QList<double> got = out.lcfRatios + out.lcfDMuts;
        const QList<double> expected{ratio, ratio, 0.0, 0.0};
        QCOMPARE(got.size(), expected.size());
        for (int i = 0; i < 4; ++i)
            QVERIFY(sameValue(got[i], expected[i], 0.0));
        QCOMPARE(out.z, 0.0);
    }

    // One scratch and table through fits on the table, off it, and on it again:
    // each fit answers what it answers alone.
    void scratchKeepsNoOtherFit_data()
    {
        QTest::addColumn<int>("method");
        QTest::newRow("current") << int(LCFFit::Current);
        QTest::newRow("MLCF") << int(LCFFit::Multi);
    }
    void scratchKeepsNoOtherFit()
    {
        QFETCH(int, method);
        LCFRequest r = mixRequest(0.0);
        const LCFFit::RefTable table = tableOnSpectrum(r);
        LCFFit::Scratch scratch;
        const XafsSpectrum runs[4] = {mixOf(0.3, 8910, 0.5), mixOf(0.55, 8910.25, 1.0), mixOf(0.8, 8910, 0.5),
                                      mixOf(0.45, 8910, 0.5)};
        for (const XafsSpectrum& x : runs) {
            AnalyzeReply got;
            LCFFit::fitInto(r, x, LCFFit::Method(method), got, &table, false, &scratch);
            r.s = x;
            const AnalyzeReply alone = LCFFit::fit(r, LCFFit::Method(method));
            QCOMPARE(got.lcfRatios, alone.lcfRatios);
            QCOMPARE(got.lcfDMuts, alone.lcfDMuts);
            QVERIFY(got.z == alone.z);
        }
    }

    // Two mixtures on one table, the second fit over other table points than
    // the first: its normal matrix is its own, and it recovers its own mix.
    void keptMatrixOnlyForSamePoints_data()
    {
        QTest::addColumn<int>("method");
        QTest::addColumn<double>("step"); // of the second spectrum's energies
        QTest::addColumn<double>("from"); // of the second fit's range
        QTest::addColumn<double>("to");
        QTest::newRow("every other energy") << int(LCFFit::Current) << 1.0 << 0.0 << 30000.0;
        QTest::newRow("narrower range") << int(LCFFit::Current) << 0.5 << 8950.5 << 9049.0;
        QTest::newRow("MLCF, every other energy") << int(LCFFit::Multi) << 1.0 << 0.0 << 30000.0;
        QTest::newRow("MLCF, narrower range") << int(LCFFit::Multi) << 0.5 << 8950.5 << 9049.0;
    }
    void keptMatrixOnlyForSamePoints()
    {
        QFETCH(int, method);
        QFETCH(double, step);
        QFETCH(double, from);
        QFETCH(double, to);
        LCFRequest r = mixRequest(0.0);
        const LCFFit::RefTable table = tableOnSpectrum(r);
        LCFFit::Scratch scratch;
        AnalyzeReply first, second;
        LCFFit::fitInto(r, mixOf(0.3, 8910, 0.5), LCFFit::Method(method), first, &table, false, &scratch);
        QVERIFY(scratch.keptFor == &table); // the first fit's matrix is kept
        r.sE0 = from;
        r.eE0 = to;
        LCFFit::fitInto(r, mixOf(0.85, 8910, step), LCFFit::Method(method), second, &table, false, &scratch);
        const double expected[2][2] = {{0.3, 0.7}, {0.85, 0.15}};
        const AnalyzeReply* got[2] = {&first, &second};
        for (int f = 0; f < 2; ++f) {
            QCOMPARE(got[f]->lcfRatios.size(), 2);
            for (int k = 0; k < 2; ++k)
                QVERIFY2(sameValue(got[f]->lcfRatios[k], expected[f][k], 1e-9),
                         qPrintable(QStringLiteral("fit %1, reference %2: %3").arg(f).arg(k).arg(got[f]->lcfRatios[k])));
        }
    }
};

CORVELLINE_TEST(TestLCFFit)
#include "tst_lcffit.moc"
