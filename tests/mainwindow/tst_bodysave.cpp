#include "support/TestRegistry.h"
#include "support/LogCapture.h"
#include "support/Loopback.h"

#include "analysis/Analyzer.h"
#include "analysis/LCFReference.h"
#include "display/ImgDispA.h"
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
#include <cmath>
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
        loopback::resetConfig();
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
        // Companions only beside their picture; the failure says why.
        QTest::newRow("nothing shown") << "save_image d" << QRectF(2, 1, 4, 3) << false
                                       << QStringList{"d.png", "d-cBar.png", "d.info"} << info;
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
        testlog::Capture log;
        body.execCmdSlot(CmdLine(line.section(u' ', 0, 0) + u' ' + path(line.section(u' ', 1))), false);

        QCOMPARE(events.count(), shown ? 1 : 0);
        if (!shown) {
            for (const QString& n : files)
                QVERIFY(!QFile::exists(path(n)));
            QCOMPARE(log.linesStartingWith("Can't save"),
                     QStringList{"Can't save " + path(files[0]) + ": the display shows no picture"});
            return;
        }
        {
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

    // A picture that cannot be written takes its colour bar and information
    // file with it; told once, with the system's reason.
    void pictureNotWritten_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("companions");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a folder") << "f.png" << QStringList{"f-cBar.png", "f.info"} << "Is a directory";
        QTest::newRow("unknown suffix") << "u.xyz" << QStringList{"u-cBar.xyz", "u.info"}
                                        << "Unsupported image format";
    }
    void pictureNotWritten()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, companions);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QVERIFY(name != "f.png" || QDir(dir.path()).mkdir(name));
        Body body;
        Analyzed2DRes map(QStringLiteral("m"));
        fillMap(map);
        body.dispA->showOverLayer = true;
        body.dispA->overlayMap = &map;
        body.dispA->viewWin = QRectF(0, 0, 6, 4);
        QSignalSpy events(&body.stars, &Stars::sendingEventToStars);
        testlog::Capture log;
        body.execCmdSlot(CmdLine("save_image " + dir.filePath(name)), false);
        QCOMPARE(log.linesStartingWith("Can't save"), QStringList{"Can't save " + dir.filePath(name) + ": " + reason});
        for (const QString& n : companions)
            QVERIFY2(!QFile::exists(dir.filePath(n)), qPrintable(n));
        QCOMPARE(events.count(), 0);
    }

    // TIFF data of the shown map, named by the checked reference row:
    // (v - low) / (high - low) * 65535 per bin or per pixel.
    void saveDataTiff_data()
    {
        QTest::addColumn<bool>("asAnalyzed");
        QTest::addColumn<bool>("fixed");
        QTest::addColumn<QVector<double>>("values"); // width, height, then the values
        QTest::addColumn<double>("high");            // low is 0 in both scales
        QVector<double> all{6, 4};
        for (int y = 0; y < 4; y++)
            for (int x = 0; x < 6; x++)
                all << x + 10 * y;
        QTest::newRow("bins, fixed 0..32") << true << true << QVector<double>{3, 2, 0, 2, 4, 20, 22, 24} << 32.0;
        QTest::newRow("pixels, own range") << false << false << all << 35.0;
    }
    void saveDataTiff()
    {
        QFETCH(bool, asAnalyzed);
        QFETCH(bool, fixed);
        QFETCH(QVector<double>, values);
        QFETCH(double, high);
        Body body;
        body.analyzer->lcfRefs[2]->Show->setChecked(true);
        Analyzed2DRes* map = body.analyzer->selectedRes();
        QVERIFY(map);
        fillMap(*map);
        body.execCmdSlot(CmdLine(QStringLiteral("saveDataCfg_tiff_scale_max 32")), false);
        body.saveDataCfg->TiffAsAnalyzed->setChecked(asAnalyzed);
        body.saveDataCfg->TiffFixedScale->setChecked(fixed);
        body.execCmdSlot(CmdLine(QStringLiteral("save_data ") + path(QStringLiteral("map.png"))), false);

        const std::vector<int> t = readTiff(path(QStringLiteral("map-2.tif")));
        QCOMPARE(t.size(), size_t(values.size()));
        QCOMPARE(t[0], int(values[0]));
        QCOMPARE(t[1], int(values[1]));
        for (int i = 2; i < values.size(); i++)
            QVERIFY2(std::abs(t[size_t(i)] - std::min(values[i] / high, 1.0) * 65535.0) <= 1.0,
                     qPrintable(QString::number(i)));
        QCOMPARE(QImage(path(QStringLiteral("map-2--cBar.png"))).size(), QSize(20, 600));
    }

    // With "Eng. Shift" shown the line says where the shift map is saved and
    // which map this saves instead.
    void saveDataWithShiftMapShown()
    {
        Body body;
        body.analyzer->ShowZ->setChecked(true);
        body.ShowShiftMap->setChecked(true);
        testlog::Capture log;
        body.execCmdSlot(CmdLine(QStringLiteral("save_data ") + path(QStringLiteral("s.dat"))), false);
        const QStringList told =
            log.linesStartingWith(QStringLiteral("The energy shift map shown is saved as .emp with calib_save_map"));
        QCOMPARE(told.size(), 1);
        QVERIFY2(told[0].endsWith(QStringLiteral("the analyser's map \"%1\" to %2")
                                      .arg(body.analyzer->zansaMap.name, path(QStringLiteral("s.dat")))),
                 qPrintable(told[0]));
    }

    void saveDataText_data()
    {
        QTest::addColumn<QString>("words");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("x y value, comma: the default") << ""
            << QStringList{"0,0,0", "2,0,2", "4,0,4", "0,2,20", "2,2,22", "4,2,24"};
        QTest::newRow("values per row, space") << "saveDataCfg_text_as_ssv;saveDataCfg_text_as_vals"
                                               << QStringList{"0 2 4", "20 22 24"};
    }
    void saveDataText()
    {
        QFETCH(QString, words);
        Body body;
        body.analyzer->ShowZ->setChecked(true);
        fillMap(*body.analyzer->selectedRes());
        for (const QString& w : (QStringLiteral("saveDataCfg_save_as_text;") + words).split(u';'))
            body.execCmdSlot(CmdLine(w), false);
        QSignalSpy events(&body.stars, &Stars::sendingEventToStars);
        body.execCmdSlot(CmdLine(QStringLiteral("save_data ") + path(QStringLiteral("t.dat"))), false);
        const QString name = path(QStringLiteral("t-0.dat"));
        QCOMPARE(events.count(), 1);
        QCOMPARE(events.at(0).at(0).toString(), notReady("SavedDataAsText " + name));
        QFile f(name);
        QVERIFY(f.open(QIODevice::ReadOnly | QIODevice::Text));
        QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
        lines = lines.mid(lines.indexOf(QStringLiteral("## End of Header ##")) + 1);
        QTEST(lines, "rows");
    }

    // After a deglitch the text holds what the TIFF holds: the processed map
    // while it is shown, the measured one once that is shown again.
    void textAfterDeglitch_data()
    {
        QTest::addColumn<bool>("processedShown");
        QTest::newRow("processed map shown") << true;
        QTest::newRow("measured map shown again") << false;
    }
    void textAfterDeglitch()
    {
        QFETCH(bool, processedShown);
        Body body;
        body.analyzer->ShowZ->setChecked(true);
        Analyzed2DRes* map = body.analyzer->selectedRes();
        fillMap(*map);
        map->setData(2, 2, 0, 0, 500.0); // a spike among 0 .. 35
        emit body.DeGlitch->clicked();
        if (!processedShown)
            map->selectProcImg(false);
        for (const char* w : {"saveDataCfg_save_as_text", "saveDataCfg_text_as_ssv", "saveDataCfg_text_as_vals",
                              "saveDataCfg_tiff_scale_max 600"})
            body.execCmdSlot(CmdLine(QLatin1String(w)), false);
        body.execCmdSlot(CmdLine(QStringLiteral("save_data ") + path(QStringLiteral("dg.dat"))), false);
        body.execCmdSlot(CmdLine(QStringLiteral("saveDataCfg_save_as_tiff")), false);
        body.execCmdSlot(CmdLine(QStringLiteral("save_data ") + path(QStringLiteral("dg.tif"))), false);

        QFile f(path(QStringLiteral("dg-0.dat")));
        QVERIFY(f.open(QIODevice::ReadOnly | QIODevice::Text));
        QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
        lines = lines.mid(lines.indexOf(QStringLiteral("## End of Header ##")) + 1);
        QVector<double> text;
        for (const QString& l : lines)
            for (const QString& v : l.split(u' '))
                text << v.toDouble();
        // Bins every second pixel: the spike's bin is the middle one of row 1.
        QCOMPARE(text.size(), 6);
        QCOMPARE(text[4] == 500.0, !processedShown);
        const std::vector<int> t = readTiff(path(QStringLiteral("dg-0.tif")));
        QCOMPARE(t.size(), size_t(2 + 6));
        for (int i = 0; i < 6; i++)
            QVERIFY2(std::abs(t[size_t(2 + i)] - text[i] / 600.0 * 65535.0) <= 1.0,
                     qPrintable(QStringLiteral("%1: %2 / %3").arg(i).arg(t[size_t(2 + i)]).arg(text[i])));
    }

    // One sample per bin the walk visits, also for a region one pixel wide or
    // tall; the colour bar only beside a TIFF that was written.
    void tiffOfBins_data()
    {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QVector<int>>("values"); // width, height, then x + 10 y of each bin
        QTest::addColumn<bool>("nameTaken");      // the TIFF's name is a folder
        QTest::newRow("one pixel wide") << QRect(3, 1, 0, 3) << QVector<int>{1, 3, 13, 23, 33} << false;
        QTest::newRow("one pixel tall") << QRect(1, 2, 4, 0) << QVector<int>{4, 1, 21, 22, 23, 24} << false;
        QTest::newRow("name taken") << QRect(1, 2, 4, 0) << QVector<int>{} << true;
    }
    void tiffOfBins()
    {
        QFETCH(QRect, area);
        QFETCH(QVector<int>, values);
        QFETCH(bool, nameTaken);
        QTemporaryDir out;
        Body body;
        body.analyzer->ShowZ->setChecked(true);
        Analyzed2DRes* map = body.analyzer->selectedRes();
        AnalyzeCond c;
        const double rect[4] = {double(area.x()), double(area.y()), double(area.width()), double(area.height())};
        c.setup(6, 4, 0, 0, rect, 1, 1);
        map->setCond(c);
        AnalyzeCond walk = c;
        do {
            map->setData(walk.cx, walk.cy, 0, 0, walk.cx + 10 * walk.cy);
        } while (walk.next());
        if (nameTaken)
            QVERIFY(QDir(out.path()).mkdir(QStringLiteral("r-0.tif")));
        body.saveDataCfg->TiffFixedScale->setChecked(false);
        body.execCmdSlot(CmdLine(QStringLiteral("saveDataCfg_tiff_as_analyzed 1")), false);
        body.execCmdSlot(CmdLine(QStringLiteral("save_data ") + out.filePath(QStringLiteral("r.png"))), false);

        QCOMPARE(QFile::exists(out.filePath(QStringLiteral("r-0--cBar.png"))), !nameTaken);
        if (nameTaken)
            return;
        const std::vector<int> t = readTiff(out.filePath(QStringLiteral("r-0.tif")));
        QCOMPARE(t.size(), size_t(values.size()));
        QCOMPARE(t[0], values[0]);
        QCOMPARE(t[1], values[1]);
        const int lo = *std::min_element(values.begin() + 2, values.end());
        const int hi = *std::max_element(values.begin() + 2, values.end());
        for (int i = 2; i < values.size(); i++)
            QVERIFY2(std::abs(t[size_t(i)] - double(values[i] - lo) / (hi - lo) * 65535.0) <= 1.0,
                     qPrintable(QString::number(i)));
    }

    // A map whose walk reached only some rows: the save names its file and
    // counts the bins with a result; a whole map's save says nothing of it.
    // One-pixel bins over the 6 x 4 image, rows 0 .. rows - 1 written.
    void partialMapCounted_data()
    {
        QTest::addColumn<bool>("text");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("note"); // after the file's name
        QTest::newRow("text, 2 rows") << true << 2
                                      << ": 12 of the map's 24 bins hold a result; the other 12 hold none";
        QTest::newRow("tiff, 1 row") << false << 1
                                     << ": 6 of the map's 24 bins hold a result; the other 18 hold none";
        QTest::newRow("text, whole") << true << 4 << "";
    }
    void partialMapCounted()
    {
        QFETCH(bool, text);
        QFETCH(int, rows);
        QFETCH(QString, note);
        Body body;
        body.analyzer->ShowZ->setChecked(true);
        Analyzed2DRes& m = *body.analyzer->selectedRes();
        AnalyzeCond c;
        const double rect[4] = {0, 0, 6, 4};
        c.setup(6, 4, 0, 0, rect, -1, -1);
        m.setCond(c);
        for (int y = 0; y < rows; y++)
            for (int x = 0; x < 6; x++)
                m.setData(x, y, 0, 0, 1.5 + x);
        m.genImg();
        body.execCmdSlot(CmdLine(text ? QStringLiteral("saveDataCfg_save_as_text")
                                      : QStringLiteral("saveDataCfg_save_as_tiff")),
                         false);
        testlog::Capture lines;
        body.execCmdSlot(CmdLine(QStringLiteral("save_data ") + path(QStringLiteral("p.dat"))), false);
        const QString name = path(text ? QStringLiteral("p-0.dat") : QStringLiteral("p-0.tif"));
        QVERIFY(QFile::exists(name));
        const QStringList told = lines.linesStartingWith(name + ":");
        QCOMPARE(told, note.isEmpty() ? QStringList() : QStringList{name + note});
    }

    // One picture per valid map of every row that takes part (Use box and a
    // file), rows inner; a name without suffix gives png.
    void saveAllImages()
    {
        Body body;
        const QList<LCFReference*>& rows = body.analyzer->lcfRefs;
        QVERIFY(rows.size() >= 4);
        for (int i = 0; i < 4; i++) {
            rows[i]->XFS->Use->setChecked(i != 3);
            if (i != 2)
                rows[i]->XFS->load(path(QStringLiteral("ref.dat")));
            if (i != 1) {
                fillMap(*body.analyzer->lcfResMap(i, 0));
                fillMap(*body.analyzer->lcfResMap(i, 1));
            }
        }
        QDir out(path(QStringLiteral("all")));
        QVERIFY(out.mkpath(QStringLiteral(".")));
        body.execCmdSlot(CmdLine(QStringLiteral("save_all_images ") + out.filePath(QStringLiteral("lcf"))), false);
        QCOMPARE(out.entryList(QDir::Files), (QStringList{"lcf-0-0.png", "lcf-0-1.png"}));
        QCOMPARE(QImage(out.filePath(QStringLiteral("lcf-0-1.png"))).size(), QSize(6, 4));
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
