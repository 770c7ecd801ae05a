#include "WiredBatchWindow.h"
#include "support/TestRegistry.h"

#include "batch/BatchCtrl.h"
#include "batch/BatchDispatcher.h"
#include "foundation/Globals.h"
#include "foundation/LineReader.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

namespace {
QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return f.readAll();
}

bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The one visible file dialog with the given accept mode, once a button opened it.
QFileDialog* shownDialog(QFileDialog::AcceptMode mode)
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* d = qobject_cast<QFileDialog*>(w);
        if (d && d->isVisible() && d->acceptMode() == mode)
            return d;
    }
    return nullptr;
}

void quietDebug(QtMsgType type, const QMessageLogContext&, const QString& msg)
{
    if (type != QtDebugMsg)
        fprintf(stderr, "%s\n", qPrintable(msg));
}
} // namespace

class TestBatchCtrl : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString savedBatchRoot;
    QtMessageHandler previous = nullptr;

    QString path(const QString& name) const { return dir.filePath(name); }

private slots:
    void init()
    {
        savedBatchRoot = batchRoot;
        batchRoot = dir.path();
        previous = qInstallMessageHandler(quietDebug);
    }
    void cleanup()
    {
        qInstallMessageHandler(previous);
        batchRoot = savedBatchRoot;
    }

    void exec_data()
    {
        QTest::addColumn<QString>("editor");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("one line") << "save_image a" << QStringList{"save_image a", ":end"};
        QTest::newRow("final line feed gives an empty line")
            << "save_image a\n" << QStringList{"save_image a", "", ":end"};
    }
    void exec()
    {
        QFETCH(QString, editor);
        QFETCH(QStringList, lines);
        BatchCtrl w;
        QSignalSpy spy(&w, &BatchCtrl::doDispatchCmds);
        w.BatchCmds->setPlainText(editor);
        QTest::mouseClick(w.Exec, Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toStringList(), lines);
    }

    void load_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("editor");
        QTest::newRow("last line without line end") << true << QByteArray("a\nb") << "a\nb\n";
        QTest::newRow("CR LF line ends") << true << QByteArray("a\r\nb\r\n") << "a\nb\n";
        QTest::newRow("empty file") << true << QByteArray() << "";
        QTest::newRow("UTF-8") << true << QByteArray("save_image \xc3\xa9t\xc3\xa9.png\n")
                               << QString::fromUtf8("save_image \xc3\xa9t\xc3\xa9.png\n");
        QTest::newRow("missing file keeps the editor") << false << QByteArray() << "old text";
        QTest::newRow("line over the cap keeps the editor")
            << true << QByteArray("save_image a\n") + QByteArray(LineReader::maxLineLength + 1, 'x') << "old text";
    }
    void load()
    {
        QFETCH(bool, exists);
        QFETCH(QByteArray, file);
        QFETCH(QString, editor);
        const QString name = path(exists ? QStringLiteral("load.bat") : QStringLiteral("no such.bat"));
        if (exists)
            QVERIFY(writeAll(name, file));
        BatchCtrl w;
        w.BatchCmds->setPlainText(QStringLiteral("old text"));
        w.setBatchFile(name);
        QCOMPARE(w.BatchCmds->toPlainText(), editor);
        // The start tells a file the window did not take.
        QCOMPARE(w.load(name), editor != QLatin1String("old text"));
    }

    // A loaded file saved again keeps its line ends (the last gains one).
    void saveKeepsTheLoadedLineEnds_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("CR LF") << QByteArray("a\r\n:echo b\r\n") << QByteArray("a\r\n:echo b\r\n");
        QTest::newRow("CR LF, last line without") << QByteArray("a\r\nb") << QByteArray("a\r\nb\r\n");
        QTest::newRow("LF") << QByteArray("a\n:echo b\n") << QByteArray("a\n:echo b\n");
    }
    void saveKeepsTheLoadedLineEnds()
    {
        QFETCH(QByteArray, file);
        const QString name = path(QStringLiteral("ends.bat"));
        QVERIFY(writeAll(name, file));
        BatchCtrl w;
        QVERIFY(w.load(name));
        const QString again = path(QStringLiteral("again.bat"));
        w.save(again);
        QTEST(readAll(again), "saved");
    }

    void saveReplacesOldContent()
    {
        const QString name = path(QStringLiteral("save.bat"));
        QVERIFY(writeAll(name, QByteArray("a much longer earlier content that must be replaced\n")));
        BatchCtrl w;
        w.BatchCmds->setPlainText(QStringLiteral("a\nb"));
        w.save(name);
        QCOMPARE(readAll(name), QByteArray("a\nb"));
        const QString nowhere = path(QStringLiteral("missing/dir/x.bat"));
        w.save(nowhere);
        QVERIFY(!QFile::exists(nowhere));
    }

    void buttonsSaveAndLoad()
    {
        BatchCtrl w;
        w.show();
        w.BatchCmds->setPlainText(QStringLiteral("save_image a\n:echo b"));
        QTest::mouseClick(w.Save, Qt::LeftButton);
        QFileDialog* save = shownDialog(QFileDialog::AcceptSave);
        QVERIFY(save);
        QCOMPARE(save->directory().absolutePath(), QDir(dir.path()).absolutePath());
        save->hide();
        const QString name = path(QStringLiteral("dialog.bat"));
        emit save->fileSelected(name);
        QCOMPARE(readAll(name), QByteArray("save_image a\n:echo b"));

        w.BatchCmds->clear();
        QTest::mouseClick(w.Load, Qt::LeftButton);
        QFileDialog* load = shownDialog(QFileDialog::AcceptOpen);
        QVERIFY(load);
        load->hide();
        emit load->fileSelected(name);
        QCOMPARE(w.BatchCmds->toPlainText(), QStringLiteral("save_image a\n:echo b\n"));
    }

    // A null text stands for Clear Log.
    void logRunsOn_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("shown");
        QTest::newRow("texts run on; end ends its line")
            << QStringList{"echo x", "end", "save_image : a\n", "end"} << "echo xend\nsave_image : a\nend";
        QTest::newRow("a whole line after end") << QStringList{"end", "opening key file [k]\n"}
                                                << "end\nopening key file [k]\n";
        QTest::newRow("end after end") << QStringList{"end", "end"} << "end\nend";
        QTest::newRow("cleared after end") << QStringList{"end", QString(), "seek_image : 5\n"} << "seek_image : 5\n";
    }
    void logRunsOn()
    {
        QFETCH(QStringList, texts);
        BatchCtrl w;
        for (const QString& m : texts) {
            // A click into the log in between must not move where texts go.
            w.BatchLogs->moveCursor(QTextCursor::Start);
            if (m.isNull())
                w.clearLog();
            else
                w.Log(m);
            w.flushLog();
        }
        QTEST(w.BatchLogs->toPlainText(), "shown");
    }

    // One long message and one more: the first lines go, the last stay whole.
    void logKeepsTheLastLines()
    {
        BatchCtrl w;
        const int n = BatchCtrl::maxLogLines + 5;
        QString text;
        for (int i = 1; i <= n; ++i)
            text += QStringLiteral("line %1\n").arg(i);
        w.Log(text);
        w.Log(QStringLiteral("tail"));
        QTextDocument* doc = w.BatchLogs->document();
        QTRY_COMPARE(doc->lastBlock().text(), QStringLiteral("tail"));
        QCOMPARE(doc->blockCount(), BatchCtrl::maxLogLines);
        // n lines and "tail" make n + 1 blocks: the first six went.
        QCOMPARE(doc->firstBlock().text(), QStringLiteral("line 7"));
        QCOMPARE(doc->lastBlock().previous().text(), QStringLiteral("line %1").arg(n));
        QCOMPARE(doc->lastBlock().text(), QStringLiteral("tail"));
    }

    void commandErrorIsSimplifiedAndCutAtTheHash()
    {
        BatchCtrl w;
        w.Log(QStringLiteral("before "));
        w.showCmdErr(CmdLine(QStringLiteral("  foo\t a   b # why")));
        QTRY_COMPARE(w.BatchLogs->toPlainText(), QStringLiteral("before Err: foo a b \n"));
    }

    void execRunsOnTheDispatcher()
    {
        WiredBatchWindow b;
        b.exec(QStringLiteral(":for i $i$ 1 2\nsave_image a$i$.png\n:next i\n:echo done"));
        QTRY_VERIFY_WITH_TIMEOUT(b.w.BatchLogs->toPlainText().endsWith(QStringLiteral("end")), 20000);
        QCOMPARE(b.w.BatchLogs->toPlainText(),
                 QStringLiteral("for i : $i$ = 1\nsave_image : a1.png\nnext i : $i$ = 2\n"
                                "save_image : a2.png\nnext i : $i$ = 2\necho done\nend"));
        QCOMPARE(b.rig.responder.sentTexts(), (QStringList{"save_image a1.png", "save_image a2.png"}));
    }
};

CORVELLINE_TEST(TestBatchCtrl)
#include "tst_batchctrl.moc"
