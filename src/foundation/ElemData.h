#pragma once
// The chemical elements by atomic number, 0 (none) to 109, and deuterium as 110.
#include <QString>

struct ElemData {
    int z;
    QString symbol; // case counts: "Co" is cobalt
    double weight;  // g/mol; 0.0 where unknown
};

const int elementCount = 111;
extern const ElemData elementTable[elementCount];
