#pragma once
// Energy-shift map files (".emp"): a labelled header and, per map pixel, the
// difference of monochromator Bragg angles that the pixel's energy shift
// means at the standard's edge energy. No widgets: the main window passes
// what its panels hold.
#include "calibration/EMPHeader.h"
#include "foundation/AnalyzeCond.h"

#include <QString>

class Analyzed2DRes;
class LineReader;
class QTextStream;

// Bragg angle in degrees of energy e (eV) on a crystal of spacing d (Å);
// -1 when no angle reflects it.
double braggAngle(double e, double d);
// Energy (eV) reflected at angle theta (degrees).
double braggEnergy(double theta, double d);

// The edge a map is read and written at, so that both take the same one: the
// first of the panel's energy, the edge the map was read with (own) and the
// standard's energy that has a Bragg angle. A map read from a file stays on
// the file's spacing; others are on the panel's crystal, d. e0 0 when none
// of them has an angle.
EMPEdge empEdge(double panelEV, const EMPEdge& own, double stdE0, double d);

// What a map file states besides the map.
struct EMPFacts {
    QString date; // "yy/MM/dd hh:mm:ss.zzz"
    double e0 = 0.0;
    double spacing = 0.0;
    int xOffset = 0;
    int yOffset = 0;
    AnalyzeCond grid; // bin half sizes and area of the calibration
    QString stdFileName;
};

// Header and body; the sizes stated and written are the map's own.
void writeEMP(QTextStream& out, const EMPFacts& facts, const Analyzed2DRes& map);
// False, after "Can not open" in the log, when the file cannot be written.
bool saveEMPFile(const QString& fileName, const EMPFacts& facts, const Analyzed2DRes& map);

// Reads the header up to its end line. valid: complete, and its sizes and
// spacing usable (the edge energy is checked by the load, which may take
// another one).
EMPHeader readEMPHeader(LineReader& in);

enum class EMPRead { Loaded, CannotOpen, Invalid, SizeMismatch };

struct EMPReadOptions {
    double panelEdgeEV = 0.0; // used in place of the file's when positive
    bool checkSize = false;
    int imageW = -1;          // both negative: no image to check against
    int imageH = -1;
};

// The edge a file with header h is read at (empEdge with the file's edge as
// the map's own).
EMPEdge empReadEdge(const EMPReadOptions& o, const EMPHeader& h);

// Reads the file into map over the file's grid, returned in grid. The map is
// left alone unless the result is Loaded; header.valid is true only then.
EMPRead readEMPFile(const QString& fileName, const EMPReadOptions& o, Analyzed2DRes& map,
                    EMPHeader& header, AnalyzeCond& grid);
// Why a read that did not load was refused, for the user.
QString empReadMistake(EMPRead r, const EMPHeader& h, const EMPReadOptions& o);
