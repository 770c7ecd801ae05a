#pragma once
// Keeps a group of file dialogs in the folder last visited in any of them.
#include <QList>
#include <QObject>
#include <QString>

class _FileDialog;

class FDGroup : public QObject {
    Q_OBJECT
public:
    explicit FDGroup(QObject* parent = nullptr);

    void addDialog(_FileDialog* dialog);
    const QList<_FileDialog*>& dialogs() const { return dlgs; }

    // Canonical folder of an existing file or folder's parent; "" when the path
    // does not exist (QFileInfo::canonicalPath gives "." then, i.e. the cwd).
    static QString canonicalFolder(const QString& path);

public slots:
    void currentChanged(const QString& path);
    void directoryEntered(const QString& dir);

private:
    void moveAllTo(const QString& target);

    QList<_FileDialog*> dlgs; // not owned
};
