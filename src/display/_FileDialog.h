#pragma once
// The program's file dialog: never the platform's own, opening in the data
// root. The QFileDialog itself is made when the dialog is first shown: Qt
// writes its dialog settings (the user's QtProject.conf, under a file lock)
// whenever a QFileDialog goes away, so a run that never opens one, such as an
// unattended batch, writes none and never waits on another run's lock.
#include <QDir>
#include <QFileDialog>
#include <QPointer>
#include <QStringList>

#include <functional>

class _FileDialog : public QObject {
    Q_OBJECT
public:
    explicit _FileDialog(const QString& title = QString(), QWidget* parent = nullptr);
    ~_FileDialog() override;

    // Kept until the dialog is made, then set on it.
    void setWindowTitle(const QString& title);
    QString windowTitle() const { return title; }
    void setDirectory(const QString& dir);
    QDir directory() const;
    void setFileMode(QFileDialog::FileMode mode);
    QFileDialog::FileMode fileMode() const { return fMode; }
    void setAcceptMode(QFileDialog::AcceptMode mode);
    QFileDialog::AcceptMode acceptMode() const { return aMode; }
    void setNameFilters(const QStringList& filters);
    QStringList nameFilters() const { return filters; }

    QFileDialog* dialog(); // made now when it was not yet
    QFileDialog* made() const { return dlg; }

    // Called by whoever took the chosen file and wrote nothing: the dialog
    // stays open (or opens again) and says why in its own message line.
    void refuse(const QString& line);
    // Hands each chosen file to save; one that writes nothing (false) is
    // refused with the line told while it was saving (told), else with
    // "Nothing was saved to <file>".
    void saveWith(QObject* context, std::function<bool(const QString&)> save);
    // A line just told to the user; kept by the dialog handing over its file, if any.
    static void told(const QString& line);
    // The dialog's message line; empty while nothing was refused since it was shown.
    QString refusal() const;

public slots:
    // Opens the dialog with no message left from before.
    void show();

signals:
    void fileSelected(const QString& file);
    void filesSelected(const QStringList& files);
    void currentChanged(const QString& path);
    void directoryEntered(const QString& dir);

private:
    QPointer<QWidget> parentW;
    QPointer<QFileDialog> dlg;
    QString title;
    QString dir;
    QFileDialog::FileMode fMode = QFileDialog::AnyFile;
    QFileDialog::AcceptMode aMode = QFileDialog::AcceptOpen;
    QStringList filters; // empty: the dialog's own
};
