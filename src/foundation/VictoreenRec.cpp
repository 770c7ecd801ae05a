#include "foundation/VictoreenRec.h"

#include "foundation/ElemData.h"
#include "foundation/LineReader.h"

#include <QDebug>
#include <QStringList>

#include <cmath>

const QString edgeNames[4] = {
    QStringLiteral("K"), QStringLiteral("LI"), QStringLiteral("LII"), QStringLiteral("LIII")};

namespace {
VictoreenTable table;

// Items of a line that is too short read as 0; so do NaN and infinities,
// which no edge can have.
double item(const QStringList& items, int i)
{
    if (i >= items.size())
        return 0.0;
    double v = items.at(i).toDouble();
    return std::isfinite(v) ? v : 0.0;
}

double nonNegative(const QStringList& items, int i)
{
    double v = item(items, i);
    return v < 0.0 ? 0.0 : v;
}
} // namespace

// The resource lives in a static library, so nothing registers it unless asked;
// the macro must not sit inside a namespace.
static void initResources()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    Q_INIT_RESOURCE(victoreen);
}

const VictoreenTable& victoreenTable = table;

void loadVictoreenTable(const QString& fileName)
{
    initResources();
    table = VictoreenTable();

    LineReader in;
    if (!in.open(fileName)) {
        QString name = fileName.section(QLatin1Char('/'), -1);
        if (name.startsWith(QLatin1Char(':')))
            name.remove(0, 1);
        qDebug().noquote() << QStringLiteral("Cannot open [%1]").arg(name);
        return;
    }

    QString line;
    while (in.readLine(line)) {
        line = line.simplified();
        // A blank line would shift every following element off its Z.
        if (line.isEmpty())
            continue;
        const QStringList items = line.split(QLatin1Char(' '));
        if (items.at(0).startsWith(QLatin1Char('#')))
            continue;
        if (table.count >= victoreenCapacity) {
            qDebug().noquote() << QStringLiteral("Victoreen table: more than %1 records, the rest is ignored")
                                      .arg(victoreenCapacity);
            break;
        }
        VictoreenRec& r = table.rec[table.count];
        r.z = items.size() > 1 ? items.at(1).toInt(nullptr, 10) : 0;
        r.edge[0] = item(items, 2);
        r.c[0] = nonNegative(items, 4);
        r.d[0] = nonNegative(items, 5);
        for (int e = 1; e < 4; e++) {
            const int base = 2 + 4 * e; // energy, wavelength, C, D
            r.edge[e] = nonNegative(items, base);
            r.c[e] = nonNegative(items, base + 2);
            r.d[e] = nonNegative(items, base + 3);
        }
        r.edge[4] = nonNegative(items, 18);
        r.c[4] = nonNegative(items, 19);
        r.d[4] = nonNegative(items, 20);
        table.count++;
    }
}

double victoreenEdge(int z, int edgeIdx)
{
    if (z < 0 || z >= table.count || edgeIdx < 0 || edgeIdx >= edgeCount)
        return 0.0;
    return table.rec[z].edge[edgeIdx];
}

int elemSymbolToZ(const QString& symbol)
{
    for (int i = 0; i < elementCount; i++) {
        if (elementTable[i].symbol == symbol)
            return elementTable[i].z;
    }
    return -1;
}

int edgeNameToIndex(const QString& name)
{
    const QString n = name.toUpper();
    if (n == QLatin1String("K"))
        return 0;
    if (n == QLatin1String("L1") || n == QLatin1String("LI"))
        return 1;
    if (n == QLatin1String("L2") || n == QLatin1String("LII"))
        return 2;
    if (n == QLatin1String("L3") || n == QLatin1String("LIII"))
        return 3;
    return 0;
}
