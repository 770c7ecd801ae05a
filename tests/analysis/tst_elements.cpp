#include "support/LogCapture.h"
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

    // The jump is the mean over [E0+dE, E0+2dE] less the mean over [E0-2dE, E0-dE].
    void prePostTip()
    {
        ElemCtrl row;
        QCOMPARE(row.PrePostDE->toolTip(),
                 QStringLiteral("<html><head/><body><p>dmut is calculated as the mean of mu over [E0+dE, E0+2dE] "
                                "minus the mean of mu over [E0-2dE, E0-dE].</p></body></html>"));
    }

    // beyond the edge table: energy 0
    void setElement()
    {
        ElemCtrl row;
        std::vector<std::unique_ptr<Analyzed2DRes>> own;
        ElemCtrl::Maps maps;
        for (Analyzed2DRes*& m : maps) {
            own.push_back(std::make_unique<Analyzed2DRes>(QString()));
            m = own.back().get();
        }
        row.setMaps(maps);
        row.setElement(110, 0, "D-K");
        QCOMPARE(row.Eng->text(), QString("0"));
        QCOMPARE(row.map(0)->name, QString("D-K Elem Ctrl 0"));
        QVERIFY(row.map(7) == nullptr);
        // ROI texts are cut to five characters.
        row.setROI(1234567.0);
        row.setNROI(0.123456);
        QCOMPARE(row.ROI->text(), QString("1.234"));
        QCOMPARE(row.NROI->text(), QString("0.123"));
    }

    void rows_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<bool>("sort");
        QTest::addColumn<QString>("rows");  // name z edge, ...
        QTest::newRow("commas and edges") << "Fe, Cu-L3 Zn-" << false << "Fe-K 26 0, Cu-L3 29 3, Zn- 30 0";
        QTest::newRow("same element sorted") << "Cu-L3 Cu-K Fe" << true << "Fe-K 26 0, Cu-K 29 0, Cu-L3 29 3";
        QTest::newRow("deuterium") << "D,,Fe-LII" << true << "Fe-LII 26 2, D-K 110 0";
    }
    void rows()
    {
        QFETCH(QString, list);
        QFETCH(bool, sort);
        Panel p;
        p.sort->setChecked(sort);
        p.build(list);
        QStringList got;
        for (ElemCtrl* r : p.unit.elems) {
            got << QString("%1 %2 %3").arg(r->Name->text()).arg(r->z).arg(r->edge);
            QCOMPARE(p.unit.targetGroup->id(r->MainTarget), int(got.size()) - 1);
        }
        QTEST(got.join(", "), "rows");
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
        QTest::newRow("misspelt is no row") << "Xx-K" << -1;
        QTest::newRow("index too large") << "2" << -1;
        QTest::newRow("by symbol") << "Cu" << 1;
    }
    void lookup()
    {
        QFETCH(QString, key);
        QFETCH(int, row);
        Panel p;
        p.sort->setChecked(false);
        p.build("Fe Cu");
        QCOMPARE(findElemRow(p.unit.elems, key), row);
        p.unit.selectElemTarget(key);
        p.unit.selectElemShow(key);
        p.unit.setElemUse(key, false);
        QCOMPARE(p.unit.targetIndex(), std::max(row, 0));
        QCOMPARE(p.unit.showIndex(), std::max(row, 0));
        for (int i = 0; i < 2; i++)
            QCOMPARE(p.unit.elems[i]->Use->isChecked(), i != row);
    }

    // The setters that take a name only: the rows of that name, else the one
    // row of that element; otherwise nothing, and a line naming the rows.
    void namedRowsOnly_data()
    {
        QTest::addColumn<QString>("list"); // not sorted
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("changed"); // row indices
        QTest::addColumn<QString>("log");
        QTest::newRow("symbol") << "Fe Cu" << "Cu" << "1" << "";
        QTest::newRow("shared name") << "Fe Cu Fe" << "Fe-K" << "0,2" << "";
        QTest::newRow("symbol of two rows") << "Cu Cu-L3" << "Cu" << ""
                                            << "No element row is named \"Cu\"; the rows are: Cu-K, Cu-L3";
        QTest::newRow("index is no name") << "Fe Cu" << "1" << ""
                                          << "No element row is named \"1\"; the rows are: Fe-K, Cu-K";
    }
    void namedRowsOnly()
    {
        QFETCH(QString, list);
        QFETCH(QString, key);
        Panel p;
        p.sort->setChecked(false);
        p.build(list);
        testlog::Capture lines;
        p.unit.setElemROI(key, 8990.5, 9010);
        p.unit.setElemThDMut(key, 0.25);
        p.unit.setElemNoNeg(key, false);
        QStringList changed;
        for (int i = 0; i < p.unit.elems.size(); i++) {
            const ElemCtrl* r = p.unit.elems[i];
            const bool roi = r->ROIs->text() == "8990.5" && r->ROIe->text() == "9010";
            QCOMPARE(r->ThDMut->text() == "0.25", roi);
            QCOMPARE(!r->NoNeg->isChecked(), roi);
            if (roi)
                changed << QString::number(i);
        }
        QTEST(changed.join(','), "changed");
        QFETCH(QString, log);
        // one line for each of the three words
        QCOMPARE(lines.linesStartingWith("No element row"), log.isEmpty() ? QStringList() : QStringList(3, log));
    }

    void correlation_data()
    {
        QTest::addColumn<QList<double>>("ratios");
        QTest::addColumn<QList<double>>("stds");
        QTest::addColumn<QList<bool>>("use");
        QTest::addColumn<bool>("announced");
        QTest::addColumn<double>("value");
        const QList<bool> all{true, true, true};
        QTest::newRow("proportional") << QList<double>{0.5, 1.0, 1.5} << QList<double>{1, 2, 3} << all << true << 1.0;
        QTest::newRow("nothing used") << QList<double>{1, 2, 3} << QList<double>{1, 2, 3}
                                      << QList<bool>{false, false, false} << false << 0.0;
        QTest::newRow("huge values") << QList<double>{1e150, 2e150, 0} << QList<double>{1e150, 2e150, 0} << all
                                     << true << 1.0;
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

    // The rule the panel and the walk share: rows out of use and entries
    // beyond the shortest list do not count.
    void correlationRule_data()
    {
        QTest::addColumn<QList<double>>("ratios");
        QTest::addColumn<QList<bool>>("use");
        QTest::addColumn<QList<double>>("stds");
        QTest::addColumn<double>("value"); // NaN: none formed
        QTest::newRow("row out of use") << QList<double>{1, 1} << QList<bool>{true, false} << QList<double>{1, 5}
                                        << 1.0;
        QTest::newRow("shortest list") << QList<double>{1, 1, 9} << QList<bool>{true, true, true}
                                       << QList<double>{1, 2} << 3 / std::sqrt(10.0);
        QTest::newRow("only zeros") << QList<double>{0, 0} << QList<bool>{true, true} << QList<double>{1, 2}
                                    << std::nan("");
    }
    void correlationRule()
    {
        QFETCH(QList<double>, ratios);
        QFETCH(QList<bool>, use);
        QFETCH(QList<double>, stds);
        QFETCH(double, value);
        double c = -7.0;
        QCOMPARE(elemCorrelation(ratios, use, stds, c), !std::isnan(value));
        QVERIFY(std::isnan(value) ? c == -7.0 : std::fabs(c - value) < 1e-12);
    }

    // At x = 0, 1, 2 the rows' ratio maps hold (1, 2), (1, 1), (1, outside)
    // against standard ratios (1, 2): 1, 3 / sqrt(10), 1 / sqrt(5).
    void correlationMap()
    {
        const QList<double> aboveTh{1.0, 3 / std::sqrt(10.0), 0};
        Panel p;
        p.sort->setChecked(false);
        p.build("Fe Cu");
        fill(*p.unit.elems[0]->map(1), grid(3, 2, 0, 0, 0, 0, 3, 2), [](int, int) { return 1.0; });
        fill(*p.unit.elems[1]->map(1), grid(2, 2, 0, 0, 0, 0, 2, 2),
             [](int x, int) { return x == 0 ? 2.0 : 1.0; });
        p.unit.elems[0]->stdRatio = 1.0;
        p.unit.elems[1]->stdRatio = 2.0;
        p.unit.corMap.setCond(grid(3, 2, 0, 0, 0, 0, 3, 2));
        QSignalSpy changed(&p.unit, &AnalyzerElems::changedSelection);
        p.unit.setCorTh(0.9);
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
