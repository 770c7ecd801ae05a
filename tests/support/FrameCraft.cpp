#include "FrameCraft.h"

#include "imagestack/TiffData.h"

#include <cstdlib>

namespace craft {

TiffData* floatFrame(int w, int h, const QVector<double>& samples)
{
    if (w < 1 || h < 1 || samples.size() != qsizetype(w) * h)
        return nullptr;
    TiffData* f = new TiffData;
    f->width = w;
    f->height = h;
    f->srcType = TiffData::SrcCttr;
    for (int r = 0; r < h; r++) {
        float* row = static_cast<float*>(std::malloc(sizeof(float) * size_t(w)));
        for (int c = 0; c < w; c++)
            row[c] = float(samples[qsizetype(r) * w + c]);
        f->rows.append(row);
    }
    return f;
}

TiffData* flatFrame(int w, int h, double value)
{
    return floatFrame(w, h, QVector<double>(qsizetype(w) * h, value));
}

} // namespace craft
