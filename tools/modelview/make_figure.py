#!/usr/bin/env python3
"""Writes the test figure used by the model viewer check: a boxy walker with seven bones, a
paper-doll cape and four animations, as MODEL.IQE, TEMPLATE.TXT, TEXTURE0.TGA and TEXTURE1.TGA in
the folder given."""
import math
import struct
import sys

JOINTS = [  # name, parent, model-space position
    ("pelvis", -1, (0.0, 0.0, 0.9)),
    ("spine", 0, (0.0, 0.0, 1.3)),
    ("head", 1, (0.0, 0.0, 1.55)),
    ("arm_l", 1, (0.3, 0.0, 1.45)),
    ("arm_r", 1, (-0.3, 0.0, 1.45)),
    ("leg_l", 0, (0.11, 0.0, 0.9)),
    ("leg_r", 0, (-0.11, 0.0, 0.9)),
]

# Texture regions (u0, v0, u1, v1) of TEXTURE0: shirt, skin, trousers, face.
SHIRT, SKIN, TROUSERS, FACE = (0.0, 0.0, 0.5, 0.5), (0.5, 0.0, 1.0, 0.5), (0.0, 0.5, 0.5, 1.0), (0.5, 0.5, 1.0, 1.0)


def box(lo, hi, weights_of, region, front_region=None):
    """24 vertices (four per face, each face its own normal) and 12 triangles, counter-clockwise
    seen from outside. weights_of(z) gives the bone weights of a corner at height z."""
    (x0, y0, z0), (x1, y1, z1) = lo, hi
    faces = [
        ((1, 0, 0), [(x1, y0, z0), (x1, y1, z0), (x1, y1, z1), (x1, y0, z1)]),
        ((-1, 0, 0), [(x0, y1, z0), (x0, y0, z0), (x0, y0, z1), (x0, y1, z1)]),
        ((0, 1, 0), [(x1, y1, z0), (x0, y1, z0), (x0, y1, z1), (x1, y1, z1)]),
        ((0, -1, 0), [(x0, y0, z0), (x1, y0, z0), (x1, y0, z1), (x0, y0, z1)]),
        ((0, 0, 1), [(x0, y0, z1), (x1, y0, z1), (x1, y1, z1), (x0, y1, z1)]),
        ((0, 0, -1), [(x0, y1, z0), (x1, y1, z0), (x1, y0, z0), (x0, y0, z0)]),
    ]
    verts, tris = [], []
    for normal, corners in faces:
        r = front_region if (front_region and normal == (0, -1, 0)) else region
        uvs = [(r[0], r[3]), (r[2], r[3]), (r[2], r[1]), (r[0], r[1])]
        base = len(verts)
        for corner, uv in zip(corners, uvs):
            verts.append((corner, uv, normal, weights_of(corner[2])))
        tris += [(base, base + 1, base + 2), (base, base + 2, base + 3)]
    return verts, tris


def rigid(joint):
    return lambda z: [(joint, 1.0)]


def torso(z):
    t = min(1.0, max(0.0, (z - 0.9) / 0.55))
    return [(0, 1.0 - t), (1, t)] if 0.0 < t < 1.0 else [(0, 1.0)] if t == 0.0 else [(1, 1.0)]


def body_mesh():
    parts = [
        box((-0.22, -0.12, 0.85), (0.22, 0.12, 1.45), torso, SHIRT),
        box((-0.13, -0.13, 1.47), (0.13, 0.13, 1.75), rigid(2), SKIN, FACE),
        box((0.23, -0.07, 0.95), (0.37, 0.07, 1.47), rigid(3), SHIRT),
        box((-0.37, -0.07, 0.95), (-0.23, 0.07, 1.47), rigid(4), SHIRT),
        box((0.02, -0.08, 0.0), (0.2, 0.08, 0.88), rigid(5), TROUSERS),
        box((-0.2, -0.08, 0.0), (-0.02, 0.08, 0.88), rigid(6), TROUSERS),
    ]
    verts, tris = [], []
    for v, t in parts:
        base = len(verts)
        verts += v
        tris += [(a + base, b + base, c + base) for a, b, c in t]
    return verts, tris


def cape_mesh():
    # A card hanging behind the back, drawn with its own cut-out texture; both sides are faces.
    corners = [(-0.2, 0.14, 1.42), (0.2, 0.14, 1.42), (0.24, 0.2, 0.6), (-0.24, 0.2, 0.6)]
    uvs = [(0, 0), (1, 0), (1, 1), (0, 1)]
    verts = []
    for n in ((0, 1, 0), (0, -1, 0)):
        for c, uv in zip(corners, uvs):
            verts.append((c, uv, n, torso(c[2])))
    tris = [(0, 2, 1), (0, 3, 2), (4, 5, 6), (4, 6, 7)]
    return verts, tris


def quat_x(degrees):
    a = math.radians(degrees) / 2
    return (math.sin(a), 0.0, 0.0, math.cos(a))


def pose(rotations, lift=0.0):
    """Parent-relative pq lines for one frame: rotations maps joint index to a quaternion."""
    lines = []
    for i, (name, parent, pos) in enumerate(JOINTS):
        if parent < 0:
            t = (pos[0], pos[1], pos[2] + lift)
        else:
            p = JOINTS[parent][2]
            t = (pos[0] - p[0], pos[1] - p[1], pos[2] - p[2])
        q = rotations.get(i, (0.0, 0.0, 0.0, 1.0))
        lines.append("pq %.5f %.5f %.5f %.6f %.6f %.6f %.6f" % (t + q))
    return lines


def animations():
    walk, attack, fall, hit = [], [], [], []
    for f in range(8):
        s = math.sin(f / 8 * 2 * math.pi)
        walk.append(pose({3: quat_x(-35 * s), 4: quat_x(35 * s), 5: quat_x(30 * s), 6: quat_x(-30 * s)},
                         0.03 * abs(s)))
    for f in range(6):
        raise_ = [20, 70, 120, 150, 90, 30][f]
        attack.append(pose({4: quat_x(-raise_), 1: quat_x(10 * math.sin(f / 5 * math.pi))}))
    for f in range(5):
        fall.append(pose({0: quat_x(-90 * f / 4)}, -0.5 * f / 4))
    for f in range(4):
        hit.append(pose({1: quat_x(15 * math.sin(f / 3 * math.pi)), 2: quat_x(20 * math.sin(f / 3 * math.pi))}))
    return [("WALK1", 10, walk), ("ATTACK1", 12, attack), ("FALL", 8, fall), ("HIT1", 12, hit)]


def write_tga(path, size, pixel):
    """An uncompressed 32-bit TGA with row 0 at the top (a nonzero y origin says so); pixel(x, y)
    gives (r, g, b, a)."""
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, size, size, size, 32, 0x28)
    body = bytearray()
    for y in range(size):
        for x in range(size):
            r, g, b, a = pixel(x, y)
            body += bytes((b, g, r, a))
    with open(path, "wb") as f:
        f.write(header + bytes(body))


def skin_pixel(x, y):
    u, v = x / 64, y / 64
    if v < 0.5 and u < 0.5:  # shirt: blue with darker stripes
        return (40, 70, 160, 255) if (y // 4) % 2 else (60, 100, 200, 255)
    if v < 0.5:  # skin
        return (225, 180, 140, 255)
    if u < 0.5:  # trousers
        return (110, 80, 50, 255) if (x + y) % 8 else (90, 65, 40, 255)
    fx, fy = x - 32, y - 32  # face: skin with two eyes and a mouth
    if 9 <= fy <= 13 and (8 <= fx <= 12 or 20 <= fx <= 24):
        return (20, 20, 30, 255)
    if 22 <= fy <= 24 and 10 <= fx <= 22:
        return (150, 40, 40, 255)
    return (225, 180, 140, 255)


def cape_pixel(x, y):
    # Red cloth with a ragged hem: the cut-out leaves triangles out of the bottom edge.
    hem = 52 + abs((x % 16) - 8)
    alpha = 255 if y < hem else 0
    return (170, 30, 40, alpha) if (x // 8 + y // 8) % 2 else (200, 45, 50, alpha)


def main(folder):
    out = ["# Inter-Quake Export", "# A test walker for kestrova_modelview, written by tools/modelview/make_figure.py",
           "#fix_normals 0.001"]
    for name, parent, _ in JOINTS:
        out.append('joint "%s" %d' % (name, parent))
    for name, parent, pos in JOINTS:
        out.append("pq %.5f %.5f %.5f 0 0 0 1" % pos)
    for mesh_name, (verts, tris) in (("body", body_mesh()), ("cape", cape_mesh())):
        out.append('mesh "%s"' % mesh_name)
        for (p, uv, n, w) in verts:
            out.append("vp %.5f %.5f %.5f" % p)
            out.append("vt %.5f %.5f" % uv)
            out.append("vn %.5f %.5f %.5f" % n)
            out.append("vb " + " ".join("%d %.5f" % jw for jw in w))
        for a, b, c in tris:
            out.append("fm %d %d %d" % (a, b, c))
    for name, rate, frames in animations():
        out.append('animation "%s"' % name)
        out.append("framerate %d" % rate)
        for lines in frames:
            out.append("frame")
            out += lines
    with open(folder + "/MODEL.IQE", "w") as f:
        f.write("\n".join(out) + "\n")
    with open(folder + "/TEMPLATE.TXT", "w") as f:
        f.write("# The test walker: textured body with the shade overlay, cut-out cape\n"
                "MESH body TEXTURE0 NONE\nMESH cape TEXTURE1 NONE PAPERDOLL\n")
    write_tga(folder + "/TEXTURE0.TGA", 64, skin_pixel)
    write_tga(folder + "/TEXTURE1.TGA", 64, cape_pixel)


if __name__ == "__main__":
    main(sys.argv[1])
