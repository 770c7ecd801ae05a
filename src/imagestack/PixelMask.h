#pragma once
// A per-pixel mask read from a file in the error-points layout ("# Size" line,
// then "x y value" lines).
#include <QString>
#include <QtGlobal>

#include <vector>

class PixelMask {
public:
    enum Mode { Replace = 0, And = 1, Or = 2 };

    // Mode 0 replaces, 1 ands, 2 ors; any other mode writes like 0 onto the cells as they are.
    bool read(const QString& fileName, int mode);
    // 1 when (x, y) is masked; 0 outside the mask.
    int cell(int x, int y) const;

    int width = 0;
    int height = 0;
    std::vector<uchar> cells; // row by row, (x, y) at y * width + x

    // Largest mask accepted from a size line, per side and in all.
    static const int maxSide = 65535;
    static const qint64 maxCells = qint64(1) << 26;

private:
    void resize(int w, int h);
};
