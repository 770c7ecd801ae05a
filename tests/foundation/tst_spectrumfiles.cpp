#include "support/SpectrumPoints.h"
#include "support/TestRegistry.h"

#include "foundation/XafsSpectrum.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

namespace {
const double HC = 12398.424360387684;

double energyAt(double d, double thetaDeg) { return HC / (2 * d * std::sin(thetaDeg * M_PI / 180)); }

bool near(double a, double b, double rel) { return std::fabs(a - b) <= rel * std::max(1.0, std::fabs(b)); }
} // namespace

class TestSpectrumFiles : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir;

    QString writeFile(const QString& name, const QByteArray& text)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(text);
        return path;
    }

private slots:
    void format_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("plain");
        QTest::newRow("9809 with more text") << QByteArray("9809     KEK-PF BL-12C\n") << false;
        QTest::newRow("blanks before digits") << QByteArray("   \t9809\n") << false;
        QTest::newRow("other digits") << QByteArray("9808 x\n") << true;
        QTest::newRow("second line only") << QByteArray("# header\n9809\n") << true;
        QTest::newRow("missing file") << QByteArray() << true;
    }
    void format()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, plain);
        const QString path = text.isNull() ? dir.filePath("nothing-here.dat") : writeFile("fmt.dat", text);
        QCOMPARE(XafsSpectrum::isPlainFile(path), plain);
        XafsSpectrum x;
        x.plainFile = plain ? 0 : 1;
        if (text.isNull())
            QVERIFY(!x.readFile(path));
        else
            x.readFile(path);
        QCOMPARE(x.plainFile, plain ? 1 : 0);
    }

    void read9809Example()
    {
        const QString path = writeFile("a.9809",
                                       "9809     KEK-PF   BL12C\n"
                                       "sample  D= 3.1356 A\n"
                                       "Offset  0 0 0\n"
                                       "0 10.0 x 1000 500\n"
                                       "1 10.5 x 0 500\n"
                                       "2 11.0 x 1000 -3\n"
                                       "3 11.5 x 1000\n"
                                       "\n"
                                       "4 0 x 1000 500\n");
        XafsSpectrum x;
        QVERIFY(x.readFile(path));
        QCOMPARE(x.plainFile, 0);
        // Short lines, the empty line and the infinite energy of angle 0 are skipped.
        QCOMPARE(x.size(), 3);
        QVERIFY(near(x.x(0), energyAt(3.1356, 10.0), 1e-9));
        QVERIFY(near(x.y(0), std::log(2.0), 1e-12));
        QVERIFY(near(x.x(1), energyAt(3.1356, 10.5), 1e-9));
        QCOMPARE(x.y(1), 1.0);  // I0 = 0
        QCOMPARE(x.y(2), 1.0);  // negative I1
        QCOMPARE(x.i0.size(), 3);
        QCOMPARE(x.i1.y(0), 500.0);
    }

    void read9809Spacing_data()
    {
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<double>("d");
        QTest::newRow("no D=") << QByteArray("comment\n") << 3.13553;
        QTest::newRow("last pair wins") << QByteArray("D= 3.0 D= 3.2\n") << 3.2;
        QTest::newRow("not a number") << QByteArray("D= abc\n") << 3.13553;
        QTest::newRow("zero") << QByteArray("D= 0\n") << 3.13553;
        QTest::newRow("negative") << QByteArray("D= -3.1\n") << 3.13553;
    }
    void read9809Spacing()
    {
        QFETCH(QByteArray, header);
        QFETCH(double, d);
        const QByteArray text = "9809\n" + header + "Offset\n0 20.0 x 100 10\n";
        XafsSpectrum x;
        QVERIFY(x.readFile(writeFile("d.9809", text)));
        QCOMPARE(x.size(), 1);
        QVERIFY(near(x.x(0), energyAt(d, 20.0), 1e-9));
    }

    void twoColumns_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<Points>("points");
        QTest::newRow("comment, note, comma")
            << QByteArray("# 8000 1\n8000 1 # note\n8000,1\n") << true << Points{{8000, 1}};
        QTest::newRow("header without #")
            << QByteArray("Energy mu\n8000 1\n8001 2\n") << true << Points{{8000, 1}, {8001, 2}};
        QTest::newRow("second item no number")
            << QByteArray("8000 abc\n8001 2\n") << true << Points{{8001, 2}};
        QTest::newRow("single items only") << QByteArray("8000\n8001\n") << false << Points{};
        QTest::newRow("exponent form") << QByteArray("8.9e3 -1.5e-2\n") << true << Points{{8900, -0.015}};
    }
    void twoColumns()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, ok);
        QFETCH(Points, points);
        XafsSpectrum x;
        QCOMPARE(x.readFile(writeFile("c.dat", text)), ok);
        QCOMPARE(x.plainFile, 1);
        QCOMPARE(x.size(), points.size());
        for (int i = 0; i < points.size(); ++i) {
            QCOMPARE(x.x(i), points[i].x());
            QCOMPARE(x.y(i), points[i].y());
        }
    }

    void writeExactText_data()
    {
        QTest::addColumn<bool>("subtract");
        QTest::addColumn<QByteArray>("rows");
        // Lines are read at the position, not at the shifted energy.
        QTest::newRow("energy offset subtracted")
            << true << QByteArray("8998\t0.5\t2\t2250.5\t1.5\n8999\t0\t3\t2250.75\t1.5\n");
        QTest::newRow("as measured") << false << QByteArray("9000\t0.5\t2\t2250.5\t1.5\n9001\t0\t3\t2250.75\t1.5\n");
    }
    void writeExactText()
    {
        QFETCH(bool, subtract);
        QFETCH(QByteArray, rows);
        XafsSpectrum x;
        x.append(9000, 2);
        x.append(9001, 3);
        x.doubleNormalized.append(9000, 0.5);  // shorter than the points: 0 beyond
        x.e0 = 8999.5;
        x.dMut = 1;
        x.eOffset = 2;
        x.pre.a = 0.5;
        x.pre.d = 0.25;
        x.pre.b = 7;
        x.pre.c = 8;
        x.post.a = 1.5;
        QByteArray out("left over from before");
        x.write(&out, subtract);
        // Subtracted, the header is on the energies written: midx 2 eV lower,
        // the straight line's a + d E as 0.5 + 0.25 (E + 2).
        const QByteArray header = QByteArray("###Corvelline::XafsSpectrum\n# midx    : ")
                                  + (subtract ? "8997.5" : "8999.5")
                                  + "\n"
                                    "# dMut    : 1\n"
                                    "# pre   vic : "
                                  + (subtract ? "1" : "0.5")
                                  + " 0.25 7 8\n"
                                  "# poste vic : 1.5 0 0 0\n"
                                  "#\n"
                                  "# x  double-normalized-pre-base y pre post\n";
        QCOMPARE(out, header + rows);
    }

    void saveAndReadBackOrFail()
    {
        Spectrum s;
        for (double e = 8900; e <= 9100; e += 2)
            s.append(e, std::atan((e - 9000) / 4.0) + 0.0003 * e);
        const XafsSpectrum x(s, "round", 1, 1.25, SuggestElm());
        const QString path = dir.filePath("saved.dat");
        QVERIFY(x.save(path, true));
        XafsSpectrum back;
        QVERIFY(back.readFile(path));
        QCOMPARE(back.plainFile, 1);
        QCOMPARE(back.size(), x.size());
        // The written columns are the shifted energy and the double-normalised curve.
        for (int i = 0; i < x.size(); ++i) {
            QVERIFY(near(back.x(i), x.x(i) - 1.25, 1e-6));
            QVERIFY(std::fabs(back.y(i) - x.doubleNormalized.y(i)) <= 1e-5 * std::max(1.0, std::fabs(x.doubleNormalized.y(i))));
        }
        const QString nowhere = dir.filePath("no/such/folder/x.dat");
        QVERIFY(!x.save(nowhere, false));
        QVERIFY(!QFile::exists(nowhere));
    }

};

CORVELLINE_TEST(TestSpectrumFiles)
#include "tst_spectrumfiles.moc"
