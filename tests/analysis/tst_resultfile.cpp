#include "support/MapGrid.h"
#include "support/TestRegistry.h"

#include "analysis/Analyzed2DRes.h"

#include <QFile>
#include <QRegularExpression>
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

    void counts_data()
    {
        QTest::addColumn<int>("hx");
        QTest::addColumn<int>("hy");
        QTest::addColumn<double>("areaW");
        QTest::addColumn<double>("areaH");
        QTest::addColumn<QString>("xnum");
        QTest::addColumn<QString>("ynum");
        QTest::addColumn<int>("valuesPerRow");
        QTest::newRow("100 wide") << 0 << 0 << 100.0 << 1.0 << "# X-NUM 101" << "# Y-NUM 2" << 100;
        QTest::newRow("empty area") << 0 << 0 << 0.0 << 0.0 << "# X-NUM 1" << "# Y-NUM 1" << 1;
        // steps 3 and 5: 100 / 3 + 1 = 34, 10 / 5 + 1 = 3 (10 / 3 + 1 = 4 at the x step);
        // the walk's centres 1, 4 .. 97 are 33 values a row
        QTest::newRow("steps 3 by 5") << 1 << 2 << 100.0 << 10.0 << "# X-NUM 34" << "# Y-NUM 3" << 33;
    }
    void counts()
    {
        QFETCH(int, hx);
        QFETCH(int, hy);
        QFETCH(double, areaW);
        QFETCH(double, areaH);
        QFETCH(int, valuesPerRow);
        Analyzed2DRes m("m");
        m.setCond(grid(120, 20, hx, hy, 0, 0, areaW, areaH));
        const QString path = tmp.filePath("counts.txt");
        QCOMPARE(m.saveAsText(path, false, true, false), path);
        const QStringList l = linesOf(path);
        QTEST(l[6], "xnum");
        QTEST(l[7], "ynum");
        QCOMPARE(l[9], QString());
        QCOMPARE(int(l[10].split(',').size()), valuesPerRow);
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
