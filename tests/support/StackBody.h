#pragma once
// A main window over an I1 stack built in memory: one-pixel bins over the
// whole field, no I0, no dark, so bin values are the crafted pixel values.
#include <functional>
#include <memory>

class Body;

namespace craft {

// frames frames of w x h; pixel (x, y) of frame k holds value(x, y, k); frame k
// has the energy 8900 + 2 k eV.
std::unique_ptr<Body> bodyWithStack(int w, int h, int frames,
                                    const std::function<double(int, int, int)>& value);

} // namespace craft
