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

QFont withSize(QFont f, double pt)
{
    f.setPointSizeF(pt);
    return f;
}

} // namespace

class TestDrawText : public QObject {
    Q_OBJECT
private slots:
    void members()
    {
        DrawText dt;
        QCOMPARE(dt.lastHit, -1);
        QVERIFY(dt.labelBoxes.isEmpty());
        QCOMPARE(dt.frameColor, QColor(0, 220, 220));
        QCOMPARE(dt.pressedFill, QColor(170, 255, 170));
        QCOMPARE(dt.releasedFill, QColor(140, 180, 140));
        QCOMPARE(dt.textColor, QColor(0, 0, 0));
    }

    // Cases whose result must look exactly like plain drawing at a known size.
    void fittingMatchesPlainSize_data()
    {
        QTest::addColumn<QRectF>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("fitMode");
        QTest::addColumn<double>("givenPt");
        QTest::addColumn<double>("maxPt");
        QTest::addColumn<double>("plainPt");
        QTest::newRow("max 10 caps a big box") << QRectF(10, 10, 380, 180) << "ab" << 1 << 7.0 << 10.0 << 10.0;
        QTest::newRow("max below the fit") << QRectF(10, 10, 380, 180) << "ab" << 1 << 7.0 << 6.0 << 6.0;
        QTest::newRow("zero height stays at 10") << QRectF(10, 60, 380, 0) << "zero" << 1 << 7.0 << 0.0 << 10.0;
        QTest::newRow("no fitting keeps the font") << QRectF(10, 10, 50, 10) << "as given" << 0 << 20.0 << 10.0 << 20.0;
        QTest::newRow("fit mode 2 is no fitting") << QRectF(10, 10, 50, 10) << "as given" << 2 << 14.0 << 0.0 << 14.0;
    }
    void fittingMatchesPlainSize()
    {
        QFETCH(QRectF, box);
        QFETCH(QString, text);
        QFETCH(int, fitMode);
        QFETCH(double, givenPt);
        QFETCH(double, maxPt);
        QFETCH(double, plainPt);
        DrawText dt;
        QFont font = withSize(QFont(), givenPt);
        // a fitted size of 0 must not reach QFont
        QTest::failOnWarning(QRegularExpression(QStringLiteral("Point size")));
        QImage got = blank(400, 200);
        QRectF measured;
        {
            QPainter p(&got);
            QRectF b = box;
            measured = dt.drawTextInBox(&p, b, font, Qt::AlignCenter, fitMode, text, maxPt);
            QCOMPARE(p.font(), font); // set back afterwards
        }
        QImage want = blank(400, 200);
        {
            QPainter p(&want);
            p.setFont(withSize(QFont(), plainPt));
            p.drawText(box, Qt::AlignCenter, text);
        }
        // (a box of no height draws nothing at all)
        QCOMPARE(inkBox(got).isEmpty(), box.height() == 0);
        QCOMPARE(got, want);
        if (fitMode == 1) {
            // the 10-point measure of the text: about as wide as its ink at 10 points
            QImage ten = blank(400, 200);
            QPainter p(&ten);
            p.setFont(withSize(QFont(), 10));
            p.drawText(QRectF(0, 0, 400, 200), Qt::AlignCenter, text);
            p.end();
            QVERIFY(measured.width() >= inkBox(ten).width());
            QVERIFY(measured.width() <= inkBox(ten).width() + 6);
        } else {
            QVERIFY(measured.isEmpty());
        }
    }

    void fittingToTheBox_data()
    {
        QTest::addColumn<QRectF>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("maxPt");
        QTest::addColumn<bool>("widthBound");
        QTest::newRow("long text, narrow box") << QRectF(10, 20, 100, 60)
                                               << "A rather long label for a small box" << 0.0 << true;
        QTest::newRow("long text, cap not reached") << QRectF(10, 20, 100, 60)
                                                    << "A rather long label for a small box" << 10.0 << true;
        QTest::newRow("short text grows to the height") << QRectF(10, 20, 380, 80) << "ab" << 0.0 << false;
    }
    void fittingToTheBox()
    {
        QFETCH(QRectF, box);
        QFETCH(QString, text);
        QFETCH(double, maxPt);
        QFETCH(bool, widthBound);
        DrawText dt;
        QFont font;
        QImage img = blank(400, 200);
        QPainter p(&img);
        QRectF b = box;
        dt.drawTextInBox(&p, b, font, Qt::AlignCenter, 1, text, maxPt);
        p.end();
        const QRect ink = inkBox(img);
        QVERIFY(!ink.isEmpty());
        // the ink stays inside the box (a pixel of antialiasing aside)
        QVERIFY2(box.adjusted(-1, -1, 1, 1).contains(QRectF(ink)),
                 qPrintable(QStringLiteral("%1 %2 %3 %4").arg(ink.x()).arg(ink.y()).arg(ink.width()).arg(ink.height())));
        if (widthBound)
            QVERIFY(ink.width() >= 0.75 * box.width()); // fills the width
        else
            QVERIFY(ink.height() >= 0.4 * box.height()); // glyphs of the box height's font
    }

    void boxIsNormalised_data()
    {
        QTest::addColumn<bool>("rotated");
        QTest::newRow("straight") << false;
        QTest::newRow("rotated") << true;
    }
    void boxIsNormalised()
    {
        QFETCH(bool, rotated);
        DrawText dt;
        QFont font;
        QImage img = blank(200, 200);
        QPainter p(&img);
        QRectF box(110, 40, -100, -30);
        if (rotated)
            dt.drawRotatedText(&p, 90, box, font, Qt::AlignCenter, 1, QStringLiteral("x"), 10, false, QBrush());
        else
            dt.drawTextInBox(&p, box, font, Qt::AlignCenter, 1, QStringLiteral("x"), 10);
        QCOMPARE(box, QRectF(10, 10, 100, 30));
    }

    void rotation_data()
    {
        QTest::addColumn<double>("angle");
        QTest::addColumn<QRectF>("box");
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("side");   // 0 top end, 1 bottom end, 2 centre
        QTest::addColumn<double>("where"); // expected y of that end or centre
        QTest::addColumn<bool>("vertical");
        const QRectF b(100, 100, 95, 20);
        // the box's corner is the text's centre; its 95 pixels run along the text
        QTest::newRow("90 left starts at the top") << 90.0 << b << 129 << 0 << 52.5 << true;
        QTest::newRow("90 right ends at the bottom") << 90.0 << b << 130 << 1 << 147.5 << true;
        QTest::newRow("90 centred") << 90.0 << b << 132 << 2 << 100.0 << true;
        QTest::newRow("270 left starts at the bottom") << 270.0 << b << 129 << 1 << 147.5 << true;
        QTest::newRow("270 right ends at the top") << 270.0 << b << 130 << 0 << 52.5 << true;
        QTest::newRow("0 centred") << 0.0 << b << 132 << 2 << 100.0 << false;
        QTest::newRow("example at (10, 50)") << 90.0 << QRectF(10, 50, 95, 20) << 132 << 2 << 50.0 << true;
    }
    void rotation()
    {
        QFETCH(double, angle);
        QFETCH(QRectF, box);
        QFETCH(int, flags);
        QFETCH(int, side);
        QFETCH(double, where);
        QFETCH(bool, vertical);
        DrawText dt;
        QFont font;
        QImage img = blank(200, 200);
        QPainter p(&img);
        p.translate(0.0, 0.0);
        const QTransform before = p.worldTransform();
        QRectF b = box;
        dt.drawRotatedText(&p, angle, b, font, flags, 1, QStringLiteral("Rotated label"), 10, false, QBrush());
        QCOMPARE(p.worldTransform(), before);
        QCOMPARE(p.font(), font);
        p.end();
        const QRect ink = inkBox(img);
        QVERIFY(!ink.isEmpty());
        const QString got = QStringLiteral("ink %1,%2 %3x%4").arg(ink.x()).arg(ink.y()).arg(ink.width()).arg(ink.height());
        QVERIFY2(vertical == (ink.height() > ink.width()), qPrintable(got));
        const double tol = 4;
        if (side == 0)
            QVERIFY2(std::abs(ink.top() - where) <= tol, qPrintable(got));
        else if (side == 1)
            QVERIFY2(std::abs(ink.bottom() + 1 - where) <= tol, qPrintable(got));
        else
            QVERIFY2(std::abs(QRectF(ink).center().y() - where) <= tol, qPrintable(got));
        // across the text it stays near the box's corner
        const double across = vertical ? QRectF(ink).center().x() : QRectF(ink).center().y();
        const double corner = vertical ? box.x() : box.y();
        QVERIFY2(std::abs(across - corner) <= 6, qPrintable(got));
        // and along it within the box's length
        const double len = vertical ? ink.height() : ink.width();
        QVERIFY2(len <= box.width() + 1, qPrintable(got));
    }

    void rotatedBackground()
    {
        DrawText dt;
        QFont font;
        QImage img = blank(200, 200);
        QPainter p(&img);
        QRectF b(100, 100, 95, 20);
        const QRectF r = dt.drawRotatedText(&p, 90, b, font, 132, 1, QStringLiteral("Filled"), 10, true,
                                            QBrush(QColor(0, 200, 0)));
        p.end();
        QVERIFY(!r.isEmpty());
        // the filled rectangle is the box turned about its corner: x 90..110, y 52.5..147.5
        QCOMPARE(img.pixelColor(92, 56), QColor(0, 200, 0));
        QCOMPARE(img.pixelColor(108, 144), QColor(0, 200, 0));
        QCOMPARE(img.pixelColor(86, 100), QColor(Qt::white));
        QCOMPARE(img.pixelColor(100, 150), QColor(Qt::white));
    }

    void rotatedShot()
    {
        DrawText dt;
        QFont font;
        QImage img = blank(220, 220);
        QPainter p(&img);
        const struct { double angle; QRectF box; int flags; const char* text; } labels[] = {
            {0, QRectF(110, 20, 180, 24), 132, "0 degrees, centred"},
            {90, QRectF(30, 120, 160, 24), 129, "90 degrees, left"},
            {270, QRectF(190, 120, 160, 24), 129, "270 degrees, left"},
            {45, QRectF(110, 120, 150, 24), 132, "45 degrees"},
        };
        for (const auto& l : labels) {
            QRectF b = l.box;
            p.setPen(Qt::black);
            dt.drawRotatedText(&p, l.angle, b, font, l.flags, 1, QString::fromLatin1(l.text), 12, true,
                               QBrush(QColor(220, 240, 255)));
            p.setPen(Qt::red);
            p.drawEllipse(b.topLeft(), 2, 2); // the centre each label was given
        }
        p.end();
        QVERIFY(img.save(testreg::shotsDir() + QStringLiteral("/rotated-label.png")));
    }

    void buttonSizeHints_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::newRow("Set All") << "Set All";
        QTest::newRow("one letter") << "B";
        QTest::newRow("long") << "A caption far longer than the button";
        QTest::newRow("empty") << "";
    }
    void buttonSizeHints()
    {
        QFETCH(QString, caption);
        VPushButton b;
        b.setText(caption);
        QPushButton plain(caption);
        QCOMPARE(b.sizeHint(), QSize(plain.sizeHint().height(), plain.sizeHint().width()));
        QCOMPARE(b.minimumSizeHint(),
                 QSize(plain.minimumSizeHint().height(), plain.minimumSizeHint().width()));
        QCOMPARE(b.innerText(), caption);
        QCOMPARE(b.text(), QString()); // the base button has no caption of its own
        VLabel l(caption);
        QLabel plainLabel(caption);
        QCOMPARE(l.sizeHint(), QSize(plainLabel.sizeHint().height(), plainLabel.sizeHint().width()));
        QCOMPARE(l.minimumSizeHint(),
                 QSize(plainLabel.minimumSizeHint().height(), plainLabel.minimumSizeHint().width()));
    }

    void buttonTextConstructor()
    {
        VPushButton b(QStringLiteral("Base"));
        QCOMPARE(b.text(), QStringLiteral("Base"));
        QCOMPARE(b.innerText(), QString());
        QPushButton empty;
        QCOMPARE(b.sizeHint(), QSize(empty.sizeHint().height(), empty.sizeHint().width()));
    }

    void verticalRendering_data()
    {
        QTest::addColumn<bool>("label");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("shot");
        QTest::newRow("button") << false << QSize(18, 80) << "vpushbutton.png";
        QTest::newRow("clipped button") << false << QSize(18, 30) << "vpushbutton-clipped.png";
        QTest::newRow("label") << true << QSize(20, 90) << "vlabel.png";
    }
    void verticalRendering()
    {
        QFETCH(bool, label);
        QFETCH(QSize, size);
        QFETCH(QString, shot);
        std::unique_ptr<QWidget> w;
        if (label) {
            w.reset(new VLabel(QStringLiteral("Set All")));
            w->setAutoFillBackground(true);
            QPalette pal = w->palette();
            pal.setColor(QPalette::Window, Qt::white);
            w->setPalette(pal);
        } else {
            auto* b = new VPushButton;
            b->setText(QStringLiteral("Set All"));
            w.reset(b);
        }
        w->setMinimumSize(0, 0);
        w->resize(size);
        const QImage img = w->grab().toImage();
        QVERIFY(img.save(testreg::shotsDir() + QLatin1Char('/') + shot));
        // the caption's ink, inside the frame's border
        const QImage inner = img.copy(2, 2, size.width() - 4, size.height() - 4);
        const QRect ink = inkBox(inner, 100);
        QVERIFY(!ink.isEmpty());
        if (size.height() > 60)
            QVERIFY(ink.height() > 2 * ink.width()); // it runs from top to bottom
        else
            QVERIFY(ink.height() >= inner.height() - 2); // too long: clipped at both ends
        // centred across the widget
        QVERIFY(std::abs(QRectF(ink).center().x() + 2 - size.width() / 2.0) <= 4);
    }
};

CORVELLINE_TEST(TestDrawText)
#include "tst_drawtext.moc"
