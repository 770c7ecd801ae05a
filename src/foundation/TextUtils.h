#pragma once
// How a line of the program's text formats is cut into items, where a comment
// begins, how a line is continued and how a keyed line is recognised.
#include <QString>
#include <QStringList>

// 101 blanks, shared by blanks() and padRight().
extern const QString blankText;

// White space as the item splitter sees it (tab, LF, VT, FF, CR, blank).
bool isItemSpace(QChar c);

// Cuts the first item off text and returns the rest. A quoted item runs to the
// next double quote and loses its quotes; any other item runs to white space.
QString nextItem(const QString& text, QString& item);
// The same over a view: the rest is a view too, so a walk over all items of a
// long line copies each item once (linear in the line). A quote left open or
// one that ends an unquoted item is told in *fault when given (the first one
// only, as a reason without the line), else in the debug log.
QStringView nextItemView(QStringView text, QString& item, QString* fault = nullptr);
QStringList splitItems(const QString& line);

// The first '#' outside quotes (' and " share one in-quote flag) opens a comment.
QString splitComment(const QString& line, QString& comment);
QString stripComment(const QString& line);
QString cutComment(QString& line);
bool isBlankLine(const QString& line);

// True, and the trailing '\' cut off, when the line is continued.
bool cutLineContinuation(QString& line);

bool startsWithKey(const QString& line, const QString& key);
QStringList itemsAfterKey(const QString& line, const QString& key);
bool readKeyLine(const QString& line, QStringList& items, int minimum, const QString& key);

QString addThousandsCommas(const QString& number);

// Energies as they are written and set: general format with 10 significant
// digits, so that 11100.125 eV reads back as itself (6 digits gave 11100.1).
// The text goes to out (room for energyTextMax) without allocating; returns its length.
constexpr int energyTextMax = 32;
int formatEnergy(char* out, double v);
QString energyText(double v);

QString joinQuoted(const QStringList& list);
QString nextCsvItem(const QString& line, QString& item);
QString nextCsvItemLoose(const QString& line, QString& item);
QString csvField(const QString& text);
QString escapeQuotes(const QString& text);
QString quoted(const QString& text);
QString commaQuoted(const QString& text);

bool isNumber(const QString& text);
bool isInteger(const QString& text);
bool isDigits(const QString& text);

// The token after the first occurrence of key; returns the text after the token.
QString tokenAfterKey(const QString& text, const QString& key, QString& token,
                      const QString& separator);

QString blanks(int count);
QString padRight(const QString& text, int width);
