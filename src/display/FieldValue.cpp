#include "display/FieldValue.h"

#include <QLineEdit>

#include <cmath>

double fieldValue(const QLineEdit* e)
{
    if (!e)
        return 0.0;
    bool ok = false;
    const double v = e->text().toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0;
}
