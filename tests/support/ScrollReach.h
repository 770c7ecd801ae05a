#pragma once
// A control of a scrolled form brought into view, as a person scrolls to it.
#include <QString>

class QScrollArea;
class QWidget;

namespace scrollreach {

// Empty when w lies whole in the scroll area's viewport once scrolled to;
// else where it lies in its window.
QString missedAfterScrolling(QScrollArea& scroll, QWidget& w);

} // namespace scrollreach
