#include "support/TestRegistry.h"

#include "analysis/Analyzer.h"
#include "analysis/LCFReference.h"
#include "display/ImgDispA.h"
#include "foundation/Cfg.h"
#include "mainwindow/Body.h"
#include "mainwindow/SaveDataCfg.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <tiffio.h>

#include <algorithm>
#include <vector>

namespace {
// A 6 x 4 map of x + 10 y, bins of one pixel every second pixel, picture built.
void fillMap(Analyzed2DRes& m)
{
    AnalyzeCond c;
    const double rect[4] = {0, 0, 6, 4};
    c.setup(6, 4, 0, 0, rect, 2, 2);
    m.setCond(c);
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 6; x++)
            m.setData(x, y, 0, 0, x + 10 * y);
    m.genImg();
}

// Width, height and the 16-bit samples, read with libtiff; empty when unreadable.
std::vector<int> readTiff(const QString& name)
{
    std::vector<int> res;
    TIFF* tif = TIFFOpen(QFile::encodeName(name).constData(), "r");
    if (!tif)
        return res;
    uint32_t w = 0, h = 0;
    uint16_t bps = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
    TIFFGetField(tif, TIFFTAG_BITSPERSAMPLE, &bps);
    res = {int(w), int(h)};
    std::vector<quint16> row(w);
    for (uint32_t y = 0; bps == 16 && y < h && TIFFReadScanline(tif, row.data(), y) >= 0; y++)
        res.insert(res.end(), row.begin(), row.end());
    TIFFClose(tif);
    return res;
}

QString notReady(const QString& event)
{
    return QStringLiteral("Stars is not ready (Corvelline>System _%1)").arg(event);
}
} // namespace

class TestBodySave : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;

    QString path(const QString& n) const { return tmp.filePath(n); }

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        cfg.clear();
    }

    // The shown picture, its colour bar and its information file; the event
    // only for a picture that was written.
    void saveImage_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QRectF>("view");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QStringList>("files"); // picture, colour bar, information
        QTest::addColumn<QByteArray>("info");
        const QByteArray info("###Corvelline::ImgInfo\nVIEWING Xs          : \t2\nVIEWING Ys          : \t1\n"
                              "VIEWING Xe          : \t6\nVIEWING Ye          : \t4\n");
        QTest::newRow("no suffix: png") << "save_image a" << QRectF(2, 1, 4, 3) << true
                                        << QStringList{"a.png", "a-cBar.png", "a.info"} << info;
        QTest::newRow("numbered; end is start plus size") << "save_image_w_num c.png 12" << QRectF(0, 0.5, 6, 3.25)
            << true << QStringList{"c-12.png", "c-12-cBar.png", "c-12.info"}
            << QByteArray("###Corvelline::ImgInfo\nVIEWING Xs          : \t0\nVIEWING Ys          : \t0.5\n"
                          "VIEWING Xe          : \t6\nVIEWING Ye          : \t3.75\n");
        QTest::newRow("nothing shown") << "save_image d" << QRectF(2, 1, 4, 3) << false
                                       << QStringList{"", "d-cBar.png", "d.info"} << info;
    }
    void saveImage()
    {
        QFETCH(QString, line);
        QFETCH(bool, shown);
        QFETCH(QStringList, files);
        Body body;
        Analyzed2DRes map(QStringLiteral("m"));
        fillMap(map);
        body.dispA->showOverLayer = true;
        body.dispA->overlayMap = shown ? &map : nullptr;
        QFETCH(QRectF, view);
        body.dispA->viewWin = view;
        QSignalSpy events(&body.stars, &Stars::sendingEventToStars);
        body.execCmdSlot(CmdLine(line.section(u' ', 0, 0) + u' ' + path(line.section(u' ', 1))), false);

        QCOMPARE(events.count(), shown ? 1 : 0);
        if (shown) {
            QCOMPARE(events.at(0).at(0).toString(), notReady("SavedImage " + path(files[0])));
            // What the display shows of its image, as the display cuts it.
            const QImage visible = body.dispA->visibleImage();
            QCOMPARE(QImage(path(files[0])).size(), visible.size());
        }
        QCOMPARE(QImage(path(files[1])).size(), QSize(20, 600));
        QFile f(path(files[2]));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QTEST(f.readAll(), "info");
    }

    void saveScreen()
    {
        Body body;
        QSignalSpy events(&body.stars, &Stars::sendingEventToStars);
        body.saveScreenAs(path(QStringLiteral("s.jpg")));
        const QString name = path(QStringLiteral("s.png"));
        QVERIFY(!body.dispA->size().isEmpty());
        QCOMPARE(QImage(name).size(), body.dispA->size());
        QCOMPARE(events.count(), 1);
        QCOMPARE(events.at(0).at(0).toString(), notReady("SavedScreen " + name));
    }

    // Both land in the working directory, TIFF in spite of the name; nothing
    // before a stack gave the size.
    void flatDark_data()
    {
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::newRow("5 x 3") << 5 << 3;
        QTest::newRow("no stack yet") << -1 << -1;
    }
    void flatDark()
    {
        QFETCH(int, w);
        QFETCH(int, h);
        QTemporaryDir cwd;
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(cwd.path()));
        Body body;
        body.frameSets.imageW = w;
        body.frameSets.imageH = h;
        body.saveFlatDark();
        QDir::setCurrent(before);
        QCOMPARE(QDir(cwd.path()).entryList(QDir::Files).size(), w > 0 ? 2 : 0);
        for (int value : {0, 1}) {
            if (w < 0)
                break;
            std::vector<int> want{w, h};
            want.resize(size_t(2 + w * h), value);
            QCOMPARE(readTiff(cwd.filePath(value ? QStringLiteral("flat.dat") : QStringLiteral("dark.dat"))), want);
        }
    }
};

CORVELLINE_TEST(TestBodySave)
#include "tst_bodysave.moc"
