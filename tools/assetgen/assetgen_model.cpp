// assetgen_model.cpp — model building, the IQE writer, pose skinning and the software rasteriser
#include "assetgen_model.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// ---------------------------------------------------------------------------------------------
// Small vector and quaternion helpers

static void v_sub(const float a[3], const float b[3], float out[3]) {
    out[0] = a[0] - b[0];
    out[1] = a[1] - b[1];
    out[2] = a[2] - b[2];
}

static void v_normalise(float v[3]) {
    float length = sqrtf(vector_dot_xyz(v, v) + 1e-12f);
    v[0] /= length;
    v[1] /= length;
    v[2] /= length;
}

void ag_quat_from_euler(float ax, float ay, float az, float q[4]) {
    float qx[4] = {sinf(ax * 0.5f), 0, 0, cosf(ax * 0.5f)};
    float qy[4] = {0, sinf(ay * 0.5f), 0, cosf(ay * 0.5f)};
    float qz[4] = {0, 0, sinf(az * 0.5f), cosf(az * 0.5f)};
    float t[4];
    quaternion_multiply_xyzw(qy, qx, t);
    quaternion_multiply_xyzw(qz, t, q);
}

// ---------------------------------------------------------------------------------------------
// Building

ag_model *ag_model_create(void) {
    ag_model *model = (ag_model *)calloc(1, sizeof(ag_model));
    model->frame = (ag_pose(*)[AG_MAX_JOINT])calloc(AG_MAX_FRAME, sizeof(*model->frame));
    model->num_frame = 1;
    model->current_mesh = -1;
    ag_place_reset(model);
    return model;
}

void ag_model_free(ag_model *model) {
    if (!model) return;
    for (int i = 0; i < model->num_mesh; i++) {
        free(model->mesh[i].vertex);
        free(model->mesh[i].triangle);
    }
    free(model->frame);
    free(model);
}

static void ag_copy_name(char *out, const char *name) {
    int i = 0;
    for (; name[i] && i < 29; i++) out[i] = (char)toupper((unsigned char)name[i]);
    out[i] = 0;
}

int ag_mesh_begin(ag_model *model, const char *name) {
    if (model->num_mesh >= AG_MAX_MESH) return model->current_mesh;
    ag_mesh *mesh = &model->mesh[model->num_mesh];
    ag_copy_name(mesh->name, name);
    mesh->vertex = (ag_vertex *)calloc(AG_MAX_VERTEX, sizeof(ag_vertex));
    mesh->triangle = (uint16_t(*)[3])calloc(AG_MAX_TRIANGLE, sizeof(*mesh->triangle));
    model->current_mesh = model->num_mesh++;
    return model->current_mesh;
}

int ag_joint_add(ag_model *model, const char *name, int parent, float x, float y, float z) {
    if (model->num_joint >= AG_MAX_JOINT) return model->num_joint - 1;
    ag_joint *joint = &model->joint[model->num_joint];
    ag_copy_name(joint->name, name);
    joint->parent = parent;
    joint->bind[0] = x;
    joint->bind[1] = y;
    joint->bind[2] = z;
    return model->num_joint++;
}

void ag_use_joint(ag_model *model, int joint) { model->current_joint = joint; }

int ag_cell_of_paint(const ag_model *model, int paint) {
    for (int i = 0; i < model->num_cell; i++)
        if (model->cell_paint[i] == paint) return i;
    return -1;
}

void ag_use_paint(ag_model *model, int paint) {
    int cell = ag_cell_of_paint(model, paint);
    if (cell < 0 && model->num_cell < AG_MAX_CELL) {
        cell = model->num_cell++;
        model->cell_paint[cell] = paint;
    }
    model->current_cell = cell < 0 ? 0 : cell;
}

void ag_place_reset(ag_model *model) {
    float identity[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    memcpy(model->m, identity, sizeof(identity));
}

void ag_place(ag_model *model, float x, float y, float z, float ax, float ay, float az) {
    float q[4], r[9];
    ag_quat_from_euler(ax, ay, az, q);
    // Columns of the new rotation are the turned axes.
    for (int c = 0; c < 3; c++) {
        float axis[3] = {c == 0 ? 1.0f : 0.0f, c == 1 ? 1.0f : 0.0f, c == 2 ? 1.0f : 0.0f}, turned[3];
        quaternion_rotate_xyzw(q, axis, turned);
        for (int row = 0; row < 3; row++) r[row * 3 + c] = turned[row];
    }
    float *m = model->m;
    float t[3] = {x, y, z}, moved[3];
    for (int row = 0; row < 3; row++) moved[row] = m[row * 3] * t[0] + m[row * 3 + 1] * t[1] + m[row * 3 + 2] * t[2];
    float out[9];
    for (int row = 0; row < 3; row++)
        for (int c = 0; c < 3; c++)
            out[row * 3 + c] = m[row * 3] * r[c] + m[row * 3 + 1] * r[3 + c] + m[row * 3 + 2] * r[6 + c];
    memcpy(m, out, sizeof(out));
    m[9] += moved[0];
    m[10] += moved[1];
    m[11] += moved[2];
}

// Adds one vertex in local coordinates; s and t (0..1) run across the current paint's cell.
static int ag_emit(ag_model *model, const float p[3], const float n[3], float s, float t) {
    if (model->current_mesh < 0) return 0;
    ag_mesh *mesh = &model->mesh[model->current_mesh];
    if (mesh->num_vertex >= AG_MAX_VERTEX) {
        model->overflow = 1;
        return mesh->num_vertex - 1;
    }
    ag_vertex *v = &mesh->vertex[mesh->num_vertex];
    const float *m = model->m;
    for (int row = 0; row < 3; row++) {
        v->p[row] = m[row * 3] * p[0] + m[row * 3 + 1] * p[1] + m[row * 3 + 2] * p[2] + m[9 + row];
        v->n[row] = m[row * 3] * n[0] + m[row * 3 + 1] * n[1] + m[row * 3 + 2] * n[2];
    }
    v_normalise(v->n);
    // Texture cells sit on a 4 x 4 grid; a small inset keeps neighbours out of the filtering.
    const float inset = 2.5f / 128.0f, span = 0.25f - 2.0f * inset;
    int cell = model->current_cell;
    s = fminf(fmaxf(s, 0.0f), 1.0f);
    t = fminf(fmaxf(t, 0.0f), 1.0f);
    v->uv[0] = (float)(cell % 4) * 0.25f + inset + s * span;
    v->uv[1] = (float)(cell / 4) * 0.25f + inset + t * span;
    v->joint = model->current_joint;
    return mesh->num_vertex++;
}

static void ag_triangle(ag_model *model, int a, int b, int c) {
    if (model->current_mesh < 0) return;
    ag_mesh *mesh = &model->mesh[model->current_mesh];
    if (mesh->num_triangle >= AG_MAX_TRIANGLE) {
        model->overflow = 1;
        return;
    }
    mesh->triangle[mesh->num_triangle][0] = (uint16_t)a;
    mesh->triangle[mesh->num_triangle][1] = (uint16_t)b;
    mesh->triangle[mesh->num_triangle][2] = (uint16_t)c;
    mesh->num_triangle++;
}

// A flat quad p0..p3, counter-clockwise around its normal.
static void ag_quad(ag_model *model, const float p0[3], const float p1[3], const float p2[3], const float p3[3],
                    float s0, float t0, float s1, float t1, uint8_t transpose = 0) {
    float e1[3], e2[3], n[3];
    v_sub(p1, p0, e1);
    v_sub(p3, p0, e2);
    vector_cross_xyz(e1, e2, n);
    v_normalise(n);
    int a, b, c, d;
    if (transpose) {
        a = ag_emit(model, p0, n, t0, s0);
        b = ag_emit(model, p1, n, t0, s1);
        c = ag_emit(model, p2, n, t1, s1);
        d = ag_emit(model, p3, n, t1, s0);
    } else {
        a = ag_emit(model, p0, n, s0, t0);
        b = ag_emit(model, p1, n, s1, t0);
        c = ag_emit(model, p2, n, s1, t1);
        d = ag_emit(model, p3, n, s0, t1);
    }
    ag_triangle(model, a, b, c);
    ag_triangle(model, a, c, d);
}

void ag_box(ag_model *model, float cx, float cy, float cz, float hx, float hy, float hz) {
    float h[3] = {hx, hy, hz}, c[3] = {cx, cy, cz};
    // Each face: its normal axis and sign; the two in-plane axes taken so the corners run
    // counter-clockwise seen from outside.
    for (int axis = 0; axis < 3; axis++) {
        for (int sign = -1; sign <= 1; sign += 2) {
            int u = (axis + 1) % 3, v = (axis + 2) % 3;
            if (sign < 0) {
                int swap = u;
                u = v;
                v = swap;
            }
            float p[4][3];
            const float su[4] = {-1, 1, 1, -1}, sv[4] = {-1, -1, 1, 1};
            for (int k = 0; k < 4; k++) {
                p[k][axis] = c[axis] + sign * h[axis];
                p[k][u] = c[u] + su[k] * h[u];
                p[k][v] = c[v] + sv[k] * h[v];
            }
            // Texture t runs along the longer side of the face, so grain follows it.
            ag_quad(model, p[0], p[1], p[2], p[3], 0, 0, 1, 1, h[u] > h[v]);
        }
    }
}

static void ag_basis(const float d[3], float u[3], float v[3]) {
    float helper[3] = {0, 0, 1};
    if (fabsf(d[2]) > 0.9f) {
        helper[0] = 1;
        helper[2] = 0;
    }
    vector_cross_xyz(helper, d, u);
    v_normalise(u);
    vector_cross_xyz(d, u, v);
}

void ag_cylinder(ag_model *model, const float a[3], const float b[3], float ra, float rb, int sides, uint8_t caps) {
    float d[3], u[3], v[3];
    v_sub(b, a, d);
    float length = sqrtf(vector_dot_xyz(d, d));
    if (length < 1e-6f) return;
    v_normalise(d);
    ag_basis(d, u, v);
    float slope = (ra - rb) / length;
    for (int i = 0; i < sides; i++) {
        float a0 = 6.2831853f * (float)i / sides + 3.14159265f / sides;
        float a1 = 6.2831853f * (float)(i + 1) / sides + 3.14159265f / sides;
        float r0[3], r1[3];
        for (int k = 0; k < 3; k++) {
            r0[k] = u[k] * cosf(a0) + v[k] * sinf(a0);
            r1[k] = u[k] * cosf(a1) + v[k] * sinf(a1);
        }
        float p[4][3], n0[3], n1[3];
        for (int k = 0; k < 3; k++) {
            p[0][k] = a[k] + r0[k] * ra;
            p[1][k] = a[k] + r1[k] * ra;
            p[2][k] = b[k] + r1[k] * rb;
            p[3][k] = b[k] + r0[k] * rb;
            n0[k] = r0[k] + d[k] * slope;
            n1[k] = r1[k] + d[k] * slope;
        }
        // Few sides read as facets; many as a round surface.
        if (sides <= 6) {
            for (int k = 0; k < 3; k++) n0[k] = n1[k] = n0[k] + n1[k];
        }
        float s0 = (float)i / sides, s1 = (float)(i + 1) / sides;
        int i0 = ag_emit(model, p[0], n0, s0, 0), i1 = ag_emit(model, p[1], n1, s1, 0);
        int i2 = ag_emit(model, p[2], n1, s1, 1), i3 = ag_emit(model, p[3], n0, s0, 1);
        ag_triangle(model, i0, i1, i2);
        ag_triangle(model, i0, i2, i3);
        if (caps) {
            float down[3] = {-d[0], -d[1], -d[2]};
            if (ra > 1e-5f) {
                int c = ag_emit(model, a, down, 0.5f, 0.5f);
                int e0 = ag_emit(model, p[0], down, 0.5f + 0.5f * cosf(a0), 0.5f + 0.5f * sinf(a0));
                int e1 = ag_emit(model, p[1], down, 0.5f + 0.5f * cosf(a1), 0.5f + 0.5f * sinf(a1));
                ag_triangle(model, c, e1, e0);
            }
            if (rb > 1e-5f) {
                int c = ag_emit(model, b, d, 0.5f, 0.5f);
                int e0 = ag_emit(model, p[3], d, 0.5f + 0.5f * cosf(a0), 0.5f + 0.5f * sinf(a0));
                int e1 = ag_emit(model, p[2], d, 0.5f + 0.5f * cosf(a1), 0.5f + 0.5f * sinf(a1));
                ag_triangle(model, c, e0, e1);
            }
        }
    }
}

void ag_ellipsoid(ag_model *model, float cx, float cy, float cz, float rx, float ry, float rz, int rings, int sides) {
    for (int r = 0; r < rings; r++) {
        for (int i = 0; i < sides; i++) {
            float p[4][3], n[4][3], st[4][2];
            for (int k = 0; k < 4; k++) {
                int rr = r + (k >= 2 ? 1 : 0), ii = i + ((k == 1 || k == 2) ? 1 : 0);
                float lat = -1.5707963f + 3.14159265f * (float)rr / rings;
                float lon = 6.2831853f * (float)ii / sides;
                float ux = cosf(lat) * cosf(lon), uy = cosf(lat) * sinf(lon), uz = sinf(lat);
                p[k][0] = cx + ux * rx;
                p[k][1] = cy + uy * ry;
                p[k][2] = cz + uz * rz;
                n[k][0] = ux / rx;
                n[k][1] = uy / ry;
                n[k][2] = uz / rz;
                st[k][0] = (float)ii / sides;
                st[k][1] = (float)rr / rings;
            }
            int idx[4];
            for (int k = 0; k < 4; k++) idx[k] = ag_emit(model, p[k], n[k], st[k][0], st[k][1]);
            if (r > 0) ag_triangle(model, idx[0], idx[1], idx[2]);
            if (r < rings - 1) ag_triangle(model, idx[0], idx[2], idx[3]);
        }
    }
}

void ag_rock(ag_model *model, float cx, float cy, float cz, float rx, float ry, float rz, float lumpy, uint32_t seed) {
    const int rings = 5, sides = 7;
    float p[rings + 1][sides][3];
    for (int r = 0; r <= rings; r++) {
        for (int i = 0; i < sides; i++) {
            // The poles share one point, so they draw one jitter each.
            int key = (r == 0 || r == rings) ? 0 : i;
            float k = 1.0f + lumpy * (assetgen_hash_float((uint32_t)r, (uint32_t)key, seed) * 2.0f - 1.0f);
            float lat = -1.5707963f + 3.14159265f * (float)r / rings;
            float lon = 6.2831853f * (float)i / sides + (r % 2) * 0.4f;
            p[r][i][0] = cx + cosf(lat) * cosf(lon) * rx * k;
            p[r][i][1] = cy + cosf(lat) * sinf(lon) * ry * k;
            p[r][i][2] = cz + sinf(lat) * rz * k;
        }
    }
    for (int r = 0; r < rings; r++) {
        for (int i = 0; i < sides; i++) {
            int j = (i + 1) % sides;
            const float *quad[4] = {p[r][i], p[r][j], p[r + 1][j], p[r + 1][i]};
            for (int half = 0; half < 2; half++) {
                if (half == 0 && r == 0) continue;
                if (half == 1 && r == rings - 1) continue;
                const float *a = quad[0], *b = half == 0 ? quad[1] : quad[2], *c = half == 0 ? quad[2] : quad[3];
                float e1[3], e2[3], n[3];
                v_sub(b, a, e1);
                v_sub(c, a, e2);
                vector_cross_xyz(e1, e2, n);
                v_normalise(n);
                float s0 = (float)i / sides, s1 = (float)(i + 1) / sides, t0 = (float)r / rings, t1 = (float)(r + 1) / rings;
                int ia = ag_emit(model, a, n, s0, t0);
                int ib = half == 0 ? ag_emit(model, b, n, s1, t0) : ag_emit(model, b, n, s1, t1);
                int ic = half == 0 ? ag_emit(model, c, n, s1, t1) : ag_emit(model, c, n, s0, t1);
                ag_triangle(model, ia, ib, ic);
            }
        }
    }
}

void ag_slab(ag_model *model, const float (*points)[2], int count, float fx, float fy, float h) {
    float minx = 1e9f, maxx = -1e9f, miny = 1e9f, maxy = -1e9f;
    for (int i = 0; i < count; i++) {
        minx = fminf(minx, points[i][0]);
        maxx = fmaxf(maxx, points[i][0]);
        miny = fminf(miny, points[i][1]);
        maxy = fmaxf(maxy, points[i][1]);
    }
    float wx = fmaxf(maxx - minx, 1e-5f), wy = fmaxf(maxy - miny, 1e-5f);
    float up[3] = {0, 0, 1}, down[3] = {0, 0, -1};
    float f_top[3] = {fx, fy, h}, f_bottom[3] = {fx, fy, -h};
    float fs = (fx - minx) / wx, ft = (fy - miny) / wy;
    for (int i = 0; i < count; i++) {
        int j = (i + 1) % count;
        float a_top[3] = {points[i][0], points[i][1], h}, b_top[3] = {points[j][0], points[j][1], h};
        float a_bot[3] = {points[i][0], points[i][1], -h}, b_bot[3] = {points[j][0], points[j][1], -h};
        float as = (points[i][0] - minx) / wx, at = (points[i][1] - miny) / wy;
        float bs = (points[j][0] - minx) / wx, bt = (points[j][1] - miny) / wy;
        int c = ag_emit(model, f_top, up, fs, ft);
        int a = ag_emit(model, a_top, up, as, at), b = ag_emit(model, b_top, up, bs, bt);
        ag_triangle(model, c, a, b);
        c = ag_emit(model, f_bottom, down, fs, ft);
        a = ag_emit(model, a_bot, down, as, at);
        b = ag_emit(model, b_bot, down, bs, bt);
        ag_triangle(model, c, b, a);
        ag_quad(model, a_bot, b_bot, b_top, a_top, (float)i / count, 0, (float)(i + 1) / count, 1);
    }
}

void ag_card(ag_model *model, const float corner[3], const float u[3], const float v[3]) {
    float p[4][3];
    for (int k = 0; k < 3; k++) {
        p[0][k] = corner[k];
        p[1][k] = corner[k] + u[k];
        p[2][k] = corner[k] + u[k] + v[k];
        p[3][k] = corner[k] + v[k];
    }
    ag_quad(model, p[0], p[1], p[2], p[3], 0, 0, 1, 1);
    // The back face mirrors the texture, as a cut-out seen from behind would.
    float e1[3], e2[3], n[3];
    v_sub(p[1], p[0], e1);
    v_sub(p[3], p[0], e2);
    vector_cross_xyz(e2, e1, n);
    v_normalise(n);
    int a = ag_emit(model, p[0], n, 0, 0), b = ag_emit(model, p[3], n, 0, 1);
    int c = ag_emit(model, p[2], n, 1, 1), d = ag_emit(model, p[1], n, 1, 0);
    ag_triangle(model, a, b, c);
    ag_triangle(model, a, c, d);
}

// ---------------------------------------------------------------------------------------------
// Animation

static void ag_rest_pose(const ag_model *model, ag_pose *pose) {
    for (int j = 0; j < model->num_joint; j++) {
        const ag_joint *joint = &model->joint[j];
        for (int k = 0; k < 3; k++)
            pose[j].t[k] = joint->bind[k] - (joint->parent >= 0 ? model->joint[joint->parent].bind[k] : 0.0f);
        pose[j].q[0] = pose[j].q[1] = pose[j].q[2] = 0.0f;
        pose[j].q[3] = 1.0f;
    }
}

void ag_animation_begin(ag_model *model, const char *name, int fps) {
    if (model->num_animation >= AG_MAX_ANIMATION) return;
    ag_animation *animation = &model->animation[model->num_animation++];
    ag_copy_name(animation->name, name);
    animation->fps = fps;
    animation->first = model->num_frame;
    animation->last = model->num_frame - 1;
}

ag_pose *ag_frame_add(ag_model *model) {
    int f = model->num_frame < AG_MAX_FRAME ? model->num_frame++ : AG_MAX_FRAME - 1;
    ag_rest_pose(model, model->frame[f]);
    return model->frame[f];
}

void ag_animation_end(ag_model *model) {
    if (model->num_animation > 0) model->animation[model->num_animation - 1].last = model->num_frame - 1;
}

void ag_pose_turn(ag_pose *pose, float ax, float ay, float az) { ag_quat_from_euler(ax, ay, az, pose->q); }

// ---------------------------------------------------------------------------------------------
// The IQE writer

static void ag_quoted_name(FILE *file, const char *keyword, const char *name) {
    fprintf(file, "%s \"%s\"", keyword, name);
}

static float ag_tidy(float v) {
    // Avoid "-0.0000" so equal geometry always prints the same way.
    return fabsf(v) < 0.00005f ? 0.0f : v;
}

uint8_t ag_write_iqe(const char *path, const ag_model *model) {
    if (model->overflow) {
        fprintf(stderr, "assetgen: %s has a mesh too large for the builder\n", path);
        return 0;
    }
    FILE *file = fopen(path, "wb");
    if (!file) {
        fprintf(stderr, "assetgen: cannot write %s\n", path);
        return 0;
    }
    fprintf(file, "# Inter-Quake Export\n");
    // Outlines of split (hard-edged) vertices share one direction, so the cartoon rim stays closed.
    fprintf(file, "#fix_normals 0.001\n");
    uint8_t skinned = model->num_joint > 0;
    for (int j = 0; j < model->num_joint; j++) {
        ag_quoted_name(file, "joint", model->joint[j].name);
        fprintf(file, " %d\n", model->joint[j].parent);
    }
    // The bind pose: model-space transforms of every joint, before any frame line.
    for (int j = 0; j < model->num_joint; j++) {
        const float *b = model->joint[j].bind;
        fprintf(file, "pq %.4f %.4f %.4f 0 0 0 1\n", ag_tidy(b[0]), ag_tidy(b[1]), ag_tidy(b[2]));
    }
    for (int i = 0; i < model->num_mesh; i++) {
        const ag_mesh *mesh = &model->mesh[i];
        ag_quoted_name(file, "mesh", mesh->name);
        fprintf(file, "\n");
        for (int k = 0; k < mesh->num_vertex; k++) {
            const ag_vertex *v = &mesh->vertex[k];
            fprintf(file, "vp %.4f %.4f %.4f\n", ag_tidy(v->p[0]), ag_tidy(v->p[1]), ag_tidy(v->p[2]));
        }
        for (int k = 0; k < mesh->num_vertex; k++)
            fprintf(file, "vt %.4f %.4f\n", ag_tidy(mesh->vertex[k].uv[0]), ag_tidy(mesh->vertex[k].uv[1]));
        for (int k = 0; k < mesh->num_vertex; k++) {
            const float *n = mesh->vertex[k].n;
            fprintf(file, "vn %.4f %.4f %.4f\n", ag_tidy(n[0]), ag_tidy(n[1]), ag_tidy(n[2]));
        }
        if (skinned)
            for (int k = 0; k < mesh->num_vertex; k++) fprintf(file, "vb %d 1\n", mesh->vertex[k].joint);
        // The game reverses each face as it reads it and, with its mirrored view, draws
        // clockwise faces as fronts: faces are written clockwise seen from outside.
        for (int k = 0; k < mesh->num_triangle; k++)
            fprintf(file, "fm %d %d %d\n", mesh->triangle[k][0], mesh->triangle[k][2], mesh->triangle[k][1]);
    }
    for (int a = 0; a < model->num_animation; a++) {
        const ag_animation *animation = &model->animation[a];
        ag_quoted_name(file, "animation", animation->name);
        fprintf(file, "\nframerate %d\n", animation->fps);
        for (int f = animation->first; f <= animation->last; f++) {
            fprintf(file, "frame\n");
            for (int j = 0; j < model->num_joint; j++) {
                const ag_pose *p = &model->frame[f][j];
                fprintf(file, "pq %.4f %.4f %.4f %.6f %.6f %.6f %.6f\n", ag_tidy(p->t[0]), ag_tidy(p->t[1]),
                        ag_tidy(p->t[2]), ag_tidy(p->q[0]), ag_tidy(p->q[1]), ag_tidy(p->q[2]), ag_tidy(p->q[3]));
            }
        }
    }
    uint8_t ok = ferror(file) ? 0 : 1;
    if (fclose(file) != 0) ok = 0;
    return ok;
}

// ---------------------------------------------------------------------------------------------
// Skinning

void ag_pose_mesh(const ag_model *model, int mesh_index, int frame, float *positions, float *normals) {
    const ag_mesh *mesh = &model->mesh[mesh_index];
    if (frame <= 0 || frame >= model->num_frame || model->num_joint == 0) {
        for (int k = 0; k < mesh->num_vertex; k++) {
            memcpy(positions + k * 3, mesh->vertex[k].p, sizeof(float) * 3);
            memcpy(normals + k * 3, mesh->vertex[k].n, sizeof(float) * 3);
        }
        return;
    }
    float Q[AG_MAX_JOINT][4], T[AG_MAX_JOINT][3];
    for (int j = 0; j < model->num_joint; j++) {
        const ag_pose *p = &model->frame[frame][j];
        int parent = model->joint[j].parent;
        if (parent < 0 || parent >= j) {
            memcpy(T[j], p->t, sizeof(T[j]));
            memcpy(Q[j], p->q, sizeof(Q[j]));
        } else {
            float moved[3];
            quaternion_rotate_xyzw(Q[parent], p->t, moved);
            for (int k = 0; k < 3; k++) T[j][k] = T[parent][k] + moved[k];
            quaternion_multiply_xyzw(Q[parent], p->q, Q[j]);
        }
    }
    for (int k = 0; k < mesh->num_vertex; k++) {
        const ag_vertex *v = &mesh->vertex[k];
        int j = v->joint;
        float local[3], turned[3];
        v_sub(v->p, model->joint[j].bind, local);
        quaternion_rotate_xyzw(Q[j], local, turned);
        for (int c = 0; c < 3; c++) positions[k * 3 + c] = T[j][c] + turned[c];
        quaternion_rotate_xyzw(Q[j], v->n, normals + k * 3);
    }
}

// ---------------------------------------------------------------------------------------------
// Rasteriser

void ag_view_look(ag_view *view, float fx, float fy, float fz) {
    float b[3] = {-fx, -fy, -fz};
    v_normalise(b);
    float h = sqrtf(b[0] * b[0] + b[1] * b[1]);
    float by = b[1];
    if (h < 0.0001f) {
        h = 1.0f;
        by = 1.0f;
    }
    float side[3] = {by / h, -b[0] / h, 0.0f};
    memcpy(view->back, b, sizeof(b));
    memcpy(view->side, side, sizeof(side));
    view->up[0] = side[1] * b[2];
    view->up[1] = -side[0] * b[2];
    view->up[2] = side[0] * b[1] - side[1] * b[0];
    v_normalise(view->up);
}

void ag_view_board(ag_view *view) {
    float side[3] = {1, 0, 0}, up[3] = {0, -1, 0}, back[3] = {0, 0, 1};
    memcpy(view->side, side, sizeof(side));
    memcpy(view->up, up, sizeof(up));
    memcpy(view->back, back, sizeof(back));
}

static const uint8_t *ag_texel(const assetgen_image *image, float u, float v) {
    int x = (int)floorf(u * image->width), y = (int)floorf(v * image->height);
    x = x < 0 ? 0 : (x >= image->width ? image->width - 1 : x);
    y = y < 0 ? 0 : (y >= image->height ? image->height - 1 : y);
    return image->rgba + ((size_t)y * image->width + x) * 4;
}

struct ag_screen_vertex {
    float x, y, z;
    float uv[2];
    float env[2];
};

static void ag_fill(assetgen_image *image, float *depth, const ag_screen_vertex *a, const ag_screen_vertex *b,
                    const ag_screen_vertex *c, const assetgen_image *texture, const assetgen_image *env, uint8_t paperdoll,
                    float brightness) {
    float area = (b->x - a->x) * (c->y - a->y) - (c->x - a->x) * (b->y - a->y);
    if (fabsf(area) < 1e-8f) return;
    int x0 = (int)floorf(fminf(a->x, fminf(b->x, c->x))), x1 = (int)ceilf(fmaxf(a->x, fmaxf(b->x, c->x)));
    int y0 = (int)floorf(fminf(a->y, fminf(b->y, c->y))), y1 = (int)ceilf(fmaxf(a->y, fmaxf(b->y, c->y)));
    x0 = x0 < 0 ? 0 : x0;
    y0 = y0 < 0 ? 0 : y0;
    x1 = x1 > image->width - 1 ? image->width - 1 : x1;
    y1 = y1 > image->height - 1 ? image->height - 1 : y1;
    for (int y = y0; y <= y1; y++) {
        for (int x = x0; x <= x1; x++) {
            float px = x + 0.5f, py = y + 0.5f;
            float w0 = ((b->x - px) * (c->y - py) - (c->x - px) * (b->y - py)) / area;
            float w1 = ((c->x - px) * (a->y - py) - (a->x - px) * (c->y - py)) / area;
            float w2 = 1.0f - w0 - w1;
            if (w0 < 0 || w1 < 0 || w2 < 0) continue;
            float z = w0 * a->z + w1 * b->z + w2 * c->z;
            float *d = &depth[y * image->width + x];
            if (z <= *d) continue;
            float u = w0 * a->uv[0] + w1 * b->uv[0] + w2 * c->uv[0];
            float v = w0 * a->uv[1] + w1 * b->uv[1] + w2 * c->uv[1];
            const uint8_t *t = texture ? ag_texel(texture, u, v) : nullptr;
            if (paperdoll && t && t[3] <= 127) continue;
            float eu = w0 * a->env[0] + w1 * b->env[0] + w2 * c->env[0];
            float ev = w0 * a->env[1] + w1 * b->env[1] + w2 * c->env[1];
            const uint8_t *e = ag_texel(env, eu, ev);
            *d = z;
            assetgen_colour colour = assetgen_rgb(255, 255, 255);
            if (t) colour = assetgen_rgb(t[0], t[1], t[2]);
            // Modulate by the brightness, then by the environment picture with a scale of 2.
            colour.r = colour.r * brightness / 255.0f * e[0] / 127.5f;
            colour.g = colour.g * brightness / 255.0f * e[1] / 127.5f;
            colour.b = colour.b * brightness / 255.0f * e[2] / 127.5f;
            assetgen_image_set(image, x, y, colour, 1.0f);
        }
    }
}

void ag_render(assetgen_image *image, float *depth, const ag_scene *scene) {
    const ag_model *model = scene->model;
    const ag_slot *slots = scene->slots;
    const int num_slots = scene->num_slots, frame = scene->frame, num_textures = scene->num_textures;
    const float *facing = scene->facing;
    const ag_view *view = scene->view;
    const assetgen_image *textures = scene->textures, *shade = scene->shade, *metal = scene->metal;
    static float positions[AG_MAX_VERTEX * 3], normals[AG_MAX_VERTEX * 3], outline[AG_MAX_VERTEX * 3];
    static ag_screen_vertex screen[AG_MAX_VERTEX];
    for (int s = 0; s < num_slots; s++) {
        const ag_slot *slot = &slots[s];
        if (slot->mesh < 0 || slot->mesh >= model->num_mesh) continue;
        const ag_mesh *mesh = &model->mesh[slot->mesh];
        ag_pose_mesh(model, slot->mesh, frame, positions, normals);
        for (int k = 0; k < mesh->num_vertex; k++) {
            quaternion_rotate_xyzw(facing, positions + k * 3, positions + k * 3);
            quaternion_rotate_xyzw(facing, normals + k * 3, normals + k * 3);
            v_normalise(normals + k * 3);
        }
        // Outline directions: coincident vertices share the sum of their normals, as the
        // loader's normal fixing does.
        for (int k = 0; k < mesh->num_vertex; k++) {
            float sum[3] = {0, 0, 0};
            for (int j = 0; j < mesh->num_vertex; j++) {
                float d[3];
                v_sub(positions + k * 3, positions + j * 3, d);
                if (vector_dot_xyz(d, d) < 0.000001f)
                    for (int c = 0; c < 3; c++) sum[c] += normals[j * 3 + c];
            }
            v_normalise(sum);
            memcpy(outline + k * 3, sum, sizeof(sum));
        }
        const assetgen_image *texture = slot->texture >= 0 && slot->texture < num_textures ? &textures[slot->texture] : nullptr;
        const assetgen_image *env = shade;
        if (slot->overlay > 9)
            env = metal;
        else if (slot->overlay > 0 && slot->overlay < num_textures)
            env = &textures[slot->overlay];
        for (int pass = 0; pass < 2; pass++) {
            if (pass == 1 && view->outline <= 0.0f) break;
            for (int k = 0; k < mesh->num_vertex; k++) {
                float p[3], rel[3];
                for (int c = 0; c < 3; c++) p[c] = positions[k * 3 + c] + (pass ? outline[k * 3 + c] * view->outline : 0.0f);
                v_sub(p, view->centre, rel);
                screen[k].x = image->width * 0.5f + view->scale * vector_dot_xyz(view->side, rel);
                screen[k].y = image->height * 0.5f - view->scale * vector_dot_xyz(view->up, rel);
                screen[k].z = vector_dot_xyz(view->back, rel);
                screen[k].uv[0] = mesh->vertex[k].uv[0];
                screen[k].uv[1] = mesh->vertex[k].uv[1];
                screen[k].env[0] = 0.5f - 0.5f * vector_dot_xyz(view->side, normals + k * 3);
                screen[k].env[1] = 0.5f - 0.5f * vector_dot_xyz(view->up, normals + k * 3);
            }
            for (int t = 0; t < mesh->num_triangle; t++) {
                const ag_screen_vertex *a = &screen[mesh->triangle[t][0]], *b = &screen[mesh->triangle[t][1]],
                                       *c = &screen[mesh->triangle[t][2]];
                // Signed area with y pointing up: negative is clockwise, the game's front face.
                float area = (b->x - a->x) * (a->y - c->y) - (c->x - a->x) * (a->y - b->y);
                if (pass == 0 && area >= 0.0f) continue;
                if (pass == 1 && area <= 0.0f) continue;
                ag_fill(image, depth, a, b, c, texture, env, slot->paperdoll, pass ? 127.0f : 255.0f);
            }
        }
    }
}
