#pragma once
// Bin grids and filled maps for tests of the result maps and their users.
#include "analysis/Analyzed2DRes.h"
#include "display/ColorBar.h"
#include "foundation/AnalyzeCond.h"
#include "foundation/Globals.h"

#include <functional>
#include <memory>

namespace testmaps {

// A grid on a W x H image over the area (x, y, w, h) with tiling bins.
inline AnalyzeCond grid(int W, int H, int hx, int hy, double x, double y, double w, double h)
{
    AnalyzeCond c;
    const double rect[4] = {x, y, w, h};
    c.setup(W, H, hx, hy, rect, -1, -1);
    return c;
}

// Gives the map the grid and writes f(cx, cy) into every bin of it.
inline void fill(Analyzed2DRes& map, const AnalyzeCond& g, const std::function<double(int, int)>& f)
{
    map.setCond(g);
    AnalyzeCond c = g;
    c.reset();
    do {
        map.setData(c.cx, c.cy, c.hx, c.hy, f(c.cx, c.cy));
    } while (c.next());
}

// The main colour bar that map images are coloured through, for one test class.
struct TestColorBar {
    std::unique_ptr<ColorBar> bar;
    void install()
    {
        bar.reset(new ColorBar);
        mainColorBar = bar.get();
    }
    void remove()
    {
        mainColorBar = nullptr;
        bar.reset();
    }
};

} // namespace testmaps
