#pragma once
// X-ray absorption edges of the elements Z 1 to 92 with their Victoreen
// coefficients, from the compiled-in table ":Victoreen1.txt".
#include <QString>

// Edge index: 0 K, 1 LI, 2 LII, 3 LIII, 4 the table's fifth group.
const int edgeCount = 5;
extern const QString edgeNames[4];

struct VictoreenRec {
    int z = 0;
    double edge[edgeCount] = {}; // keV for 0..3; index 4 holds the M1 wavelength in angstrom
    double c[edgeCount] = {};
    double d[edgeCount] = {};
};

const int victoreenCapacity = 100;

struct VictoreenTable {
    VictoreenRec rec[victoreenCapacity];
    int count = 0;
};

// Record index = atomic number (record 0 is the header line). Read edges
// through victoreenEdge, which guards the indexes.
extern const VictoreenTable& victoreenTable;

// Fills the table; a file other than the resource is for checking tables.
void loadVictoreenTable(const QString& fileName = QStringLiteral(":Victoreen1.txt"));

// edge[edgeIdx] of element z as stored; 0.0 for z outside the loaded records
// or edgeIdx outside 0..4.
double victoreenEdge(int z, int edgeIdx);

// Case-sensitive search of the element table; -1 when no symbol matches.
int elemSymbolToZ(const QString& symbol);
// "K" 0, "L1"/"LI" 1, "L2"/"LII" 2, "L3"/"LIII" 3 in any case; anything else 0.
int edgeNameToIndex(const QString& name);
