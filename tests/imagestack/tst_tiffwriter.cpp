#include "support/TestRegistry.h"

#include "imagestack/TiffData.h"
#include "imagestack/TiffWriter.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <tiffio.h>

#include <vector>

// Files are read back with libtiff itself, so the layout is checked apart from the frame reader.
class TestTiffWriter : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    // 50 x 120 in strips of 50, 50 and 20 rows
    void roundTrip()
    {
        const int w = 50, h = 120;
        std::vector<quint16> data(size_t(w) * h + 1);
        for (size_t i = 0; i < data.size(); i++)
            data[i] = quint16((i * 2654435761u) >> 16);
        const QString name = dir.filePath(QStringLiteral("w.tif"));
        QVERIFY(TiffWriter().write(name, w, h, data.data()));

        TIFF* tif = TIFFOpen(QFile::encodeName(name).constData(), "rc"); // no strip chopping
        QVERIFY(tif);
        uint32_t tw = 0, th = 0, rps = 0;
        uint16_t spp = 0, bps = 0;
        TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &tw);
        TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &th);
        TIFFGetField(tif, TIFFTAG_ROWSPERSTRIP, &rps);
        TIFFGetField(tif, TIFFTAG_SAMPLESPERPIXEL, &spp);
        TIFFGetField(tif, TIFFTAG_BITSPERSAMPLE, &bps);
        const int strips = int(TIFFNumberOfStrips(tif));
        std::vector<quint16> back;
        QVector<int> rowsRead;
        for (int s = 0; s < strips; s++) {
            std::vector<quint16> buf(size_t(w) * rps);
            tmsize_t n = TIFFReadEncodedStrip(tif, uint32_t(s), buf.data(), tmsize_t(buf.size() * 2));
            rowsRead << int(n / (2 * w));
            back.insert(back.end(), buf.begin(), buf.begin() + n / 2);
        }
        TIFFClose(tif);
        QCOMPARE(QList<int>({int(tw), int(th), int(spp), int(bps)}), QList<int>({w, h, 1, 16}));
        QCOMPARE(rowsRead, QVector<int>({50, 50, 20}));
        QCOMPARE(back.size(), size_t(w) * h);
        QVERIFY(std::equal(back.begin(), back.end(), data.begin()));
    }

    void flatAndDark_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<double>("sample");
        QTest::newRow("flat.dat") << "flat.dat" << 1.0;
        QTest::newRow("dark.dat") << "dark.dat" << 0.0;
    }
    void flatAndDark()
    {
        QFETCH(QString, file);
        QFETCH(double, sample);
        const QString name = dir.filePath(file);
        TiffWriter wr;
        QVERIFY(sample == 1.0 ? wr.writeFlat(name, 640, 480) : wr.writeDark(name, 640, 480));
        TiffData f;
        QVERIFY(f.load(name, nullptr));
        QCOMPARE(QSize(f.width, f.height), QSize(640, 480));
        QCOMPARE(f.min, sample);
        QCOMPARE(f.max, sample);
        QCOMPARE(f.areaSum(320, 240, 320, 240), sample * 640 * 480);
    }

    void refused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::addColumn<bool>("withData");
        const QString ok = QStringLiteral("r.tif");
        QTest::newRow("unwritable path") << "no/such/folder/x.tif" << 4 << 4 << true;
        QTest::newRow("negative width") << ok << -4 << 4 << true;
        QTest::newRow("no samples") << ok << 4 << 4 << false;
        QTest::newRow("height 0: a file no reader takes") << ok << 4 << 0 << true;
    }
    void refused()
    {
        QFETCH(QString, name);
        QFETCH(int, w);
        QFETCH(int, h);
        QFETCH(bool, withData);
        const QString path = dir.filePath(name);
        QFile::remove(path);
        const quint16 data[16] = {0};
        QVERIFY(!TiffWriter().write(path, w, h, withData ? data : nullptr));
        QVERIFY(!QFile::exists(path));
        if (withData) {
            QVERIFY(!TiffWriter().writeFlat(path, w, h));
            QVERIFY(!TiffWriter().writeDark(path, w, h));
        }
    }
};

CORVELLINE_TEST(TestTiffWriter)
#include "tst_tiffwriter.moc"
