#include "support/EdgeSpectra.h"
#include "support/TestRegistry.h"

#include "analysis/SpectrumFeatures.h"

#include <QTest>
#include <cmath>

namespace {

// Built on energies e, stored at x = e + shift; the shift is in use when `use`.
XafsSpectrum spectrumOf(const std::function<double(double)>& f, double shift, bool use)
{
    Spectrum pts = sampled(8900 + (use ? shift : 0.0), 9100 + (use ? shift : 0.0), 1.0,
                           [&](double x) { return f(x - (use ? shift : 0.0)); });
    pts.useXOffset = use;
    pts.xOffset = shift;
    return XafsSpectrum(pts, "s", 1, 0.0, SuggestElm());
}

// Pre-edge line 0.5 + 0.0005 (e - 9000), post-edge line 1.5 + 0.001 (e - 9000).
double twoLines(double e)
{
    if (e < 8995)
        return 0.5 + 0.0005 * (e - 9000);
    if (e >= 9005)
        return 1.5 + 0.001 * (e - 9000);
    const double lo = 0.5 + 0.0005 * (8995 - 9000);
    const double hi = 1.5 + 0.001 * (9005 - 9000);
    return lo + (hi - lo) * (e - 8995) / 10.0;
}

// An edge at 8995..9005, a peak at 9015, a dip at 9030 and a rise from 9040.
double peakDipRise(double e)
{
    return rampValue(e, 8995, 9005) + 0.5 * std::exp(-(e - 9015) * (e - 9015) / 8.0)
           - 0.2 * std::exp(-(e - 9030) * (e - 9030) / 8.0) + (e > 9040 ? 0.002 * (e - 9040) : 0.0);
}

double edgeOnly(double e) { return rampValue(e, 8995, 9005); }

} // namespace

class TestSpectrumFeatures : public QObject {
    Q_OBJECT
private slots:
    void residualAbsorption_data()
    {
        QTest::addColumn<double>("shift");
        QTest::addColumn<bool>("use");
        QTest::addColumn<double>("atEV");
        QTest::addColumn<double>("factor");
        QTest::addColumn<double>("pre");   // lines at atEV less the shift in use
        QTest::addColumn<double>("post");
        QTest::addColumn<double>("scaled"); // (post - pre) x factor
        QTest::newRow("shift in use") << 5.0 << true << 9055.0 << 0.8 << 0.525 << 1.55 << 0.82;
        QTest::newRow("factor 1") << 0.0 << false << 9080.0 << 1.0 << 0.54 << 1.58 << 1.04;
        QTest::newRow("factor 0: the pre-edge level remains")
            << 0.0 << false << 9020.0 << 0.0 << 0.51 << 1.52 << 0.0;
    }
    void residualAbsorption()
    {
        QFETCH(double, shift);
        QFETCH(bool, use);
        QFETCH(double, atEV);
        QFETCH(double, factor);
        QFETCH(double, pre);
        QFETCH(double, post);
        QFETCH(double, scaled);
        RARequest r;
        r.s = spectrumOf(twoLines, shift, use);
        r.atEV = atEV;
        r.raFactor = factor;
        AnalyzeReply out;
        SpectrumFeatures::residualAbsorption(r, out);
        QVERIFY(std::fabs(out.raJump - (post - pre)) < 1e-9);
        QVERIFY(std::fabs(out.raScaledJump - scaled) < 1e-9);
        QVERIFY(std::fabs(out.raResidual - (pre - scaled)) < 1e-9);
    }

    void featureValue_data()
    {
        QTest::addColumn<bool>("peak");
        QTest::addColumn<double>("shift");
        QTest::addColumn<double>("elimReg");
        QTest::addColumn<double>("e1");
        QTest::addColumn<double>("e2");
        QTest::newRow("peak, then dip bottom") << true << 0.0 << 1.0 << 9015.0 << 9030.0;
        QTest::newRow("rise beyond 20 eV") << true << 0.0 << 20.0 << 9015.0 << 9036.0;
        QTest::newRow("shifted 5 eV") << true << 5.0 << 1.0 << 9020.0 << 9035.0;
        // No maximum: the rise search starts at the first point.
        QTest::newRow("edge only") << false << 0.0 << 1.0 << 0.0 << 8993.0;
        QTest::newRow("edge only, past the edge") << false << 0.0 << 9010.0 << 0.0 << 0.0;
    }
    void featureValue()
    {
        QFETCH(bool, peak);
        QFETCH(double, shift);
        QFETCH(double, elimReg);
        QFETCH(double, e1);
        QFETCH(double, e2);
        const auto f = peak ? peakDipRise : edgeOnly;
        const XafsSpectrum s = spectrumOf(f, shift, shift != 0.0);
        const FeatureValue fv = SpectrumFeatures::featureValue(s, 9000.0, elimReg);
        QCOMPARE(fv.e1, e1);
        QCOMPARE(fv.e2, e2);
        // Height of the running mean (5 points) over the pre-edge line, which is 0.
        double dM = 0.0;
        if (peak) {
            for (int k = -2; k <= 2; ++k)
                dM += f(9015 + k);
            dM /= 5.0;
        }
        QVERIFY(std::fabs(fv.dM - dM) < 1e-12);
    }
};

CORVELLINE_TEST(TestSpectrumFeatures)
#include "tst_spectrumfeatures.moc"
