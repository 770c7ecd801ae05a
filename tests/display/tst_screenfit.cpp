// Windows within a screen's available area, frame included.
#include "support/TestRegistry.h"

#include "display/ScreenFit.h"

#include <QGridLayout>
#include <QLabel>
#include <QMainWindow>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

namespace {
// Counts the paints of the widgets it watches.
class Paints : public QObject {
public:
    int count = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        count += e->type() == QEvent::Paint;
        return false;
    }
};
} // namespace

class TestScreenFit : public QObject {
    Q_OBJECT
private slots:
    void fittedGeometry_data()
    {
        QTest::addColumn<QRect>("avail");
        QTest::addColumn<QRect>("client"); // where the window manager put it
        QTest::addColumn<QSize>("want");
        QTest::addColumn<QSize>("least"); // scrolls below it
        QTest::addColumn<QRect>("fitted");
        // Framed 1, 20, 1, 5: 1366 x 768 leaves 1364 x 743; scroll bars are 14 wide
        const QRect laptop(0, 0, 1366, 768), fullHD(0, 0, 1920, 1080);
        const QSize main(1011, 1193), analyzer(1446, 730), analyzerLeast(1434, 516);
        QTest::newRow("main window, laptop") << laptop << QRect(1, 20, 1025, 736) << main << main << QRect(1, 20, 1025, 743);
        QTest::newRow("main window, full HD") << fullHD << QRect(1, 20, 1025, 1044) << main << main << QRect(1, 20, 1025, 1055);
        QTest::newRow("analyzer, laptop") << laptop << QRect(1, 20, 1358, 736) << analyzer << analyzerLeast << QRect(1, 20, 1364, 743);
        QTest::newRow("analyzer, full HD stays") << fullHD << QRect(473, 345, 1446, 730) << analyzer << analyzerLeast << QRect(473, 345, 1446, 730);
        QTest::newRow("shrinks before it scrolls") << QRect(0, 0, 800, 800) << QRect(0, 0, 800, 658) << QSize(800, 658) << QSize(532, 200) << QRect(1, 20, 798, 658);
        QTest::newRow("cut across, then down") << QRect(0, 0, 802, 625) << QRect(1, 20, 900, 590) << QSize(900, 590) << QSize(850, 590) << QRect(1, 20, 800, 600);
        QTest::newRow("off the right and bottom") << laptop << QRect(600, 500, 800, 400) << QSize(800, 400) << QSize(800, 400) << QRect(565, 363, 800, 400);
        QTest::newRow("under a top panel") << QRect(0, 32, 1366, 736) << QRect(0, 0, 500, 300) << QSize(500, 300) << QSize(500, 300) << QRect(1, 52, 500, 300);
    }
    void fittedGeometry()
    {
        QFETCH(QRect, avail);
        QFETCH(QRect, client);
        QFETCH(QSize, want);
        QFETCH(QSize, least);
        QFETCH(QRect, fitted);
        const QMargins frame(1, 20, 1, 5);
        const QRect g = screenfit::fittedGeometry(avail, frame, client, want, least, 14);
        QCOMPARE(g, fitted);
        QVERIFY(avail.contains(g.marginsAdded(frame)));
    }

    // A form larger than its window scrolls both ways. A change inside it that
    // leaves its sizes as they were (a count going up) paints neither scroll
    // bar again; one that grows or shrinks the form still moves the bars.
    void scrolledFormFollowsItsSizes_data()
    {
        QTest::addColumn<int>("tallerBy");
        QTest::addColumn<QString>("text");
        QTest::newRow("a count, sizes kept") << 0 << QStringLiteral("1235");
        QTest::newRow("the form grows") << 230 << QStringLiteral("1234");
        QTest::newRow("the form shrinks") << -170 << QStringLiteral("1234");
    }
    void scrolledFormFollowsItsSizes()
    {
        QFETCH(int, tallerBy);
        QFETCH(QString, text);
        QMainWindow window;
        auto* form = new QWidget;
        auto* grid = new QGridLayout(form);
        auto* count = new QLabel(QStringLiteral("1234"));
        grid->addWidget(count, 0, 0);
        auto* block = new QWidget;
        block->setFixedSize(700, 500);
        grid->addWidget(block, 1, 0);
        window.setCentralWidget(form);
        screenfit::scrollCentralWidget(window, false);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.resize(313, 227);
        auto* area = qobject_cast<QScrollArea*>(window.centralWidget());
        QVERIFY(area);
        QScrollBar* h = area->horizontalScrollBar();
        QScrollBar* v = area->verticalScrollBar();
        QTRY_VERIFY(h->isVisible() && v->isVisible() && v->maximum() > 0);
        // The resize's layouts and paints done, the area laid out at its size once.
        count->setText(QStringLiteral("1233"));
        for (int i = 0; i < 4; i++) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
        const int hMax = h->maximum();
        const int vMax = v->maximum();

        Paints paints, countPaints;
        h->installEventFilter(&paints);
        v->installEventFilter(&paints);
        count->installEventFilter(&countPaints);
        count->setText(text);
        block->setFixedSize(700, 500 + tallerBy);
        if (tallerBy == 0) {
            // The label's paint comes after the layouts its text asked for.
            QTRY_VERIFY(countPaints.count > 0);
            for (int i = 0; i < 4; i++)
                QCoreApplication::sendPostedEvents();
            QCOMPARE(paints.count, 0);
            QCOMPARE(v->maximum(), vMax);
        } else {
            QTRY_COMPARE(v->maximum(), vMax + tallerBy);
            QTRY_VERIFY(paints.count > 0);
        }
        QCOMPARE(h->maximum(), hMax);
        QCOMPARE(area->widget()->height() - area->viewport()->height(), v->maximum());
    }
};

CORVELLINE_TEST(TestScreenFit)
#include "tst_screenfit.moc"
