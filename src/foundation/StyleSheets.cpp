#include "foundation/StyleSheets.h"

#include <QRegularExpression>

namespace {
const QString ruleStart = QStringLiteral("background-color: rgb(");

int scaledByte(int component, double factor)
{
    const double v = component * factor; // stays in double until it is in range
    if (!(v > 0.0))
        return 0;
    if (v >= 255.0)
        return 255;
    return static_cast<int>(v);
}
} // namespace

bool hasBackgroundColor(const QString& styleSheet) { return styleSheet.contains(ruleStart); }

QList<int> backgroundRgb(const QString& styleSheet)
{
    QList<int> rgb{0, 0, 0};
    const int at = styleSheet.indexOf(ruleStart);
    if (at < 0)
        return rgb;
    const int start = at + ruleStart.size();
    int end = styleSheet.indexOf(u')', start);
    if (end < 0)
        end = styleSheet.size();
    QString inner = styleSheet.mid(start, end - start);
    inner.replace(u',', u' ');
    static const QRegularExpression ws(QStringLiteral("\\s+"));
    const QStringList parts = inner.simplified().split(ws);
    for (int i = 0; i < 3 && i < parts.size(); i++) {
        bool ok = false;
        const int v = parts[i].toInt(&ok, 10);
        rgb[i] = ok ? v : 0;
    }
    return rgb;
}

QColor backgroundColorOf(const QString& styleSheet)
{
    if (!hasBackgroundColor(styleSheet))
        return QColor();
    const QList<int> rgb = backgroundRgb(styleSheet);
    for (int c : rgb)
        if (c < 0 || c > 255)
            return QColor();
    return QColor(rgb[0], rgb[1], rgb[2]);
}

QString rgbStyleSheet(const QList<int>& rgb)
{
    const auto part = [&rgb](int i) { return i < rgb.size() ? QString::number(rgb[i]) : QStringLiteral("0"); };
    return ruleStart + part(0) + QStringLiteral(", ") + part(1) + QStringLiteral(", ") + part(2)
        + QStringLiteral(");");
}

QString colorStyleSheet(const QColor& colour)
{
    return rgbStyleSheet({colour.red(), colour.green(), colour.blue()});
}

int clampByte(int i) { return i < 0 ? 0 : (i > 255 ? 255 : i); }

QString scaledBackground(const QString& styleSheet, double factor)
{
    if (!hasBackgroundColor(styleSheet))
        return styleSheet;
    QList<int> rgb = backgroundRgb(styleSheet);
    for (int& c : rgb)
        c = scaledByte(c, factor);
    return rgbStyleSheet(rgb);
}
