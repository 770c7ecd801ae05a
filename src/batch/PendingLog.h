#pragma once
// Log texts gathered between two updates of the batch log view. The view keeps
// its last maxLines lines only, so gathered text older than that is dropped
// here already: a flood of texts costs bounded memory, and the view ends up as
// if every text had gone in one by one.
#include <QString>

class PendingLog {
public:
    explicit PendingLog(int maxLines) : maxLines(maxLines) {}

    struct Batch {
        QString text;
        // The text alone fills the view: what the view holds is to be cut whole,
        // and the text's first line starts a line of its own.
        bool replacesView = false;
        qsizetype breaks = 0; // line feeds in text
    };

    void append(const QString& text);
    bool isEmpty() const { return text.isEmpty() && !replaces; }
    void clear();
    // Everything gathered, cut to the view's lines; empties the store.
    Batch take();

private:
    // Keeps the text behind the last keep line breaks.
    void cutToBreaks(qsizetype keep);

    int maxLines;
    QString text;
    qsizetype breaks = 0;
    bool replaces = false;
};
