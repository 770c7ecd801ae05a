// The main window on a screen smaller than its form: the window fits, the
// form scrolls, and every control can be brought into view whole. Every
// other window opens inside the screen too.
#include "support/Loopback.h"
#include "support/ScrollReach.h"
#include "support/TestRegistry.h"

#include "analysis/Analyzer.h"
#include "analysis/FVView.h"
#include "batch/BatchCtrl.h"
#include "calibration/CalibCtrl.h"
#include "display/_FileDialog.h"
#include "imagestack/Analyzer2.h"
#include "imagestack/EOFSetup.h"
#include "imagestack/SelectDataFiles.h"
#include "mainwindow/Body.h"
#include "mainwindow/SaveDataCfg.h"
#include "mainwindow/StartOptions.h"

#include <QApplication>
#include <QDir>
#include <QMap>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTranslator>

namespace {
void languageRows()
{
    QTest::addColumn<bool>("japanese");
    QTest::newRow("Japanese") << true;
    QTest::newRow("-e: English") << false;
}

// The row's language, until the guard goes.
auto inLanguage(QTranslator& t, bool japanese)
{
    StartOptions o;
    o.noTranslation = !japanese;
    const bool installed = installTranslation(t, o);
    return qScopeGuard([&t, installed] {
        if (installed)
            QCoreApplication::removeTranslator(&t);
    });
}
} // namespace

class TestBodyScreen : public QObject {
    Q_OBJECT
private slots:
    void init() { loopback::resetConfig(); }
    void cleanup() { loopback::resetConfig(); }

    // As built, before any size is asked for.
    void fitsItsScreen()
    {
        Body body;
        const QSize avail = body.screen()->availableGeometry().size();
        QVERIFY2(avail.width() >= body.width() && avail.height() >= body.height(),
                 qPrintable(QStringLiteral("%1 x %2").arg(body.width()).arg(body.height())));
    }

    void opensInside_data()
    {
        QTest::addColumn<QString>("window");
        for (const char* w : {"main", "analyzer", "analyzer 2", "batch", "calibration", "image processor", "stats",
                              "save data", "spectrum", "feature values", "energies of files", "stack setup",
                              "background file", "file dialog"})
            QTest::newRow(w) << QString(w);
    }
    // Every window the program opens, as built, lies inside the screen's
    // available area with its frame.
    void opensInside()
    {
        QFETCH(QString, window);
        Body body;
        const QMap<QString, QWidget*> windows{
            {"main", &body}, {"analyzer", body.analyzer}, {"analyzer 2", body.analyzer2},
            {"batch", body.batchCtrl}, {"calibration", body.calibCtrl}, {"image processor", &body.imgProc},
            {"stats", &body.stats}, {"save data", body.saveDataCfg}, {"spectrum", body.xafsView},
            {"feature values", body.analyzer->fvView()}, {"energies of files", body.SelectI1Files->eofSetup},
            {"stack setup", &body.SelectI1Files->additionalSetup}, {"background file", &body.bgFileSelect},
            {"file dialog", body.imgFileDialog->dialog()}};
        QWidget* w = windows.value(window);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        const QRect avail = w->screen()->availableGeometry();
        const QRect frame = w->frameGeometry();
        QVERIFY2(avail.contains(frame), qPrintable(QStringLiteral("%1 x %2 at %3, %4").arg(frame.width())
                     .arg(frame.height()).arg(frame.x()).arg(frame.y())));
        if (w == &body) // the offscreen screen is smaller than the form both ways
            QCOMPARE(body.size(), avail.size() - (frame.size() - body.size()));
    }

    // Scrolled, the form keeps the size it has in a window that holds it
    // whole.
    void formKeepsItsSize()
    {
        Body body;
        QVERIFY(scrollreach::shownForm(body));
    }

    void opensFocused_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("focused");
        QTest::addColumn<QString>("afterTab");
        QTest::newRow("stats") << "stats" << "Bins" << "X";
        QTest::newRow("spectrum") << "spectrum" << "XVal" << "YVal";
        QTest::newRow("feature values") << "feature values" << "kernelHW_" << "kernelBVal_";
    }
    // A scrolled form's window opens with its first field focused, as it did
    // before it scrolled, and Tab goes on to the next field.
    void opensFocused()
    {
        QFETCH(QString, window);
        Body body;
        const QMap<QString, QWidget*> windows{
            {"stats", &body.stats}, {"spectrum", body.xafsView}, {"feature values", body.analyzer->fvView()}};
        QWidget* w = windows.value(window);
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QFETCH(QString, focused);
        QFETCH(QString, afterTab);
        const auto focusName = [] {
            const QWidget* f = QApplication::focusWidget();
            return f ? f->objectName() : QString();
        };
        QTRY_COMPARE(focusName(), focused);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTRY_COMPARE(focusName(), afterTab);
    }

    void reachable_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("Batch Ctrl.") << "BatchCtrlB";
        QTest::newRow("Save Image") << "SaveImage";
        QTest::newRow("Save Data") << "SaveData";
        QTest::newRow("Cfg.") << "SaveDataCfgB";
        QTest::newRow("Save Flat Dark") << "SaveFlatDark";
        QTest::newRow("frame slider") << "SeekBar";
        QTest::newRow("Val") << "Value";
    }
    // A laptop's 1366 x 768 screen less a panel and the title bar.
    void reachable()
    {
        QFETCH(QString, name);
        Body body;
        body.resize(1366, 700);
        body.show();
        QVERIFY(QTest::qWaitForWindowExposed(&body));
        QCOMPARE(body.size(), QSize(1366, 700));
        auto* scroll = body.findChild<QScrollArea*>(QStringLiteral("centralScroll"));
        QVERIFY(scroll);
        QWidget* w = body.findChild<QWidget*>(name);
        QVERIFY(w);
        const QString missed = scrollreach::missedAfterScrolling(*scroll, *w);
        QVERIFY2(missed.isEmpty(), qPrintable(missed));
        QVERIFY(w->width() >= w->minimumSizeHint().width()); // not cut ("Sa...")
        body.grab().save(QDir(testreg::shotsDir()).filePath(QStringLiteral("mainwindow-1366x700-%1.png").arg(name)));
    }

    void tabFollowsTheRow_data() { languageRows(); }
    // Tab goes from the colour bar's button through the read-outs under the
    // display to the navigation row, left to right, and the scrolled form
    // never goes back up on the way.
    void tabFollowsTheRow()
    {
        QFETCH(bool, japanese);
        QTranslator t;
        const auto removed = inLanguage(t, japanese);
        QCOMPARE(!t.isEmpty(), japanese);
        Body body;
        body.resize(1366, 700);
        body.show();
        body.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&body));
        auto* scroll = body.findChild<QScrollArea*>(QStringLiteral("centralScroll"));
        QVERIFY(scroll);
        body.CBarAll->setFocus(Qt::TabFocusReason);
        QStringList names;
        int x = -1, lowest = scroll->verticalScrollBar()->value();
        bool backUp = false;
        for (int i = 0; i < 12; i++) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* f = QApplication::focusWidget();
            QVERIFY(f);
            names << f->objectName();
            backUp = backUp || scroll->verticalScrollBar()->value() < lowest;
            lowest = scroll->verticalScrollBar()->value();
            if (f->parentWidget() == body.frame_2) {
                QVERIFY2(f->x() > x, qPrintable(f->objectName()));
                x = f->x();
            }
        }
        QCOMPARE(names, QStringList({"Value", "PosX", "PosY", "QuadSurfFittedEShift", "vHWidth_", "vVWidth_",
                                     "aHWidth_", "aVWidth_", "Prev", "SeekBar", "Next", "ImgNo"}));
        QVERIFY(!backUp);
        body.Value->setFocus(Qt::TabFocusReason);
        QTest::keyClick(body.Value, Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), body.CBarAll);
    }

    // On a full-HD screen the whole window is in view with its frame; on a
    // laptop's 1366 x 768, less a 40-pixel panel, the display and the
    // read-outs under it are, and the window opens with them in view.
    void fitsTheScreens_data() { languageRows(); }
    void fitsTheScreens()
    {
        QFETCH(bool, japanese);
        QTranslator t;
        const auto removed = inLanguage(t, japanese);
        QCOMPARE(!t.isEmpty(), japanese);
        const int panel = 40, frameW = 8, frameH = 32;
        {
            Body body;
            QWidget* form = scrollreach::shownForm(body);
            QVERIFY(form);
            const int bars = body.height() - body.centralWidget()->height();
            const QSize whole = form->size() + QSize(frameW, bars + frameH);
            QVERIFY2(whole.width() <= 1920 && whole.height() <= 1080,
                     qPrintable(QStringLiteral("%1 x %2").arg(whole.width()).arg(whole.height())));
        }
        Body body;
        body.resize(1366, 768 - frameH - panel);
        body.show();
        QVERIFY(QTest::qWaitForWindowExposed(&body));
        auto* scroll = body.findChild<QScrollArea*>(QStringLiteral("centralScroll"));
        QVERIFY(scroll);
        const QRect shown(scroll->viewport()->mapTo(&body, QPoint(0, 0)), scroll->viewport()->size());
        for (QWidget* w : QList<QWidget*>{body.dispA, body.Value, body.DarkValue, body.EShiftOnTbl})
            QTRY_VERIFY2(shown.contains(QRect(w->mapTo(&body, QPoint(0, 0)), w->size())), qPrintable(w->objectName()));
    }
};

CORVELLINE_TEST(TestBodyScreen)
#include "tst_bodyscreen.moc"
