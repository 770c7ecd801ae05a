#include "support/ImageCraft.h"
#include "support/Loopback.h"
#include "support/TestRegistry.h"

#include "analysis/Analyzed2DRes.h"
#include "batch/BatchCtrl.h"
#include "calibration/CalibCtrl.h"
#include "calibration/EMPFile.h"
#include "foundation/LineReader.h"
#include "mainwindow/Body.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// Bragg's law as the file states it, written out here on its own.
const double hcTest = 12398.424360387684;
const double piTest = 3.1415926535;
const double si111 = 3.1355316;
const double fileD = 3.13553; // si111 as the files state it
double angleOf(double e, double d = si111) { return std::asin(hcTest / e / (2 * d)) / piTest * 180.0; }
double energyOf(double theta, double d = si111) { return hcTest / (2 * d * std::sin(theta / 180.0 * piTest)); }

// The shifts behind data/map3x2.emp, row by row, and the angle differences written for them.
const double shifts[6] = {1.0, -2.5, 20.0, 0.0, 0.0, 1.0};
const double angles[6] = {0.00144057, -0.00359998, 0.028874, 0, 0, 0.00144057};

QStringList headerLines()
{
    return {"###Corvelline::Corvelline",
            "Record Date             : 26/12/07 12:00:00.000",
            "Std Edge Energy [eV]    : 8979",
            "Spacing [nm]            : 3.13553",
            "X Offset [pix]          : 5",
            "Y Offset [pix]          : -7",
            "Width [pix]             : 3",
            "Height [pix]            : 2",
            "Bin Half Width [pix]    : 1",
            "Bin Half Height [pix]   : 0",
            "Area X0                 : 0",
            "Area X1                 : 3",
            "Area Y0                 : 0",
            "Area Y1                 : 2",
            "Std File Name           : std.dat",
            "Map Height              : 2",
            "Map Width               : 0 3",
            "Map Width               : 1 3",
            "##-----------------"};
}

// The header with the line starting with `label` replaced by `line` (dropped when empty).
QStringList withLine(const QString& label, const QString& line)
{
    QStringList l = headerLines();
    for (qsizetype i = 0; i < l.size(); i++) {
        if (l[i].startsWith(label)) {
            if (line.isEmpty())
                l.removeAt(i);
            else
                l[i] = line;
            break;
        }
    }
    return l;
}

QString goldenPath() { return testreg::sourceDir() + QStringLiteral("/tests/calibration/data/map3x2.emp"); }

} // namespace

class TestEMPFile : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;

private slots:
    void initTestCase()
    {
        loopback::resetConfig();
        QVERIFY(tmp.isValid());
    }

    // Stars and the data target stay on this host's loopback.
    void aimsAtLoopback()
    {
        Body b;
        QCOMPARE(b.stars.hostLE->text(), QStringLiteral("127.0.0.1"));
        QCOMPARE(b.client.host(), QStringLiteral("127.0.0.1"));
    }

    // The main window writes its map with the panel's and the standard's values.
    void golden()
    {
        Body b;
        AnalyzeCond g;
        const double rect[4] = {0, 0, 3, 2};
        g.setup(3, 2, 1, 0, rect, -1, -1);
        b.calib.cond = g;
        b.eShiftMap.setCond(g);
        for (int i = 0; i < 6; i++)
            b.eShiftMap.setData(i % 3, i / 3, 0, 0, shifts[i]);
        b.calibStd.e0 = 8979; // the panel is empty: the standard's edge
        b.calibCtrl->XOffset->setText(QStringLiteral("5"));
        b.calibCtrl->YOffset->setText(QStringLiteral("-7"));
        b.calibCtrl->SelectStd->Selected->setText(QStringLiteral("/data/std.dat"));
        const QString given = tmp.filePath(QStringLiteral("golden"));
        QCOMPARE(run(b, QStringLiteral("calib_save_map ") + given), 144);
        QCOMPARE(b.calibCtrl->EMPFileName->text(), given);

        QFile f(given + QStringLiteral(".emp"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QString text = QString::fromUtf8(f.readAll());
        const QRegularExpression date(QStringLiteral("^(Record Date {13}: )\\d\\d/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}$"),
                                      QRegularExpression::MultilineOption);
        QVERIFY(text.contains(date));
        text.replace(date, QStringLiteral("\\1<date>"));
        QFile golden(goldenPath());
        QVERIFY(golden.open(QIODevice::ReadOnly));
        QCOMPARE(text, QString::fromUtf8(golden.readAll()));
    }

    void noEdgeEnergyWritesNothing()
    {
        Body b;
        AnalyzeCond g;
        const double rect[4] = {0, 0, 3, 2};
        g.setup(3, 2, 0, 0, rect, -1, -1);
        b.eShiftMap.setCond(g);
        b.eShiftMap.setData(1, 1, 0, 0, 2.0);
        b.calibCtrl->EdgeEeV->setText(QStringLiteral("1000")); // below Si(111)'s reach
        const QString name = tmp.filePath(QStringLiteral("none.emp"));
        b.saveEMap(name);
        QVERIFY(!QFile::exists(name));
        QVERIFY(b.calibCtrl->EMPFileName->text().isEmpty());
    }

    // The panel's figures of the loaded map: its two bins, centred at (1, 0) and
    // (1, 1), hold -2.5 and 0.
    void loadedMapFigures()
    {
        Body b;
        QCOMPARE(run(b, QStringLiteral("calib_load_map ") + goldenPath()), 142);
        const CalibCtrl* c = b.calibCtrl;
        const QList<QLineEdit*> fields{c->DEMin, c->DEMax, c->DEAvr, c->DESigma};
        const double want[4] = {-2.5, 0.0, -1.25, 1.25};
        for (int i = 0; i < 4; i++)
            QVERIFY2(std::fabs(fields[i]->text().toDouble() - want[i]) < 1e-4, qPrintable(fields[i]->text()));
        QCOMPARE(c->Progress->text(), QStringLiteral("100.0"));
    }

    // A loaded map saves again at the panel's edge, else at the edge it was
    // read with, before the standard's: the order it is read in.
    void loadedMapSavesAgain_data()
    {
        QTest::addColumn<double>("stdE0"); // 0: no standard
        QTest::addColumn<QString>("panelAtLoad");
        QTest::addColumn<QString>("between"); // a line between the load and the save
        QTest::addColumn<double>("e0");       // the edge written; 0: nothing written
        QTest::newRow("nothing else set") << 0.0 << "" << "" << 8979.0;
        QTest::newRow("read at the panel's edge, since emptied") << 0.0 << "7112" << "calib_set_edge_eV" << 7112.0;
        QTest::newRow("the edge read with before the standard's") << 8990.5 << "" << "" << 8979.0;
        QTest::newRow("read at the panel's, the standard's elsewhere") << 8990.5 << "8979.5" << "" << 8979.5;
        QTest::newRow("the panel's edge first") << 0.0 << "" << "calib_set_edge_eV 9003.5" << 9003.5;
        QTest::newRow("cleared map") << 0.0 << "" << "calib_clear_map" << 0.0;
    }
    void loadedMapSavesAgain()
    {
        QFETCH(double, stdE0);
        QFETCH(QString, panelAtLoad);
        QFETCH(QString, between);
        QFETCH(double, e0);
        Body b;
        b.calibStd.e0 = stdE0;
        b.calibCtrl->EdgeEeV->setText(panelAtLoad);
        QCOMPARE(run(b, QStringLiteral("calib_load_map ") + goldenPath()), 142);
        if (!between.isEmpty())
            run(b, between);
        const QString name = tmp.filePath(QStringLiteral("again.emp"));
        QFile::remove(name);
        QCOMPARE(run(b, QStringLiteral("calib_save_map ") + name), 144);
        QCOMPARE(QFile::exists(name), e0 > 0);
        if (e0 <= 0)
            return;
        LineReader in;
        QVERIFY(in.open(name));
        QCOMPARE(readEMPHeader(in).stdEdgeEnergy, e0);
        QStringList values;
        for (QString line; in.readLine(line);)
            values += line.split(u' ', Qt::SkipEmptyParts);
        QCOMPARE(values.size(), 6);
        // Shifts as read, then angles at the edge written, on the file's spacing.
        const double readAt = panelAtLoad.isEmpty() ? 8979.0 : panelAtLoad.toDouble();
        const double d = fileD;
        for (int i = 0; i < 6; i++) {
            const double s = readAt - energyOf(angleOf(readAt, fileD) + angles[i], fileD);
            const double want = angleOf(e0 - s, d) - angleOf(e0, d);
            QVERIFY2(std::fabs(values[i].toDouble() - want) <= 1e-5 * std::fabs(want) + 1e-12,
                     qPrintable(QStringLiteral("%1: %2 / %3").arg(i).arg(values[i]).arg(want)));
        }
    }

    // Loaded and saved straight back: the same file but for its date.
    void savedStraightBack_data()
    {
        QTest::addColumn<double>("stdE0"); // 0: no standard
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QString>("stdChosen");
        QTest::newRow("nothing else set") << 0.0 << "" << "";
        QTest::newRow("the panel shows a standard's edge") << 8979.37 << "8979" << "";
        QTest::newRow("another standard chosen") << 0.0 << "" << "/data/other std.dat";
    }
    void savedStraightBack()
    {
        QFETCH(double, stdE0);
        QFETCH(QString, panel);
        QFETCH(QString, stdChosen);
        Body b;
        b.calibStd.e0 = stdE0;
        b.calibCtrl->EdgeEeV->setText(panel);
        b.calibCtrl->SelectStd->Selected->setText(stdChosen);
        QString from = goldenPath();
        for (int round = 0; round < 3; round++) {
            QCOMPARE(run(b, QStringLiteral("calib_load_map ") + from), 142);
            const QString to = tmp.filePath(QStringLiteral("back%1.emp").arg(round));
            QCOMPARE(run(b, QStringLiteral("calib_save_map ") + to), 144);
            QFile f(to);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n');
            QVERIFY(lines.size() > 1 && lines[1].startsWith(QLatin1String("Record Date             : ")));
            lines[1] = QStringLiteral("Record Date             : <date>");
            QFile golden(goldenPath());
            QVERIFY(golden.open(QIODevice::ReadOnly));
            QCOMPARE(lines.join(u'\n'), QString::fromUtf8(golden.readAll()));
            from = to;
        }
    }

    // No map, never measured or cleared: no file, and the batch log says why.
    void noMapWritesNothing_data()
    {
        QTest::addColumn<QString>("before");
        QTest::newRow("never measured") << "";
        QTest::newRow("cleared") << "calib_clear_map";
    }
    void noMapWritesNothing()
    {
        QFETCH(QString, before);
        Body b;
        b.calibStd.e0 = 8979;
        if (!before.isEmpty()) {
            QCOMPARE(run(b, QStringLiteral("calib_load_map ") + goldenPath()), 142);
            QCOMPARE(run(b, before), 143);
        }
        const QString kept = b.calibCtrl->EMPFileName->text();
        const QString name = tmp.filePath(QStringLiteral("nomap.emp"));
        QCOMPARE(run(b, QStringLiteral("calib_save_map ") + name), 144);
        QVERIFY(!QFile::exists(name));
        QCOMPARE(b.calibCtrl->EMPFileName->text(), kept);
        const QString told = QStringLiteral("Can't save %1: there is no energy shift map").arg(name);
        QTRY_VERIFY2(b.batchCtrl->BatchLogs->toPlainText().contains(told),
                     qPrintable(b.batchCtrl->BatchLogs->toPlainText()));
    }

    void readBack_data()
    {
        QTest::addColumn<double>("panelEV");
        QTest::newRow("the file's edge") << 0.0;
        QTest::newRow("another edge") << 7112.0;
    }
    void readBack()
    {
        QFETCH(double, panelEV);
        Analyzed2DRes map(QStringLiteral("m"));
        EMPHeader h;
        AnalyzeCond g;
        EMPReadOptions o;
        o.panelEdgeEV = panelEV;
        QCOMPARE(readEMPFile(goldenPath(), o, map, h, g), EMPRead::Loaded);
        QVERIFY(h.valid);
        QCOMPARE(QList<int>({g.W, g.H, g.hx, g.hy, g.x0, g.x1, g.y0, g.y1}), QList<int>({3, 2, 1, 0, 0, 3, 0, 2}));
        QCOMPARE(QList<int>({h.xOffset, h.yOffset}), QList<int>({5, -7}));
        for (int i = 0; i < 6; i++) {
            const double e0 = panelEV > 0 ? panelEV : 8979.0;
            const double want = panelEV > 0 ? e0 - energyOf(angleOf(e0) + angles[i]) : shifts[i];
            QVERIFY2(std::fabs(map.valueAt(i % 3, i / 3) - want) < 1e-4,
                     qPrintable(QStringLiteral("%1: %2 / %3").arg(i).arg(map.valueAt(i % 3, i / 3)).arg(want)));
        }
    }

    void header_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("width");
        const QString w = QStringLiteral("Width [pix]             : ");
        const QString hl = QStringLiteral("Height [pix]            : ");
        const QString halfW = QStringLiteral("Bin Half Width [pix]    : ");
        const QString d = QStringLiteral("Spacing [nm]            : ");
        const auto row = [](const char* name, const QStringList& lines, bool valid, int h = 2, int wd = 3) {
            QTest::newRow(name) << lines.join(u'\n') << valid << h << wd;
        };
        row("complete", headerLines(), true);
        row("short magic", withLine("###", "###Corvelline"), true);
        row("no magic", withLine("###", "#Corvelline"), false, 0, 0);
        QStringList reordered = headerLines();
        std::reverse(reordered.begin() + 1, reordered.end() - 1);
        row("reordered", reordered, true);
        QStringList optional = headerLines();
        optional.removeIf([](const QString& l) {
            return l.startsWith(QLatin1String("Record Date")) || l.startsWith(QLatin1String("Std File"))
                   || l.startsWith(QLatin1String("Map "));
        });
        row("optional lines missing", optional, true);
        row("no Std Edge Energy", withLine("Std Edge", ""), false);
        QStringList misPadded = headerLines();
        misPadded.insert(8, QStringLiteral("Width [pix]: 99"));
        row("mis-padded label ignored", misPadded, true);
        QStringList repeated = headerLines();
        repeated.insert(8, hl + QStringLiteral("4"));
        row("repeated label, the later wins", repeated, true, 4);
        row("no end line", withLine("##---", ""), false);
        row("width 0", withLine(w, w + "0"), false, 2, 0);
        row("width above 65536", withLine(w, w + "65537"), false, 2, 65537);
        QStringList big = withLine(w, w + "65536");
        big.replaceInStrings(QRegularExpression("^Height.*"), hl + "1024");
        row("2^26 pixels", big, true, 1024, 65536);
        big.replaceInStrings(QRegularExpression("^Height.*"), hl + "1025");
        row("above 2^26 pixels", big, false, 1025, 65536);
        row("negative half width", withLine(halfW, halfW + "-1"), false);
        row("spacing no number", withLine(d, d + "abc"), false);
    }
    void header()
    {
        QFETCH(QString, text);
        LineReader in;
        in.openBytes(text.toUtf8(), QStringLiteral("header"));
        const EMPHeader h = readEMPHeader(in);
        QTEST(h.valid, "valid");
        QTEST(h.height, "height");
        QTEST(h.width, "width");
    }

    // Every exit of a map load answers 142 once; the calibration's state
    // changes only with a loaded map.
    void load_data()
    {
        QTest::addColumn<QByteArray>("file"); // empty: no file
        QTest::addColumn<double>("panelEV");
        QTest::addColumn<bool>("checkSize");
        QTest::addColumn<int>("imageW");
        QTest::addColumn<bool>("loaded");
        const QByteArray golden = [] { QFile f(goldenPath()); f.open(QIODevice::ReadOnly); return f.readAll(); }();
        const QByteArray noAngle = QByteArray(golden).replace("Energy [eV]    : 8979", "Energy [eV]    : 1000");
        QTest::newRow("no file") << QByteArray() << 0.0 << false << -1 << false;
        QTest::newRow("not a map") << QByteArray("1 2\n3 4\n") << 0.0 << false << -1 << false;
        QTest::newRow("edge without angle") << noAngle << 0.0 << false << -1 << false;
        QTest::newRow("the panel's edge has one") << noAngle << 8979.0 << false << -1 << true;
        QTest::newRow("size differs") << golden << 0.0 << true << 4 << false;
        QTest::newRow("size not checked") << golden << 0.0 << false << 4 << true;
        QTest::newRow("no image to check") << golden << 0.0 << true << -1 << true;
        QTest::newRow("short body") << golden.left(golden.indexOf("0 0 0.0")) << 0.0 << false << -1 << true;
        QTest::newRow("overlong body line") << golden + QByteArray(LineReader::maxLineLength + 1, '0') + '\n' << 0.0
                                            << false << -1 << false;
        QTest::newRow("values not finite") << QByteArray(golden).replace("0.00144057 -0.00359998", "nan -inf") << 0.0
                                           << false << -1 << true;
    }
    void load()
    {
        QFETCH(QByteArray, file);
        QFETCH(double, panelEV);
        QFETCH(bool, checkSize);
        QFETCH(int, imageW);
        QFETCH(bool, loaded);
        const QString name = tmp.filePath(QStringLiteral("load.emp"));
        QFile::remove(name);
        if (!file.isEmpty())
            QVERIFY(craft::writeBytes(name, file));
        Body b;
        b.frameSets.imageW = imageW;
        b.frameSets.imageH = imageW;
        b.calibCtrl->EdgeEeV->setText(QString::number(panelEV));
        b.calibCtrl->CheckSize->setChecked(checkSize);
        AnalyzeCond before;
        before.W = before.H = 2;
        b.eShiftMap.setCond(before);
        b.eShiftMap.setData(0, 0, 0, 0, 9.0);

        QSignalSpy answers(&b, &Body::finishBatchExec);
        b.execCmdSlot(CmdLine(QStringLiteral("calib_load_map ") + name), false);
        QCoreApplication::processEvents();
        QCOMPARE(answers.count(), 1);
        QCOMPARE(answers.first().first().toInt(), 142);

        const Analyzed2DRes& m = b.eShiftMap;
        CalibCtrl* p = b.calibCtrl;
        if (!loaded) {
            QCOMPARE(QList<int>({m.cond.W, b.calib.cond.W, b.mapXOffset}), QList<int>({2, 0, 0}));
            QCOMPARE(m.valueAt(0, 0), 9.0);
            QCOMPARE(QList<QString>({p->Width->text(), p->XOffset->text(), p->EMPFileName->text()}),
                     QList<QString>({"0", "0", ""}));
            return;
        }
        QCOMPARE(QList<int>({m.cond.W, m.cond.H, b.calib.cond.W, b.calib.cond.hx}), QList<int>({3, 2, 3, 1}));
        QCOMPARE(QList<int>({b.mapXOffset, b.mapYOffset}), QList<int>({5, -7}));
        QCOMPARE(QList<QString>({p->Width->text(), p->Height->text(), p->XOffset->text(), p->YOffset->text()}),
                 QList<QString>({"3", "2", "5", "-7"}));
        QCOMPARE(p->EMPFileName->text(), name);
        QVERIFY(std::all_of(m.data.begin(), m.data.end(), [](double v) { return std::isfinite(v); }));
        QVERIFY(std::fabs(m.valueAt(2, 0) - 20.0) < 1e-3);
        QVERIFY(std::fabs(m.valueAt(2, 1) - (file.contains("0 0 0.0") ? 1.0 : 0.0)) < 1e-3);
        if (checkSize && imageW < 0)
            QCOMPARE(QList<int>({b.imageW, b.imageH}), QList<int>({3, 2}));
    }

    // Every reader of a map walks its grid: what the header spans is cut to the map.
    void gridOnTheMap_data()
    {
        QTest::addColumn<QList<int>>("area"); // Area X0, X1, Y0, Y1
        QTest::addColumn<QString>("grid"); // x0,x1,y0,y1 read, or "refused"
        // 3 x 2 map, half width 1 (step 3), half height 0 (step 1).
        QTest::newRow("on the map") << QList<int>{0, 3, 0, 2} << "0,3,0,2";
        // Centres -2147483647 + 3k: only 2 lies on columns 0..2; rows 0 and 1.
        QTest::newRow("to the ends of int") << QList<int>{INT_MIN, INT_MAX, INT_MIN, INT_MAX} << "1,3,0,2";
        QTest::newRow("right of the map") << QList<int>{3, 9, 0, 2} << "refused";
        // Its one bin, at -1, reaches column 0 but is centred off the map.
        QTest::newRow("a bin centred left of it") << QList<int>{-2, 1, 0, 2} << "refused";
    }
    void gridOnTheMap()
    {
        QFETCH(QList<int>, area);
        QStringList lines = headerLines();
        const char* labels[4] = {"Area X0", "Area X1", "Area Y0", "Area Y1"};
        for (int i = 0; i < 4; i++)
            lines.replaceInStrings(QRegularExpression(QStringLiteral("^%1 .*").arg(labels[i])),
                                   QStringLiteral("%1                 : %2").arg(labels[i]).arg(area[i]));
        const QString name = tmp.filePath(QStringLiteral("grid.emp"));
        QVERIFY(craft::writeBytes(name, (lines.join(u'\n') + "\n0 0 0\n0 0 0\n").toUtf8()));
        Analyzed2DRes map(QStringLiteral("map"));
        EMPHeader h;
        AnalyzeCond g;
        const EMPRead r = readEMPFile(name, EMPReadOptions(), map, h, g);
        const bool loaded = r == EMPRead::Loaded;
        QTEST(loaded ? QStringLiteral("%1,%2,%3,%4").arg(g.x0).arg(g.x1).arg(g.y0).arg(g.y1)
                     : QStringLiteral("refused"),
              "grid");
        // A refused file replaces nothing.
        QCOMPARE(QList<int>({map.cond.W, h.valid}), QList<int>({loaded ? 3 : 0, loaded}));
    }

    // The file holds a value for every pixel, the calibration measured its
    // area only: the pixels outside the area's bins hold no result. Pixels of
    // the 3 x 2 map by row, 1 where a result is held.
    void areaHoldsTheResults_data()
    {
        QTest::addColumn<QList<int>>("bin"); // Bin Half Width, Area X0, X1, Y0, Y1
        QTest::addColumn<QString>("held");
        QTest::newRow("whole map, bins 3 wide") << QList<int>{1, 0, 3, 0, 2} << "111/111";
        QTest::newRow("columns 1 and 2 of the first row") << QList<int>{0, 1, 3, 0, 1} << "011/000";
    }
    void areaHoldsTheResults()
    {
        QFETCH(QList<int>, bin);
        QStringList lines = headerLines();
        const char* labels[5] = {"Bin Half Width", "Area X0", "Area X1", "Area Y0", "Area Y1"};
        for (int i = 0; i < 5; i++)
            lines.replaceInStrings(QRegularExpression(QStringLiteral("^(%1[^:]*:).*").arg(labels[i])),
                                   QStringLiteral("\\1 %1").arg(bin[i]));
        const QString name = tmp.filePath(QStringLiteral("area.emp"));
        QVERIFY(craft::writeBytes(name, (lines.join(u'\n') + "\n0 0.001 0\n0 0 0\n").toUtf8()));
        Analyzed2DRes map(QStringLiteral("map"));
        EMPHeader h;
        AnalyzeCond g;
        QCOMPARE(readEMPFile(name, EMPReadOptions(), map, h, g), EMPRead::Loaded);
        QStringList rows;
        for (int y = 0; y < 2; y++) {
            QString r;
            for (int x = 0; x < 3; x++)
                r += map.onMap(x, y) ? u'1' : u'0';
            rows << r;
        }
        QTEST(rows.join(u'/'), "held");
    }

    // The analyser reads its maps through the same load without touching the calibration.
    void analyserMapLeavesCalibration()
    {
        Body b;
        Analyzed2DRes own(QStringLiteral("map 1"));
        EMPHeader h;
        QSignalSpy answers(&b, &Body::finishBatchExec);
        b.loadMap(goldenPath(), own, h);
        QVERIFY(h.valid);
        QCOMPARE(answers.count(), 1);
        QCOMPARE(QList<int>({own.cond.W, own.cond.H}), QList<int>({3, 2}));
        QCOMPARE(QList<int>({b.calib.cond.W, b.mapXOffset, b.eShiftMap.cond.W}), QList<int>({0, 0, 0}));
        QCOMPARE(b.calibCtrl->Width->text(), QStringLiteral("0"));
        QVERIFY(b.calibCtrl->EMPFileName->text().isEmpty());
    }

private:
    static int run(Body& b, const QString& line)
    {
        QSignalSpy answers(&b, &Body::finishBatchExec);
        b.execCmdSlot(CmdLine(line), false);
        return answers.isEmpty() ? -1 : answers.first().first().toInt();
    }
};

CORVELLINE_TEST(TestEMPFile)
#include "tst_empfile.moc"
