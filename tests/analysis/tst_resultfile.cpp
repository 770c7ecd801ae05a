#include "support/MapGrid.h"
#include "support/TestRegistry.h"

#include "analysis/Analyzed2DRes.h"

#include <QFile>
#include <QRect>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using testmaps::grid;

namespace {
QStringList linesOf(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {QStringLiteral("<unreadable %1>").arg(path)};
    return QString::fromUtf8(f.readAll()).split('\n');
}

// Three bins by two rows on a 4 x 3 image, with values that show the number format.
void fillSample(Analyzed2DRes& m)
{
    m.setCond(grid(4, 3, 0, 0, 0, 0, 3, 2));
    m.setData(0, 0, 0, 0, 1.5);
    m.setData(1, 0, 0, 0, -2.0);
    m.setData(2, 0, 0, 0, 0.000012345678);
    m.setData(0, 1, 0, 0, 1234567.0);
    m.setData(1, 1, 0, 0, 0.0);
    m.setData(2, 1, 0, 0, 3.25);
    m.setData(3, 2, 0, 0, 99.0); // outside the area: never written
}
} // namespace

class TestResultFile : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;

private slots:
    void golden_data()
    {
        QTest::addColumn<bool>("csv");
        QTest::addColumn<bool>("xyz");
        QTest::addColumn<QString>("golden");
        QTest::newRow("matrix csv") << true << false << "result-vvv-csv.txt";
        QTest::newRow("matrix space") << false << false << "result-vvv-space.txt";
        QTest::newRow("xyz csv") << true << true << "result-xyz-csv.txt";
        QTest::newRow("xyz space") << false << true << "result-xyz-space.txt";
    }
    void golden()
    {
        QFETCH(bool, csv);
        QFETCH(bool, xyz);
        QFETCH(QString, golden);
        Analyzed2DRes m("a2d Zansa");
        fillSample(m);
        m.cond.cx = 2;
        m.cond.cy = 1;
        const QString path = tmp.filePath(golden);
        QCOMPARE(m.saveAsText(path, true, csv, xyz), path);
        QCOMPARE(QPoint(m.cond.cx, m.cond.cy), QPoint(2, 1)); // the map's own scanner is left alone
        QStringList got = linesOf(path);
        const QStringList want = linesOf(testreg::sourceDir() + "/tests/analysis/data/" + golden);
        QVERIFY(got.size() > 3);
        QVERIFY2(QRegularExpression("^# Date    : \\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}$").match(got[2]).hasMatch(),
                 qPrintable(got[2]));
        got[2] = "# Date    : MASKED";
        QCOMPARE(got, want);
    }

    // Values as QString::arg(double) writes them, signs of zero and
    // infinities, not-a-number and the exponent forms included.
    void numbersAsArg()
    {
        const QList<double> values = {-0.0, 0.0, std::nan(""), -INFINITY, INFINITY, 1e-5, 0.1 + 0.2, 123456.5,
                                      999999.5, -7.25e-300, 1e300, 5e-324};
        Analyzed2DRes m("a2d Zansa");
        m.setCond(grid(int(values.size()), 1, 0, 0, 0, 0, values.size(), 1));
        for (int x = 0; x < values.size(); ++x)
            m.setData(x, 0, 0, 0, values[x]);
        const QString path = tmp.filePath("numbers.txt");
        QCOMPARE(m.saveAsText(path, false, false, true), path);
        QStringList want;
        for (int x = 0; x < values.size(); ++x)
            want << QString("%1 0 %2").arg(x).arg(values[x]);
        QCOMPARE(linesOf(path).mid(9), want << "");
    }

    // The header counts the columns and rows the body holds, in every layout.
    void counts_data()
    {
        QTest::addColumn<QSize>("image");
        QTest::addColumn<int>("hx");
        QTest::addColumn<int>("hy");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::newRow("100 wide") << QSize(120, 20) << 0 << 0 << QRect(0, 0, 100, 1) << 100 << 1;
        QTest::newRow("empty area") << QSize(120, 20) << 0 << 0 << QRect(0, 0, 0, 0) << 1 << 1;
        // centres 1, 4 .. 97 and 2, 7
        QTest::newRow("steps 3 by 5") << QSize(120, 20) << 1 << 2 << QRect(0, 0, 100, 10) << 33 << 2;
        QTest::newRow("region, 1 x 1") << QSize(96, 64) << 0 << 0 << QRect(10, 10, 60, 40) << 60 << 40;
        // centres 11, 14 .. 68 and 11, 14 .. 47
        QTest::newRow("region, 3 x 3") << QSize(96, 64) << 1 << 1 << QRect(10, 10, 60, 40) << 20 << 13;
        QTest::newRow("whole, 1 x 1") << QSize(96, 64) << 0 << 0 << QRect(0, 0, 96, 64) << 96 << 64;
        QTest::newRow("whole, 3 x 3") << QSize(96, 64) << 1 << 1 << QRect(0, 0, 96, 64) << 32 << 21;
        QTest::newRow("whole 64 x 48, 3 x 3") << QSize(64, 48) << 1 << 1 << QRect(0, 0, 64, 48) << 21 << 16;
    }
    void counts()
    {
        QFETCH(QSize, image);
        QFETCH(int, hx);
        QFETCH(int, hy);
        QFETCH(QRect, area);
        QFETCH(int, columns);
        QFETCH(int, rows);
        Analyzed2DRes m("m");
        m.setCond(grid(image.width(), image.height(), hx, hy, area.x(), area.y(), area.width(), area.height()));
        const QString path = tmp.filePath("counts.txt");
        for (const bool xyz : {false, true}) {
            for (const bool csv : {false, true}) {
                QCOMPARE(m.saveAsText(path, false, csv, xyz), path);
                const QStringList l = linesOf(path);
                QCOMPARE(l.mid(6, 2), QStringList({QString("# X-NUM %1").arg(columns), QString("# Y-NUM %1").arg(rows)}));
                QStringList body = l.mid(xyz ? 9 : 10);
                QCOMPARE(body.takeLast(), QString()); // the file ends with a line end
                const QChar sep = csv ? u',' : u' ';
                QSet<QString> xs, ys;
                for (const QString& line : std::as_const(body)) {
                    const QStringList v = line.split(sep);
                    if (!xyz) {
                        QCOMPARE(int(v.size()), columns);
                    } else if (v.size() == 3) {
                        xs << v[0];
                        ys << v[1];
                    }
                }
                QCOMPARE(int(body.size()), xyz ? columns * rows : rows);
                if (xyz)
                    QCOMPARE(QSize(int(xs.size()), int(ys.size())), QSize(columns, rows));
            }
        }
    }

    void withoutArrays()
    {
        // A map that holds no values writes zeros for its bins.
        Analyzed2DRes m("m");
        m.cond = grid(0, 0, 0, 0, 0, 0, 2, 1);
        const QString path = tmp.filePath("none.txt");
        QCOMPARE(m.saveAsText(path, false, true, false), path);
        QCOMPARE(linesOf(path).mid(9), QStringList({"", "0,0", ""}));
    }

    void unwritable()
    {
        Analyzed2DRes m("m");
        fillSample(m);
        QCOMPARE(m.saveAsText(tmp.filePath("no/such/folder/x.txt"), false, true, false), QString());
    }
};

CORVELLINE_TEST(TestResultFile)
#include "tst_resultfile.moc"
