#include "support/TestRegistry.h"

#include "display/EShiftMapDialog.h"
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

// Exposes how many receivers the group hooked to a dialog's signals.
class CountingDialog : public _FileDialog {
public:
    int currentChangedReceivers() const { return receivers(SIGNAL(currentChanged(QString))); }
    int directoryEnteredReceivers() const { return receivers(SIGNAL(directoryEntered(QString))); }
};

void touch(const QString& path)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("# E mu\n1 2\n");
}

QString dirOf(const QFileDialog& d) { return d.directory().absolutePath(); }

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
        touch(root + QStringLiteral("/data/a/ref.dat"));
        touch(root + QStringLiteral("/data/b/deep/std.dat"));
        QVERIFY(QFile::link(root + QStringLiteral("/data/b"), root + QStringLiteral("/linkB")));
        savedRoot = dataRoot;
        dataRoot = root + QStringLiteral("/data");
    }
    void cleanupTestCase() { dataRoot = savedRoot; }

    void dialogModes_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("fileMode");
        QTest::addColumn<int>("acceptMode");
        QTest::addColumn<QStringList>("filters");
        const QString any = QStringLiteral("Any Files (* *.*)");
        const QString img = QStringLiteral("CTTR Files, IMG Files, Tiff Files (*.dat *.img *.tif *.tiff)");
        // A plain dialog keeps QFileDialog's defaults: any file, open, all files.
        QTest::newRow("plain") << 0 << int(QFileDialog::AnyFile) << int(QFileDialog::AcceptOpen)
                               << QStringList{QStringLiteral("All Files (*)")};
        QTest::newRow("image, single") << 1 << int(QFileDialog::ExistingFile)
                                       << int(QFileDialog::AcceptOpen) << QStringList{img, any};
        QTest::newRow("image, several") << 2 << int(QFileDialog::ExistingFiles)
                                        << int(QFileDialog::AcceptOpen) << QStringList{img, any};
        QTest::newRow("shift map") << 3 << int(QFileDialog::ExistingFile) << int(QFileDialog::AcceptOpen)
                                   << QStringList{QStringLiteral("Energy Shift Map File (*.emp)"), any};
    }
    void dialogModes()
    {
        QFETCH(int, kind);
        QFETCH(int, fileMode);
        QFETCH(int, acceptMode);
        QFETCH(QStringList, filters);
        const QString title = QStringLiteral("Pick one");
        std::unique_ptr<QFileDialog> d;
        switch (kind) {
        case 0: d.reset(new _FileDialog(title)); break;
        case 1: d.reset(new SelectImgDialog(true, title)); break;
        case 2: d.reset(new SelectImgDialog(false, title)); break;
        default: d.reset(new EShiftMapDialog(title)); break;
        }
        QVERIFY(d->testOption(QFileDialog::DontUseNativeDialog));
        QCOMPARE(d->windowTitle(), title);
        QCOMPARE(dirOf(*d), dataRoot);
        QCOMPARE(int(d->fileMode()), fileMode);
        QCOMPARE(int(d->acceptMode()), acceptMode);
        QCOMPARE(d->nameFilters(), filters);
        QVERIFY(d->parent() == nullptr);
    }

    void dialogFollowsDataRoot()
    {
        const QString saved = dataRoot;
        dataRoot = root + QStringLiteral("/data/a");
        _FileDialog d;
        dataRoot = saved;
        QCOMPARE(dirOf(d), root + QStringLiteral("/data/a"));
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
        QCOMPARE(d1.directoryEnteredReceivers(), 1);
        QCOMPARE(d2.currentChangedReceivers(), 1);
    }

    void groupFollowsFolder_data()
    {
        QTest::addColumn<bool>("entered");  // directoryEntered, else currentChanged
        QTest::addColumn<QString>("given"); // relative to the temporary root
        QTest::addColumn<QString>("target"); // where the others must be, "" = nowhere new
        QTest::newRow("file picked") << false << "data/a/ref.dat" << "data/a";
        QTest::newRow("file through link") << false << "linkB/deep/std.dat" << "data/b/deep";
        QTest::newRow("file with dot-dot") << false << "data/a/../b/deep/std.dat" << "data/b/deep";
        QTest::newRow("missing file") << false << "data/a/none.dat" << "";
        QTest::newRow("folder entered") << true << "data/b" << "data/b";
        QTest::newRow("folder with dot-dot") << true << "data/a/../b/deep" << "data/b/deep";
    }
    void groupFollowsFolder()
    {
        QFETCH(bool, entered);
        QFETCH(QString, given);
        QFETCH(QString, target);
        FDGroup g;
        _FileDialog d1, d2, d3;
        for (QFileDialog* d : {&d1, &d2, &d3})
            g.addDialog(d);
        const QString start = dirOf(d1);
        const QString path = root + QLatin1Char('/') + given;
        if (entered)
            emit d1.directoryEntered(path);
        else
            emit d1.currentChanged(path);
        const QString want = target.isEmpty() ? start : root + QLatin1Char('/') + target;
        QCOMPARE(dirOf(d2), want);
        QCOMPARE(dirOf(d3), want);
        QCOMPARE(dirOf(d1), start); // the sender is left where it is
    }

    void groupForgetsDeletedDialog()
    {
        FDGroup g;
        _FileDialog d1;
        auto* d2 = new _FileDialog;
        g.addDialog(&d1);
        g.addDialog(d2);
        delete d2;
        QCOMPARE(g.dialogs().size(), 1);
        emit d1.currentChanged(root + QStringLiteral("/data/a/ref.dat")); // must not touch d2
        QCOMPARE(dirOf(d1), dataRoot);
    }

    void selectStartsEmpty()
    {
        XafsFileSelect s;
        QVERIFY(!s.hasFile);
        QVERIFY(s.Use->isChecked());
        QVERIFY(s.Use->isHidden());
        QVERIFY(s.Selected->isReadOnly());
        QCOMPARE(s.Selected->styleSheet(), QStringLiteral("background-color: rgb(253, 255, 225);"));
        QCOMPARE(s.Select->text(), QStringLiteral("Select"));
        QCOMPARE(s.Clear->text(), QStringLiteral("Clear"));
        QCOMPARE(s.windowTitle(), QStringLiteral("XAFS File Select"));
        QVERIFY(s.fileDialog);
        QVERIFY(s.fileDialog->parent() == nullptr);
        QCOMPARE(int(s.fileDialog->fileMode()), int(QFileDialog::ExistingFile));
        QCOMPARE(s.fileDialog->nameFilters(),
                 (QStringList{QStringLiteral("XAFS Data File (*.dat)"), QStringLiteral("Any Files (* *.*)")}));
        QCOMPARE(dirOf(*s.fileDialog), dataRoot);
    }

    void selectLoad_data()
    {
        QTest::addColumn<QString>("given");  // relative to the temporary root
        QTest::addColumn<QString>("folder"); // expected dialog folder, "" = unchanged
        QTest::newRow("plain") << "data/a/ref.dat" << "data/a";
        QTest::newRow("through link") << "linkB/deep/std.dat" << "data/b/deep";
        QTest::newRow("dot-dot") << "data/a/../b/deep/std.dat" << "data/b/deep";
        QTest::newRow("missing file, folder there") << "data/a/gone.dat" << "data/a";
        QTest::newRow("missing file, linked folder") << "linkB/deep/gone.dat" << "data/b/deep";
        // A folder that cannot be entered leaves the dialog where it was,
        // which is never the filesystem root.
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
            QCOMPARE(spy.at(0).at(0).toString(), path);
            QCOMPARE(dirOf(*s.fileDialog), folder.isEmpty() ? before : root + QLatin1Char('/') + folder);
            QVERIFY(dirOf(*s.fileDialog) != QStringLiteral("/"));
        }
    }

    void selectLoadEmptyName()
    {
        XafsFileSelect s;
        QSignalSpy spy(&s, &XafsFileSelect::newFile);
        s.load(root + QStringLiteral("/data/a/ref.dat"));
        s.load(QString());
        QVERIFY(!s.hasFile);
        QCOMPARE(s.Selected->text(), QString());
        QCOMPARE(spy.count(), 2);
        QCOMPARE(dirOf(*s.fileDialog), root + QStringLiteral("/data/a"));
    }

    void selectClear_data()
    {
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<bool>("byButton");
        QTest::newRow("loaded, button") << true << true;
        QTest::newRow("loaded, call") << true << false;
        QTest::newRow("empty, button") << false << true;
        QTest::newRow("empty, call") << false << false;
    }
    void selectClear()
    {
        QFETCH(bool, loaded);
        QFETCH(bool, byButton);
        XafsFileSelect s;
        s.setUse(false);
        if (loaded)
            s.load(root + QStringLiteral("/data/a/ref.dat"));
        QSignalSpy cleared(&s, &XafsFileSelect::cleared);
        QSignalSpy files(&s, &XafsFileSelect::newFile);
        if (byButton)
            s.Clear->click();
        else
            s.clear();
        QCOMPARE(cleared.count(), 1);
        QCOMPARE(files.count(), 0);
        QCOMPARE(s.Selected->text(), QString());
        QVERIFY(!s.hasFile);
        QVERIFY(!s.Use->isChecked());
    }

    void selectStyles_data()
    {
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("style");
        QTest::newRow("read") << true << "background-color: rgb(255, 255, 224);";
        QTest::newRow("unreadable") << false << "background-color: rgb(255, 240, 240);";
    }
    void selectStyles()
    {
        QFETCH(bool, valid);
        QFETCH(QString, style);
        XafsFileSelect s;
        s.fileNameValid(!valid);
        s.fileNameValid(valid);
        QCOMPARE(s.Selected->styleSheet(), style);
    }

    void selectUseBox()
    {
        XafsFileSelect s;
        QSignalSpy spy(&s, &XafsFileSelect::changedUse);
        s.setUse(false);
        s.setUse(false);
        s.Use->click();
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(0).at(0).toBool(), false);
        QCOMPARE(spy.at(1).at(0).toBool(), true);
        s.showUse(true);
        QVERIFY(!s.Use->isHidden());
        s.showUse(false);
        QVERIFY(s.Use->isHidden());
    }

    void selectButtons()
    {
        XafsFileSelect s;
        s.setMaxSelectBW(40);
        s.setMaxClearBW(30);
        QCOMPARE(s.Select->maximumWidth(), 40);
        QCOMPARE(s.Clear->maximumWidth(), 30);
        QVERIFY(!s.fileDialog->isVisible());
        s.Select->click();
        QVERIFY(s.fileDialog->isVisible());
        s.fileDialog->hide();
    }
};

CORVELLINE_TEST(TestFileWidgets)
#include "tst_filewidgets.moc"
