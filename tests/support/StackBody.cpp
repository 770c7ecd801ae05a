#include "StackBody.h"

#include "FrameCraft.h"

#include "display/ImgDispA.h"
#include "mainwindow/Body.h"

namespace craft {

std::unique_ptr<Body> bodyWithStack(int w, int h, int frames,
                                    const std::function<double(int, int, int)>& value)
{
    std::unique_ptr<Body> b(new Body());
    for (int k = 0; k < frames; k++) {
        QVector<double> v;
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++)
                v << value(x, y, k);
        b->frameSets.append(FrameSets::I1, floatFrame(w, h, v), 8900.0 + 2.0 * k);
    }
    b->followI1Stack();
    b->UseI0->setChecked(false);
    b->FluoType->setChecked(false);
    for (QLineEdit* e : {b->vHWidth_, b->vVWidth_, b->aHWidth_, b->aVWidth_})
        e->setText("0");
    b->dispA->sel.valid = false;
    b->dispA->viewWin = QRectF(0, 0, w, h);
    return b;
}

} // namespace craft
