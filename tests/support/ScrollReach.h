#pragma once
// A control of a scrolled form brought into view, as a person scrolls to it.
#include <QString>

class QMainWindow;
class QScrollArea;
class QWidget;

namespace scrollreach {

// Empty when w lies whole in the scroll area's viewport once scrolled to;
// else where it lies in its window.
QString missedAfterScrolling(QScrollArea& scroll, QWidget& w);

// Shows the main window and waits until its scrolled form has the size it has
// in a window that holds it whole, the least it keeps on a smaller screen such
// as the offscreen one. Null when it never gets there.
QWidget* shownForm(QMainWindow& body);

} // namespace scrollreach
