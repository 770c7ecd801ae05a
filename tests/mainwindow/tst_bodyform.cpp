#include "support/TestRegistry.h"

#include "mainwindow/BodyForm.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QTest>
#include <QToolBox>

namespace {
// The form's object names as the window's documentation lists them.
const QStringList formNames = QStringLiteral(
    "actionSave_Img_Data actionSave_Proc_Data actionDeGlitch actionExtra centralwidget "
    "gridLayout frame_11 gridLayout_17 VCross frame_6 gridLayout_8 CBar CBarAll frame_10 "
    "gridLayout_18 HCross frame_2 gridLayout_4 line vHWidth_ Next line_7 aVWidth_ aHWidth_ "
    "label_20 vVWidth_ resetMax_ label_7 label ZoomIn SeekBar ImgNo label_2 ResetScale Prev "
    "label_21 frame gridLayout_3 BatchCtrlB CheckVals frame_14 gridLayout_21 label_14 BoxSize "
    "frame_13 gridLayout_20 Value DarkValue EShiftOnTbl Value2 label_11 PosX PosLbl1 PosY "
    "line_6 line_5 label_4 EShiftFromStd QuadSurfFittedEShift label_3 label_6 label_22 frame_9 "
    "gridLayout_16 ToolBox page_3 gridLayout_9 SaveDataCfgB SaveFlatDark SaveImage SaveData "
    "page_5 gridLayout_11 SaveEachSpectrum widget gridLayout_14 SaveAsRaw SaveAsRawXAFS "
    "SaveAsNormalizedXAFS page_4 gridLayout_10 DeGlitch NormalizeEShift DeGlitchFactor "
    "ShowProcImg DeGlitchRatio page gridLayout_15 ExecFourierA frame_3 gridLayout_5 dispA "
    "frame001 gridLayout_2 frame_8 gridLayout_13 ShowImgProc ShowI0 ShowResAnalysis "
    "ShowAnalyzer2 OpenCalibCtrl ShowAnalyzer ShowData ShowXafsView label_5 ShowShiftMap "
    "ShowStatistics frame_7 gridLayout_12 line_3 line_4 SelectI1Files FluoType label_12 "
    "TotalI0ofI1XAFS line_2 SelectI0Files UseI0 ShowBG SelectBG line_10 DarkFileName label_13 "
    "SelectDark line_8 label_18 frame_4 gridLayout_6 frame_12 gridLayout_19 DPreE DPostS "
    "label_8 label_10 label_9 frame_5 gridLayout_7 label_15 SuggestingElm UseSuggestElm "
    "SuggestingEeV SuggestingEdge frame_15 gridLayout_22 ThJumpSigma label_17 label_16 "
    "TotalI0ofI0XAFS DarkExpTime ClearDark label_19 menubar"
    ).split(u' ');

struct Form {
    Form()
    {
        ui.setupUi(&window);
    }
    QMainWindow window;
    Ui::Body ui;
};

// Named objects below o, not descending into composite widgets of the program.
void collectNames(const QObject* o, QStringList& names)
{
    for (const QObject* c : o->children()) {
        const QString n = c->objectName();
        if (!n.isEmpty() && !n.startsWith(QLatin1String("qt_")) && !n.startsWith(u'_'))
            names << n;
        if (c->inherits("SelectDataFiles") || c->inherits("XafsFileSelect"))
            continue;
        collectNames(c, names);
    }
}
} // namespace

class TestBodyForm : public QObject {
    Q_OBJECT
    // Nothing here changes the form, so one serves every test.
    Form* f = nullptr;

private slots:
    void initTestCase() { f = new Form; }
    void cleanupTestCase() { delete f; }

    // Every listed name once, and no other named object, outside the inner
    // widgets of the program's own composite widgets.
    void everyNameOnce()
    {
        QCOMPARE(formNames.size(), 152);
        QStringList seen;
        collectNames(&f->window, seen);
        QStringList expected = formNames;
        expected.sort();
        seen.sort();
        QCOMPARE(seen, expected);
    }

    void texts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        const QList<QPair<const char*, const char*>> rows{
            {"vHWidth_", "10"}, {"vVWidth_", "10"}, {"aHWidth_", "10"}, {"aVWidth_", "10"},
            {"ImgNo", "0"}, {"Value", "0.0"}, {"PosX", "0"}, {"PosY", "0"}, {"Value2", "0"},
            {"DarkValue", "0.0"}, {"EShiftFromStd", "0.0"}, {"EShiftOnTbl", "0.0"},
            {"label_11", "   dE from Std.: "}, {"label_4", "    from Tbl.: "}, {"label_6", "Dark : "},
            {"BoxSize", ""}, {"DarkFileName", ""}, {"DarkExpTime", "50"}, {"SuggestingElm", "Cu"},
            {"SuggestingEeV", "0"}, {"DPreE", "-20"}, {"DPostS", "20"}, {"ThJumpSigma", "1"},
            {"DeGlitchFactor", "2.0"}, {"DeGlitchRatio", "0.1"}, {"ShowAnalyzer2", "Show Analyser2"},
            {"OpenCalibCtrl", "Show Cali. Ctrl."}, {"ExecFourierA", "Exec F.A."}, {"NormalizeEShift", "NES"},
            {"DeGlitch", "de Glitch"}, {"CheckVals", "Chk Vals"}, {"BatchCtrlB", "Batch Ctrl."},
            {"label_12", "Total I0 of I1"}, {"label_13", "Total I0 of I0"}, {"label", "Sum R."},
            {"label_21", "A. Step"}, {"label_7", "Img. No."}, {"label_5", "Img. Select :"},
            {"QuadSurfFittedEShift", "Q.S. Fitted"}, {"ShowShiftMap", "Eng. Shift"},
            {"SaveAsNormalizedXAFS", "Normalized XAFS"}, {"UseSuggestElm", "Suggest Elm."},
        };
        for (const auto& r : rows)
            QTest::newRow(r.first) << QString::fromLatin1(r.first) << QString::fromLatin1(r.second);
    }
    void texts()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QObject* o = f->window.findChild<QObject*>(name);
        QVERIFY(o);
        QCOMPARE(o->property("text").toString(), text);
    }

    void checkStates_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("checked");
        QTest::newRow("ShowData") << "ShowData" << true;
        QTest::newRow("ShowI0") << "ShowI0" << false;
        QTest::newRow("UseI0") << "UseI0" << true;
        QTest::newRow("FluoType") << "FluoType" << false;
        QTest::newRow("SaveAsNormalizedXAFS") << "SaveAsNormalizedXAFS" << true;
        QTest::newRow("SaveAsRaw") << "SaveAsRaw" << false;
        QTest::newRow("resetMax_") << "resetMax_" << true;
        QTest::newRow("UseSuggestElm") << "UseSuggestElm" << false;
        QTest::newRow("QuadSurfFittedEShift") << "QuadSurfFittedEShift" << false;
        QTest::newRow("ShowProcImg") << "ShowProcImg" << false;
    }
    void checkStates()
    {
        QFETCH(QString, name);
        auto* b = f->window.findChild<QAbstractButton*>(name);
        QVERIFY(b);
        QTEST(b->isChecked(), "checked");
    }

    // Line edits are right-aligned and vertically centred.
    void lineEditAlignment()
    {
        const QList<QLineEdit*> edits = f->window.findChildren<QLineEdit*>();
        QVERIFY(edits.size() >= 15);
        for (QLineEdit* e : edits) {
            if (!formNames.contains(e->objectName()))
                continue; // inner edits of the custom widgets
            QVERIFY2(e->alignment() & Qt::AlignRight, qPrintable(e->objectName()));
            QVERIFY2(e->alignment() & Qt::AlignVCenter, qPrintable(e->objectName()));
        }
    }

    void widthLimits_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("minW");
        QTest::addColumn<int>("maxW");
        const int none = QWIDGETSIZE_MAX;
        for (const char* n : {"vHWidth_", "vVWidth_", "aHWidth_", "aVWidth_", "DarkExpTime", "DPreE",
                              "DPostS", "ThJumpSigma"})
            QTest::newRow(n) << QString::fromLatin1(n) << 0 << 40;
        QTest::newRow("ImgNo") << "ImgNo" << 10 << 60;
        QTest::newRow("ZoomIn") << "ZoomIn" << 0 << 80;
        QTest::newRow("ClearDark") << "ClearDark" << 0 << 50;
        QTest::newRow("ShowBG") << "ShowBG" << 0 << 50;
        QTest::newRow("SuggestingElm") << "SuggestingElm" << 0 << 30;
        QTest::newRow("SuggestingEdge") << "SuggestingEdge" << 0 << 40;
        QTest::newRow("SuggestingEeV") << "SuggestingEeV" << 70 << none;
        QTest::newRow("CheckVals") << "CheckVals" << 0 << 10000;
        QTest::newRow("SaveDataCfgB") << "SaveDataCfgB" << 10 << none;
        QTest::newRow("NormalizeEShift") << "NormalizeEShift" << 30 << none;
        QTest::newRow("CBar") << "CBar" << 20 << none;
        QTest::newRow("CBarAll") << "CBarAll" << 0 << 18;
        QTest::newRow("dispA") << "dispA" << 600 << none;
        QTest::newRow("VCross") << "VCross" << 100 << none;
        QTest::newRow("HCross") << "HCross" << 100 << none;
    }
    void widthLimits()
    {
        QFETCH(QString, name);
        auto* w = f->window.findChild<QWidget*>(name);
        QVERIFY(w);
        QTEST(w->minimumWidth(), "minW");
        QTEST(w->maximumWidth(), "maxW");
    }

    void window()
    {
        QCOMPARE(f->window.windowTitle(), QStringLiteral("Corvelline"));
        QCOMPARE(f->window.size(), QSize(1011, 1024));
        QVERIFY(f->window.menuBar());
        QCOMPARE(f->window.menuBar()->objectName(), QStringLiteral("menubar"));
        QVERIFY(f->window.menuBar()->actions().isEmpty());
        QCOMPARE(f->ui.dispA->minimumHeight(), 600);
        QCOMPARE(f->ui.CBarAll->minimumHeight(), 30);
        QCOMPARE(f->ui.VCross->minimumHeight(), 100);
        QCOMPARE(f->ui.SelectI1Files->minimumHeight(), 10);
        QCOMPARE(f->ui.SelectI0Files->minimumHeight(), 10);
    }

    void toolBoxPages()
    {
        QCOMPARE(f->ui.ToolBox->currentIndex(), 0);
        QCOMPARE(f->ui.ToolBox->count(), 4);
        const QStringList titles{"Save Img/Data", "Save Proc. Data", "DeGlitch", "Extra"};
        const QStringList pages{"page_3", "page_5", "page_4", "page"};
        for (int i = 0; i < 4; i++) {
            QCOMPARE(f->ui.ToolBox->itemText(i), titles[i]);
            QCOMPARE(f->ui.ToolBox->widget(i)->objectName(), pages[i]);
        }
    }

    void actions()
    {
        QCOMPARE(f->ui.actionSave_Img_Data->text(), QStringLiteral("Save Img/Data"));
        QCOMPARE(f->ui.actionSave_Proc_Data->text(), QStringLiteral("Save Proc. Data"));
        QCOMPARE(f->ui.actionDeGlitch->text(), QStringLiteral("DeGlitch"));
        QCOMPARE(f->ui.actionExtra->text(), QStringLiteral("Extra"));
        QCOMPARE(f->ui.actionExtra->parent(), &f->window);
    }

    void imgNoReadOnly()
    {
        QVERIFY(f->ui.ImgNo->isReadOnly());
        QCOMPARE(f->ui.ImgNo->styleSheet(), QStringLiteral("background-color: rgb(255, 255, 222);"));
        QCOMPARE(f->ui.ImgNo->toolTip(), QStringLiteral("<html><head/><body><p>AAAAA</p></body></html>"));
    }

    void edges()
    {
        QCOMPARE(f->ui.SuggestingEdge->count(), 4);
        const QStringList edges{"K", "L1", "L2", "L3"};
        for (int i = 0; i < 4; i++)
            QCOMPARE(f->ui.SuggestingEdge->itemText(i), edges[i]);
        QCOMPARE(f->ui.SuggestingEdge->currentIndex(), 0);
    }

    void arrows()
    {
        QCOMPARE(f->ui.Prev->arrowType(), Qt::LeftArrow);
        QCOMPARE(f->ui.Next->arrowType(), Qt::RightArrow);
        QCOMPARE(f->ui.SeekBar->orientation(), Qt::Horizontal);
    }
};

CORVELLINE_TEST(TestBodyForm)
#include "tst_bodyform.moc"
