// trig.cpp — platform-independent sine and cosine. The 64-bit GNU C library, which made the
// worlds of the first builds, evaluates sinf and cosf as below: a quadrant reduction and short
// polynomials, all in double precision, rounded to float once. Doing the same steps here in plain
// double arithmetic (no library call, no x87) gives its bits on every platform.
#include "foundation/trig.h"

#include <cstdint>
#include <cmath>
#include <cstring>

struct trig_table {
    double sign[4];   // sign of the reduced angle in each quadrant
    double hpi_inv;   // 2/pi scaled by 2^24: the quadrant lands in bits 24 and up
    double hpi;       // pi/2
    double c0, c1, c2, c3, c4;  // cosine polynomial
    double s1, s2, s3;          // sine polynomial
};

// The second entry serves quadrants 2 and 3, where the cosine changes sign.
static const trig_table trig_tables[2] = {
    {{1.0, -1.0, -1.0, 1.0}, 0x1.45F306DC9C883p+23, 0x1.921FB54442D18p0, 0x1p0, -0x1.ffffffd0c621cp-2,
     0x1.55553e1068f19p-5, -0x1.6c087e89a359dp-10, 0x1.99343027bf8c3p-16, -0x1.555545995a603p-3,
     0x1.1107605230bc4p-7, -0x1.994eb3774cf24p-13},
    {{1.0, -1.0, -1.0, 1.0}, 0x1.45F306DC9C883p+23, 0x1.921FB54442D18p0, -0x1p0, 0x1.ffffffd0c621cp-2,
     -0x1.55553e1068f19p-5, 0x1.6c087e89a359dp-10, -0x1.99343027bf8c3p-16, -0x1.555545995a603p-3,
     0x1.1107605230bc4p-7, -0x1.994eb3774cf24p-13},
};

// Exponent and top mantissa bits of |x|, for the coarse range tests.
static uint32_t trig_top12(float x) {
    uint32_t bits;
    memcpy(&bits, &x, sizeof(bits));
    return (bits >> 20) & 0x7ff;
}

// Even n: the sine polynomial of x; odd n: the cosine polynomial. x2 = x * x.
static double trig_poly(double x, double x2, const trig_table *p, int n) {
    if ((n & 1) == 0) {
        double x3 = x * x2;
        double s1 = p->s2 + x2 * p->s3;
        double x7 = x3 * x2;
        double s = x + x3 * p->s1;
        return s + x7 * s1;
    }
    double x4 = x2 * x2;
    double c2 = p->c3 + x2 * p->c4;
    double c1 = p->c0 + x2 * p->c1;
    double x6 = x4 * x2;
    double c = c1 + x4 * p->c2;
    return c + x6 * c2;
}

// x = n * pi/2 + r, for |x| below 120; returns r and leaves n.
static double trig_reduce(double x, const trig_table *p, int *n) {
    double r = x * p->hpi_inv;
    // Rounds to the nearest quadrant through the scaled integer, also for negative x.
    int quadrant = (int)(((int32_t)r + 0x800000) >> 24);
    *n = quadrant;
    return x - quadrant * p->hpi;
}

// sin (cosine_shift 0) or cos (cosine_shift 1) of a float of any size.
static float trig_evaluate(float y, int cosine_shift) {
    double x = y;
    const trig_table *p = &trig_tables[0];
    if (trig_top12(y) < trig_top12(0x1.921FB6p-1f)) {
        if (trig_top12(y) < trig_top12(0x1p-12f)) return cosine_shift ? 1.0f : y;
        return (float)trig_poly(x, x * x, p, cosine_shift);
    }
    if (!(y == y) || trig_top12(y) >= trig_top12(INFINITY)) return y - y;  // NaN for NaN and infinities
    int n = 0;
    if (trig_top12(y) < trig_top12(120.0f)) {
        x = trig_reduce(x, p, &n);
    } else {
        // Large angles: whole quadrants taken off in double precision with pi/2 split in three
        // parts (exact products up to 2^20 quadrants, close enough beyond). Not the C library's
        // bits here, but the same on every platform; the game's angles stay far below.
        if (!(fabs(x) < 0x1p60)) return 0.0f;
        const double pio2_1 = 1.57079632673412561417e+00, pio2_2 = 6.07710050630396597660e-11,
                     pio2_3 = 2.02226624871116645580e-21;
        double q = x * 0.636619772367581382433;
        q = (double)(int64_t)(q < 0.0 ? q - 0.5 : q + 0.5);
        x = ((x - q * pio2_1) - q * pio2_2) - q * pio2_3;
        n = (int)((int64_t)q & 3);
    }
    double s = p->sign[n & 3];
    if (n & 2) p = &trig_tables[1];
    return (float)trig_poly(x * s, x * x, p, n ^ cosine_shift);
}

float trig_sinf(float x) { return trig_evaluate(x, 0); }
float trig_cosf(float x) { return trig_evaluate(x, 1); }
