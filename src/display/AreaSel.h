#pragma once
// The rectangular area chosen on the image display by dragging, as a plain
// value: press, drag and release by action code (MouseC::mode of the press),
// with points already in image pixels.
#include <QPointF>
#include <QRectF>
#include <QSize>

#include <optional>

class AreaSel {
public:
    enum Release { Nothing, Selected, SelectedZoom };

    bool dragging = false;  // a left or Ctrl-left drag is under way
    bool valid = false;
    QRectF area;            // not normalised while dragging: the size may be negative
    // The area was selected by a drag with extent or a set, not left by a
    // press as its point: a click selects nothing a dark-area choice may take.
    bool picked = false;
    QRectF prevArea;        // the area the last drag or set replaced
    bool prevValid = false; // whether an area was selected then
    bool prevPicked = false;
    // The box the last dark-area choice took: until a new area is selected, a
    // further choice takes it too (one box for both stacks), not the area
    // given back. A click or a right-click selects nothing new.
    bool darkTaken = false;
    QRectF darkBox;

    // Left (0) or Ctrl-left (2) starts a drag at p; right (8) clears the area,
    // forgets the one it replaced and returns true. Other codes change nothing.
    bool press(int code, const QPointF& p);
    // Left or Ctrl-left drag: the area reaches from its origin to p.
    void drag(int code, const QPointF& p);
    // Ends a drag; the area counts only with extent on both axes. A Ctrl drag
    // asks for the view to zoom to it.
    Release release(int code);

    void set(double x1, double y1, double x2, double y2);
    // The selection as it was before the last drag or set.
    void recall();
    // The box a dark-area choice takes now; none when no area is selected.
    std::optional<QRectF> darkAreaBox() const;
    // Takes that box, when there is one; the first choice gives the selection
    // back as it was, so choosing a dark area leaves the analysis area alone.
    std::optional<QRectF> takeDarkArea();

    static bool isDragCode(int code) { return code == 0 || code == 2; }
    // The point a drag takes at p over an image of that size: inside the last
    // column or row it stands for the far edge, as the first ones do for the
    // near edge, so that a drag pressed or ended there takes that column or
    // row as one past the edge does. A widget that ends at the image's edge
    // has no room past it to press in.
    static QPointF reachEdges(const QPointF& p, const QSize& image);

private:
    void replace();
    void selected();
};
