#include "support/FrameCraft.h"
#include "support/LogCapture.h"
#include "support/StackBody.h"
#include "support/TestRegistry.h"
#include "support/Loopback.h"

#include "analysis/Analyzer.h"
#include "analysis/AnalyzerElems.h"
#include "analysis/ElemCtrl.h"
#include "batch/BatchCtrl.h"
#include "batch/CmdLine.h"
#include "mainwindow/Body.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <cmath>
#include <memory>

namespace {

// 5 x 3 pixels from 7000 to 9150 eV in 10 eV steps: Fe jumps 0.3 + 0.1 x
// from 7110 eV on, Cu 0.5 + 0.2 y from 8980 eV on, flat elsewhere, so each
// row's dmut is its own jump.
double muAt(int x, int y, double e)
{
    return 0.3 + (e > 7105 ? 0.3 + 0.1 * x : 0.0) + (e > 8975 ? 0.5 + 0.2 * y : 0.0);
}

std::unique_ptr<Body> feCuBody()
{
    std::unique_ptr<Body> b = craft::bodyWithStack(5, 3, 0, nullptr);
    for (int k = 0; k <= 215; k++) {
        const double e = 7000.0 + 10.0 * k;
        QVector<double> v;
        for (int y = 0; y < 3; y++)
            for (int x = 0; x < 5; x++)
                v << std::exp(-muAt(x, y, e));
        b->frameSets.append(FrameSets::I1, craft::floatFrame(5, 3, v), e);
    }
    b->followI1Stack();
    return b;
}

// "rows", "show", "<row>.<widget>" or "saved" (the data lines of $dir/cu-0.dat).
QString stateOf(Body& b, const QString& key, const QString& dir)
{
    const QList<ElemCtrl*>& rows = b.analyzer->elemUnit.elems;
    QStringList l;
    if (key == QLatin1String("rows") || key == QLatin1String("show")) {
        for (const ElemCtrl* r : rows) {
            if (key == QLatin1String("rows") || r->Show->isChecked())
                l << r->Name->text();
        }
        return l.join(u',');
    }
    if (key == QLatin1String("saved")) {
        QFile f(dir + QStringLiteral("/cu-0.dat"));
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
            return QStringLiteral("no file");
        const QStringList lines = QString::fromLatin1(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
        return lines.mid(lines.indexOf(QStringLiteral("## End of Header ##")) + 1).join(u'/');
    }
    for (const ElemCtrl* r : rows) {
        if (r->Name->text() != key.section(u'.', 0, 0))
            continue;
        QWidget* w = r->findChild<QWidget*>(key.section(u'.', 1));
        if (auto* e = qobject_cast<QLineEdit*>(w))
            return e->text();
        if (auto* c = qobject_cast<QAbstractButton*>(w))
            return c->isChecked() ? QStringLiteral("on") : QStringLiteral("off");
    }
    return QStringLiteral("no widget");
}

} // namespace

class TestElemWords : public QObject {
    Q_OBJECT

private slots:
    void init() { loopback::resetConfig(); }
    void cleanup()
    {
        loopback::resetConfig();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Lines are separated by ";", checks are "key=state"; $dir is a fresh folder.
    void wordsNameRows_data()
    {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QStringList>("checks");
        QTest::addColumn<QString>("log"); // the line naming a text no row has
        const QString targets = QStringLiteral("analyzer_target_elements Fe,Cu;");
        QTest::newRow("all parameters are the list")
            << "analyzer_target_elements Fe Cu" << QStringList{"rows=Fe-K,Cu-K", "show=Fe-K"} << "";
        // Fe row by row: 0.3 0.4 0.5 0.6 0.7; Cu row y: 0.5 + 0.2 y
        QTest::newRow("shown and saved by symbol")
            << targets + "analyzer_select_analysis_mode 2;analyzer_exec_elems;analyzer_select_image 6;"
                         "analyzer_elems_select_disp_mode 0;analyzer_elems_select_show Cu;saveDataCfg_save_as_text;"
                         "saveDataCfg_text_as_vals;saveDataCfg_text_as_ssv;save_data $dir/cu.dat"
            << QStringList{"show=Cu-K", "saved=0.5 0.5 0.5 0.5 0.5/0.7 0.7 0.7 0.7 0.7/0.9 0.9 0.9 0.9 0.9"} << "";
        QTest::newRow("ROI, threshold and no-neg by symbol")
            << targets + "analyzer_elems_roi Cu 9000 9100;analyzer_elems_thdmut Cu 0.25;analyzer_elems_no_neg Cu 0"
            << QStringList{"Cu-K.ROIs=9000", "Cu-K.ROIe=9100", "Cu-K.ThDMut=0.25", "Cu-K.NoNeg=off",
                           "Fe-K.ROIs=7000", "Fe-K.ThDMut=0.1", "Fe-K.NoNeg=on"}
            << "";
        QTest::newRow("no row of that element")
            << targets + "analyzer_elems_select_show 1;analyzer_elems_select_show Zn" << QStringList{"show=Cu-K"}
            << "No element row is named \"Zn\"; the rows are: Fe-K, Cu-K";
        QTest::newRow("by index, then by name")
            << targets + "analyzer_elems_select_show 1;analyzer_elems_select_show Fe-K" << QStringList{"show=Fe-K"}
            << "";
    }
    void wordsNameRows()
    {
        QFETCH(QString, lines);
        QFETCH(QStringList, checks);
        QFETCH(QString, log);
        QTemporaryDir dir;
        std::unique_ptr<Body> b = feCuBody();
        QSignalSpy answers(b.get(), &Body::finishBatchExec);
        testlog::Capture capture;
        const QStringList list = lines.replace(QStringLiteral("$dir"), dir.path()).split(u';');
        for (const QString& l : list) {
            const qsizetype before = answers.count();
            b->execCmdSlot(CmdLine(l), false);
            QTRY_COMPARE_WITH_TIMEOUT(answers.count(), before + 1, 60000);
        }
        for (const QString& c : checks)
            QCOMPARE(stateOf(*b, c.section(u'=', 0, 0), dir.path()), c.section(u'=', 1));
        QCOMPARE(capture.linesStartingWith(QStringLiteral("No element row")),
                 log.isEmpty() ? QStringList() : QStringList{log});
        if (!log.isEmpty())
            QTRY_VERIFY(b->batchCtrl->BatchLogs->toPlainText().contains(log));
    }

    // A Ce L3 stack, 5620 to 5950 eV: a bare symbol is a K edge, far above every frame.
    // The line gives what each map of such a row holds, whatever its threshold.
    void edgeOutsideTheStackIsTold_data()
    {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("held"); // the line's words on the maps
        const QString bg = QStringLiteral("analyzer_elems_select_target Ce-L3;analyzer_elems_bg_dMut 0 0.3;"
                                          "analyzer_elems_bg_dE 0 2;analyzer_elems_bg_NROI 0 -1.5;");
        QTest::newRow("default threshold") << "" << "dmut, Mut+ and Mut- 0, dE 0, ROI -2.5, NROI -1) and N. dmut 0";
        for (const char* th : {"-1", "0.5"}) {
            QTest::newRow(qPrintable(QStringLiteral("threshold %1").arg(QLatin1String(th))))
                << bg + QStringLiteral("analyzer_elems_thdmut Fe %1;analyzer_elems_thdmut Ce-K %1;").arg(QLatin1String(th))
                << "dmut, Mut+ and Mut- 0.3, dE 2, ROI -2.5, NROI -1.5) and N. dmut 0.3 over the target Ce-L3's dmut";
        }
    }
    void edgeOutsideTheStackIsTold()
    {
        QFETCH(QString, lines);
        QFETCH(QString, held);
        std::unique_ptr<Body> b = craft::bodyWithStack(5, 3, 0, nullptr);
        for (int k = 0; k <= 66; k++)
            b->frameSets.append(FrameSets::I1, craft::flatFrame(5, 3, k < 20 ? 0.5 : 0.3), 5620.0 + 5.0 * k);
        b->followI1Stack();
        QSignalSpy answers(b.get(), &Body::finishBatchExec);
        testlog::Capture capture;
        const QStringList list = ("analyzer_target_elements Ce Ce-L3 Fe;analyzer_select_analysis_mode 2;"
                                  "analyzer_elems_bg_ROI 0 -2.5;" + lines + "analyzer_exec_elems").split(u';');
        for (const QString& l : list) {
            const qsizetype before = answers.count();
            b->execCmdSlot(CmdLine(l), false);
            QTRY_COMPARE_WITH_TIMEOUT(answers.count(), before + 1, 60000);
        }
        const QStringList expected{
            "The element row Fe-K has its edge at 7112 eV, outside the I1 frames (5620 to 5950 eV): its maps hold "
            "the background values in every bin (" + held + "; no K or L edge of Fe lies among them",
            "The element row Ce-K has its edge at 40443 eV, outside the I1 frames (5620 to 5950 eV): its maps hold "
            "the background values in every bin (" + held + "; name the edge among them as Ce-L3"};
        QCOMPARE(capture.linesStartingWith(QStringLiteral("The element row")), expected);
        for (const QString& line : expected)
            QTRY_VERIFY(b->batchCtrl->BatchLogs->toPlainText().contains(line));
        // dmut, N. dmut, Mut+, Mut-, dE, ROI, N.ROI of both rows, in every bin, as the words say;
        // every map of every row finite.
        QStringList w; // dmut, dE, ROI, NROI, N. dmut
        for (auto it = QRegularExpression("(?<![\\w.-])-?\\d+(?:\\.\\d+)?").globalMatch(held); it.hasNext();)
            w << it.next().captured();
        const QList<ElemCtrl*>& rows = b->analyzer->elemUnit.elems;
        ElemCtrl* target = rows.value(findElemRow(rows, QStringLiteral("Ce-L3")));
        QVERIFY(target && w.size() == 5);
        for (ElemCtrl* row : rows) {
            for (int k = 0; k < 7; k++) {
                for (int y = 0; y < 3; y++) {
                    for (int x = 0; x < 5; x++) {
                        const double v = row->map(k)->valueAt(x, y);
                        QVERIFY(std::isfinite(v));
                        if (row == target)
                            continue;
                        double want = w[std::array<int, 7>{0, 4, 0, 0, 1, 2, 3}[k]].toDouble();
                        if (k == 1 && held.endsWith("dmut"))
                            want /= target->map(0)->valueAt(x, y);
                        QCOMPARE(v, want);
                    }
                }
            }
        }
    }
};

CORVELLINE_TEST(TestElemWords)
#include "tst_elemwords.moc"
