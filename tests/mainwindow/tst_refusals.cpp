#include "support/Loopback.h"
#include "support/MapGrid.h"
#include "support/StackBody.h"
#include "support/TestRegistry.h"

#include "analysis/Analyzer.h"
#include "batch/BatchCtrl.h"
#include "calibration/CalibCtrl.h"
#include "display/ImgDispA.h"
#include "display/_FileDialog.h"
#include "foundation/WholeFile.h"
#include "imagestack/SelectDataFiles.h"
#include "mainwindow/Body.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// The message server's refused connection is told at its own time, not
// among the lines a test waits for.
void quiet(Body& b) { QObject::disconnect(&b.stars, &Stars::log, &b, nullptr); }

// The maps a walk or a calibration would fill.
QList<Analyzed2DRes*> mapsOf(Body& b)
{
    Analyzer* a = b.analyzer;
    QList<Analyzed2DRes*> maps{&a->dEdgeMap, &a->zansaMap, &a->raDMutMap, &b.eShiftMap};
    if (Analyzed2DRes* lcf = a->lcfResMap(0, 0))
        maps << lcf;
    return maps;
}

// A 10 x 4 stack of 30 frames; every map the walks fill made beforehand, bin
// (x, y) of map k holding 100 k + 10 y + x.
std::unique_ptr<Body> bodyWithMaps(bool stack)
{
    std::unique_ptr<Body> b = stack ? craft::bodyWithStack(10, 4, 30, [](int x, int y, int k) {
        return 1000.0 + 3 * x + 7 * y - k;
    })
                                    : std::make_unique<Body>();
    quiet(*b);
    b->dispA->viewWin = QRectF(0, 0, 10, 4);
    for (int sub : {0, 1, 3})
        b->analyzer->setSubMode(0, sub, true);
    const AnalyzeCond g = testmaps::grid(10, 4, 0, 0, 0, 0, 10, 4);
    const QList<Analyzed2DRes*> maps = mapsOf(*b);
    for (int k = 0; k < maps.size(); k++)
        testmaps::fill(*maps[k], g, [k](int x, int y) { return 100.0 * k + 10 * y + x; });
    return b;
}

QList<double> mapValues(Body& b)
{
    QList<double> v;
    for (const Analyzed2DRes* m : mapsOf(b)) {
        v << (m->holdsResult() ? 1.0 : 0.0);
        for (int y = 0; y < 4; y++)
            for (int x = 0; x < 10; x++)
                v << m->valueAt(x, y);
    }
    return v;
}

// "widget=text" lines, with "+box" checking a box and "-box" unchecking it,
// set on the window or its panels.
void setUp(Body& b, const QString& lines)
{
    for (const QString& l : lines.split(u';', Qt::SkipEmptyParts)) {
        const QString name = l.section(u'=', 0, 0).mid(l.startsWith(u'+') || l.startsWith(u'-') ? 1 : 0);
        QObject* w = nullptr;
        for (QObject* owner : QList<QObject*>{&b, b.analyzer, b.calibCtrl}) {
            if (!w)
                w = owner->findChild<QObject*>(name);
        }
        QVERIFY2(w, qPrintable(name));
        if (auto* box = qobject_cast<QAbstractButton*>(w))
            box->setChecked(l.startsWith(u'+'));
        else
            qobject_cast<QLineEdit*>(w)->setText(l.section(u'=', 1));
    }
}

} // namespace

class TestRefusals : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { loopback::resetConfig(); }

    // Every refusal on the way to a walk leaves the maps already made as they
    // were, and is told in the window's message place.
    void refusedWalkKeepsTheMaps_data()
    {
        QTest::addColumn<bool>("calibration");
        QTest::addColumn<bool>("stack");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("told");
        const QString analyse = "Can't analyse: ", calibrate = "Can't calibrate: ";
        for (bool calib : {false, true}) {
            const QString can = calib ? calibrate : analyse;
            const char* walk = calib ? "calibration, " : "analysis, ";
            QTest::addRow("%sSum R.", walk) << calib << true << "vVWidth_=x" << can + "Sum R. \"x\" is no whole number of 0 or more";
            QTest::addRow("%sA. Step", walk) << calib << true << "aHWidth_=-1"
                                             << can + "A. Step \"-1\" is no whole number of 0 or more";
            QTest::addRow("%ssuggested element", walk) << calib << true << "+UseSuggestElm;DPreE=abc"
                                                       << can + "Suggest Elm. pre-edge end \"abc\" is no number";
            QTest::addRow("%sno stack", walk) << calib << false << "" << can + "no I1 stack is loaded";
            QTest::addRow("%sregion off the image", walk)
                << calib << true << "region" << can + "no bin of the selected region lies on the image";
        }
        QTest::newRow("analysis, Fitting Range") << false << true << "LCFRange1=abc"
                                                 << analyse + "Fitting Range \"abc\" is no number";
        QTest::newRow("analysis, residual at") << false << true << "RAAtEV=9000.0.0"
                                               << analyse + "Res = mut( \"9000.0.0\" is no number";
        QTest::newRow("analysis, none chosen") << false << true << "-Sel2DADEdgeA;-Sel2DAMLCFA;-Sel2DARAA"
                                               << analyse + "no analysis is chosen";
        QTest::newRow("calibration, E-step") << true << true << "+CalibTypeInnerP;DEs=1..5"
                                             << calibrate + "E-step \"1..5\" is no number";
    }
    void refusedWalkKeepsTheMaps()
    {
        QFETCH(bool, calibration);
        QFETCH(bool, stack);
        QFETCH(QString, setup);
        QFETCH(QString, told);
        std::unique_ptr<Body> b = bodyWithMaps(stack);
        const QList<double> before = mapValues(*b);
        if (setup != "region") {
            setUp(*b, setup);
        } else {
            b->dispA->sel.valid = true;
            b->dispA->sel.area = QRectF(40, 30, 5, 5);
        }
        QSignalSpy done(b.get(), &Body::finishBatchExec);
        if (calibration)
            b->execCalibration();
        else
            emit b->analyzer->AskAnalyze->clicked();
        QVERIFY(!b->walkRunning());
        QVERIFY(!b->calib.running);
        QCOMPARE(done.count(), 1);
        QCOMPARE(b->lastTold, told);
        QVERIFY(b->messagePlace->text().endsWith(told));
        QCOMPARE(mapValues(*b), before);
    }

    // Refusals met through the window's controls are told in its message place.
    void toldThroughTheControls()
    {
        QTemporaryDir dir;
        Body body;
        quiet(body);
        // Save Data without a result: the dialog stays open and says so.
        body.SaveData->click();
        QFileDialog* d = body.dataFileDialog->made();
        QVERIFY(d && d->isVisible());
        d->selectFile(dir.filePath(QStringLiteral("map.dat")));
        QMetaObject::invokeMethod(d, "accept", Qt::DirectConnection);
        QVERIFY(d->isVisible());
        QVERIFY2(body.dataFileDialog->refusal().endsWith("the selected map holds no result"),
                 qPrintable(body.dataFileDialog->refusal()));
        QCOMPARE(body.lastTold, body.dataFileDialog->refusal());
        QVERIFY(QDir(dir.path()).isEmpty());
        d->reject();
        body.SaveData->click(); // opened again: nothing left from before
        QCOMPARE(body.dataFileDialog->refusal(), QString());
        d->reject();

        // A load over a Skip that is no count.
        body.SelectI1Files->Skip->setText("2.5");
        emit body.SelectI1Files->filesSelected({dir.filePath("a.tif")}, true);
        QCOMPARE(body.lastTold, "Can't load the I1 files: Skip \"2.5\" is no whole number of 0 or more");
        QVERIFY(body.messagePlace->text().endsWith(body.lastTold));
        QVERIFY(body.messagePlace->isVisibleTo(&body));
    }

    // Every save chosen in a dialog that writes nothing keeps the dialog open,
    // saying there what the message place says.
    void unsavedKeepsTheDialog_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("stack");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("told");
        QTest::newRow("Save Image, no frame") << "image" << false << "a.png" << "a.png: no frame is shown";
        QTest::newRow("Save Data, no result") << "data" << false << "a.dat" << "the selected map holds no result";
        QTest::newRow("every bin's spectra, no stack")
            << "spectra" << false << "a.dat" << "a.dat: no I1 stack is loaded";
        QTest::newRow("every bin's spectra, no folder")
            << "spectra" << true << "none/a.dat" << "a.dat: No such file or directory";
        QTest::newRow("spectrum at the position, none shown")
            << "position" << false << "a.dat" << "a.dat: no spectrum is shown";
        QTest::newRow("analyzer's spectrum, none shown")
            << "analyzer" << false << "a.dat" << "a.dat: no spectrum is shown";
        QTest::newRow("BG spectrum, none shown") << "bg" << false << "a.dat" << "a.dat: no spectrum is shown";
        QTest::newRow("energy shift map, none made")
            << "shift map" << false << "a.emp" << "a.emp: there is no energy shift map";
        QTest::newRow("batch, no folder") << "batch" << false << "none/a.bat" << "a.bat: No such file or directory";
    }
    void unsavedKeepsTheDialog()
    {
        QFETCH(QString, button);
        QFETCH(bool, stack);
        QFETCH(QString, file);
        QFETCH(QString, told);
        QTemporaryDir dir;
        std::unique_ptr<Body> b =
            stack ? craft::bodyWithStack(10, 4, 30, [](int x, int y, int k) { return 1000.0 + 3 * x + 7 * y - k; })
                  : std::make_unique<Body>();
        quiet(*b);
        const QMap<QString, QAbstractButton*> buttons{
            {"image", b->SaveImage}, {"data", b->SaveData}, {"spectra", b->SaveEachSpectrum},
            {"position", b->xafsView->Save}, {"analyzer", b->analyzer->xafsView()->Save},
            {"bg", b->bgView.Save}, {"shift map", b->calibCtrl->SaveMap}, {"batch", b->batchCtrl->Save}};
        buttons[button]->click();
        QFileDialog* d = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* f = qobject_cast<QFileDialog*>(w); f && f->isVisible())
                d = f;
        QVERIFY(d);
        d->selectFile(dir.filePath(file));
        QMetaObject::invokeMethod(d, "accept", Qt::DirectConnection);
        QVERIFY(d->isVisible());
        const QString said = d->findChild<QLabel*>("refusal")->text();
        QVERIFY2(said.endsWith(told), qPrintable(said));
        QCOMPARE(said, b->lastTold);
        QVERIFY(b->messagePlace->text().endsWith(said));
        QVERIFY(QDir(dir.path()).isEmpty());
        d->reject();
    }

    // The lines other parts tell reach the message place too.
    void otherPartsTell_data()
    {
        QTest::addColumn<QString>("part");
        QTest::newRow("failed save") << "save";
        QTest::newRow("element row not found") << "elements";
        QTest::newRow("message server") << "stars";
    }
    void otherPartsTell()
    {
        QFETCH(QString, part);
        Body body;
        const QString line = part + " said so";
        if (part != "stars")
            quiet(body);
        if (part == "save")
            tellSaveFailure(QStringLiteral("/no/such/folder/x.dat"), line);
        else if (part == "elements")
            body.analyzer->elemUnit.user.tell(line);
        else
            emit body.stars.log(line);
        QTRY_VERIFY(body.lastTold.endsWith(line));
    }
};

CORVELLINE_TEST(TestRefusals)
#include "tst_refusals.moc"
