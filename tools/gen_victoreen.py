#!/usr/bin/python3
"""Writes the X-ray edge table src/resources/Victoreen1.txt.

Edge energies come from xraylib (Debian package python3-xraylib, EdgeEnergy in
keV). The rows of H, Cu, W and U are the program's long-standing values and
are kept verbatim; their Victoreen coefficients have no other source, so every
other row leaves C and D as "=" (no value).

    tools/gen_victoreen.py [output]        edge table (default: stdout)
    tools/gen_victoreen.py --weights       xraylib AtomicWeight for Z 1..100

Not run by the build: run it by hand and commit the result.
"""
import sys

import xraylib

HC = 12.3984172  # keV * angstrom, for the wavelength items
LAST_Z = 92
MISSING = "="

# Kept exactly as the program has always carried them (items 1 to 20).
FIXED_ROWS = {
    1: "1 = = 0.0127 0.00000466" + " =" * 15,
    29: "29 8.98436029 1.38 176 48.3 1.1 11.27128836 15.6 0.779 0.954 12.99624444"
        " = = 0.935 13.26033925 = = = = =",
    74: "74 69.496 0.17840476 = = 12.096 1.0245 390 161 11.539 1.0746 338 129"
        " 10.197 1.2154 190 55.2 4.374 65.3 11.9",
    92: "92 115.009 0.107803887 = = 21.762 0.569727838 = = 20.946 0.591922907"
        " = = 17.158 0.722602704 = = = = =",
}

# Only these carry the M1 wavelength (item 18); W is among the fixed rows.
M1_ELEMENTS = {"W", "Os", "Pt", "Au", "Pb", "Bi"}

# H and He: no K edge in the table.
NO_K_EDGE = {1, 2}

SHELLS = [xraylib.K_SHELL, xraylib.L1_SHELL, xraylib.L2_SHELL, xraylib.L3_SHELL]

HEADER = ["=", "Z",
          "K(keV)", "K(A)", "K-C", "K-D",
          "LI(keV)", "LI(A)", "LI-C", "LI-D",
          "LII(keV)", "LII(A)", "LII-C", "LII-D",
          "LIII(keV)", "LIII(A)", "LIII-C", "LIII-D",
          "M1(A)", "M1-C", "M1-D"]

WIDTHS = [3, 3] + [11] * 19


def edge_energy(z, shell):
    """Edge energy in keV, or None where xraylib has none."""
    try:
        e = xraylib.EdgeEnergy(z, shell)
    except ValueError:
        return None
    return e if e > 0.0 else None


def fmt(v):
    return MISSING if v is None else "%.9g" % v


def row_items(z):
    symbol = xraylib.AtomicNumberToSymbol(z)
    if z in FIXED_ROWS:
        return [symbol] + FIXED_ROWS[z].split()
    items = [symbol, str(z)]
    for i, shell in enumerate(SHELLS):
        e = None if (i == 0 and z in NO_K_EDGE) else edge_energy(z, shell)
        items += [fmt(e), fmt(None if e is None else HC / e), MISSING, MISSING]
    m1 = edge_energy(z, xraylib.M1_SHELL) if symbol in M1_ELEMENTS else None
    items += [fmt(None if m1 is None else HC / m1), MISSING, MISSING]
    return items


def line(items):
    assert len(items) == 21, items
    return " ".join(s.ljust(w) for s, w in zip(items, WIDTHS)).rstrip()


def table():
    out = [line(HEADER),
           "# Edge energies: xraylib %s EdgeEnergy (keV); wavelengths 12.3984172 / E;"
           " rows H, Cu, W, U and their C, D: original table" % xraylib.__version__]
    out += [line(row_items(z)) for z in range(1, LAST_Z + 1)]
    return "\n".join(out) + "\n"


def weights():
    return "\n".join("%d %s %.10g" % (z, xraylib.AtomicNumberToSymbol(z), xraylib.AtomicWeight(z))
                     for z in range(1, 101)) + "\n"


def main(argv):
    if len(argv) > 1 and argv[1] == "--weights":
        sys.stdout.write(weights())
        return 0
    text = table()
    if len(argv) > 1:
        with open(argv[1], "w", encoding="ascii") as f:
            f.write(text)
    else:
        sys.stdout.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
