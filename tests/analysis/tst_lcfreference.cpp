#include "support/AnalysisValues.h"
#include "support/EdgeSpectra.h"
#include "support/TestRegistry.h"

#include "analysis/AElemsConds.h"
#include "analysis/Analyzed2DRes.h"
#include "analysis/LCFReference.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <memory>

namespace {

bool writeText(const QString& path, const QString& text)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    f.write(text.toUtf8());
    return true;
}

// Two columns: an edge from `from` to from + 10 eV on 1 eV steps over first..first + 200.
QString columns(double first, double from)
{
    QString text = "# E mu\n";
    const Spectrum s = rampSpectrum(first, first + 200, 1.0, from, from + 10);
    for (int i = 0; i < s.size(); ++i)
        text += QString("%1 %2\n").arg(s.x(i), 0, 'g', 10).arg(s.y(i), 0, 'g', 10);
    return text;
}

} // namespace

class TestLCFReference : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;
    QString fileA;  // 8900..9100, edge 8995..9005
    QString fileB;  // 8950..9150, edge 9045..9055

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        fileA = tmp.filePath("a.dat");
        fileB = tmp.filePath("b.dat");
        QVERIFY(writeText(fileA, columns(8900, 8995)));
        QVERIFY(writeText(fileB, columns(8950, 9045)));
    }

    void victoreenChoice_data()
    {
        QTest::addColumn<QString>("isVic");
        QTest::addColumn<bool>("checked");
        QTest::newRow("empty") << "" << true;
        QTest::newRow("vic") << "vic" << true;
        QTest::newRow("VIC") << "VIC" << true;
        QTest::newRow("0") << "0" << false;
        QTest::newRow("no") << "no" << false;
        QTest::newRow("-3") << "-3" << false;
        QTest::newRow("2") << "2" << true;
    }
    void victoreenChoice()
    {
        QFETCH(QString, isVic);
        QFETCH(bool, checked);
        LCFReference row;
        row.setStd(true, 0.0, fileA, isVic);
        QCOMPARE(row.IsVictreen->isChecked(), checked);
        QCOMPARE(row.pre.mode, checked ? 0 : 1);  // the file was read with the choice made
    }

    // Victoreen choice, then the file, then Use, then the shift, without newDeltaE;
    // the curves stay on the file's energies whatever shift came before.
    void setStdSteps()
    {
        LCFReference row;
        QSignalSpy deltaE(&row, &LCFReference::newDeltaE);
        QSignalSpy newFile(&row, &LCFReference::newFileSelected);
        row.setStd(true, 3.0, fileB, "0");
        row.setStd(true, 2.0, fileA, "vic");
        QCOMPARE(deltaE.count(), 0);
        QCOMPARE(newFile.count(), 2);
        QVERIFY(row.takesPart());
        QCOMPARE(row.DeltaE->text(), QString("2"));
        QCOMPARE(row.eOffset, 2.0);
        QCOMPARE(row.doubleNormalized.x(0), 8900.0);
        row.setStd(false, -1.25, fileA, "0");
        QVERIFY(!row.takesPart());
    }

    void loadWhileShifted()
    {
        LCFReference row;
        row.DeltaE->setText("3");
        row.editedDeltaE();
        row.XFS->load(fileA);
        QVERIFY(std::fabs(row.e0 - 9000.0) < 1e-6);  // the file's own edge
        const LCFRefData d = row.refData(2);
        QCOMPARE(d.dE, 3.0);
        QCOMPARE(d.n.x(0), 8900.0);
    }

    void failedRead()
    {
        LCFReference row;
        QSignalSpy newFile(&row, &LCFReference::newFileSelected);
        row.XFS->load(fileA);
        const QString dMut = row.DMut->text();
        const double y100 = row.Spectrum::y(100);
        row.XFS->load(tmp.filePath("missing.dat"));
        QCOMPARE(newFile.count(), 1);
        QCOMPARE(row.Spectrum::y(100), y100);
        QCOMPARE(row.DMut->text(), dMut);
    }

    // A chosen file that gives no spectrum is told with its name and why; the
    // row then holds none of it, though it keeps the spectrum read before.
    void unreadableFileTold_data()
    {
        QTest::addColumn<QString>("name"); // in the temporary folder
        QTest::addColumn<QByteArray>("content"); // written unless "-"; "dir" makes a folder
        QTest::addColumn<QString>("why");
        QTest::newRow("missing") << "missing.dat" << QByteArray("-") << "no such file";
        QTest::newRow("empty") << "empty.dat" << QByteArray() << "no spectrum points in it";
        QTest::newRow("words only") << "words.dat" << QByteArray("energy mu\nnone here\n")
                                    << "no spectrum points in it";
        QTest::newRow("a folder") << "folder.dat" << QByteArray("dir") << "it is a folder";
    }
    void unreadableFileTold()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        const QString path = tmp.filePath(name);
        if (content == "dir")
            QVERIFY(QDir().mkpath(path));
        else if (content != "-")
            QVERIFY(writeText(path, QString::fromUtf8(content)));
        LCFReference row;
        QSignalSpy told(&row, &LCFReference::unreadableFile);
        row.XFS->load(fileA);
        QVERIFY(row.holdsSpectrum());
        QCOMPARE(told.count(), 0);
        row.XFS->load(path);
        QCOMPARE(told.count(), 1);
        QFETCH(QString, why);
        QCOMPARE(told.first().first().toString(), QStringLiteral("Can't read %1: %2").arg(path, why));
        QVERIFY(!row.holdsSpectrum());
    }

    void deltaEText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("shift");
        QTest::newRow("number") << "1.5" << 1.5;
        QTest::newRow("no number") << "abc" << 0.0;
    }
    void deltaEText()
    {
        QFETCH(QString, text);
        QFETCH(double, shift);
        LCFReference row;
        row.DeltaE->setText("7");
        row.editedDeltaE();
        QSignalSpy deltaE(&row, &LCFReference::newDeltaE);
        row.DeltaE->setText(text);
        row.editedDeltaE();
        QCOMPARE(deltaE.count(), 1);
        QCOMPARE(row.eOffset, shift);
    }

    void applyFit_data()
    {
        QTest::addColumn<bool>("fitted");
        QTest::addColumn<bool>("writeRows");
        QTest::addColumn<double>("ratio"); // of the third row
        QTest::addColumn<QString>("r");    // shown in the third row
        QTest::addColumn<QString>("t");
        QTest::newRow("single spectrum") << true << true << 0.3 << "30.00" << "0.123457";
        QTest::newRow("during a walk") << true << false << 0.3 << "" << "";
        QTest::newRow("fit did not run") << false << true << 0.3 << "" << "";
        QTest::newRow("no ratio: no value") << true << true << qQNaN() << "" << "0.123457";
    }
    void applyFit()
    {
        QFETCH(bool, fitted);
        QFETCH(bool, writeRows);
        QFETCH(double, ratio);
        QFETCH(QString, r);
        QFETCH(QString, t);
        std::unique_ptr<LCFReference> a(new LCFReference), b(new LCFReference), c(new LCFReference);
        const QList<LCFReference*> rows{a.get(), b.get(), c.get()};
        AnalyzeReply reply;
        reply.fitted = fitted;
        reply.writeRows = writeRows;
        reply.lcfRows = {0, 2};
        reply.lcfRatios = {0.05, ratio};
        reply.lcfDMuts = {0.5, 0.123456789};
        c->R->setText("71.00"); // an earlier spectrum's
        LCFReference::applyFit(rows, reply);
        QCOMPARE(c->R->text() + "|" + c->T->text(), (t.isEmpty() ? QString("71.00") : r) + "|" + t);
        QVERIFY(sameValue(c->ratio, t.isEmpty() ? 0.0 : ratio, 0.0));
        QCOMPARE(a->R->text() + "|" + b->R->text(), t.isEmpty() ? QString("|") : QString(" 5.00|"));
    }
};

CORVELLINE_TEST(TestLCFReference)
#include "tst_lcfreference.moc"
