#pragma once
// The background rule "background-color: rgb(r, g, b);" of widget style sheets.
#include <QColor>
#include <QList>
#include <QString>

bool hasBackgroundColor(const QString& styleSheet);
// R, G, B of the first background rule; always three entries (0 where a
// component is missing or not an integer, all 0 without the rule).
QList<int> backgroundRgb(const QString& styleSheet);
// Invalid when a component lies outside 0..255 or there is no rule.
QColor backgroundColorOf(const QString& styleSheet);
QString rgbStyleSheet(const QList<int>& rgb);
QString colorStyleSheet(const QColor& colour);
int clampByte(int i);
// The background rule alone, every component scaled by factor and clamped.
QString scaledBackground(const QString& styleSheet, double factor);
