#include "display/FieldWidth.h"

#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

int digitsWidth(const QLineEdit* e, int digits)
{
    const QFontMetrics fm = e->fontMetrics();
    int widest = 0;
    for (char c = '0'; c <= '9'; c++)
        widest = qMax(widest, fm.horizontalAdvance(QLatin1Char(c)));
    const QMargins tm = e->textMargins();
    // QLineEdit keeps 2 pixels of room on either side of its text.
    const QSize text(digits * widest + 1 + 2 * 2 + tm.left() + tm.right(), e->sizeHint().height());
    QStyleOptionFrame opt;
    opt.initFrom(e);
    opt.lineWidth = e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, e) : 0;
    return e->style()->sizeFromContents(QStyle::CT_LineEdit, &opt, text, e).width();
}
