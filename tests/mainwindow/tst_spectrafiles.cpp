#include "support/LogCapture.h"
#include "support/MapGrid.h"
#include "support/StackBody.h"
#include "support/TestRegistry.h"
#include "support/Loopback.h"

#include "imagestack/EOFSetup.h"
#include "imagestack/SelectDataFiles.h"
#include "mainwindow/Body.h"
#include "mainwindow/SpectraFiles.h"

#include <QDir>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <cmath>

namespace {

// Pixel (x, y) of frame k on a 3 x 2 field of 4 frames.
double pixel(int x, int y, int k)
{
    return 1.0 + x + 10.0 * y + 0.5 * k;
}

QString num(double v)
{
    return QString::number(v, 'g', 6);
}

QByteArray readAll(const QString& name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("missing");
}

const QByteArray gridLines = "# X-Range (x0, x1), steps : 0 3 3\n"
                             "# Y-Range (y0, y1), steps : 0 2 2\n"
                             "# Full Width, Height      : 3 2\n"
                             "# Bin Half Width, Height  : 0 0\n"
                             "# Step dX, dY             : 1 1\n"
                             "# End of Header\n";

// The shift map covers x 0..1 of the field: x = 2 lies outside it.
double mapShift(int x, int y)
{
    return x < 2 ? 0.25 + x + 2 * y : 0.0;
}

} // namespace

class TestSpectraFiles : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        loopback::resetConfig();
    }

    // The seven header lines (the titles of the kinds are checked with their files).
    void header()
    {
        AnalyzeCond c;
        c.W = 200;
        c.H = 100;
        c.x0 = 10;
        c.x1 = 110;
        c.hx = 2;
        c.stepX = 5;
        c.y0 = 20;
        c.y1 = 50;
        c.hy = 1;
        c.stepY = 3;
        QCOMPARE(spectra::header(spectra::RawI1, c), QByteArray("# Corvelline Save Raw Spectra 1.0\n"
                                                                "# X-Range (x0, x1), steps : 10 110 20\n"
                                                                "# Y-Range (y0, y1), steps : 20 50 10\n"
                                                                "# Full Width, Height      : 200 100\n"
                                                                "# Bin Half Width, Height  : 2 1\n"
                                                                "# Step dX, dY             : 5 3\n"
                                                                "# End of Header\n"));
    }

    // Numbers read as the text stream writes them, over every magnitude,
    // halfway cases and subnormals included.
    void reals()
    {
        QList<double> values{0.1, 1e6, 123456.7, 1234567.0, 1e-5, 0.0001, -2.5e-10, 0.0, -0.0, 8979.123456,
                             1.0 / 3.0, -42.0, 1e300, 999999.5, 9999995.0, 1234565.0, 1234575.0, 8990.125,
                             99999.95, 0.000123456789, 5e-324, 1e-310, std::nan(""), -std::nan(""), INFINITY,
                             -INFINITY};
        QRandomGenerator rng(20);
        for (int i = 0; i < 20000; i++) {
            const double m = rng.generateDouble() * 2 - 1;
            values << m * std::pow(10.0, rng.bounded(-12, 13));
            values << std::round(m * 1e7) / 8.0; // binary fractions with 7 digits or more
        }
        for (double v : values) {
            QString expected;
            QTextStream(&expected) << v;
            QByteArray got;
            spectra::appendReal(got, v);
            QCOMPARE(QString::fromLatin1(got), expected);
        }
    }

    // Energies come from the points (less their own offset); values past the
    // end of a shorter curve are 0.
    void rowOfShorterCurve()
    {
        Spectrum pts;
        pts.append(9000, 1);
        pts.append(9001, 2);
        pts.append(9002, 3);
        pts.useXOffset = true;
        pts.xOffset = 2;
        Spectrum values;
        values.append(9000, 0.5);
        values.append(9001, 0.75);
        const double shift = 1.5;
        spectra::RowFormatter rows;
        QByteArray line;
        rows.append(line, 4, 7, &shift, pts, &values);
        QCOMPARE(line, QByteArray("4 7 1.5 8998 0.5 8999 0.75 9000 0\n"));
        // the next bin's energies differ in one point
        pts.points[1].setX(9001.5);
        line.clear();
        rows.append(line, 5, 7, nullptr, pts, nullptr);
        QCOMPARE(line, QByteArray("5 7 8998 1 8999.5 2 9000 3\n"));
    }

    // A step below 1 or a negative half size is refused before the file exists.
    void refusedGrid()
    {
        AnalyzeCond c = testmaps::grid(4, 4, 0, 0, 0, 0, 4, 4);
        c.stepX = 0;
        const QString name = tmp.filePath("refused.dat");
        QVERIFY(!spectra::write(name, spectra::RawI1, c, [](const AnalyzeCond&, QByteArray&) {}));
        c.stepX = 1;
        c.hy = -1;
        QVERIFY(!spectra::write(name, spectra::RawI1, c, [](const AnalyzeCond&, QByteArray&) {}));
        QVERIFY(!QFile::exists(name));
    }

    // The three kinds over a loaded stack with a shift map; "bins.txt" is written as "bins.dat".
    void kinds_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QByteArray>("title");
        QTest::newRow("raw") << "SaveAsRaw" << QByteArray("# Corvelline Save Raw Spectra 1.0\n");
        QTest::newRow("raw xafs") << "SaveAsRawXAFS" << QByteArray("# Corvelline Save Raw Xafs Spectra 1.0\n");
        QTest::newRow("normalised") << "SaveAsNormalizedXAFS"
                                    << QByteArray("# Corvelline Save Normalized Xafs Spectra 1.0\n");
    }
    void kinds()
    {
        QFETCH(QString, button);
        std::unique_ptr<Body> b = craft::bodyWithStack(3, 2, 4, pixel);
        b->findChild<QRadioButton*>(button)->setChecked(true);
        b->QuadSurfFittedEShift->setChecked(false);
        testmaps::fill(b->eShiftMap, testmaps::grid(2, 2, 0, 0, 0, 0, 2, 2), mapShift);
        QVERIFY(QDir(tmp.path()).mkpath("s"));
        const QString dir = tmp.filePath("s/");
        QFile::remove(dir + "bins.dat");
        testlog::Capture log;
        b->saveEachSpectrum(dir + "bins.txt");
        QVERIFY(!QFile::exists(dir + "bins.txt"));

        QFETCH(QByteArray, title);
        QByteArray expected = title + gridLines;
        for (int y = 0; y < 2; y++) {
            for (int x = 0; x < 3; x++) {
                QString line = QStringLiteral("%1 %2").arg(x).arg(y);
                XafsSpectrum norm;
                if (button == "SaveAsNormalizedXAFS") {
                    norm = b->binXafsSpectrum(x, y, 0, 0, "n", b->binNormMode(), b->suggestElm());
                    QCOMPARE(norm.eOffset, mapShift(x, y));
                }
                if (button != "SaveAsRaw")
                    line += u' ' + num(mapShift(x, y));
                for (int k = 0; k < 4; k++) {
                    double v = pixel(x, y, k);
                    if (button == "SaveAsRawXAFS")
                        v = std::log(1.0 / v);
                    else if (button == "SaveAsNormalizedXAFS")
                        v = norm.doubleNormalized.y(k);
                    line += u' ' + num(8900 + 2 * k) + u' ' + num(v);
                }
                expected += line.toLatin1() + '\n';
            }
        }
        QCOMPARE(readAll(dir + "bins.dat"), expected);
        QCOMPARE(log.linesStartingWith("Save Xafs Spectra : Progress").size(), 2);
    }

    // Energies above 10 keV with decimals as a spectrum file (midx line, then
    // the rows) and a per-bin spectra line write them, or as batch words set
    // the I1 fields Start, Delta, End and Factor; then file 1 by those fields.
    void energyDigits_data()
    {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("written");
        QTest::addColumn<double>("file1");
        QTest::newRow("spectrum file") << "spectrum" << "11103.25 9000.125 0 1 0 0 11100.125 0 1 0 0 11103.25 0 1 0 0"
                                       << 0.0;
        QTest::newRow("per-bin spectra") << "bins" << "0 0 9000.125 1 11100.125 1 11103.25 1" << 0.0;
        QTest::newRow("start, end from it") << "eng_calc_base_i1 11103.25" << "11103.25 1 12103.25 1" << 11104.25;
        QTest::newRow("step, end from it") << "eng_calc_base_i1 9000.125;eng_calc_delta_i1 0.125"
                                           << "9000.125 0.125 9125.125 1" << 9000.25;
        QTest::newRow("end, step from it") << "eng_calc_base_i1 9000.125;eng_calc_num_i1 1024;eng_calc_end_i1 11100.125"
                                           << "9000.125 2.05078125 11100.125 1" << 9002.17578125;
        QTest::newRow("no noise") << "eng_calc_base_i1 8900.75;eng_calc_num_i1 3;eng_calc_delta_i1 0.1"
                                  << "8900.75 0.1 8901.05 1" << 8900.75 + 0.1;
        QTest::newRow("name factor") << "eng_by_name_factor_i1 1.000012345;eng_by_name_i1"
                                     << "8000 1 9000 1.000012345" << 11103.25 * 1.000012345;
    }
    void energyDigits()
    {
        QFETCH(QString, lines);
        QStringList written;
        double file1 = 0.0;
        XafsSpectrum x;
        for (double e : {9000.125, 11100.125, 11103.25})
            x.append(e, 1.0);
        x.e0 = 11103.25;
        QByteArray out;
        if (lines == "spectrum")
            x.write(&out, false);
        else if (lines == "bins")
            spectra::RowFormatter().append(out, 0, 0, nullptr, x, nullptr);
        for (const QByteArray& l : out.split('\n'))
            if (!l.isEmpty() && (!l.startsWith('#') || l.startsWith("# midx")))
                written << QString::fromLatin1(l).section(u':', -1).simplified();
        if (out.isEmpty()) {
            Body body;
            for (const QString& l : ("eng_by_calc_i1 1;eng_calc_even_in_eng_i1 1;" + lines).split(u';'))
                body.execCmdSlot(CmdLine(l), false);
            const EOFSetup* e = body.SelectI1Files->eofSetup;
            for (const QLineEdit* f : {e->Start, e->Delta, e->End, e->Factor})
                written << f->text();
            file1 = e->energyOfFile("I1_11103_2500.tif", 1, 2);
        }
        QTEST(written.join(u' '), "written");
        QTEST(file1, "file1");
    }

    void noStackNoFile()
    {
        Body body;
        const QString name = tmp.filePath("none.dat");
        body.saveEachRawSpectrum(name);
        body.saveEachRawXafsSpectrum(name);
        body.saveEachNormalizedXafsSpectrum(name);
        QVERIFY(!QFile::exists(name));
    }

    void unwritablePath()
    {
        std::unique_ptr<Body> b = craft::bodyWithStack(3, 2, 4, pixel);
        const QString name = tmp.filePath("no/such/dir/x.dat");
        testlog::Capture log;
        b->saveEachRawSpectrum(name);
        QCOMPARE(log.linesStartingWith("Can't"), QStringList{"Can't save " + name + ": No such file or directory"});
        QVERIFY(log.linesStartingWith("Save Xafs").isEmpty());
    }
};

CORVELLINE_TEST(TestSpectraFiles)
#include "tst_spectrafiles.moc"
