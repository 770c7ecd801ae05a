#include "support/TestRegistry.h"

#include "display/FDGroup.h"
#include "display/SelectImgDialog.h"
#include "display/XafsFileSelect.h"
#include "display/_FileDialog.h"
#include "foundation/Globals.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

// Exposes how many receivers the group hooked to a dialog's signal.
class CountingDialog : public _FileDialog {
public:
    int currentChangedReceivers() const { return receivers(SIGNAL(currentChanged(QString))); }
};

QString dirOf(const _FileDialog& d) { return d.directory().absolutePath(); }
// Where the dialog opens once shown.
QString openedIn(_FileDialog& d) { return d.dialog()->directory().absolutePath(); }

} // namespace

class TestFileWidgets : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;
    QString savedRoot;
    QString root; // canonical form of the temporary folder

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        root = QFileInfo(tmp.path()).canonicalFilePath();
        QVERIFY(QDir(root).mkpath(QStringLiteral("data/a")));
        QVERIFY(QDir(root).mkpath(QStringLiteral("data/b/deep")));
        for (const char* name : {"/data/a/ref.dat", "/data/b/deep/std.dat"}) {
            QFile f(root + QLatin1String(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QVERIFY(QFile::link(root + QStringLiteral("/data/b"), root + QStringLiteral("/linkB")));
        savedRoot = dataRoot;
        dataRoot = root + QStringLiteral("/data");
    }
    void cleanupTestCase() { dataRoot = savedRoot; }

    void dialogModes_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("fileMode");
        QTest::addColumn<QStringList>("filters");
        const QString any = QStringLiteral("Any Files (* *.*)");
        const QString img = QStringLiteral("CTTR Files, IMG Files, Tiff Files (*.dat *.img *.tif *.tiff)");
        QTest::newRow("plain") << 0 << int(QFileDialog::AnyFile) << QStringList{QStringLiteral("All Files (*)")};
        QTest::newRow("image, single") << 1 << int(QFileDialog::ExistingFile) << QStringList{img, any};
        QTest::newRow("xafs file") << 2 << int(QFileDialog::ExistingFile)
                                   << QStringList{QStringLiteral("XAFS Data File (*.dat)"), any};
    }
    void dialogModes()
    {
        QFETCH(int, kind);
        QFETCH(int, fileMode);
        QFETCH(QStringList, filters);
        const QString title = QStringLiteral("Pick one");
        XafsFileSelect select;
        std::unique_ptr<_FileDialog> d;
        switch (kind) {
        case 0: d.reset(new _FileDialog(title)); break;
        case 1: d.reset(new SelectImgDialog(true, title)); break;
        default: break;
        }
        _FileDialog* fd = d ? d.get() : select.fileDialog;
        QVERIFY(!fd->made()); // nothing to write Qt's dialog settings until shown
        fd->show();
        QFileDialog* dlg = fd->made();
        QVERIFY(dlg && dlg->isVisible());
        QVERIFY(dlg->testOption(QFileDialog::DontUseNativeDialog));
        QCOMPARE(dlg->directory().absolutePath(), dataRoot);
        QCOMPARE(int(dlg->fileMode()), fileMode);
        QCOMPARE(dlg->nameFilters(), filters);
    }

    // A dialog given no title says what it does, not the program's file name;
    // one given a title keeps it.
    void titles_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("save");
        QTest::addColumn<QString>("shown");
        QTest::newRow("untitled, open") << "" << false << "Open";
        QTest::newRow("untitled, save") << "" << true << "Save As";
        QTest::newRow("titled") << "I1 Data" << true << "I1 Data";
    }
    void titles()
    {
        QFETCH(QString, title);
        QFETCH(bool, save);
        _FileDialog d(title);
        if (save)
            d.setAcceptMode(QFileDialog::AcceptSave);
        QTEST(d.dialog()->windowTitle(), "shown");
    }

    void groupAddsOnce()
    {
        FDGroup g;
        CountingDialog d1, d2;
        g.addDialog(&d1);
        g.addDialog(&d1);
        g.addDialog(&d2);
        g.addDialog(nullptr);
        QCOMPARE(g.dialogs().size(), 2);
        QCOMPARE(d1.currentChangedReceivers(), 1);
        // a deleted dialog leaves the group
        auto* d3 = new _FileDialog;
        g.addDialog(d3);
        delete d3;
        QCOMPARE(g.dialogs().size(), 2);
        emit d1.currentChanged(root + QStringLiteral("/data/a/ref.dat"));
        QCOMPARE(dirOf(d2), root + QStringLiteral("/data/a"));
    }

    void groupFollowsFolder_data()
    {
        QTest::addColumn<bool>("entered");   // directoryEntered, else currentChanged
        QTest::addColumn<QString>("given");  // relative to the temporary root
        QTest::addColumn<QString>("target"); // where the others must be, "" = nowhere new
        QTest::newRow("file through link") << false << "linkB/deep/std.dat" << "data/b/deep";
        QTest::newRow("missing file") << false << "data/a/none.dat" << "";
        QTest::newRow("folder entered") << true << "data/a/../b" << "data/b";
    }
    void groupFollowsFolder()
    {
        QFETCH(bool, entered);
        QFETCH(QString, given);
        QFETCH(QString, target);
        FDGroup g;
        _FileDialog d1, d2;
        g.addDialog(&d1);
        g.addDialog(&d2);
        d1.dialog(); // the one in use; d2 is made when it opens
        const QString start = dirOf(d1);
        const QString path = root + QLatin1Char('/') + given;
        if (entered)
            emit d1.directoryEntered(path);
        else
            emit d1.currentChanged(path);
        QCOMPARE(openedIn(d2), target.isEmpty() ? start : root + QLatin1Char('/') + target);
        QCOMPARE(dirOf(d1), start); // the sender is left where it is
    }

    void selectLoad_data()
    {
        QTest::addColumn<QString>("given");  // relative to the temporary root
        QTest::addColumn<QString>("folder"); // expected dialog folder, "" = unchanged
        QTest::newRow("through link") << "linkB/deep/std.dat" << "data/b/deep";
        // never the filesystem root
        QTest::newRow("missing folder") << "nowhere/gone.dat" << "";
    }
    void selectLoad()
    {
        QFETCH(QString, given);
        QFETCH(QString, folder);
        for (int viaDialog = 0; viaDialog < 2; ++viaDialog) {
            XafsFileSelect s;
            QSignalSpy spy(&s, &XafsFileSelect::newFile);
            const QString before = dirOf(*s.fileDialog);
            const QString path = root + QLatin1Char('/') + given;
            if (viaDialog)
                emit s.fileDialog->fileSelected(path);
            else
                s.load(path);
            QVERIFY(s.hasFile);
            QCOMPARE(s.Selected->text(), path);
            QCOMPARE(spy.count(), 1);
            QCOMPARE(openedIn(*s.fileDialog), folder.isEmpty() ? before : root + QLatin1Char('/') + folder);
        }
    }

    void selectClear()
    {
        XafsFileSelect s;
        s.setUse(false);
        s.load(root + QStringLiteral("/data/a/ref.dat"));
        QSignalSpy cleared(&s, &XafsFileSelect::cleared);
        s.Clear->click();
        QCOMPARE(cleared.count(), 1);
        QCOMPARE(s.Selected->text(), QString());
        QVERIFY(!s.hasFile); // a cleared reference takes no part in fits
        QVERIFY(!s.Use->isChecked());
    }

    void selectStyles()
    {
        XafsFileSelect s;
        QCOMPARE(s.Selected->styleSheet(), QStringLiteral("background-color: rgb(253, 255, 225);"));
        s.fileNameValid(false);
        QCOMPARE(s.Selected->styleSheet(), QStringLiteral("background-color: rgb(255, 240, 240);"));
        s.fileNameValid(true);
        QCOMPARE(s.Selected->styleSheet(), QStringLiteral("background-color: rgb(255, 255, 224);"));
    }
};

CORVELLINE_TEST(TestFileWidgets)
#include "tst_filewidgets.moc"
