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

    void surfaceFitSingularKeepsCoefficients()
    {
        SurfFit2D fit;
        fit.c[0] = 7;
        // Points on one line cannot fix a surface.
        for (int i = 0; i < 10; ++i)
            fit.addPoint(i, 0, i * i);
        QVERIFY(!fit.solve());
        QVERIFY(!fit.solveLU());
        QCOMPARE(fit.c[0], 7.0);
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
