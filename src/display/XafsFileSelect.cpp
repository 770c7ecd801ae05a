#include "display/XafsFileSelect.h"

#include "display/FDGroup.h"
#include "display/_FileDialog.h"

#include <QFileInfo>

XafsFileSelect::XafsFileSelect(QWidget* parent) : QFrame(parent)
{
    setupUi(this);
    hasFile = false;
    Use->hide();
    fileDialog = new _FileDialog(QString(), nullptr);
    fileDialog->setFileMode(QFileDialog::ExistingFile);
    fileDialog->setAcceptMode(QFileDialog::AcceptOpen);
    fileDialog->setNameFilters(QStringList() << QStringLiteral("XAFS Data File (*.dat)")
                                             << QStringLiteral("Any Files (* *.*)"));
    connect(Select, SIGNAL(clicked()), fileDialog, SLOT(show()));
    connect(fileDialog, SIGNAL(fileSelected(const QString&)), this, SLOT(fileSelected(const QString&)));
    connect(Use, &QCheckBox::toggled, this, [this](bool f) { emit changedUse(f); });
    connect(Clear, &QPushButton::clicked, this, &XafsFileSelect::clear);
}

XafsFileSelect::~XafsFileSelect() { delete fileDialog; }

void XafsFileSelect::load(const QString& fname)
{
    fileSelected(fname);
}

void XafsFileSelect::fileSelected(const QString& fname)
{
    // An empty name (a batch line without its parameter) is no file to fit with.
    hasFile = !fname.isEmpty();
    Selected->setText(fname);
    if (!fname.isEmpty()) {
        QString dir = FDGroup::canonicalFolder(fname);
        if (dir.isEmpty()) { // missing file: its folder, never the cwd or the root
            const QString abs = QFileInfo(fname).absolutePath();
            dir = QFileInfo(abs).canonicalFilePath();
            if (dir.isEmpty())
                dir = abs;
        }
        fileDialog->setDirectory(dir);
    }
    emit newFile(fname);
}

void XafsFileSelect::fileNameValid(bool f)
{
    Selected->setStyleSheet(f ? QStringLiteral("background-color: rgb(255, 255, 224);")
                              : QStringLiteral("background-color: rgb(255, 240, 240);"));
}

void XafsFileSelect::clear()
{
    Selected->setText(QString());
    hasFile = false; // a cleared reference must not take part in fits
    emit cleared();
}

void XafsFileSelect::setUse(bool f) { Use->setChecked(f); }

void XafsFileSelect::showUse(bool f) { Use->setVisible(f); }

void XafsFileSelect::setMaxSelectBW(int max) { Select->setMaximumWidth(max); }

void XafsFileSelect::setMaxClearBW(int max) { Clear->setMaximumWidth(max); }
