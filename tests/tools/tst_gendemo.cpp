#include "support/TestRegistry.h"

#include "DemoSet.h"
#include "foundation/MatUtil.h"
#include "foundation/XafsSpectrum.h"
#include "imagestack/EnergyRules.h"
#include "imagestack/TiffData.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

namespace {

std::unique_ptr<TiffData> frame(const QString& path)
{
    auto t = std::make_unique<TiffData>();
    return t->load(path, nullptr) ? std::move(t) : nullptr;
}

} // namespace

class TestGenDemo : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;
    QDir dir;
    QStringList i1Names;
    QList<double> energies;  // read from the names by the default pattern

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        dir.setPath(tmp.filePath(QStringLiteral("set")));
        QString error;
        QVERIFY2(demo::DemoSet().write(dir.path(), &error), qPrintable(error));
        i1Names = dir.entryList({QStringLiteral("I1_*.tif")}, QDir::Files, QDir::Name);
        EnergyRules rules;
        rules.pattern = EnergyRules::defaultPatterns().first();
        for (const QString& n : i1Names)
            energies << rules.energyFromFileName(dir.filePath(n), int(energies.size()));
    }

    // Every I1 frame has its I0 twin; the names give a rising energy scale across
    // the Cu K edge, fine near the edge; frames carry their EXIF exposure.
    void stacks()
    {
        QVERIFY(i1Names.size() >= 100 && i1Names.size() <= 140);
        int nearEdge = 0;
        for (int i = 0; i < i1Names.size(); ++i) {
            QVERIFY2(dir.exists(QStringLiteral("I0") + i1Names[i].mid(2)), qPrintable(i1Names[i]));
            QVERIFY(i == 0 || energies[i] > energies[i - 1]);
            nearEdge += std::fabs(energies[i] - 8979.0) < 30.0 ? 1 : 0;
        }
        QVERIFY(energies.first() < 8979.0 - 50.0 && energies.last() > 8979.0 + 150.0);
        QVERIFY(nearEdge >= 40);
        for (const QString& n : {i1Names.last(), QStringLiteral("dark.tif")}) {
            const auto f = frame(dir.filePath(n));
            QVERIFY(f);
            QCOMPARE(f->width, 96);
            QCOMPARE(f->height, 64);
            QCOMPARE(f->expTime, 500.0);
        }
    }

    // ln(I0/I1) of single pixels, dark taken off, is a jump times the mixture
    // of the two reference files plus a smooth background, with the fraction
    // that the truth file gives.
    void mixture_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<double>("roughTruth");
        QTest::newRow("left edge, oxide-rich") << 0 << 5 << 0.15;
        QTest::newRow("right edge, foil-rich") << 95 << 60 << 0.85;
        QTest::newRow("oxide grain") << 68 << 24 << 0.05;
        QTest::newRow("foil grain") << 22 << 44 << 0.95;
    }
    void mixture()
    {
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(double, roughTruth);
        QFile truth(dir.filePath(QStringLiteral("truth_fraction.txt")));
        QVERIFY(truth.open(QIODevice::ReadOnly | QIODevice::Text));
        QList<QByteArray> rows = truth.readAll().split('\n');
        rows.removeIf([](const QByteArray& l) { return l.isEmpty() || l.startsWith('#'); });
        QCOMPARE(rows.size(), 64);
        const QList<QByteArray> row = rows[y].split(' ');
        QCOMPARE(row.size(), 96);
        const double f = row[x].toDouble();
        QVERIFY(std::fabs(f - roughTruth) < 0.02);

        XafsSpectrum foil, oxide;
        QVERIFY(foil.readFile(dir.filePath(QStringLiteral("ref_Cu_foil.dat"))));
        QVERIFY(oxide.readFile(dir.filePath(QStringLiteral("ref_CuO.dat"))));
        const auto dark = frame(dir.filePath(QStringLiteral("dark.tif")));
        QVERIFY(dark);
        // Least squares of mu = cA A(E) + cB B(E) + a + b (E - 8979).
        QList<std::array<double, 5>> eqs;
        double ata[4][4] = {};
        double atb[4] = {};
        for (int i = 0; i < i1Names.size(); ++i) {
            const auto i1 = frame(dir.filePath(i1Names[i]));
            const auto i0 = frame(dir.filePath(QStringLiteral("I0") + i1Names[i].mid(2)));
            QVERIFY(i1 && i0);
            const double d = dark->value(x, y);
            const double mu = std::log((i0->value(x, y) - d) / (i1->value(x, y) - d));
            const double e = energies[i];
            eqs.append({foil.yAt(e), oxide.yAt(e), 1.0, e - 8979.0, mu});
            for (int j = 0; j < 4; ++j) {
                for (int k = 0; k < 4; ++k)
                    ata[j][k] += eqs.last()[j] * eqs.last()[k];
                atb[j] += eqs.last()[j] * mu;
            }
        }
        double** m;
        double* c;
        MatUtil::newMatrixAndVector(4, m, c);
        for (int j = 0; j < 4; ++j) {
            std::copy(ata[j], ata[j] + 4, m[j]);
            c[j] = atb[j];
        }
        const bool solved = MatUtil::solveInPlace(4, m, c);
        double sq = 0.0;
        for (const auto& r : eqs)
            sq += std::pow(c[0] * r[0] + c[1] * r[1] + c[2] + c[3] * r[3] - r[4], 2);
        const double est = c[0] / (c[0] + c[1]);
        MatUtil::deleteMatrixAndVector(4, m, c);
        QVERIFY(solved);
        QVERIFY2(std::fabs(est - f) < 0.03, qPrintable(QStringLiteral("%1 vs %2").arg(est).arg(f)));
        QVERIFY(std::sqrt(sq / eqs.size()) < 0.03);
    }
};

CORVELLINE_TEST(TestGenDemo)
#include "tst_gendemo.moc"
