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

// The true fraction map as written: one text line per image row.
QList<QList<double>> readTruth(const QString& path)
{
    QList<QList<double>> rows;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return rows;
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        QList<double> row;
        for (const QString& v : line.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            row << v.toDouble();
        rows << row;
    }
    return rows;
}

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

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        dir.setPath(tmp.filePath(QStringLiteral("set")));
        QString error;
        QVERIFY2(demo::DemoSet().write(dir.path(), &error), qPrintable(error));
        i1Names = dir.entryList({QStringLiteral("I1_*.tif")}, QDir::Files, QDir::Name);
    }

    void files_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* n : {"dark.tif", "ref_Cu_foil.dat", "ref_CuO.dat", "truth_fraction.txt",
                              "demo.bat", "demo-headless.bat"})
            QTest::newRow(n) << QString::fromLatin1(n);
    }
    void files()
    {
        QFETCH(QString, name);
        QVERIFY(QFileInfo(dir.filePath(name)).size() > 0);
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("results"))).isDir());
    }

    // Every I1 frame has its I0 twin, and the default name pattern reads a
    // rising energy scale across the Cu K edge, fine near the edge.
    void energiesFromNames()
    {
        QVERIFY(i1Names.size() >= 100 && i1Names.size() <= 140);
        EnergyRules rules;
        rules.pattern = EnergyRules::defaultPatterns().first();
        QList<double> e;
        for (const QString& n : i1Names) {
            QVERIFY2(dir.exists(QStringLiteral("I0") + n.mid(2)), qPrintable(n));
            e << rules.energyFromFileName(dir.filePath(n), int(e.size()));
        }
        int nearEdge = 0;
        for (int i = 1; i < e.size(); ++i) {
            QVERIFY(e[i] > e[i - 1]);
            nearEdge += std::fabs(e[i] - 8979.0) < 30.0 ? 1 : 0;
        }
        QVERIFY(e.first() < 8979.0 - 50.0 && e.last() > 8979.0 + 150.0);
        QVERIFY(nearEdge >= 40);
        QCOMPARE(e, demo::DemoSet().energies());
    }

    void frames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("first I1") << i1Names.first();
        QTest::newRow("last I0") << QString(QStringLiteral("I0") + i1Names.last().mid(2));
        QTest::newRow("dark") << QStringLiteral("dark.tif");
    }
    void frames()
    {
        QFETCH(QString, name);
        const auto f = frame(dir.filePath(name));
        QVERIFY(f);
        QCOMPARE(f->srcType, int(TiffData::SrcTiff));
        QCOMPARE(f->width, 96);
        QCOMPARE(f->height, 64);
        QCOMPARE(f->expTime, 500.0);  // EXIF 0.5 s
    }

    // ln(I0/I1) of single pixels, dark taken off, is the jump times the
    // mixture of the reference files plus a smooth background, with the
    // fraction of the truth file.
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
        const QList<QList<double>> truth =
            readTruth(dir.filePath(QStringLiteral("truth_fraction.txt")));
        QCOMPARE(truth.size(), 64);
        QCOMPARE(truth[y].size(), 96);
        const double f = truth[y][x];
        QVERIFY(std::fabs(f - roughTruth) < 0.02);

        XafsSpectrum foil, oxide;
        QVERIFY(foil.readFile(dir.filePath(QStringLiteral("ref_Cu_foil.dat"))));
        QVERIFY(oxide.readFile(dir.filePath(QStringLiteral("ref_CuO.dat"))));
        const auto dark = frame(dir.filePath(QStringLiteral("dark.tif")));
        QVERIFY(dark);
        // Least squares of mu = cA A(E) + cB B(E) + a + b (E - 8979).
        double ata[4][4] = {};
        double atb[4] = {};
        QList<std::array<double, 5>> rows;
        EnergyRules rules;
        rules.pattern = EnergyRules::defaultPatterns().first();
        for (const QString& n : i1Names) {
            const auto i1 = frame(dir.filePath(n));
            const auto i0 = frame(dir.filePath(QStringLiteral("I0") + n.mid(2)));
            QVERIFY(i1 && i0);
            const double e = rules.energyFromFileName(n, 0);
            const double d = dark->value(x, y);
            const double mu = std::log((i0->value(x, y) - d) / (i1->value(x, y) - d));
            const std::array<double, 5> r = {foil.yAt(e), oxide.yAt(e), 1.0, e - 8979.0, mu};
            rows << r;
            for (int j = 0; j < 4; ++j) {
                for (int k = 0; k < 4; ++k)
                    ata[j][k] += r[j] * r[k];
                atb[j] += r[j] * mu;
            }
        }
        double** m;
        double* v;
        MatUtil::newMatrixAndVector(4, m, v);
        for (int j = 0; j < 4; ++j) {
            std::copy(ata[j], ata[j] + 4, m[j]);
            v[j] = atb[j];
        }
        const bool solved = MatUtil::solveInPlace(4, m, v);
        double sq = 0.0;
        for (const auto& r : rows) {
            const double d = v[0] * r[0] + v[1] * r[1] + v[2] + v[3] * r[3] - r[4];
            sq += d * d;
        }
        const double est = v[0] / (v[0] + v[1]);
        const double rms = std::sqrt(sq / rows.size());
        MatUtil::deleteMatrixAndVector(4, m, v);
        QVERIFY(solved);
        QVERIFY2(std::fabs(est - f) < 0.03, qPrintable(QStringLiteral("%1 vs %2").arg(est).arg(f)));
        QVERIFY2(rms < 0.03, qPrintable(QString::number(rms)));
    }
};

CORVELLINE_TEST(TestGenDemo)
#include "tst_gendemo.moc"
