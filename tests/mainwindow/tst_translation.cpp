#include "support/TestRegistry.h"

#include "analysis/Analyzer.h"
#include "batch/BatchCtrl.h"
#include "calibration/CalibCtrl.h"
#include "display/XafsView.h"
#include "imagestack/Analyzer2.h"
#include "imagestack/SelectDataFiles.h"
#include "mainwindow/Body.h"
#include "mainwindow/StartOptions.h"
#include "support/Loopback.h"

#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <QXmlStreamReader>

namespace {
struct TsMessage {
    QString context;
    QString source;
    QString translation;
    bool finished = false;
};

QList<TsMessage> readTs(const QString& path)
{
    QList<TsMessage> out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return out;
    QXmlStreamReader xml(&f);
    QString context;
    TsMessage m;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        const auto name = xml.name();
        if (name == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (name == QLatin1String("message")) {
            m = TsMessage();
            m.context = context;
        } else if (name == QLatin1String("source")) {
            m.source = xml.readElementText();
        } else if (name == QLatin1String("translation")) {
            const QString type = xml.attributes().value(QLatin1String("type")).toString();
            m.translation = xml.readElementText();
            m.finished = type.isEmpty();
            out << m;
        }
    }
    return out;
}

QString key(const TsMessage& m) { return m.context + QChar(0) + m.source; }

QString committedTs()
{
    return testreg::sourceDir() + QStringLiteral("/src/resources/Corvelline_ja_JP.ts");
}

// The main window's title and a button of each window, as shown.
QStringList windowTexts(Body& b)
{
    return {b.windowTitle(),
            b.ZoomIn->text(),
            b.analyzer->AskAnalyze->text(),
            b.analyzer2->DarkCheck->text(),
            b.batchCtrl->Load->text(),
            b.calibCtrl->ExecCalib->text(),
            b.stars.connectB->text(),
            b.xafsView->Normalized->text(),
            b.stats.ShowOverImage->text(),
            b.imgProc.EdgeDetect->text(),
            b.SelectI1Files->Select->text()};
}

QStringList placeholders(const QString& s)
{
    static const QRegularExpression re(QStringLiteral("%L?\\d+"));
    QStringList out;
    for (auto it = re.globalMatch(s); it.hasNext();)
        out << it.next().captured();
    out.sort();
    return out;
}
} // namespace

class TestTranslation : public QObject {
    Q_OBJECT
private slots:
    // Every text the sources hold today, found by the same tool that keeps
    // the file up to date, must have a finished, non-empty rendering.
    void everyTextTranslated()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString fresh = dir.filePath(QStringLiteral("fresh_ja_JP.ts"));
        QProcess lupdate;
        lupdate.start(QStringLiteral(LUPDATE_BIN),
                      {QStringLiteral("-no-obsolete"), QStringLiteral("-locations"),
                       QStringLiteral("none"), testreg::sourceDir() + QStringLiteral("/src"),
                       QStringLiteral("-ts"), fresh});
        QVERIFY(lupdate.waitForFinished(120000));
        QCOMPARE(lupdate.exitCode(), 0);

        QHash<QString, TsMessage> committed;
        for (const TsMessage& m : readTs(committedTs()))
            committed.insert(key(m), m);
        const QList<TsMessage> found = readTs(fresh);
        QVERIFY(found.size() > 300);
        QStringList missing;
        for (const TsMessage& m : found) {
            const auto it = committed.constFind(key(m));
            if (it == committed.constEnd() || !it->finished || it->translation.trimmed().isEmpty())
                missing << m.context + QStringLiteral(": ") + m.source;
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QChar(u'\n'))));
    }

    // A rendering keeps every "%1" and every file-name pattern of its source.
    void placeholdersAndFileTextsKept()
    {
        static const QRegularExpression fileText(
            QStringLiteral("\\*?\\.(png|jpe?g|tiff?|txt|dat|emp|bat|cfg|key|csv|bmp|info)\\b"),
            QRegularExpression::CaseInsensitiveOption);
        const QList<TsMessage> all = readTs(committedTs());
        QVERIFY(!all.isEmpty());
        QStringList wrong;
        for (const TsMessage& m : all) {
            if (!m.finished)
                continue;
            bool ok = placeholders(m.source) == placeholders(m.translation);
            for (auto it = fileText.globalMatch(m.source); it.hasNext();)
                ok = ok && m.translation.contains(it.next().captured());
            if (!ok)
                wrong << m.context + QStringLiteral(": ") + m.source + QStringLiteral(" -> ")
                             + m.translation;
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QChar(u'\n'))));
    }

    void windowsSpeakTheInstalledLanguage_data()
    {
        QTest::addColumn<bool>("noTranslation");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("Japanese")
            << false
            << QStringList{"コルヴェリン", "拡大", "解析", "ダーク検査", "読込", "校正を実行",
                           "接続", "規格化", "画像に重ねて表示", "エッジ検出", "I1データ"};
        QTest::newRow("-e: English")
            << true
            << QStringList{"Corvelline", "Zoom in", "Analyze", "Dark Check", "Load",
                           "Exec Calib.", "Connect", "Normalized", "Show Over Image",
                           "Edge Detect", "I1 Data"};
    }
    void windowsSpeakTheInstalledLanguage()
    {
        QFETCH(bool, noTranslation);
        loopback::resetConfig();
        StartOptions o;
        o.noTranslation = noTranslation;
        QTranslator t;
        installTranslation(t, o);
        {
            Body body;
            QTEST(windowTexts(body), "texts");
            if (!noTranslation) {
                body.resize(1011, 1024);
                body.grab().save(testreg::shotsDir() + QStringLiteral("/ja-main-window.png"));
                body.analyzer->grab().save(testreg::shotsDir() + QStringLiteral("/ja-analyzer.png"));
                body.calibCtrl->grab().save(testreg::shotsDir() + QStringLiteral("/ja-calibration.png"));
            }
        }
        QCoreApplication::removeTranslator(&t);
    }

    void installRules_data()
    {
        QTest::addColumn<bool>("noTranslation");
        QTest::addColumn<QString>("resource");
        QTest::addColumn<bool>("installed");
        QTest::newRow("compiled-in resource") << false << ":Corvelline_ja_JP" << true;
        QTest::newRow("-e") << true << ":Corvelline_ja_JP" << false;
        QTest::newRow("missing resource") << false << ":Corvelline_xx" << false;
    }
    void installRules()
    {
        QFETCH(bool, noTranslation);
        QFETCH(QString, resource);
        StartOptions o;
        o.noTranslation = noTranslation;
        QTranslator t;
        const bool installed = installTranslation(t, o, resource);
        QTEST(installed, "installed");
        QCOMPARE(QCoreApplication::translate("Body", "Corvelline") != QLatin1String("Corvelline"),
                 installed);
        QCoreApplication::removeTranslator(&t);
    }
};

CORVELLINE_TEST(TestTranslation)
#include "tst_translation.moc"
