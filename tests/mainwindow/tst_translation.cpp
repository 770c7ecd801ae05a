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

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QHash>
#include <QLabel>
#include <QMainWindow>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyleOptionButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBox>
#include <QTranslator>
#include <QXmlStreamReader>

#include <algorithm>

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

// Whether a source text is one that Japanese keeps as written: no words at
// all (numbers, punctuation, empty markup), a style sheet, a value that the
// program reads back from its field, or only symbols: units, element symbols
// and edges, quantities of the formulas (dMut and its kin), coordinates and
// acronyms.
bool keptAsWritten(const QString& source)
{
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    static const QRegularExpression word(QStringLiteral("[A-Za-z][A-Za-z0-9]*"));
    static const QStringList symbols{
        "eV", "keV", "deg", "ms",                             // units
        "H", "Cu", "K", "L1", "L2", "L3",                     // elements, edges
        "mut", "dmut", "dMut", "DMut", "Mut", "dM", "dMidx", // quantities
        "dE", "dE12", "E1", "E2", "dPreE", "dPostS", "I0",
        "x", "X", "Y",                                        // coordinates
        "ROI", "XAFS", "FFT", "MLCF"};                        // acronyms
    static const QStringList fieldValues{"Brannoch", "Brannoch.key", "localhost"};
    if (source.startsWith(QLatin1String("background-color:")) || fieldValues.contains(source))
        return true;
    const QString text = QString(source).remove(tag);
    for (auto it = word.globalMatch(text); it.hasNext();) {
        if (!symbols.contains(it.next().captured()))
            return false;
    }
    return true;
}

// Buttons and labels of a window whose text is wider than the room they get
// when the window has its own size; every page of its tool boxes and tabs.
// A window whose labels have no width limit grows instead of cutting them, so
// one wider than a full-HD screen on any page counts as cut off too.
QStringList cutOffTexts(QWidget* window)
{
    constexpr int screenWidth = 1920;
    window->resize(window->sizeHint());
    QStringList out;
    int widest = 0;
    const auto check = [&](QWidget* w, const QString& text, int room, int needed) {
        if (!text.isEmpty() && w->isVisibleTo(window) && room < needed)
            out << QStringLiteral("%1/%2 %3 (%4 < %5)")
                       .arg(window->objectName(), w->objectName(), text)
                       .arg(room)
                       .arg(needed);
    };
    const auto sweep = [&] {
        window->grab(); // lays the window out
        widest = std::max({widest, window->width(), window->sizeHint().width()});
        for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
            if (b->metaObject() == &QPushButton::staticMetaObject) {
                // a push button's size hint asks for more than its text needs
                QStyleOptionButton opt;
                opt.initFrom(b);
                const QRect contents = b->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, b);
                check(b, b->text(), contents.width(),
                      b->fontMetrics().size(Qt::TextShowMnemonic, b->text()).width());
            } else {
                check(b, b->text(), b->width(), b->sizeHint().width());
            }
        }
        for (QLabel* l : window->findChildren<QLabel*>()) {
            if (!l->wordWrap())
                check(l, l->text(), l->width(), l->sizeHint().width());
        }
    };
    sweep();
    for (QToolBox* box : window->findChildren<QToolBox*>()) {
        for (int i = 0; i < box->count(); i++) {
            box->setCurrentIndex(i);
            sweep();
        }
    }
    for (QTabWidget* tabs : window->findChildren<QTabWidget*>()) {
        for (int i = 0; i < tabs->count(); i++) {
            tabs->setCurrentIndex(i);
            sweep();
        }
    }
    if (widest > screenWidth)
        out << QStringLiteral("%1 is %2 pixels wide (> %3)").arg(window->objectName()).arg(widest).arg(screenWidth);
    return out;
}

// Every window made since `before`: the frames, main windows and dialogs
// without a parent (a widget of another kind without a parent is a helper that
// is never shown, such as the unshown inner button of a vertical button).
QList<QWidget*> windowsMadeSince(const QWidgetList& before)
{
    QList<QWidget*> out;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!before.contains(w) && !w->parentWidget()
            && (qobject_cast<QFrame*>(w) || qobject_cast<QMainWindow*>(w) || qobject_cast<QDialog*>(w)))
            out << w;
    }
    return out;
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

    // A finished rendering that is its English source is a text left out,
    // unless Japanese keeps that text as written.
    void noFinishedTextLeftInEnglish()
    {
        const QList<TsMessage> all = readTs(committedTs());
        QVERIFY(!all.isEmpty());
        QStringList english;
        for (const TsMessage& m : all) {
            if (m.finished && m.translation == m.source && !keptAsWritten(m.source))
                english << m.context + QStringLiteral(": ") + m.source;
        }
        QVERIFY2(english.isEmpty(), qPrintable(english.join(QChar(u'\n'))));
    }

    // Without a font that holds the Japanese texts' characters every one of
    // them would show as boxes.
    void aFontCoversJapanese()
    {
        QString chars;
        for (const TsMessage& m : readTs(committedTs())) {
            if (m.finished)
                chars += m.translation;
        }
        QList<char32_t> needed;
        for (char32_t c : chars.toUcs4()) {
            if (c > 0x2e80 && !needed.contains(c))
                needed << c;
        }
        QVERIFY(needed.size() > 100);
        const QStringList families = QFontDatabase::families(QFontDatabase::Japanese);
        QVERIFY2(!families.isEmpty(), "no installed font has Japanese");
        const auto coversAll = [&](const QString& family) {
            const QFontMetrics fm{QFont(family)};
            return std::all_of(needed.cbegin(), needed.cend(), [&](char32_t c) { return fm.inFontUcs4(c); });
        };
        QVERIFY2(std::any_of(families.cbegin(), families.cend(), coversAll),
                 qPrintable(families.join(u',')));
    }

    // Texts that were wrong, too long or ambiguous in their place.
    void renderings_data()
    {
        QTest::addColumn<QString>("context");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("japanese");
        const QList<QStringList> rows{
            {"ImgProc", "S.P.", "内積"},
            {"Body", "A. Step", "解析ビン"},
            {"ImgProc", "A. A. Shift", "常に自動シフト"},
            {"XafsView", "Raw", "生"},
            {"ImgProc", "Set Shift", "シフト設定"},
            {"Analyzer", "Comp. with", "比較法"},
            {"Analyzer", "Disp. on Time", "解析中に逐次表示"},
            {"Body", "Suggest Elm.", "吸収元素を指定"},
            {"XafsView", "S.R.", "X全域"},
            {"SelectDataFilesAdditionalSetup", "CLR", "消去"},
            {"Analyzer", "Comp. Target", "比較対象"},
            {"Analyzer", "Show the Rest", "残留吸収を表示"},
            {"Analyzer", "dEdge at Cursor", "カーソル位置の吸収端シフト"},
            {"Analyzer", "Exec. Gen dEge Map", "吸収端シフトマップを作成"},
            {"Analyzer", "Show dEge Map", "吸収端シフトマップ表示"},
            {"Body", "Raw XAFS", "未規格化XAFS"},
            {"Body", "Total I0 of I1", "I1用 全I0"},
            {"Body", "Total I0 of I0", "I0用 全I0"},
            {"Body", "    from Tbl.: ", "    校正マップ: "}};
        for (const QStringList& r : rows)
            QTest::newRow(qPrintable(r[0] + u' ' + r[1])) << r[0] << r[1] << r[2];
    }
    void renderings()
    {
        QFETCH(QString, context);
        QFETCH(QString, source);
        StartOptions o;
        QTranslator t;
        QVERIFY(installTranslation(t, o));
        QTEST(QCoreApplication::translate(qPrintable(context), qPrintable(source)), "japanese");
        QCoreApplication::removeTranslator(&t);
    }

    // Qt's own texts follow: the file dialogs' labels are Japanese too.
    void qtOwnTexts()
    {
        QTranslator t;
        QVERIFY(installQtTranslation(t));
        QCOMPARE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("アドレス:"));
        QCoreApplication::removeTranslator(&t);
        QCOMPARE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Look in:"));
    }

    // No Japanese text is cut off by its button or label in any window of the
    // program at its own size, and no window outgrows a full-HD screen.
    void nothingCutOff()
    {
        loopback::resetConfig();
        StartOptions o;
        QTranslator t;
        QVERIFY(installTranslation(t, o));
        {
            const QWidgetList before = QApplication::topLevelWidgets();
            Body body;
            const QList<QWidget*> windows = windowsMadeSince(before);
            QVERIFY(windows.contains(&body));
            QStringList cut;
            for (QWidget* w : windows)
                cut << cutOffTexts(w);
            cut.removeDuplicates(); // seen on every page, and alike in the I1 and I0 windows
            body.xafsView->grab().save(testreg::shotsDir() + QStringLiteral("/ja-spectrum.png"));
            body.imgProc.grab().save(testreg::shotsDir() + QStringLiteral("/ja-imgproc.png"));
            QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QChar(u'\n'))));
        }
        QCoreApplication::removeTranslator(&t);
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
