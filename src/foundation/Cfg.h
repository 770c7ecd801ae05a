#pragma once
// Key/value store of the start-up configuration (command line and config
// files); the batch dispatcher keeps one more as its variable store.
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class Cfg {
public:
    // parseArgs, then (when readNow) reads the file named by the last of fileKeys
    // present, else defaultFileName.
    void init(int argc, char** argv, bool readNow, const QString& defaultFileName,
              const QStringList& fileKeys);
    void parseArgs(int argc, char** argv);
    void set(const QString& key, const QString& value, const QString& text,
             const QString& comment);
    bool readFile(const QString& path);
    // Lookup by the key as written (case counts).
    QString exactValue(const QString& key, const QString& defaultValue);
    // Lookup by the upper-cased key (any case matches).
    QString value(const QString& key, const QString& defaultValue);
    // Texts of every assignment of key (given upper-cased), in assignment order.
    QStringList allValues(const QString& key);
    void setAndAppend(const QString& key, const QString& value, const QString& text,
                      const QString& comment);
    void clear();

    const QStringList& keys() const { return keys_; }
    const QStringList& comments() const { return comments_; }
    const QStringList& upperKeys() const { return upperKeys_; }
    const QStringList& argWords() const { return argWords_; }
    const QString& fileName() const { return fileName_; }
    int historySize() const { return used_.size(); }
    const QStringList& historyKeys() const { return historyKeys_; }
    const QStringList& historyValues() const { return historyValues_; }
    const QStringList& historyTexts() const { return historyTexts_; }
    const QList<bool>& usedFlags() const { return used_; }

private:
    bool readFileIn(const QString& path, QStringList& chain);
    void markLatest(const QStringList& history, const QString& key);

    // Where each key stands in keys_ / upperKeys_: a file of many keys (a binary
    // read by mistake) must not cost a search of the list per line.
    QHash<QString, int> keyAt_;
    QHash<QString, int> upperKeyAt_;
    QStringList keys_;
    QStringList values_;
    QStringList texts_;
    QStringList comments_;
    QStringList upperKeys_;
    QStringList upperValues_;
    QStringList upperTexts_;
    QStringList upperComments_;
    QStringList historyKeys_;
    QStringList historyUpperKeys_;
    QStringList historyValues_;
    QStringList historyTexts_;
    QStringList historyComments_;
    QList<bool> used_;
    QStringList argWords_;
    QString fileName_;
};

// The program's one configuration store.
extern Cfg cfg;
