#include "support/Loopback.h"
#include "support/StackBody.h"
#include "support/TestRegistry.h"

#include "display/ColorBar.h"
#include "display/XafsView.h"
#include "mainwindow/Body.h"

#include <QLabel>
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
};

CORVELLINE_TEST(TestWindowAnswers)
#include "tst_windowanswers.moc"
