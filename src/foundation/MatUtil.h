#pragma once
// Small dense linear algebra over square matrices kept as arrays of row pointers.
// The LU routines never move rows: logical row i lives in physical row perm[i],
// and vectors keep logical element i at index perm[i], so unknown i is x[perm[i]].

class MatUtil {
public:
    static double** newMatrix(int n);
    static double* newVector(int n);
    static int* newIVector(int n);
    static void deleteMatrix(int n, double** m);
    static void deleteVector(double* v);
    static void deleteIVector(int* v);

    static void zeroMatrix(int n, double** m);
    static void zeroVector(int n, double* v);
    static void identityMatrix(int n, double** m);
    static void copyMatrix(int n, double** source, double** target);
    static void copyVector(int n, const double* source, double* target);
    static void multiplyMatrix(int n, double** a, double** b, double** c);
    static void multiplyMatrixVector(int n, double** a, const double* v, double* w);
    static bool hasNaNMatrix(int n, double** m);
    static bool hasNaNVector(int n, const double* v);

    // Debug prints go to standard output, not to the Qt log.
    static void printMatrix(const char* name, int n, double** m);
    static void printPermutedMatrix(const char* name, int n, double** m, const int* perm);
    static void printVector(const char* name, int n, const double* v);
    static void printIVector(const char* name, int n, const int* v);
    static void printPermutedVector(const char* name, int n, const double* v, const int* perm);

    // Forward elimination with diagonal pivoting, applied to a and b alike.
    static void eliminate(int n, double** a, double** b);
    // False when some pivot is exactly zero; l, u and perm are filled anyway.
    static bool makeLU(int n, double** a, double** l, double** u, int* perm);
    static bool solveLV(int n, double** l, const double* b, double* y, const int* perm);
    static bool solveUV(int n, double** u, const double* y, double* x, const int* perm);
    static bool solveLU(int n, double** a, const double* b, double* x, int* perm);
    // Solution in logical order in b; b is untouched when the system is singular.
    static bool solveInPlace(int n, double** a, double* b);

    static void newMatrixAndVector(int n, double**& m, double*& v);
    static void deleteMatrixAndVector(int n, double** m, double* v);
};
