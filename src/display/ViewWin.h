#pragma once
// Arithmetic of a view window: the rectangle of an image, in image pixels, that
// is stretched over a whole widget of W x H pixels. Pure functions, so that the
// displays share one rule and a broken size can never reach the painter.
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSize>

namespace ViewWin {

// Finite and of non-zero size on both axes.
bool usable(const QRectF& view);

// Image point under widget pixel (cx, cy); a widget side of 0 counts as the
// window's origin on that axis.
QPointF imagePoint(const QRectF& view, double W, double H, double cx, double cy);

// The whole iw x ih image with one image pixel as long on both axes: centred
// with empty bands when fill is false, filling the widget and cropped when
// true. A zero-size widget gets the bare image.
QRectF fitted(int iw, int ih, double W, double H, bool fill);

// Zoom by f about widget pixel (cx, cy), keeping the image point under it.
// With edgeBands, a pointer within 10 % of the left or right edge zooms only
// the height and one within 10 % of the top or bottom only the width. A result
// that would not be usable leaves the window as it is.
QRectF zoomedAbout(const QRectF& view, double W, double H, double cx, double cy, double f,
                   bool edgeBands);

// Moves the window so the image follows a pointer that went from (pcx, pcy)
// to (cx, cy).
QRectF panned(const QRectF& view, double W, double H, int pcx, int pcy, int cx, int cy);

// The image pixels at least partly inside the window: from trunc(x, y) up to
// ceil(x + w, y + h), kept within one image size of padding around an image of
// that size; empty for an unusable window or image.
QRect visibleRect(const QRectF& view, const QSize& image);

} // namespace ViewWin
