#include "support/TestRegistry.h"

#include "foundation/FFT.h"
#include "foundation/Spectrum.h"

#include <QTest>
#include <cmath>

class TestFFT : public QObject {
    Q_OBJECT
private slots:
    void amplitudes_data()
    {
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<int>("n");
        QTest::addColumn<QList<double>>("expected");
        QTest::newRow("constant 2.5") << QList<double>(8, 2.5) << 8 << QList<double>{20, 0, 0, 0, 0, 0, 0, 0};
        QList<double> cosine;
        for (int k = 0; k < 16; ++k)
            cosine << 3 * std::cos(2 * M_PI * 2 * k / 16);
        QList<double> peaks(16, 0.0);
        peaks[2] = peaks[14] = 24;
        QTest::newRow("cosine at bin 2") << cosine << 16 << peaks;
        QTest::newRow("zero padded") << QList<double>{1, 2, 3} << 4
                                     << QList<double>{6, 2 * std::sqrt(2.0), 2, 2 * std::sqrt(2.0)};
    }
    void amplitudes()
    {
        QFETCH(QList<double>, values);
        QFETCH(int, n);
        QFETCH(QList<double>, expected);
        Spectrum s;
        for (int i = 0; i < values.size(); ++i)
            s.append(8000 + i, values[i]);
        FFT fft;
        fft.setSize(n);
        fft.forward(s);
        const double* amp = fft.amplitudes();
        QVERIFY(amp);
        for (int k = 0; k < n; ++k)
            QVERIFY2(std::fabs(amp[k] - expected[k]) < 1e-9, qPrintable(QString::number(k)));
    }

    void sizing()
    {
        FFT fft;
        QCOMPARE(fft.size(), 0);
        QVERIFY(!fft.amplitudes());
        Spectrum s;
        s.append(0, 1);
        fft.forward(s);  // unsized: nothing happens
        fft.forwardAll(nullptr);
        fft.setSize(32);
        const double* first = fft.amplitudes();
        QVERIFY(first);
        QCOMPARE(first[0], 0.0);  // nothing transformed yet
        fft.setSize(32);
        QCOMPARE(fft.amplitudes(), first);  // same length keeps the buffers
        fft.setSize(0);
        QCOMPARE(fft.size(), 0);
        QVERIFY(!fft.amplitudes());
        fft.setSize(-4);
        QVERIFY(!fft.amplitudes());
        fft.setSize(3);
        fft.forward(s);
        QCOMPARE(fft.amplitudes()[1], 1.0);
        fft.release();
        QVERIFY(!fft.amplitudes());
    }
};

CORVELLINE_TEST(TestFFT)
#include "tst_fft.moc"
