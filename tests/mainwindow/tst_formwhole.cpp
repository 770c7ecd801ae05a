// Every button and tool-box title of the main form shows its text whole at
// the form's own size, in English and in Japanese, with no scroll bar inside,
// and so do four-digit bins and frame numbers, and the edge energies of the
// analyser's element rows; the image display keeps one size there in both.
#include "support/InTempDir.h"
#include "support/Loopback.h"
#include "support/ScrollReach.h"
#include "support/StackBody.h"
#include "support/TestRegistry.h"

#include "analysis/Analyzer.h"
#include "analysis/ElemCtrl.h"
#include "display/ImgDispA.h"
#include "imagestack/TiffData.h"
#include "mainwindow/Body.h"
#include "mainwindow/StartOptions.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOption>
#include <QTest>
#include <QToolBox>
#include <QTranslator>

namespace {

// The interface language of one row, taken back when the row ends.
struct Language {
    QTranslator t;
    bool installed = false;
    explicit Language(bool japanese)
    {
        StartOptions o;
        o.noTranslation = !japanese;
        installed = installTranslation(t, o);
    }
    ~Language() { QCoreApplication::removeTranslator(&t); }
};

// Whether w lies whole inside every widget it is in, up to the form.
bool unclipped(const QWidget* w, const QWidget* form)
{
    QRect r = w->rect();
    for (const QWidget* c = w; c != form; c = c->parentWidget()) {
        r.translate(c->pos());
        if (!c->parentWidget()->rect().contains(r))
            return false;
    }
    return true;
}

// The width a button's text needs beside what the button itself draws.
bool textFits(const QAbstractButton* b)
{
    if (b->metaObject() == &QPushButton::staticMetaObject) {
        QStyleOptionButton opt;
        opt.initFrom(b);
        const QRect room = b->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, b);
        return room.width() >= b->fontMetrics().size(Qt::TextShowMnemonic, b->text()).width();
    }
    return b->width() >= b->sizeHint().width();
}

// A page title is drawn inside the tab's contents less 4 pixels before the
// text and 8 after it, and elided when it needs more.
bool titleFits(const QToolBox* box, const QAbstractButton* title, bool current)
{
    QStyleOptionToolBox opt;
    opt.initFrom(title);
    opt.text = title->text();
    QFont f = title->font();
    if (current && box->style()->styleHint(QStyle::SH_ToolBox_SelectedPageTitleBold, &opt, box))
        f.setBold(true);
    const QRect contents = title->style()->subElementRect(QStyle::SE_ToolBoxTabContents, &opt, title);
    return contents.width() - 12 >= QFontMetrics(f).horizontalAdvance(title->text());
}

// A line edit draws its text inside its contents less 2 pixels a side, and
// scrolls it when the cursor after it would not fit.
bool showsWhole(const QLineEdit* e)
{
    QStyleOptionFrame opt;
    opt.initFrom(e);
    opt.lineWidth = e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, e);
    const QRect contents = e->style()->subElementRect(QStyle::SE_LineEditContents, &opt, e) - e->textMargins();
    return contents.width() - 4 >= e->fontMetrics().horizontalAdvance(e->text()) + 1;
}

} // namespace

class TestFormWhole : public QObject {
    Q_OBJECT
private slots:
    void init() { loopback::resetConfig(); }
    void cleanup() { loopback::resetConfig(); }

    void wholeAtItsOwnSize_data()
    {
        QTest::addColumn<bool>("japanese");
        QTest::newRow("English") << false;
        QTest::newRow("Japanese") << true;
    }
    void wholeAtItsOwnSize()
    {
        QFETCH(bool, japanese);
        const Language language(japanese);
        QCOMPARE(language.installed, japanese);
        {
            Body body;
            QWidget* form = scrollreach::shownForm(body);
            QVERIFY(form);
            QToolBox* box = body.ToolBox;
            const QList<QAbstractButton*> titles =
                box->findChildren<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
            QCOMPARE(titles.size(), box->count());

            QStringList cut;
            for (int page = 0; page < box->count(); page++) {
                box->setCurrentIndex(page);
                QCoreApplication::processEvents(); // lays the page out
                for (QAbstractButton* b : form->findChildren<QAbstractButton*>()) {
                    if (!b->isVisibleTo(form) || b->text().isEmpty())
                        continue;
                    const bool fits = titles.contains(b) ? titleFits(box, b, titles.indexOf(b) == page) : textFits(b);
                    if (!fits || !unclipped(b, form))
                        cut << QStringLiteral("%1 \"%2\", %3 wide").arg(b->objectName(), b->text()).arg(b->width());
                }
                for (QScrollBar* bar : box->findChildren<QScrollBar*>()) {
                    if (bar->isVisibleTo(form))
                        cut << QStringLiteral("a scroll bar on page %1").arg(box->itemText(page));
                }
                if (page == 0) {
                    const QDir shots(testreg::shotsDir());
                    const char* lang = japanese ? "ja" : "en";
                    box->grab().save(shots.filePath(QStringLiteral("toolbox-%1.png").arg(lang)));
                    form->grab().save(shots.filePath(QStringLiteral("form-%1.png").arg(lang)));
                }
            }
            // The image column gives the tool box its room, not the slider's.
            if (body.SeekBar->width() < body.SeekBar->sizeHint().width())
                cut << QStringLiteral("SeekBar is %1 wide").arg(body.SeekBar->width());
            cut.removeDuplicates(); // alike on every page
            QVERIFY2(cut.isEmpty(), qPrintable(cut.join(u'\n')));
        }
    }

    void fourDigitsAtItsOwnSize_data()
    {
        QTest::addColumn<bool>("japanese");
        QTest::addColumn<QString>("number");
        QTest::newRow("English 1024") << false << "1024";
        QTest::newRow("English 8888") << false << "8888";
        QTest::newRow("Japanese 1024") << true << "1024";
        QTest::newRow("Japanese 8888") << true << "8888";
    }
    void fourDigitsAtItsOwnSize()
    {
        QFETCH(bool, japanese);
        QFETCH(QString, number);
        const Language language(japanese);
        QCOMPARE(language.installed, japanese);
        {
            Body body;
            QVERIFY(scrollreach::shownForm(body));
            QStringList cut;
            for (QLineEdit* e : {body.vHWidth_, body.vVWidth_, body.aHWidth_, body.aVWidth_, body.ImgNo}) {
                e->setText(number);
                if (!showsWhole(e))
                    cut << QStringLiteral("%1, %2 wide").arg(e->objectName()).arg(e->width());
            }
            QVERIFY2(cut.isEmpty(), qPrintable(cut.join(u'\n')));
            QCOMPARE(body.dispA->size(), QSize(813, 600));
        }
    }

    void elementEdgeAtItsOwnSize_data()
    {
        QTest::addColumn<bool>("japanese");
        QTest::addColumn<QString>("elements");
        QTest::newRow("English Cu Ni") << false << "Cu Ni";
        QTest::newRow("English U") << false << "U";
        QTest::newRow("Japanese Cu Ni") << true << "Cu Ni";
        QTest::newRow("Japanese U") << true << "U";
    }
    void elementEdgeAtItsOwnSize()
    {
        QFETCH(bool, japanese);
        QFETCH(QString, elements);
        const Language language(japanese);
        QCOMPARE(language.installed, japanese);
        {
            Body body;
            Analyzer* a = body.analyzer;
            a->setTargetElements(elements);
            a->show();
            a->resize(1446, a->height());
            QVERIFY(QTest::qWaitForWindowExposed(a));
            QCoreApplication::processEvents(); // lays the rows out
            QStringList cut;
            for (const ElemCtrl* row : a->elemUnit.elems) {
                if (row->Eng->text().toDouble() < 8000 || !showsWhole(row->Eng))
                    cut << QStringLiteral("%1 \"%2\", %3 wide").arg(row->Name->text(), row->Eng->text())
                               .arg(row->Eng->width());
            }
            QCOMPARE(a->elemUnit.elems.size(), elements.count(u' ') + 1);
            QVERIFY2(cut.isEmpty(), qPrintable(cut.join(u'\n')));
            a->grab().save(QDir(testreg::shotsDir())
                               .filePath(QStringLiteral("analyzer-elements-%1.png").arg(japanese ? "ja" : "en")));
        }
    }

    // The display keeps the size it had in the designed window in English
    // before the tool box asked for its room, so a batch's default view of the
    // demo's 96 x 64 field, and the picture it saves, are alike in both
    // languages and as before.
    void displayAtItsOwnSize_data()
    {
        QTest::addColumn<bool>("japanese");
        QTest::addColumn<QSize>("display");
        QTest::addColumn<QSize>("picture");
        QTest::newRow("English") << false << QSize(813, 600) << QSize(88, 64);
        QTest::newRow("Japanese") << true << QSize(813, 600) << QSize(88, 64);
    }
    void displayAtItsOwnSize()
    {
        QFETCH(bool, japanese);
        const Language language(japanese);
        QCOMPARE(language.installed, japanese);
        {
            const InTempDir dir;
            std::unique_ptr<Body> body = craft::bodyWithStack(96, 64, 1, [](int x, int y, int) { return x + y; });
            body->i1Frames.first()->cBar = body->CBar;
            body->dispA->setImageData(body->i1Frames.first());
            QVERIFY(scrollreach::shownForm(*body));
            QTEST(body->dispA->size(), "display");
            body->execCmdSlot(CmdLine(QStringLiteral("scale_reset")), false);
            body->execCmdSlot(CmdLine(QStringLiteral("save_image shown")), false);
            QTEST(QImage(QStringLiteral("shown.png")).size(), "picture");
        }
    }
};

CORVELLINE_TEST(TestFormWhole)
#include "tst_formwhole.moc"
