// The main job end to end: the demo generator writes a data set, the program
// runs its batch headless and quits, and the saved fraction maps must match
// the known truth.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

namespace {

const int runTimeoutMs = 5 * 60 * 1000;

QList<QStringList> dataLines(const QString& path, const QRegularExpression& split)
{
    QList<QStringList> lines;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return lines;
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (!line.isEmpty() && !line.startsWith(QLatin1Char('#')))
            lines << line.split(split, Qt::SkipEmptyParts);
    }
    return lines;
}

bool run(const QString& program, const QStringList& args, const QString& workDir, QString* log)
{
    QProcess p;
    p.setWorkingDirectory(workDir);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    const bool done = p.waitForFinished(runTimeoutMs);
    if (!done)
        p.kill();
    p.waitForFinished();
    *log = QString::fromLocal8Bit(p.readAll()).right(4000);
    return done && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;
    QString dir;

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        dir = tmp.filePath(QStringLiteral("demo"));
        QString log;
        QVERIFY2(run(QStringLiteral(GEN_DEMO_BIN), {dir}, tmp.path(), &log), qPrintable(log));
        // Stars and the data target on 127.0.0.1 at a port where nothing listens.
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        const QByteArray port = QByteArray::number(probe.serverPort());
        probe.close();
        const QString config = tmp.filePath(QStringLiteral("test.cfg"));
        QFile cfgFile(config);
        QVERIFY(cfgFile.open(QIODevice::WriteOnly | QIODevice::Text));
        cfgFile.write("STARS_IP 127.0.0.1\nSTARS_PORT " + port + "\nTcpTarget_IP 127.0.0.1\nTcpTarget_PORT "
                      + port + "\n");
        cfgFile.close();
        QVERIFY2(run(QStringLiteral(CORVELLINE_BIN),
                     {QStringLiteral("-c"), config, QStringLiteral("-d"), dir, QStringLiteral("-b"),
                      dir + QStringLiteral("/demo-headless.bat"), QStringLiteral("-x")},
                     tmp.path(), &log),
                 qPrintable(log));
    }

    void fractionMap_data()
    {
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<bool>("complement");
        QTest::newRow("Cu foil") << "results/fraction-0.dat" << "results/lcf-0-1.png" << false;
        QTest::newRow("CuO") << "results/fraction-1.dat" << "results/lcf-1-1.png" << true;
    }
    void fractionMap()
    {
        QFETCH(QString, data);
        QFETCH(QString, picture);
        QFETCH(bool, complement);
        const QList<QStringList> truth = dataLines(dir + QStringLiteral("/truth_fraction.txt"),
                                                   QRegularExpression(QStringLiteral("\\s+")));
        QVERIFY(!truth.isEmpty());
        const int w = int(truth.first().size());
        const int h = int(truth.size());

        // x,y,value per pixel: the analysis ran on one-pixel bins over the whole field.
        const QList<QStringList> rows = dataLines(dir + QLatin1Char('/') + data,
                                                  QRegularExpression(QStringLiteral("[,\\s]+")));
        QCOMPARE(rows.size(), qsizetype(w) * h);
        double sq = 0.0;
        for (const QStringList& r : rows) {
            QCOMPARE(r.size(), 3);
            const int x = r[0].toInt();
            const int y = r[1].toInt();
            QVERIFY(x >= 0 && x < w && y >= 0 && y < h);
            const double v = r[2].toDouble();
            QVERIFY(std::isfinite(v));
            const double f = truth[y][x].toDouble();
            sq += std::pow(v - (complement ? 1.0 - f : f), 2);
        }
        const double rms = std::sqrt(sq / rows.size());
        qInfo("RMS error of %s: %.4f", qPrintable(data), rms);
        QVERIFY(rms < 0.05);

        const QImage img(dir + QLatin1Char('/') + picture);
        QVERIFY(!img.isNull());
    }
};

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
