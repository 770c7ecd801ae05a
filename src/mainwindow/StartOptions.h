#pragma once
// What the command line and the configuration file decide at start-up, worked
// out from the configuration store alone so the rules can be checked without
// starting the program.
#include <QString>

class Cfg;
class QTranslator;

struct StartOptions {
    QString dataRoot;
    QString batchRoot;
    bool showAnalyzer2Button = false;
    bool noTranslation = false; // "-e"
    QString batchFile;          // "-b"
    bool batchGiven = false;    // "-b" was given, with a file name or without
    bool runBatch = false;      // "-x"
};

// The file to read: besideProgram unless "-c" is given, and "-config" over both.
QString configPathOf(Cfg& store, const QString& besideProgram);

// After the configuration file was read into store. current holds the values
// the settings have before (the start values); option words override file keys,
// file keys are looked up exactly as written.
StartOptions startOptionsOf(Cfg& store, const StartOptions& current);

// What the start does once the window tried to load the "-b" file.
struct BatchStart {
    QString told;      // the line naming a "-b" file that could not be read, or a "-b" without
                       // a file name; empty otherwise
    bool quit = false; // "-x" with such a file: the batch that would end the run was never read
};
// Exit status of a start that quits so.
const int unreadBatchStatus = 2;

BatchStart batchStartOf(const StartOptions& options, bool loaded);

// The compiled-in Japanese translation, installed unless "-e" was given; a
// resource that cannot be loaded leaves the interface in English.
bool installTranslation(QTranslator& translator, const StartOptions& options,
                        const QString& resource = QStringLiteral(":Corvelline_ja_JP"));
// Qt's own texts (file dialogs, standard buttons) in the same language, from
// the translations Qt is installed with; false, leaving them English, when
// there are none.
bool installQtTranslation(QTranslator& translator, const QString& name = QStringLiteral("qtbase_ja"));
