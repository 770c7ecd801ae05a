#include "analysis/FVPoints.h"

#include "analysis/FeatureValue.h"

#include <cmath>

void FVAxis::clear()
{
    values.clear();
    min = 1.7976931348623157e308;
    max = -1.7976931348623157e308;
    sum = 0.0;
    sum2 = 0.0;
}

void FVAxis::add(double v)
{
    values << v;
    if (std::isfinite(v)) {
        if (v < min)
            min = v;
        if (v > max)
            max = v;
    }
    sum += v;
    sum2 += v * v;
}

void FVPoints::clear()
{
    x.clear();
    y.clear();
    noMaximum = 0;
    noE2 = 0;
}

void FVPoints::add(double dM, double dE12)
{
    x.add(dM);
    y.add(dE12);
}

bool FVPoints::add(const FeatureValue& fv)
{
    // "Not found" leaves dM and e1, or e2, at zero.
    if (fv.dM == 0.0 && fv.e1 == 0.0) {
        noMaximum++;
        return false;
    }
    if (fv.e2 == 0.0) {
        noE2++;
        return false;
    }
    add(fv.dM, fv.e2 - fv.e1);
    return true;
}
