#include "support/TestRegistry.h"

#include "display/DrawText.h"
#include "display/VLabel.h"
#include "display/VPushButton.h"

#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QTest>

namespace {

// Bounding box of the dark pixels: the ink of black text on white.
QRect inkBox(const QImage& img, int darkBelow = 160)
{
    int x0 = img.width(), y0 = img.height(), x1 = -1, y1 = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < darkBelow) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
    return x1 < 0 ? QRect() : QRect(QPoint(x0, y0), QPoint(x1, y1));
}

QImage blank(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

QFont withSize(double pt)
{
    QFont f;
    f.setPointSizeF(pt);
    return f;
}

QString describe(const QRect& r)
{
    return QStringLiteral("ink %1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

} // namespace

class TestDrawText : public QObject {
    Q_OBJECT
private slots:
    // Cases whose result must look exactly like plain drawing at a known size.
    void fittingMatchesPlainSize_data()
    {
        QTest::addColumn<QRectF>("box");
        QTest::addColumn<int>("fitMode");
        QTest::addColumn<double>("givenPt");
        QTest::addColumn<double>("maxPt");
        QTest::addColumn<double>("plainPt");
        QTest::newRow("max 10 caps a big box") << QRectF(10, 10, 380, 180) << 1 << 7.0 << 10.0 << 10.0;
        QTest::newRow("no fitting keeps the font") << QRectF(10, 10, 50, 10) << 0 << 20.0 << 10.0 << 20.0;
    }
    void fittingMatchesPlainSize()
    {
        QFETCH(QRectF, box);
        QFETCH(int, fitMode);
        QFETCH(double, givenPt);
        QFETCH(double, maxPt);
        QFETCH(double, plainPt);
        const QString text = QStringLiteral("ab");
        DrawText dt;
        QFont font = withSize(givenPt);
        const QFont given = font;
        // a fitted size of 0 must not reach QFont
        QTest::failOnWarning(QRegularExpression(QStringLiteral("Point size")));
        QImage got = blank(400, 200);
        {
            QPainter p(&got);
            QRectF b = box;
            dt.drawTextInBox(&p, b, font, Qt::AlignCenter, fitMode, text, maxPt);
            QCOMPARE(p.font(), given); // set back afterwards
        }
        QImage want = blank(400, 200);
        {
            QPainter p(&want);
            p.setFont(withSize(plainPt));
            p.drawText(box, Qt::AlignCenter, text);
        }
        QCOMPARE(got, want);
    }

    void fittingToTheBox_data()
    {
        QTest::addColumn<QRectF>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("widthBound");
        QTest::newRow("long text, narrow box") << QRectF(10, 20, 100, 60)
                                               << "A rather long label for a small box" << true;
        QTest::newRow("short text grows to the height") << QRectF(10, 20, 380, 80) << "ab" << false;
    }
    void fittingToTheBox()
    {
        QFETCH(QRectF, box);
        QFETCH(QString, text);
        QFETCH(bool, widthBound);
        DrawText dt;
        QImage img = blank(400, 200);
        QPainter p(&img);
        QRectF b = box;
        QFont font;
        dt.drawTextInBox(&p, b, font, Qt::AlignCenter, 1, text, 0);
        p.end();
        const QRect ink = inkBox(img);
        // the ink stays inside the box (a pixel of antialiasing aside)
        QVERIFY2(!ink.isEmpty() && box.adjusted(-1, -1, 1, 1).contains(QRectF(ink)), qPrintable(describe(ink)));
        if (widthBound)
            QVERIFY(ink.width() >= 0.75 * box.width());
        else
            QVERIFY(ink.height() >= 0.4 * box.height());
    }

    void rotation_data()
    {
        QTest::addColumn<double>("angle");
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("side");     // 0 top end, 1 bottom end, 2 centre
        QTest::addColumn<double>("where"); // expected y of that end or centre
        // box (100, 100, 95, 20): its corner is the text's centre, its 95 pixels run along the text
        QTest::newRow("90 left starts at the top") << 90.0 << 129 << 0 << 52.5;
        QTest::newRow("270 left starts at the bottom") << 270.0 << 129 << 1 << 147.5;
        QTest::newRow("0 centred") << 0.0 << 132 << 2 << 100.0;
    }
    void rotation()
    {
        QFETCH(double, angle);
        QFETCH(int, flags);
        QFETCH(int, side);
        QFETCH(double, where);
        DrawText dt;
        QImage img = blank(200, 200);
        QPainter p(&img);
        QRectF b(100, 100, 95, 20);
        QFont font;
        dt.drawRotatedText(&p, angle, b, font, flags, 1, QStringLiteral("Rotated label"), 10, false, QBrush());
        QCOMPARE(p.worldTransform(), QTransform());
        p.end();
        const QRect ink = inkBox(img);
        const QString got = describe(ink);
        const bool vertical = angle != 0;
        QVERIFY2(!ink.isEmpty() && vertical == (ink.height() > ink.width()), qPrintable(got));
        const double at = side == 0 ? ink.top() : side == 1 ? ink.bottom() + 1 : QRectF(ink).center().y();
        QVERIFY2(std::abs(at - where) <= 4, qPrintable(got));
        // across the text it stays near the box's corner
        const double across = vertical ? QRectF(ink).center().x() : QRectF(ink).center().y();
        QVERIFY2(std::abs(across - 100) <= 6, qPrintable(got));
    }

    void rotatedShot()
    {
        DrawText dt;
        QImage img = blank(220, 220);
        QPainter p(&img);
        const struct { double angle; QRectF box; int flags; const char* text; } labels[] = {
            {0, QRectF(110, 20, 180, 24), 132, "0 degrees, centred"},
            {90, QRectF(30, 120, 160, 24), 129, "90 degrees, left"},
            {270, QRectF(190, 120, 160, 24), 129, "270 degrees, left"},
        };
        QFont font;
        for (const auto& l : labels) {
            QRectF b = l.box;
            p.setPen(Qt::black);
            dt.drawRotatedText(&p, l.angle, b, font, l.flags, 1, QString::fromLatin1(l.text), 12, true,
                               QBrush(QColor(220, 240, 255)));
        }
        p.end();
        // the filled 90 degree box turned about its corner: x 18..42, y 40..200
        QCOMPARE(img.pixelColor(20, 190), QColor(220, 240, 255));
        QCOMPARE(img.pixelColor(14, 120), QColor(Qt::white));
        QVERIFY(img.save(testreg::shotsDir() + QStringLiteral("/rotated-label.png")));
    }

    void buttonSizeHints()
    {
        const QString caption = QStringLiteral("Set All");
        VPushButton b;
        b.setText(caption);
        QPushButton plain(caption);
        QCOMPARE(b.sizeHint(), plain.sizeHint().transposed());
        QCOMPARE(b.minimumSizeHint(), plain.minimumSizeHint().transposed());
        VLabel l(caption);
        QLabel plainLabel(caption);
        QCOMPARE(l.sizeHint(), plainLabel.sizeHint().transposed());
        b.setMinimumSize(0, 0);
        b.resize(18, 80);
        const QImage img = b.grab().toImage();
        QVERIFY(img.save(testreg::shotsDir() + QStringLiteral("/vpushbutton.png")));
        const QRect ink = inkBox(img.copy(2, 2, 14, 76), 100);
        QVERIFY(!ink.isEmpty() && ink.height() > 2 * ink.width()); // runs from top to bottom
    }
};

CORVELLINE_TEST(TestDrawText)
#include "tst_drawtext.moc"
