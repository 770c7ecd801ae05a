#include "support/ImageCraft.h"
#include "support/TestRegistry.h"

#include "imagestack/ErrPoints.h"
#include "imagestack/PixelMask.h"
#include "imagestack/TiffData.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

typedef QList<QPoint> Points;

class TestErrPoints : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    QString write(const QString& name, const QByteArray& text)
    {
        const QString p = dir.filePath(name);
        return craft::writeBytes(p, text) ? p : QString();
    }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }
    void cleanup() { globalErrPoints = ErrPoints(); }

    void readFile_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("append");
        QTest::addColumn<Points>("before");
        QTest::addColumn<Points>("points");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("use");
        const Points none;
        QTest::newRow("size line and points")
            << QByteArray("# Size 640 480\n1 2\n3 4\n") << false << none
            << Points{{1, 2}, {3, 4}} << QSize(640, 480) << false;
        QTest::newRow("comments, tabs, CRLF")
            << QByteArray("# a comment\r\n5 6 # behind\r\n\t7\t8\r\n") << false << none
            << Points{{5, 6}, {7, 8}} << QSize(0, 0) << false;
        QTest::newRow("short lines skipped")
            << QByteArray("12\n\n   \n#\n") << false << none << none << QSize(0, 0) << false;
        QTest::newRow("size line after points keeps the later ones")
            << QByteArray("1 1\n2 2\n# Size 8 9\n3 3\n") << false << none << Points{{3, 3}}
            << QSize(8, 9) << false;
        QTest::newRow("append onto earlier points") << QByteArray("1 1\n") << true << Points{{9, 9}}
                                                    << Points{{9, 9}, {1, 1}} << QSize(0, 0) << true;
    }
    void readFile()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, append);
        QFETCH(Points, before);
        QFETCH(Points, points);
        QFETCH(QSize, size);
        QFETCH(bool, use);
        const QString name = write(QStringLiteral("e.dat"), text);
        ErrPoints e;
        e.points = before;
        QVERIFY(e.read(name, append));
        QCOMPARE(e.points, points);
        QCOMPARE(QSize(e.width, e.height), size);
        QCOMPARE(e.use, use);
        for (const QPoint& p : points)
            QVERIFY(e.contains(p.x(), p.y()));
    }

    void failedRead()
    {
        ErrPoints e;
        QVERIFY(e.read(write(QStringLiteral("ok.dat"), "1 2\n"), false));
        e.use = true;
        const QString missing = dir.filePath(QStringLiteral("missing.dat"));
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Can't Open .*missing\\.dat$"));
        QVERIFY(!e.read(missing, true));
        QVERIFY(e.points.isEmpty() && !e.use);
    }

    // The 4 x 3 frame holds 10 (x + 1) + 40 y:  10 20 30 40 / 50 60 70 80 / 90 100 110 120.
    void repair_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QPoint>("hdr");
        QTest::addColumn<Points>("points");
        QTest::addColumn<bool>("listUse");
        QTest::addColumn<bool>("globalUse");
        QTest::addColumn<Points>("changed");
        QTest::addColumn<QVector<double>>("values");
        const QString img = QStringLiteral("img"), tif = QStringLiteral("tiff");
        const QPoint o(0, 0);
        QTest::newRow("corner: three neighbours") << img << o << Points{{0, 0}} << true << false
                                                  << Points{{0, 0}} << QVector<double>{130 / 3};
        QTest::newRow("listed neighbours left out")
            << img << o << Points{{1, 1}, {2, 1}} << true << false << Points{{1, 1}, {2, 1}}
            << QVector<double>{410 / 7, 500 / 7};
        QTest::newRow("outside the frame ignored") << img << o << Points{{4, 0}, {-1, 1}, {0, 3}}
                                                   << true << false << Points() << QVector<double>();
        QTest::newRow("list not in use: no repair") << img << o << Points{{0, 0}} << false << true
                                                    << Points() << QVector<double>();
        QTest::newRow("sensor position from the header")
            << img << QPoint(100, 50) << Points{{101, 50}, {102, 50}} << true << false
            << Points{{1, 0}, {2, 0}} << QVector<double>{190 / 4, 250 / 4};
        QTest::newRow("TIFF: repaired while the global list is in use")
            << tif << o << Points{{3, 0}} << true << true << Points{{3, 0}}
            << QVector<double>{(30 + 70 + 80) / 3};
        // (0, 0) first: 130 / 3 = 43; then (1, 0) sees it: (43 + 50 + 60 + 30 + 70) / 5
        QTest::newRow("TIFF, own list off: repaired values feed later points")
            << tif << o << Points{{0, 0}, {1, 0}} << false << true << Points{{0, 0}, {1, 0}}
            << QVector<double>{43, 253 / 5};
        QTest::newRow("text image never repaired") << QStringLiteral("cttr") << o << Points{{0, 0}}
                                                   << true << true << Points() << QVector<double>();
    }
    void repair()
    {
        QFETCH(QString, kind);
        QFETCH(QPoint, hdr);
        QFETCH(Points, points);
        QFETCH(bool, listUse);
        QFETCH(bool, globalUse);
        QFETCH(Points, changed);
        QFETCH(QVector<double>, values);
        const int w = 4, h = 3;
        QVector<quint32> v;
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++)
                v << quint32(10 * (x + 1) + 40 * y);
        QString name;
        if (kind == QLatin1String("img")) {
            craft::ImOptions o;
            o.hdrX = hdr.x();
            o.hdrY = hdr.y();
            name = dir.filePath(QStringLiteral("r.img"));
            QVERIFY(craft::writeIm(name, w, h, v, o));
        } else if (kind == QLatin1String("tiff")) {
            name = dir.filePath(QStringLiteral("r.tif"));
            QVERIFY(craft::writeTiff(name, w, h, QVector<quint16>(v.begin(), v.end())));
        } else {
            QVector<double> d;
            for (quint32 s : v)
                d << s / 500.0;
            name = dir.filePath(QStringLiteral("r.dat"));
            QVERIFY(craft::writeBytes(name, craft::cttrText(0, w, 0, h, d)));
        }
        ErrPoints list;
        list.points = points;
        list.use = listUse;
        globalErrPoints.points = {{0, 0}, {1, 1}, {2, 2}, {3, 0}};
        // The switch comes with the call; the program-wide one is not looked at.
        globalErrPoints.use = !globalUse;
        TiffData f;
        QVERIFY(f.load(name, &list, globalUse));
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                const int i = changed.indexOf(QPoint(x, y));
                const double want = i >= 0 ? values[i] : v[y * w + x];
                QCOMPARE(f.value(x, y), want);
            }
    }

    void allNeighboursListed()
    {
        QVector<quint32> v{5, 6, 7, 8, 9, 10, 11, 12, 13};
        const QString name = dir.filePath(QStringLiteral("n.img"));
        QVERIFY(craft::writeIm(name, 3, 3, v));
        ErrPoints list;
        for (int y = 0; y < 3; y++)
            for (int x = 0; x < 3; x++)
                list.points << QPoint(x, y);
        list.use = true;
        TiffData f;
        QVERIFY(f.load(name, &list));
        QCOMPARE(f.areaSum(1, 1, 1, 1), 0.0);
    }

    void pixelMask_data()
    {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QByteArray>("cells");
        QTest::addColumn<QString>("log");
        const QByteArray none;
        const QByteArray base("# Size 3 3\n1 1 1\n2 2 1\n");
        QTest::newRow("replace") << none << QByteArray("# Size 3 2\n0 0 1\n2 1 5\n1 1 0\n") << 0
                                 << QSize(3, 2) << QByteArray("100001") << QString();
        QTest::newRow("and: 0 clears, 1 keeps") << base << QByteArray("1 1 0\n2 2 1\n0 0 1\n") << 1
                                                << QSize(3, 3) << QByteArray("000000001") << QString();
        QTest::newRow("or: 1 sets, 0 keeps") << base << QByteArray("0 0 1\n1 1 0\n") << 2
                                             << QSize(3, 3) << QByteArray("100010001") << QString();
        QTest::newRow("points outside skipped")
            << none << QByteArray("1 1 1\n# Size 2 2\n5 5 1\n-1 0 1\n1 1 2\n1\n") << 0 << QSize(2, 2)
            << QByteArray("0001") << "^Pixel mask points outside the mask: 3 ";
        QTest::newRow("negative size refused")
            << base << QByteArray("# Size -3 4\n0 0 1\n") << 0 << QSize(0, 0) << QByteArray()
            << "^Pixel mask size refused: -3 4 ";
        QTest::newRow("huge size refused")
            << none << QByteArray("# Size 65535 65535\n") << 0 << QSize(0, 0) << QByteArray()
            << "^Pixel mask size refused: 65535 65535 ";
    }
    void pixelMask()
    {
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, text);
        QFETCH(int, mode);
        QFETCH(QSize, size);
        QFETCH(QByteArray, cells);
        QFETCH(QString, log);
        PixelMask m;
        if (!first.isEmpty())
            QVERIFY(m.read(write(QStringLiteral("m0.dat"), first), 0));
        if (!log.isEmpty())
            QTest::ignoreMessage(QtDebugMsg, QRegularExpression(log));
        QVERIFY(m.read(write(QStringLiteral("m.dat"), text), mode));
        QCOMPARE(QSize(m.width, m.height), size);
        QByteArray got;
        for (int y = 0; y < m.height; y++)
            for (int x = 0; x < m.width; x++)
                got += char('0' + m.cell(x, y));
        QCOMPARE(got, cells);
        QCOMPARE(qint64(m.cells.size()), qint64(cells.size()));
    }
};

CORVELLINE_TEST(TestErrPoints)
#include "tst_errpoints.moc"
