#include "foundation/Cfg.h"

#include "foundation/LineReader.h"
#include "foundation/TextUtils.h"
#include "foundation/WholeFile.h"

#include <QDebug>
#include <QFileInfo>

Cfg cfg;

namespace {
// Includes nest rarely more than a level or two; this only stops runaways that
// the cycle check cannot see (e.g. ever-new generated names).
const int maxIncludeDepth = 32;

// One key set: replace value and text in place, or append a new entry.
void assign(QHash<QString, int>& at, QStringList& keys, QStringList& values, QStringList& texts,
            QStringList& comments, const QString& key, const QString& value, const QString& text,
            const QString& comment)
{
    const int i = at.value(key, -1);
    if (i >= 0) {
        values[i] = value;
        texts[i] = text;
        return;
    }
    at.insert(key, int(keys.size()));
    keys << key;
    values << value;
    texts << text;
    comments << comment;
}

void logCantOpen(const QString& path, const QString& why = QString())
{
    QString msg = QStringLiteral("Can't open config file : ") + path;
    if (!why.isEmpty())
        msg += QStringLiteral(" (") + why + u')';
    qDebug().noquote() << msg;
}
} // namespace

void Cfg::init(int argc, char** argv, bool readNow, const QString& defaultFileName,
               const QStringList& fileKeys)
{
    parseArgs(argc, argv);
    fileName_.clear();
    QString candidate = defaultFileName;
    for (const QString& k : fileKeys)
        candidate = value(k, candidate);
    if (readNow && !candidate.isEmpty())
        readFile(candidate);
}

void Cfg::parseArgs(int argc, char** argv)
{
    if (argc < 1 || !argv)
        return;
    const auto word = [argv](int i) { return QString::fromUtf8(argv[i]); };
    const auto isOption = [argv](int i) { return argv[i][0] == '-'; };
    int i = 0;
    while (i < argc && argv[i]) {
        argWords_ << word(i);
        if (!isOption(i)) {
            i++;
            continue;
        }
        const QString key = word(i);
        QStringList words;
        int j = i + 1;
        while (j < argc && argv[j] && !isOption(j))
            words << word(j++);
        set(key, words.isEmpty() ? QString() : words.first(), words.join(u' '), QString());
        i = j;
    }
}

void Cfg::set(const QString& key, const QString& value, const QString& text,
              const QString& comment)
{
    const QString upper = key.toUpper();
    assign(keyAt_, keys_, values_, texts_, comments_, key, value, text, comment);
    assign(upperKeyAt_, upperKeys_, upperValues_, upperTexts_, upperComments_, upper, value, text,
           comment);
    historyKeys_ << key;
    historyUpperKeys_ << upper;
    historyValues_ << value;
    historyTexts_ << text;
    historyComments_ << comment;
    used_ << false;
}

bool Cfg::readFile(const QString& path)
{
    QStringList chain;
    return readFileIn(path, chain);
}

bool Cfg::readFileIn(const QString& path, QStringList& chain)
{
    fileName_ = path;
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (!canonical.isEmpty() && chain.contains(canonical)) {
        logCantOpen(path, QStringLiteral("already being read"));
        fileName_.clear();
        return false;
    }
    if (chain.size() >= maxIncludeDepth) {
        logCantOpen(path, QStringLiteral("includes nested too deep"));
        fileName_.clear();
        return false;
    }
    LineReader in;
    if (!in.open(path)) {
        logCantOpen(path);
        fileName_.clear();
        return false;
    }
    chain << (canonical.isEmpty() ? path : canonical);
    QString line;
    while (in.readLine(line)) {
        line = stripComment(line);
        if (isBlankLine(line))
            continue;
        QString key, value;
        const QString text = nextItem(line, key);
        nextItem(text, value);
        if (key.toUpper() == QLatin1String("INCLUDE"))
            readFileIn(value, chain);
        else
            set(key, value, text, QString());
    }
    chain.removeLast();
    // What came before an overlong line stays; the file counts as not read.
    return !in.refused();
}

// Marks the latest assignment of key: the one whose value a lookup returns.
void Cfg::markLatest(const QStringList& history, const QString& key)
{
    const int i = history.lastIndexOf(key);
    if (i >= 0)
        used_[i] = true;
}

QString Cfg::exactValue(const QString& key, const QString& defaultValue)
{
    const int i = keyAt_.value(key, -1);
    if (i < 0)
        return defaultValue;
    markLatest(historyKeys_, key);
    return values_[i];
}

QString Cfg::value(const QString& key, const QString& defaultValue)
{
    const QString upper = key.toUpper();
    const int i = upperKeyAt_.value(upper, -1);
    if (i < 0)
        return defaultValue;
    markLatest(historyUpperKeys_, upper);
    return upperValues_[i];
}

QStringList Cfg::allValues(const QString& key)
{
    QStringList res;
    for (int i = 0; i < historyUpperKeys_.size(); i++) {
        if (historyUpperKeys_[i] == key) {
            res << historyTexts_[i];
            used_[i] = true;
        }
    }
    return res;
}

void Cfg::setAndAppend(const QString& key, const QString& value, const QString& text,
                       const QString& comment)
{
    set(key, value, text, comment);
    if (fileName_.isEmpty())
        return;
    appendWhole(fileName_, QStringLiteral("%1\t%2 %3\t # %4\n").arg(key, value, text, comment).toUtf8());
}

void Cfg::clear()
{
    *this = Cfg();
}
