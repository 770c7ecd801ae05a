#include "support/TestRegistry.h"

#include "foundation/MatUtil.h"
#include "foundation/PolyFit.h"
#include "foundation/SurfFit2D.h"

#include <QTest>
#include <cmath>
#include <random>

using Rows = QList<QList<double>>;
Q_DECLARE_METATYPE(Rows)

namespace {
// Owns a row-pointer matrix for the length of a test.
struct Mat {
    int n;
    double** m;
    explicit Mat(int n_) : n(n_), m(MatUtil::newMatrix(n_)) {}
    explicit Mat(const Rows& rows) : Mat(int(rows.size()))
    {
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                m[i][j] = rows[i][j];
    }
    ~Mat() { MatUtil::deleteMatrix(n, m); }
    Mat(const Mat&) = delete;
    Mat& operator=(const Mat&) = delete;
};
} // namespace

class TestMatUtil : public QObject {
    Q_OBJECT
private slots:
    void solveSmallSystems_data()
    {
        QTest::addColumn<Rows>("a");
        QTest::addColumn<QList<double>>("b");
        QTest::addColumn<QList<double>>("x");
        QTest::newRow("swap needs pivot") << Rows{{0, 1}, {1, 0}} << QList<double>{2, 3} << QList<double>{3, 2};
        // 2x + y - z = 8, -3x - y + 2z = -11, -2x + y + 2z = -3: x = 2, y = 3, z = -1.
        QTest::newRow("3x3 textbook")
            << Rows{{2, 1, -1}, {-3, -1, 2}, {-2, 1, 2}} << QList<double>{8, -11, -3} << QList<double>{2, 3, -1};
        QTest::newRow("zero first pivot 3x3")
            << Rows{{0, 2, 0}, {1, 0, 0}, {0, 0, 5}} << QList<double>{4, 7, 10} << QList<double>{7, 2, 2};
    }
    void solveSmallSystems()
    {
        QFETCH(Rows, a);
        QFETCH(QList<double>, b);
        QFETCH(QList<double>, x);
        const int n = int(a.size());
        Mat m(a), l(n), u(n);
        QList<int> perm(n);
        QList<double> y(n), sol(n);
        QVERIFY(MatUtil::makeLU(n, m.m, l.m, u.m, perm.data()));
        QVERIFY(MatUtil::solveLV(n, l.m, b.constData(), y.data(), perm.data()));
        QVERIFY(MatUtil::solveUV(n, u.m, y.data(), sol.data(), perm.data()));
        for (int i = 0; i < n; ++i)
            QVERIFY2(std::fabs(sol[perm[i]] - x[i]) < 1e-12, qPrintable(QString::number(i)));
        // The input matrix is left alone.
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                QCOMPARE(m.m[i][j], a[i][j]);
        QList<double> inPlace = b;
        Mat m2(a);
        QVERIFY(MatUtil::solveInPlace(n, m2.m, inPlace.data()));
        for (int i = 0; i < n; ++i)
            QVERIFY(std::fabs(inPlace[i] - x[i]) < 1e-12);
    }

    void randomSixBySix()
    {
        std::mt19937 gen{42u};
        std::uniform_real_distribution<double> dist(-10, 10);
        const int n = 6;
        Mat a(n);
        double x[n], b[n], sol[n];
        int perm[n];
        for (int i = 0; i < n; ++i) {
            x[i] = dist(gen);
            for (int j = 0; j < n; ++j)
                a.m[i][j] = dist(gen);
        }
        MatUtil::multiplyMatrixVector(n, a.m, x, b);
        QVERIFY(MatUtil::solveLU(n, a.m, b, sol, perm));
        for (int i = 0; i < n; ++i)
            QVERIFY2(std::fabs(sol[perm[i]] - x[i]) < 1e-9, qPrintable(QString::number(i)));
    }

    void zeroColumn()
    {
        Mat a(Rows{{1, 0, 2}, {3, 0, 4}, {5, 0, 7}}), l(3), u(3);
        int perm[3];
        double b[3] = {1, 2, 3}, y[3], x[3];
        QVERIFY(!MatUtil::makeLU(3, a.m, l.m, u.m, perm));
        MatUtil::solveLV(3, l.m, b, y, perm);
        QVERIFY(!MatUtil::solveUV(3, u.m, y, x, perm));
        double keep[3] = {1, 2, 3};
        QVERIFY(!MatUtil::solveInPlace(3, a.m, keep));
        QVERIFY(keep[0] == 1.0 && keep[1] == 2.0 && keep[2] == 3.0);
    }

    void eliminate_data()
    {
        QTest::addColumn<Rows>("a");
        QTest::newRow("zero on the diagonal") << Rows{{0, 1, 2}, {1, 0, 3}, {4, -3, 8}};
        QTest::newRow("general 4x4") << Rows{{2, -1, 0, 3}, {1, 7, 2, 0}, {0, 1, -4, 1}, {5, 0, 1, 9}};
    }
    void eliminate()
    {
        QFETCH(Rows, a);
        const int n = int(a.size());
        Mat orig(a), work(a), b(n), check(n);
        MatUtil::identityMatrix(n, b.m);
        MatUtil::eliminate(n, work.m, b.m);
        // b collected the row operations, so b·A must equal the reduced A.
        MatUtil::multiplyMatrix(n, b.m, orig.m, check.m);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                QVERIFY(std::fabs(check.m[i][j] - work.m[i][j]) < 1e-12);
        // Every used pivot is 1, and of two rows the later one has a zero where the earlier pivoted.
        for (int i = 0; i < n; ++i)
            if (work.m[i][i] != 0.0)
                QVERIFY(std::fabs(work.m[i][i] - 1.0) < 1e-12);
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j)
                QVERIFY(std::fabs(work.m[i][j]) < 1e-12 || std::fabs(work.m[j][i]) < 1e-12);
    }

    void surfaceFit()
    {
        const double c[6] = {0.5, -1.25, 0.75, 3, -2, 10};
        auto z = [&](double x, double y) {
            return c[0] * x * x + c[1] * y * y + c[2] * x * y + c[3] * x + c[4] * y + c[5];
        };
        SurfFit2D fit;
        SurfFit2D viaLU;
        for (int i = 0; i < 8; ++i)
            for (int j = 0; j < 6; ++j) {
                fit.addPoint(i, j, z(i, j));
                viaLU.addPoint(i, j, z(i, j));
            }
        QVERIFY(fit.solve());
        QVERIFY(viaLU.solveLU());
        for (int k = 0; k < 6; ++k) {
            QVERIFY2(std::fabs(fit.c[k] - c[k]) < 1e-9, qPrintable(QString::number(k)));
            QVERIFY(std::fabs(viaLU.c[k] - c[k]) < 1e-9);
        }
    }

    // Only the terms the points fix are fitted, the rest are 0; nothing of an
    // earlier solve stays (each fit starts from coefficients of 7).
    void surfaceFitOverFewPoints_data()
    {
        using Points = Rows; // x, y, z
        QTest::addColumn<Points>("points");
        QTest::addColumn<QList<double>>("c"); // x², y², xy, x, y, 1
        Points twoRows;
        for (double y : {2.0, 5.0})
            for (double x : {2.0, 5.0, 8.0})
                twoRows << QList<double>{x, y, 0.5 + 0.1 * x - 0.2 * y + 0.01 * x * x + 0.02 * x * y};
        Points oneRow;
        for (double x : {2.0, 5.0, 8.0, 11.0})
            oneRow << QList<double>{x, 2, 0.5 + 0.1 * x + 0.01 * x * x};
        Points line;
        for (int i = 0; i < 10; ++i)
            line << QList<double>{double(i), 0, double(i * i)};
        // two y values: no y²; the other five terms fit exactly
        QTest::newRow("3 x 2 bins") << twoRows << QList<double>{0.01, 0, 0.02, 0.1, -0.2, 0.5};
        // one y value: x², x and 1 only
        QTest::newRow("one row") << oneRow << QList<double>{0.01, 0, 0, 0.1, 0, 0.5};
        QTest::newRow("ten on y = 0") << line << QList<double>{1, 0, 0, 0, 0, 0};
        // xy, x, y, 1 are not fixed by three points: the plane through them,
        // 1.3 - 1.0 over dx 3 -> 0.1; 0.4 - 1.0 over dy 3 -> -0.2; 1.0 - 0.2 + 0.4 = 1.2
        QTest::newRow("three in an L") << Points{{2, 2, 1.0}, {5, 2, 1.3}, {2, 5, 0.4}}
                                       << QList<double>{0, 0, 0, 0.1, -0.2, 1.2};
        QTest::newRow("one point") << Points{{3, 4, 0.7}} << QList<double>{0, 0, 0, 0, 0, 0.7};
    }
    void surfaceFitOverFewPoints()
    {
        QFETCH(Rows, points);
        QFETCH(QList<double>, c);
        SurfFit2D fit;
        for (double& v : fit.c)
            v = 7;
        for (const QList<double>& p : points)
            fit.addPoint(p[0], p[1], p[2]);
        QVERIFY(fit.solve());
        for (int k = 0; k < 6; ++k)
            QVERIFY2(std::fabs(fit.c[k] - c[k]) < 1e-9,
                     qPrintable(QStringLiteral("c%1 %2").arg(k).arg(fit.c[k], 0, 'g', 17)));
    }

    // Points that fix all six terms take the full normal equations as before,
    // to the last bit.
    void surfaceFitFullGridAsBefore()
    {
        SurfFit2D fit;
        for (int y = 1; y <= 7; y += 3)
            for (int x = 2; x <= 8; x += 3)
                fit.addPoint(x, y, 0.5 + 0.3 * x - 0.2 * y + 0.05 * x * x + 0.04 * y * y - 0.03 * x * y);
        // The normal equations straight from the sums (their order in SurfFit2D.h).
        enum { X4, X3Y, X2Y2, XY3, Y4, X3, X2Y, XY2, Y3, X2, XY, Y2, X, Y, N, X2Z, Y2Z, XYZ, XZ, YZ, Z };
        const int index[6][6] = {{X4, X2Y2, X3Y, X3, X2Y, X2}, {X2Y2, Y4, XY3, XY2, Y3, Y2},
                                 {X3Y, XY3, X2Y2, X2Y, XY2, XY}, {X3, XY2, X2Y, X2, XY, X},
                                 {X2Y, Y3, XY2, XY, Y2, Y},      {X2, Y2, XY, X, Y, N}};
        Mat m(6);
        double b[6];
        for (int i = 0; i < 6; ++i) {
            for (int j = 0; j < 6; ++j)
                m.m[i][j] = fit.sums[index[i][j]];
            b[i] = fit.sums[X2Z + i];
        }
        QVERIFY(MatUtil::solveInPlace(6, m.m, b));
        QVERIFY(fit.solve());
        for (int k = 0; k < 6; ++k)
            QCOMPARE(fit.c[k], b[k]);
        QVERIFY(std::fabs(fit.c[2] + 0.03) < 1e-9);
    }

    void polyFit_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QList<double>>("xs");
        QTest::addColumn<QList<double>>("ys");
        QTest::addColumn<QList<double>>("coef");
        QTest::addColumn<double>("rms");
        QTest::newRow("parabola") << 3 << QList<double>{-2, -1, 0, 1, 2} << QList<double>{9, 4, 1, 0, 1}
                                  << QList<double>{1, -2, 1} << 0.0;
        // Best constant of 1, 3 is 2, residuals ±1.
        QTest::newRow("constant with residual") << 1 << QList<double>{0, 1} << QList<double>{1, 3}
                                                << QList<double>{2} << 1.0;
    }
    void polyFit()
    {
        QFETCH(int, n);
        QFETCH(QList<double>, xs);
        QFETCH(QList<double>, ys);
        QFETCH(QList<double>, coef);
        QFETCH(double, rms);
        PolyFit p(n);
        for (int i = 0; i < xs.size(); ++i)
            p.addPoint(xs[i], ys[i]);
        QVERIFY(p.solve());
        for (int i = 0; i < n; ++i)
            QVERIFY(std::fabs(p.coefficients[i] - coef[i]) < 1e-9);
        QVERIFY(std::fabs(p.rms() - rms) < 1e-6);
    }
};

CORVELLINE_TEST(TestMatUtil)
#include "tst_matutil.moc"
