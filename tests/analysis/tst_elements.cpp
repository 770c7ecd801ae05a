#include "support/MapGrid.h"
#include "support/TestRegistry.h"

#include "analysis/AnalyzerElems.h"
#include "analysis/ElemCtrl.h"
#include "display/ColorBar.h"
#include "foundation/Globals.h"
#include "foundation/VictoreenRec.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <memory>

using testmaps::fill;
using testmaps::grid;

namespace {
// Stand-ins for the panel's widgets that the element unit works on.
struct Panel {
    QWidget w;
    QLineEdit* names = new QLineEdit(&w);
    QCheckBox* sort = new QCheckBox(&w);
    QWidget* rowBase = new QWidget(&w);
    QGridLayout* layout = new QGridLayout(rowBase);
    QLineEdit* corTh = new QLineEdit(QStringLiteral("0.9"), &w);
    QLabel* progress = new QLabel(&w);
    QRadioButton* disp[9];
    AnalyzerElems unit;

    Panel()
    {
        sort->setChecked(true);
        ElemsForm f;
        f.names = names;
        f.sortByANo = sort;
        f.rowLayout = layout;
        f.corTh = corTh;
        f.progress = progress;
        for (int i = 0; i < 9; i++)
            f.disp[i] = disp[i] = new QRadioButton(&w);
        unit.setup(f);
    }
    void build(const QString& list)
    {
        names->setText(list);
        unit.newElems();
    }
    QStringList rowNames() const
    {
        QStringList l;
        for (ElemCtrl* r : unit.elems)
            l << r->Name->text();
        return l;
    }
};
} // namespace

class TestElements : public QObject {
    Q_OBJECT
    testmaps::TestColorBar bar;

private slots:
    void initTestCase()
    {
        loadVictoreenTable();
        bar.install();
    }
    void cleanupTestCase() { bar.remove(); }
    void cleanup() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    void setElement_data()
    {
        QTest::addColumn<int>("z");
        QTest::addColumn<int>("edge");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("eng");
        QTest::newRow("Fe K") << 26 << 0 << "Fe-K" << "7112";
        QTest::newRow("Cu L3") << 29 << 3 << "Cu-L3" << "935";
        QTest::newRow("beyond the edge table") << 110 << 0 << "D-K" << "0";
    }
    void setElement()
    {
        QFETCH(int, z);
        QFETCH(int, edge);
        QFETCH(QString, name);
        ElemCtrl row;
        row.setElement(z, edge, name);
        QTEST(row.Eng->text(), "eng");
        QCOMPARE(row.map(0)->name, name + " Elem Ctrl 0");
        QVERIFY(row.map(7) == nullptr);
    }

    // ROI texts are cut to five characters.
    void shortNumbers_data()
    {
        QTest::addColumn<double>("v");
        QTest::addColumn<QString>("shown");
        QTest::newRow("fraction") << 0.123456 << "0.123";
        QTest::newRow("large") << 1234567.0 << "1.234";
        QTest::newRow("short") << 12.0 << "12";
    }
    void shortNumbers()
    {
        QFETCH(double, v);
        ElemCtrl row;
        row.setROI(v);
        row.setNROI(v);
        QTEST(row.ROI->text(), "shown");
        QTEST(row.NROI->text(), "shown");
    }

    void rows_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<bool>("sort");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<int>>("zs");
        QTest::addColumn<QList<int>>("edges");
        QTest::newRow("commas and edges") << "Fe, Cu-L3 Zn-" << false
                                          << QStringList{"Fe-K", "Cu-L3", "Zn-"}
                                          << QList<int>{26, 29, 30} << QList<int>{0, 3, 0};
        QTest::newRow("sorted") << "Zn Fe Cu" << true << QStringList{"Fe-K", "Cu-K", "Zn-K"}
                                << QList<int>{26, 29, 30} << QList<int>{0, 0, 0};
        QTest::newRow("same element sorted") << "Cu-L3 Cu-K Fe" << true
                                             << QStringList{"Fe-K", "Cu-K", "Cu-L3"}
                                             << QList<int>{26, 29, 29} << QList<int>{0, 0, 3};
        QTest::newRow("deuterium") << "D,,Fe-LII" << true << QStringList{"Fe-LII", "D-K"}
                                   << QList<int>{26, 110} << QList<int>{2, 0};
    }
    void rows()
    {
        QFETCH(QString, list);
        QFETCH(bool, sort);
        QFETCH(QStringList, names);
        QFETCH(QList<int>, zs);
        QFETCH(QList<int>, edges);
        Panel p;
        p.sort->setChecked(sort);
        p.build(list);
        QCOMPARE(p.rowNames(), names);
        QList<int> gotZ, gotEdge;
        for (ElemCtrl* r : p.unit.elems) {
            gotZ << r->z;
            gotEdge << r->edge;
        }
        QCOMPARE(gotZ, zs);
        QCOMPARE(gotEdge, edges);
        for (int i = 0; i < p.unit.elems.size(); i++)
            QCOMPARE(p.unit.targetGroup->id(p.unit.elems[i]->MainTarget), i);
    }

    void rebuild()
    {
        Panel p;
        p.build("Fe Cu");
        p.build("Zn");
        QCOMPARE(p.layout->count(), 1);
        // a running walk holds the rows' maps
        p.unit.analysisRunning = true;
        p.build("Fe Cu Zn");
        QCOMPARE(p.rowNames(), QStringList{"Zn-K"});
        p.unit.analysisRunning = false;
        emit p.names->editingFinished();
        QCOMPARE(p.rowNames(), QStringList({"Fe-K", "Cu-K", "Zn-K"}));
    }

    void lookup_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("row");
        QTest::newRow("by name") << "Cu-K" << 1;
        QTest::newRow("by index") << "1" << 1;
        QTest::newRow("misspelt reads 0") << "Xx-K" << 0;
        QTest::newRow("index too large") << "2" << -1;
    }
    void lookup()
    {
        QFETCH(QString, key);
        QFETCH(int, row);
        Panel p;
        p.sort->setChecked(false);
        p.build("Fe Cu");
        QCOMPARE(findElemRow(p.unit.elems, key), row);
        QSignalSpy changed(&p.unit, &AnalyzerElems::changedSelection);
        p.unit.selectElemTarget(key);
        p.unit.selectElemShow(key);
        p.unit.setElemUse(key, false);
        QCOMPARE(changed.count(), 2);
        const int expectedChecked = row < 0 ? 0 : row;
        QCOMPARE(p.unit.targetIndex(), expectedChecked);
        QCOMPARE(p.unit.showIndex(), expectedChecked);
        for (int i = 0; i < 2; i++)
            QCOMPARE(p.unit.elems[i]->Use->isChecked(), i != row);
    }

    void correlation_data()
    {
        QTest::addColumn<QList<double>>("ratios");
        QTest::addColumn<QList<double>>("stds");
        QTest::addColumn<QList<bool>>("use");
        QTest::addColumn<bool>("announced");
        QTest::addColumn<double>("value");
        QTest::newRow("proportional") << QList<double>{0.5, 1.0, 1.5} << QList<double>{1, 2, 3}
                                      << QList<bool>{true, true, true} << true << 1.0;
        QTest::newRow("crossed") << QList<double>{1, 2, 9} << QList<double>{2, 1, 9}
                                 << QList<bool>{true, true, false} << true << 0.8;
        QTest::newRow("nothing used") << QList<double>{1, 2, 3} << QList<double>{1, 2, 3}
                                      << QList<bool>{false, false, false} << false << 0.0;
        QTest::newRow("huge values") << QList<double>{1e150, 2e150, 0} << QList<double>{1e150, 2e150, 0}
                                     << QList<bool>{true, true, true} << true << 1.0;
    }
    void correlation()
    {
        QFETCH(QList<double>, ratios);
        QFETCH(QList<double>, stds);
        QFETCH(QList<bool>, use);
        QFETCH(bool, announced);
        QFETCH(double, value);
        Panel p;
        p.build("Fe Cu Zn");
        for (int i = 0; i < 3; i++) {
            p.unit.elems[i]->ratio = ratios[i];
            p.unit.elems[i]->stdRatio = stds[i];
            p.unit.elems[i]->Use->setChecked(use[i]);
        }
        QSignalSpy spy(&p.unit, &AnalyzerElems::setNewCorrelation);
        p.unit.calcCorrelation();
        QCOMPARE(spy.count(), announced ? 1 : 0);
        if (announced)
            QVERIFY(std::fabs(spy[0][0].toDouble() - value) < 1e-12);
    }

    void correlationMap_data()
    {
        QTest::addColumn<double>("threshold");
        QTest::addColumn<QList<double>>("aboveTh");
        // At x = 0, 1, 2 the rows' ratio maps hold (1, 2), (1, 1), (1, outside)
        // against standard ratios (1, 2): 1, 3 / sqrt(10), 1 / sqrt(5).
        QTest::newRow("0.999") << 0.999 << QList<double>{1.0, 0, 0};
        QTest::newRow("0.9") << 0.9 << QList<double>{1.0, 3 / std::sqrt(10.0), 0};
    }
    void correlationMap()
    {
        QFETCH(double, threshold);
        QFETCH(QList<double>, aboveTh);
        Panel p;
        p.sort->setChecked(false);
        p.build("Fe Cu");
        fill(p.unit.elems[0]->mapDMutN, grid(3, 2, 0, 0, 0, 0, 3, 2), [](int, int) { return 1.0; });
        fill(p.unit.elems[1]->mapDMutN, grid(2, 2, 0, 0, 0, 0, 2, 2),
             [](int x, int) { return x == 0 ? 2.0 : 1.0; });
        p.unit.elems[0]->stdRatio = 1.0;
        p.unit.elems[1]->stdRatio = 2.0;
        p.unit.corMap.setCond(grid(3, 2, 0, 0, 0, 0, 3, 2));
        QSignalSpy changed(&p.unit, &AnalyzerElems::changedSelection);
        p.unit.setCorTh(threshold);
        QCOMPARE(changed.count(), 1);
        const double cor[3] = {1.0, 3 / std::sqrt(10.0), 1 / std::sqrt(5.0)};
        for (int y = 0; y < 2; y++) {
            for (int x = 0; x < 3; x++) {
                QVERIFY(std::fabs(p.unit.corMap.valueAt(x, y) - cor[x]) < 1e-12);
                QVERIFY(std::fabs(p.unit.corThMap.valueAt(x, y) - aboveTh[x]) < 1e-12);
            }
        }

        // a row left out of the correlation
        p.unit.setElemUse("1", false);
        p.unit.recalcCorMap();
        QCOMPARE(p.unit.corMap.valueAt(2, 1), 1.0);
    }

    void correlationMapEdges()
    {
        Panel p;
        // without rows nothing is written, the progress still ends
        p.unit.corMap.setCond(grid(2, 1, 0, 0, 0, 0, 2, 0));
        p.unit.corMap.setData(0, 0, 0, 0, 0.5);
        p.unit.recalcCorMap();
        QCOMPARE(p.unit.corMap.valueAt(0, 0), 0.5);
        QCOMPARE(p.progress->text(), QString("100.00"));
        // a one-row area and no used rows: 0 everywhere
        p.build("Fe");
        p.unit.elems[0]->Use->setChecked(false);
        p.unit.recalcCorMap();
        QCOMPARE(p.unit.corMap.valueAt(0, 0), 0.0);
    }
};

CORVELLINE_TEST(TestElements)
#include "tst_elements.moc"
