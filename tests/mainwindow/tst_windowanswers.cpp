#include "support/Loopback.h"
#include "support/ScrollReach.h"
#include "support/StackBody.h"
#include "support/TestRegistry.h"

#include "display/ColorBar.h"
#include "display/XafsView.h"
#include "mainwindow/Body.h"
#include "mainwindow/StartOptions.h"

#include <QLabel>
#include <QScopeGuard>
#include <QScrollArea>
#include <QTranslator>
#include <QTest>

#include <cmath>
#include <memory>

// What the main window shows a reader, and its controls that must keep answering.
class TestWindowAnswers : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { loopback::resetConfig(); }

    // "dE from Std." reads a shift only from a standard that is loaded.
    void shiftFromStandardNeedsOne()
    {
        // an edge at 8910 eV in every pixel: frames 0-4 transmit 1, the rest 0.5
        auto b = craft::bodyWithStack(6, 4, 12, [](int, int, int k) { return k < 5 ? 1.0 : 0.5; });
        b->showXafsSpectrum();
        QCOMPARE(b->EShiftFromStd->text(), QString());
        Spectrum std;
        for (int e = 8880; e <= 8940; e++)
            std.append(e, e < 8905 ? 0.0 : 1.0);
        b->xafsView->standard = XafsSpectrum(std, QStringLiteral("std"), 1, 0.0, SuggestElm());
        b->showXafsSpectrum();
        bool ok = false;
        const double shift = b->EShiftFromStd->text().toDouble(&ok);
        QVERIFY2(ok && std::isfinite(shift), qPrintable(b->EShiftFromStd->text()));
    }

    // Markers dragged onto one row are set back by "Set All"; markers apart are kept.
    void setAllFreesMarkersOnOneRow_data()
    {
        QTest::addColumn<double>("lower0");
        QTest::addColumn<double>("upper0");
        QTest::addColumn<double>("lower");
        QTest::addColumn<double>("upper");
        QTest::newRow("one row") << 0.4 << 0.4 << 0.0 << 1.0;
        QTest::newRow("apart") << 0.2 << 0.6 << 0.2 << 0.6;
    }
    void setAllFreesMarkersOnOneRow()
    {
        QFETCH(double, lower0);
        QFETCH(double, upper0);
        Body body;
        body.CBar->lowerTh = lower0;
        body.CBar->upperTh = upper0;
        body.CBarAll->click();
        QTEST(body.CBar->lowerTh, "lower");
        QTEST(body.CBar->upperTh, "upper");
    }

    // On a full-HD screen the whole window is in view, its frame and a
    // 40-pixel panel beside it; on a laptop's 1366 x 768 the display and the
    // read-outs under it are, and the window opens with them in view.
    void fitsTheScreens_data()
    {
        QTest::addColumn<bool>("japanese");
        QTest::newRow("English") << false;
        QTest::newRow("Japanese") << true;
    }
    void fitsTheScreens()
    {
        QFETCH(bool, japanese);
        StartOptions o;
        o.noTranslation = !japanese;
        QTranslator t;
        QCOMPARE(installTranslation(t, o), japanese);
        const auto removed = qScopeGuard([&t] { QCoreApplication::removeTranslator(&t); });
        const int panel = 40, frameW = 8, frameH = 32;
        {
            Body body;
            QWidget* form = scrollreach::shownForm(body);
            QVERIFY(form);
            const int bars = body.height() - body.centralWidget()->height();
            const QSize whole = form->size() + QSize(frameW, bars + frameH + panel);
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

CORVELLINE_TEST(TestWindowAnswers)
#include "tst_windowanswers.moc"
