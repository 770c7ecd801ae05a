// The main window on a screen smaller than its form: the window fits, the
// form scrolls, and every control can be brought into view whole.
#include "support/Loopback.h"
#include "support/ScrollReach.h"
#include "support/TestRegistry.h"

#include "mainwindow/Body.h"

#include <QDir>
#include <QScreen>
#include <QScrollArea>
#include <QTest>

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

    // Scrolled, the form keeps the size it has in a window that holds it
    // whole: the form's designed 1011 x 1024, grown to what it needs.
    void formKeepsItsSize()
    {
        Body body;
        body.show();
        QVERIFY(QTest::qWaitForWindowExposed(&body));
        auto* scroll = body.findChild<QScrollArea*>(QStringLiteral("centralScroll"));
        QVERIFY(scroll && scroll->widget());
        QWidget* form = scroll->widget();
        QTRY_COMPARE(form->size(), QSize(1011, 1024).expandedTo(form->minimumSizeHint()));
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
};

CORVELLINE_TEST(TestBodyScreen)
#include "tst_bodyscreen.moc"
