#include "support/FrameCraft.h"
#include "support/ImageCraft.h"
#include "support/TestRegistry.h"

#include "imagestack/FrameSets.h"
#include "imagestack/LoadTiff.h"
#include "imagestack/TiffData.h"

#include <QTemporaryDir>
#include <QTest>

class TestFrameSets : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    // Two one-pixel files per request, holding 100 r and 100 r + 1.
    QStringList requestFiles(int r)
    {
        QStringList list;
        for (int i = 0; i < 2; i++) {
            const QString name = dir.filePath(QStringLiteral("r%1_%2.img").arg(r).arg(i));
            if (!QFile::exists(name))
                craft::writeIm(name, 1, 1, {quint32(100 * r + i)});
            list << name;
        }
        return list;
    }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    // Requests go out one after the other, each waiting for its finish or not.
    void newOrAppend_data()
    {
        QTest::addColumn<QList<bool>>("newFile");
        QTest::addColumn<QList<bool>>("wait");
        QTest::addColumn<QList<double>>("stack");
        QTest::newRow("append after a load") << QList<bool>{true, false} << QList<bool>{true, true}
                                             << QList<double>{0, 1, 100, 101};
        QTest::newRow("append queued behind a load")
            << QList<bool>{true, false} << QList<bool>{false, false} << QList<double>{0, 1, 100, 101};
        QTest::newRow("new after a load") << QList<bool>{true, true} << QList<bool>{true, true}
                                          << QList<double>{100, 101};
        QTest::newRow("new replaces a load under way")
            << QList<bool>{false, true} << QList<bool>{false, false} << QList<double>{100, 101};
    }
    void newOrAppend()
    {
        QFETCH(QList<bool>, newFile);
        QFETCH(QList<bool>, wait);
        QFETCH(QList<double>, stack);
        LoadTiff loader;
        FrameSets sets;
        int finishes = 0;
        connect(&loader, &LoadTiff::loaded, this, [&](TiffData* d, int fNo, int, quint64 g) {
            if (FrameSets::accept(&loader, d, g))
                sets.append(FrameSets::I1, d, fNo);
        });
        connect(&loader, &LoadTiff::finishLoadFiles, this, [&](EX_CMD_ID, quint64 g) {
            if (loader.isCurrent(g))
                finishes++;
        });
        for (int r = 0; r < newFile.size(); r++) {
            const int before = finishes;
            loader.loadTiffs(sets.startLoad(FrameSets::I1, &loader, newFile[r], requestFiles(r),
                                            false, 1, 0, 0, nullptr));
            if (wait[r])
                QTRY_COMPARE(finishes, before + 1);
        }
        QTRY_VERIFY(finishes > 0 && !loader.isBusy());
        QList<double> values;
        for (const TiffData* f : sets.frames(FrameSets::I1))
            values << f->value(0, 0);
        QCOMPARE(values, stack);
    }

    void expTime_data()
    {
        QTest::addColumn<QList<double>>("times");
        QTest::addColumn<bool>("any");
        QTest::addColumn<bool>("same");
        QTest::newRow("empty stack") << QList<double>{} << false << false;
        QTest::newRow("one frame") << QList<double>{50} << true << true;
        QTest::newRow("all equal") << QList<double>{100, 100, 100} << true << true;
        QTest::newRow("one differs in the tenth digit")
            << QList<double>{100, 100, 100.0000001} << true << false;
    }
    void expTime()
    {
        QFETCH(QList<double>, times);
        QFETCH(bool, any);
        QFETCH(bool, same);
        FrameSets sets;
        for (double t : times)
            sets.append(FrameSets::I1, craft::flatFrame(1, 1, 1, 0, t), 0);
        double exp = -1;
        bool ok = !same;
        QCOMPARE(FrameSets::commonExpTime(sets.frames(FrameSets::I1), exp, ok), any);
        if (any) {
            QCOMPARE(exp, times.first());
            QCOMPARE(ok, same);
        }
    }

    // Frame i holds 10 i in its left half and i in its right half, which is the
    // dark area: its mean is i, less the dark frame's mean there.
    void darkAreaCaches()
    {
        FrameSets sets;
        auto add = [&sets](int from, int to) {
            for (int i = from; i < to; i++)
                sets.append(FrameSets::I0, craft::floatFrame(4, 1, {10.0 * i, 10.0 * i, double(i), double(i)}), i);
        };
        auto expected = [](int n, double dark) {
            QList<double> m;
            for (int i = 0; i < n; i++)
                m << i - dark;
            return m;
        };
        add(0, 10);
        sets.setDarkArea(FrameSets::I0, QRectF(2, 0, 1, 0));
        QCOMPARE(sets.darkMeans(FrameSets::I0), expected(10, 0));
        add(10, 15);
        sets.updateDarkArea(FrameSets::I0);
        QCOMPARE(sets.darkMeans(FrameSets::I0), expected(15, 0));

        sets.setDarkFrame(craft::floatFrame(4, 1, {9, 9, 2, 4}));
        QVERIFY(sets.darkMeans(FrameSets::I0).isEmpty());
        sets.clearUpdateDarkArea(FrameSets::I0);
        QCOMPARE(sets.darkMeans(FrameSets::I0), expected(15, 3));
        QVERIFY(!sets.loadDark(dir.filePath(QStringLiteral("no such dark"))));
        QVERIFY(!sets.darkFrame());
        QVERIFY(sets.darkMeans(FrameSets::I0).isEmpty());

        sets.clearUpdateDarkArea(FrameSets::I0);
        sets.clear(FrameSets::I0);
        QVERIFY(sets.darkMeans(FrameSets::I0).isEmpty());
        QVERIFY(sets.darkInUse(FrameSets::I0));
        sets.clearDarkArea(FrameSets::I0);
        add(0, 2);
        sets.clearUpdateDarkArea(FrameSets::I0);
        QVERIFY(sets.darkMeans(FrameSets::I0).isEmpty());
    }
};

CORVELLINE_TEST(TestFrameSets)
#include "tst_framesets.moc"
