#pragma once
// Windows that open inside their screen, the window manager's frame included:
// on a screen smaller than a window's form the window fits and the form
// scrolls; on a screen that holds it the window opens as it always did.
#include <QMargins>
#include <QRect>
#include <QSize>

class QMainWindow;
class QWidget;

namespace screenfit {

// What a window manager's frame adds around a window it has not framed yet:
// a title bar and thin borders.
QMargins typicalFrame();

// The client size for a window that wants want within room (the available
// area less the frame), and scrolls below least. Where it scrolls vertically
// it is widened by the scroll bar, horizontally heightened, as far as the
// room allows.
QSize fittedSize(QSize room, QSize want, QSize least, int scrollBarExtent);

// The client geometry of a window now at client that wants the size want, on
// a screen whose available area is avail, framed by frame: the fitted size,
// moved only as far as the whole frame needs to lie inside avail.
QRect fittedGeometry(const QRect& avail, const QMargins& frame, const QRect& client, QSize want, QSize least,
                     int scrollBarExtent);

// A top-level window's frame margins: its own once the window manager has
// framed it, typicalFrame() before.
QMargins frameOf(const QWidget& window);

// The window opens within its screen, as large as it asks where the screen
// allows, and is placed inside once its frame is known. A size given to it
// after this call and before it opens is left as given.
void keepInside(QWidget& window);

// The window's layout, with every widget in it, moves into a scroll area that
// fills the window; the form shrinks to its layout's minimum before it scrolls.
// The scroll area takes no focus: the form's fields keep their keyboard order.
void scrollForm(QWidget& window);

// The central widget scrolls. With keepFormSize the form never shrinks below
// the size it has in a window that holds it whole, and the scroll area takes
// focus (the keys scroll the form); without, it takes none.
void scrollCentralWidget(QMainWindow& window, bool keepFormSize);

// After scrollCentralWidget with keepFormSize: the form's own size, the one a
// window that holds it whole gives it, is where part (a widget in the form)
// has the given size, or the form's least size where that is larger. The
// designed window size no longer counts.
void keepPartSize(QMainWindow& window, QWidget& part, QSize size);

// Grows a window as its form grows: within its screen once it is shown, and
// as if built that size before.
void grow(QWidget& window, QSize by);

} // namespace screenfit
