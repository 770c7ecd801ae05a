#pragma once
// Draws a text into a box, straight or rotated, with the font size fitted to
// the box (fit mode 1) or as given (any other mode).
#include <QBrush>
#include <QColor>
#include <QFont>
#include <QList>
#include <QObject>
#include <QRectF>
#include <QString>

class QPainter;

class DrawText : public QObject {
    Q_OBJECT
public:
    explicit DrawText(QObject* parent = nullptr);

    int lastHit = -1;
    QList<QRectF> labelBoxes;
    QColor frameColor{0, 220, 220};
    QColor pressedFill{170, 255, 170};
    QColor releasedFill{140, 180, 140};
    QColor textColor{0, 0, 0};

    // Returns the text's 10-point bounding rectangle (fit mode 1) or an empty one.
    QRectF drawTextInBox(QPainter* painter, QRectF& box, QFont& font, int flags, int fitMode,
                         QString text, double maxPointSize);
    // The box's corner is the centre of the text, its width runs along the text;
    // angle in degrees, clockwise on screen.
    QRectF drawRotatedText(QPainter* painter, double angle, QRectF& box, QFont& font, int flags,
                           int fitMode, QString text, double maxPointSize, bool fillBackground,
                           QBrush brush);

private:
    static QRectF fitFont(QPainter* painter, const QRectF& box, const QFont& font, int flags,
                          int fitMode, const QString& text, double maxPointSize);
};
