#pragma once
// Point lists as test-table columns, and spectra built from them.
#include "foundation/Spectrum.h"

#include <QList>
#include <QMetaType>
#include <QPointF>

using Points = QList<QPointF>;
Q_DECLARE_METATYPE(Points)

inline Spectrum spectrumOf(const Points& pts)
{
    Spectrum s;
    for (const QPointF& p : pts)
        s.append(p.x(), p.y());
    return s;
}
