#!/usr/bin/env python3
"""Writes src/world/maptile.cpp: the 64 x 64 seamless grey height texture the world generator
layers over the island tile. Periodic noise from whole-number frequencies (so it wraps at every
edge), shaped to values 0..251 with a mean near 93, then pulled through the reference pixels the
world's shape is pinned to by smooth periodic bumps. Deterministic: same output every run."""
import math
import random
import sys

N = 64
rng = random.Random(7)
components = []
for _ in range(60):
    fx = rng.randint(-6, 6)
    fy = rng.randint(-6, 6)
    if fx == 0 and fy == 0:
        continue
    amp = 1.0 / (fx * fx + fy * fy) ** 0.6
    components.append((fx, fy, amp, rng.uniform(0, 2 * math.pi)))

img = [[sum(a * math.cos(2 * math.pi * (fx * x + fy * y) / N + p) for fx, fy, a, p in components)
        for x in range(N)] for y in range(N)]
lo = min(min(r) for r in img)
hi = max(max(r) for r in img)
# Valleys wider than ridges: a power above 1 pulls the mean down toward 93 of 251.
img = [[251.0 * ((v - lo) / (hi - lo)) ** 1.6 for v in r] for r in img]

pins = {}
for x, v in zip(range(0, 64, 8), [76, 218, 236, 57, 124, 141, 182, 107]):
    pins[(0, x)] = v
for x, v in zip(range(0, 64, 8), [90, 225, 225, 35, 80, 192, 220, 77]):
    pins[(63, x)] = v
pins[(1, 0)] = 105


def wrapped(d):
    d = abs(d) % N
    return min(d, N - d)


SIGMA = 1.6
for _ in range(200):
    worst = 0.0
    for (py, px), target in pins.items():
        delta = target - img[py][px]
        worst = max(worst, abs(delta))
        for y in range(py - 6, py + 7):
            for x in range(px - 6, px + 7):
                d2 = wrapped(x - px) ** 2 + wrapped(y - py) ** 2
                img[y % N][x % N] += 0.6 * delta * math.exp(-d2 / (2 * SIGMA * SIGMA))
    if worst < 0.01:
        break

out = [[max(0, min(251, int(round(v)))) for v in r] for r in img]
for (py, px), target in pins.items():
    out[py][px] = target
flat = [v for r in out for v in r]
sys.stderr.write("min %d max %d mean %.1f\n" % (min(flat), max(flat), sum(flat) / len(flat)))

lines = ["// maptile.cpp — the 64 x 64 grey height texture the world generator layers over the island tile:",
         "// 3-byte grey pixels row by row, then one zero byte; it wraps seamlessly at every edge.",
         "// Written by tools/maptile/make_maptile.py.",
         '#include "world/maptile.h"', "",
         "const uint8_t maptile[MAPTILE_BYTES] = {"]
for y in range(N):
    row = []
    for x in range(N):
        row += [out[y][x]] * 3
    for i in range(0, len(row), 24):
        lines.append("    " + ", ".join(str(v) for v in row[i:i + 24]) + ",")
lines.append("    0};")
open(sys.argv[1], "w").write("\n".join(lines) + "\n")
