#include "support/ImageCraft.h"
#include "support/TestRegistry.h"

#include "foundation/LineReader.h"
#include "imagestack/ErrPoints.h"
#include "imagestack/TiffData.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

Q_DECLARE_METATYPE(craft::TiffOptions)
Q_DECLARE_METATYPE(craft::ImOptions)

namespace {

// A 16-bit test image with both extremes of the sample range in it.
QVector<quint16> extremeRamp(int w, int h)
{
    QVector<quint16> v = craft::ramp16(w, h, 40000, 977);
    v[0] = 0;
    v[w * h - 1] = 65535;
    return v;
}

template <class T>
void checkSamples(const TiffData& f, int w, int h, const QVector<T>& v, double scale = 1.0)
{
    QCOMPARE(f.width, w);
    QCOMPARE(f.height, h);
    const auto [lo, hi] = std::minmax_element(v.begin(), v.end());
    QCOMPARE(f.min, double(*lo) * scale);
    QCOMPARE(f.max, double(*hi) * scale);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            if (f.value(x, y) != double(v[y * w + x]) * scale)
                QFAIL(qPrintable(QStringLiteral("sample (%1, %2): %3, expected %4")
                                     .arg(x).arg(y).arg(f.value(x, y)).arg(double(v[y * w + x]) * scale)));
}

} // namespace

class TestTiffData : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }
    void cleanup() { globalErrPoints = ErrPoints(); }

    void tiff_data()
    {
        QTest::addColumn<craft::TiffOptions>("opts");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("expMs");
        QTest::addColumn<QString>("refusal");
        craft::TiffOptions o;
        QTest::newRow("plain, no EXIF") << o << true << 100.0 << QString();
        o.exif = true;
        o.exposure = 0.25;
        QTest::newRow("EXIF 0.25 s") << o << true << 250.0 << QString();
        o.bigEndian = true;
        o.exposure = 0.5;
        o.lzw = true;
        QTest::newRow("big-endian LZW") << o << true << 500.0 << QString();
        craft::TiffOptions b8;
        b8.bits = 8;
        QTest::newRow("8-bit refused") << b8 << false << 100.0 << "8 bits per sample";
        craft::TiffOptions rgb;
        rgb.samples = 3;
        QTest::newRow("RGB refused") << rgb << false << 100.0 << "3 samples per pixel";
        craft::TiffOptions t;
        t.tiled = true;
        QTest::newRow("tiled refused") << t << false << 100.0 << "tiled image";
        craft::TiffOptions i16;
        i16.signedInts = true;
        QTest::newRow("signed 16-bit refused") << i16 << false << 100.0 << "sample format 2";
    }
    void tiff()
    {
        QFETCH(craft::TiffOptions, opts);
        QFETCH(bool, ok);
        QFETCH(double, expMs);
        QFETCH(QString, refusal);
        const int w = 37, h = 23;
        const QVector<quint16> v = extremeRamp(w, h);
        const QString name = path(QStringLiteral("t.tif"));
        QVERIFY(craft::writeTiff(name, w, h, v, opts));
        TiffData f;
        if (!ok)
            QTest::ignoreMessage(QtDebugMsg, QRegularExpression(
                "^TIFF file refused: " + QRegularExpression::escape(refusal) + " .*t\\.tif$"));
        QCOMPARE(f.load(name, nullptr), ok);
        QCOMPARE(f.expTime, expMs);
        if (ok)
            checkSamples(f, w, h, v);
        else
            QVERIFY(f.rows.isEmpty());
    }

    // 9 x 6 files whose directory comes first, so the pixel data can be cut or mis-sized.
    void tiffBroken_data()
    {
        QTest::addColumn<qint64>("keep");
        QTest::addColumn<qint64>("declaredW");
        QTest::addColumn<qint64>("declaredH");
        QTest::addColumn<qint64>("exifOffset");
        QTest::addColumn<QString>("refusal");
        const qint64 no = -1;
        QTest::newRow("EXIF pointer past the end: 100 ms, rows intact") << no << no << no << qint64(1000000) << QString();
        QTest::newRow("cut inside row 3") << craft::rawTiffRowOffset(9, 6, 3) + 5 << no << no << no
                                          << "error on reading row 3";
        QTest::newRow("width over 65535") << no << qint64(70000) << no << no << "size 70000 x 6";
        // Checked before a row is read: the strips of 9 x 6 would fill the first rows.
        QTest::newRow("65535 x 65535 claimed") << no << qint64(65535) << qint64(65535) << no
                                               << "size 65535 x 65535";
        QTest::newRow("one row over 2^28 pixels") << no << qint64(16384) << qint64(16385) << no
                                                  << "size 16384 x 16385";
    }
    void tiffBroken()
    {
        const int w = 9, h = 6;
        QFETCH(qint64, keep);
        QFETCH(qint64, declaredW);
        QFETCH(qint64, declaredH);
        QFETCH(qint64, exifOffset);
        QFETCH(QString, refusal);
        const QVector<quint16> v = craft::ramp16(w, h, 100, 50);
        craft::RawTiffOptions o;
        o.keepBytes = keep;
        o.declaredWidth = declaredW;
        o.declaredHeight = declaredH;
        o.exifOffset = exifOffset;
        const QString name = path(QStringLiteral("raw.tif"));
        QVERIFY(craft::writeRawTiff(name, w, h, v, o));
        TiffData f;
        if (!refusal.isEmpty())
            QTest::ignoreMessage(QtDebugMsg, QRegularExpression(
                "^TIFF file refused: " + QRegularExpression::escape(refusal) + " .*raw\\.tif$"));
        QCOMPARE(f.load(name, nullptr), refusal.isEmpty());
        if (refusal.isEmpty()) {
            QCOMPARE(f.expTime, 100.0);
            checkSamples(f, w, h, v);
        } else {
            QVERIFY(f.rows.isEmpty());
        }
    }

    void img_data()
    {
        QTest::addColumn<craft::ImOptions>("opts");
        QTest::addColumn<bool>("wide");
        QTest::addColumn<double>("expMs");
        craft::ImOptions o;
        QTest::newRow("16-bit, no exposure key") << o << false << 100.0;
        o.comment = "BytesPerPixel=2,ExposureTime=2000 us";
        QTest::newRow("2000 us") << o << false << 2.0;
        o.comment = "ExposureTime=0.5";
        QTest::newRow("0.5, no unit") << o << false << 500.0;
        o.comment = "ExposureTime=3 min";
        QTest::newRow("unlisted unit keeps the number") << o << false << 3.0;
        o.comment = "ExposureTime=,BytesPerPixel=2";
        QTest::newRow("empty value keeps 100") << o << false << 100.0;
        o.comment = "Camera=X,BytesPerPixel=4,ExposureTime=20 ms";
        o.bytesPerPixel = 4;
        QTest::newRow("32-bit, 20 ms") << o << true << 20.0;
    }
    void img()
    {
        QFETCH(craft::ImOptions, opts);
        QFETCH(bool, wide);
        QFETCH(double, expMs);
        const int w = 13, h = 7;
        QVector<quint32> v(w * h);
        for (int i = 0; i < v.size(); i++)
            v[i] = wide ? 4000000000u - quint32(i) * 12345677u : quint32((i * 7919) % 65536);
        v[5] = wide ? 4294967295u : 65535u;
        v[6] = 0;
        const QString name = path(QStringLiteral("a.img"));
        QVERIFY(craft::writeIm(name, w, h, v, opts));
        TiffData f;
        QVERIFY(f.load(name, nullptr));
        QCOMPARE(f.srcType, int(wide ? TiffData::SrcImg32 : TiffData::SrcImg16));
        QCOMPARE(f.expTime, expMs);
        checkSamples(f, w, h, v);
    }

    void imgRefused_data()
    {
        QTest::addColumn<QByteArray>("comment");
        QTest::addColumn<int>("bpp");
        QTest::addColumn<int>("declaredW");
        QTest::addColumn<int>("declaredH");
        QTest::addColumn<qint64>("keep");
        QTest::addColumn<QStringList>("logs");
        const QByteArray c16 = "BytesPerPixel=2";
        const QByteArray c32 = "BytesPerPixel=4";
        const auto mismatch = [](qint64 need, qint64 held) {
            return QStringList{QStringLiteral("^IM file refused: %1 bytes of samples, the file holds %2 .*a\\.img$")
                                   .arg(need).arg(held)};
        };
        QTest::newRow("16-bit data cut short")
            << c16 << 2 << -1 << -1 << craft::imDataOffset(c16) + 13 * 2 * 4 + 3 << mismatch(13 * 7 * 2, 13 * 2 * 4 + 3);
        QTest::newRow("32-bit data one byte short")
            << c32 << 4 << -1 << -1 << craft::imDataOffset(c32) + 13 * 7 * 4 - 1 << mismatch(13 * 7 * 4, 13 * 7 * 4 - 1);
        QTest::newRow("header claims 16000 x 16000") << c16 << 2 << 16000 << 16000 << qint64(-1)
                                                     << mismatch(qint64(16000) * 16000 * 2, 13 * 7 * 2);
        QTest::newRow("14 bytes") << c16 << 2 << -1 << -1 << qint64(14)
                                  << QStringList{QStringLiteral("^Error on reading file \\(1\\) .*a\\.img$")};
        QTest::newRow("zero width") << c16 << 2 << 0 << -1 << qint64(-1)
                                    << QStringList{QStringLiteral("^IM file refused: size 0 x 7 .*a\\.img$")};
        QTest::newRow("65535 x 65535") << c16 << 2 << 65535 << 65535 << qint64(-1)
                                       << QStringList{QStringLiteral("^IM file refused: size 65535 x 65535 .*a\\.img$")};
    }
    void imgRefused()
    {
        QFETCH(QByteArray, comment);
        QFETCH(int, bpp);
        QFETCH(int, declaredW);
        QFETCH(int, declaredH);
        QFETCH(qint64, keep);
        QFETCH(QStringList, logs);
        craft::ImOptions o;
        o.comment = comment;
        o.bytesPerPixel = bpp;
        o.declaredWidth = declaredW;
        o.declaredHeight = declaredH;
        o.keepBytes = keep;
        QVector<quint32> v(13 * 7, 9);
        const QString name = path(QStringLiteral("a.img"));
        QVERIFY(craft::writeIm(name, 13, 7, v, o));
        for (const QString& l : logs)
            QTest::ignoreMessage(QtDebugMsg, QRegularExpression(l));
        TiffData f;
        QVERIFY(!f.load(name, nullptr));
        QVERIFY(f.rows.isEmpty());
    }

    void cttr_data()
    {
        QTest::addColumn<int>("x0");
        QTest::addColumn<int>("x1");
        QTest::addColumn<int>("y0");
        QTest::addColumn<int>("y1");
        QTest::addColumn<QVector<double>>("values");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QVector<double>>("expected");
        QTest::newRow("scaled by 500, negatives 0")
            << 0 << 3 << 0 << 2 << QVector<double>{2.5, -3, 0, 1, 0.002, 4} << -1
            << QVector<double>{1250, 0, 0, 500, 1, 2000};
        QTest::newRow("ranges off the origin")
            << 100 << 103 << -5 << -3 << QVector<double>{1, 2, 3, 4, 5, 6} << -1
            << QVector<double>{500, 1000, 1500, 2000, 2500, 3000};
    }
    void cttr()
    {
        QFETCH(int, x0);
        QFETCH(int, x1);
        QFETCH(int, y0);
        QFETCH(int, y1);
        QFETCH(QVector<double>, values);
        QFETCH(int, lines);
        QFETCH(QVector<double>, expected);
        const QString name = path(QStringLiteral("c.dat"));
        QVERIFY(craft::writeBytes(name, craft::cttrText(x0, x1, y0, y1, values,
                                                        {QStringLiteral("# comment line")}, lines)));
        TiffData f;
        QVERIFY(f.load(name, nullptr));
        checkSamples(f, x1 - x0, y1 - y0, expected);
    }

    void refusedAtOnce_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("log");
        auto cttr = [](int x0, int x1, int y0, int y1) {
            return craft::cttrText(x0, x1, y0, y1, {1, 2, 3});
        };
        QTest::newRow("CTTR zero width") << cttr(5, 5, 0, 10) << "^CTTR file refused: size 0 x 10 ";
        QTest::newRow("CTTR cut short") << craft::cttrText(0, 3, 0, 2, {1, 2, 3, 4}, {}, 4)
                                        << "^CTTR file refused: pixel data end at line 5 of 6 ";
        QTest::newRow("CTTR 4000 x 4000 in a few bytes") << cttr(0, 4000, 0, 4000)
                                                         << "^CTTR file refused: 16000000 pixel lines cannot fit in \\d+ bytes ";
        QTest::newRow("CTTR width over 65535") << cttr(0, 65536, 0, 1)
                                              << "^CTTR file refused: size 65536 x 1 ";
        QTest::newRow("CTTR over 2^26 pixels") << cttr(0, 65535, 0, 1025)
                                              << "^CTTR file refused: size 65535 x 1025 ";
        QTest::newRow("CTTR difference past int") << cttr(-2147483000, 2147483000, 0, 1)
                                                 << "^CTTR file refused: size 4294966000 x 1 ";
        QTest::newRow("CTTR range no finite number")
            << QByteArray("#CTTR-CTImg\n# RANGE_X0 = 0\n# RANGE_X1 = 1e300\n# RANGE_Y0 = 0\n"
                          "# RANGE_Y1 = 1\n0 0 1\n")
            << "^CTTR file refused: range beyond the int range ";
        QTest::newRow("14 bytes") << QByteArray("#CTTR-CTImg 12") << "^Error on reading file \\(1\\) ";
        QTest::newRow("libtiff cannot open it") << QByteArray("II*") + '\0' + "garbage, no directory"
                                                << "^TIFF file refused: libtiff cannot open it ";
        QTest::newRow("no known magic") << QByteArray("IX a text of some length") << "^Not an image file: ";
        QTest::newRow("CTTR line over the cap")
            << QByteArray("#CTTR-CTImg\n# RANGE_X0 = 0\n# RANGE_X1 = 1\n# RANGE_Y0 = 0\n# RANGE_Y1 = 1\n# ")
                   + QByteArray(LineReader::maxLineLength, 'x') + "\n0 0 1\n"
            << "^Line 6 longer than \\d+ characters, reading stopped: ";
    }
    void refusedAtOnce()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, log);
        const QString name = path(QStringLiteral("x.dat"));
        QVERIFY(craft::writeBytes(name, bytes));
        if (!log.isEmpty())
            QTest::ignoreMessage(QtDebugMsg, QRegularExpression(log + ".*x\\.dat$"));
        TiffData f;
        QVERIFY(!f.load(name, nullptr));
        QVERIFY(f.rows.isEmpty());
    }

};

CORVELLINE_TEST(TestTiffData)
#include "tst_tiffdata.moc"
