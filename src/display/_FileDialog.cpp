#include "display/_FileDialog.h"

#include "display/ScreenFit.h"
#include "foundation/Globals.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>

#include <utility>

namespace {
class RefusableDialog;
RefusableDialog* handingOver = nullptr; // the dialog whose accept runs

// A dialog whose accept may be refused by the receiver of the chosen file:
// it is shown again with the reason.
class RefusableDialog : public QFileDialog {
public:
    RefusableDialog(QWidget* parent) : QFileDialog(parent, QString(), QString(), QString())
    {
        setOption(QFileDialog::DontUseNativeDialog);
        said = new QLabel(this);
        said->setObjectName(QStringLiteral("refusal"));
        said->setStyleSheet(QStringLiteral("color: rgb(170, 0, 0); font-weight: bold;"));
        said->setWordWrap(true);
        said->setTextFormat(Qt::PlainText);
        said->hide();
        if (auto* grid = qobject_cast<QGridLayout*>(layout()))
            grid->addWidget(said, grid->rowCount(), 0, 1, -1);
    }

    void say(const QString& line)
    {
        said->setText(line);
        said->setVisible(!line.isEmpty());
    }
    QString saying() const { return said->text(); }

    void refuse(const QString& line)
    {
        say(line);
        if (accepting)
            refused = true; // the accept hides the dialog after the receivers ran
        else
            show();
    }

    void accept() override
    {
        accepting = true;
        refused = false;
        toldLine.clear();
        RefusableDialog* outer = std::exchange(handingOver, this);
        QFileDialog::accept();
        handingOver = outer;
        toldLine.clear();
        accepting = false;
        if (refused)
            show();
    }

    QString toldLine; // the last line told while the chosen file was handed over

private:
    QLabel* said = nullptr;
    bool accepting = false;
    bool refused = false;
};
} // namespace

_FileDialog::_FileDialog(const QString& title, QWidget* parent)
    : parentW(parent), title(title), dir(dataRoot)
{
}

_FileDialog::~_FileDialog() { delete dlg; }

QFileDialog* _FileDialog::dialog()
{
    if (dlg)
        return dlg;
    // Native dialogs ignore much of what the panels set and block the event loop.
    dlg = new RefusableDialog(parentW);
    // Without a title of its own it keeps Qt's, "Open" or "Save As", not the program's file name.
    if (!title.isEmpty())
        dlg->setWindowTitle(title);
    dlg->setDirectory(dir);
    dlg->setFileMode(fMode);
    dlg->setAcceptMode(aMode);
    if (!filters.isEmpty())
        dlg->setNameFilters(filters);
    screenfit::keepInside(*dlg);
    connect(dlg, &QFileDialog::fileSelected, this, &_FileDialog::fileSelected);
    connect(dlg, &QFileDialog::filesSelected, this, &_FileDialog::filesSelected);
    connect(dlg, &QFileDialog::currentChanged, this, &_FileDialog::currentChanged);
    connect(dlg, &QFileDialog::directoryEntered, this, &_FileDialog::directoryEntered);
    return dlg;
}

void _FileDialog::show()
{
    static_cast<RefusableDialog*>(dialog())->say(QString());
    dlg->show();
}

void _FileDialog::refuse(const QString& line) { static_cast<RefusableDialog*>(dialog())->refuse(line); }

void _FileDialog::saveWith(QObject* context, std::function<bool(const QString&)> save)
{
    connect(this, &_FileDialog::fileSelected, context, [this, save = std::move(save)](const QString& file) {
        if (save(file))
            return;
        const QString line = static_cast<RefusableDialog*>(dialog())->toldLine;
        refuse(line.isEmpty() ? tr("Nothing was saved to %1").arg(file) : line);
    });
}

void _FileDialog::told(const QString& line)
{
    if (handingOver)
        handingOver->toldLine = line;
}

QString _FileDialog::refusal() const
{
    return dlg ? static_cast<RefusableDialog*>(dlg.data())->saying() : QString();
}

void _FileDialog::setWindowTitle(const QString& t)
{
    title = t;
    if (dlg && !t.isEmpty())
        dlg->setWindowTitle(t);
}

void _FileDialog::setDirectory(const QString& d)
{
    if (dlg)
        dlg->setDirectory(d);
    else if (QFileInfo(d).isDir()) // as the dialog itself: no such folder, no move
        dir = d;
}

QDir _FileDialog::directory() const
{
    return dlg ? dlg->directory() : QDir(dir);
}

void _FileDialog::setFileMode(QFileDialog::FileMode mode)
{
    fMode = mode;
    if (dlg)
        dlg->setFileMode(mode);
}

void _FileDialog::setAcceptMode(QFileDialog::AcceptMode mode)
{
    aMode = mode;
    if (dlg)
        dlg->setAcceptMode(mode);
}

void _FileDialog::setNameFilters(const QStringList& f)
{
    filters = f;
    if (dlg)
        dlg->setNameFilters(f);
}
