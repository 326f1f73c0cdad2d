// model_smooth.cpp — seam and normal smoothing of a loaded model, bounded by a hash grid of
// positions so large models stay fast
#include <cmath>
#include <cstdlib>

#include "models/model.h"

// A spatial hash over points: cell of side `cell`, chained through next[]. Sized for the largest
// mesh set a model can hold; the arrays grow with the model and are kept between loads.
static int32_t *grid_head = nullptr;
static int32_t *grid_next = nullptr;
static uint32_t grid_capacity = 0;
static uint32_t grid_buckets = 0;
// Points gathered for a seam band: mesh and vertex of each.
static uint32_t *band_mesh = nullptr;
static uint32_t *band_vertex = nullptr;
static uint32_t *candidates = nullptr;

static uint8_t model_grid_reserve(uint32_t count) {
    if (count <= grid_capacity) return 1;
    uint32_t capacity = count < 1024 ? 1024 : count;
    uint32_t buckets = 1;
    while (buckets < capacity * 2u) buckets <<= 1;
    int32_t *head = (int32_t *)realloc(grid_head, buckets * sizeof(int32_t));
    if (head) grid_head = head;
    int32_t *next = (int32_t *)realloc(grid_next, capacity * sizeof(int32_t));
    if (next) grid_next = next;
    uint32_t *bm = (uint32_t *)realloc(band_mesh, capacity * sizeof(uint32_t));
    if (bm) band_mesh = bm;
    uint32_t *bv = (uint32_t *)realloc(band_vertex, capacity * sizeof(uint32_t));
    if (bv) band_vertex = bv;
    uint32_t *cand = (uint32_t *)realloc(candidates, (MODEL_SMOOTH_PAIR_LIMIT + 1) * sizeof(uint32_t));
    if (cand) candidates = cand;
    if (!head || !next || !bm || !bv || !cand) return 0;
    grid_capacity = capacity;
    grid_buckets = buckets;
    return 1;
}

void model_load_release_scratch(void) {
    free(grid_head);
    free(grid_next);
    free(band_mesh);
    free(band_vertex);
    free(candidates);
    grid_head = grid_next = nullptr;
    band_mesh = band_vertex = candidates = nullptr;
    grid_capacity = grid_buckets = 0;
}

static inline int32_t model_grid_coordinate(float v, float cell) {
    float c = floorf(v / cell);
    if (c > 1.0e9f) c = 1.0e9f;
    if (c < -1.0e9f) c = -1.0e9f;
    return (int32_t)c;
}

static inline uint32_t model_grid_hash(int32_t x, int32_t y, int32_t z) {
    uint32_t h = (uint32_t)x * 73856093u ^ (uint32_t)y * 19349663u ^ (uint32_t)z * 83492791u;
    return h & (grid_buckets - 1);
}

static void model_grid_clear(void) {
    for (uint32_t i = 0; i < grid_buckets; i++) grid_head[i] = -1;
}

static void model_grid_insert(uint32_t item, const float *p, float cell) {
    uint32_t h = model_grid_hash(model_grid_coordinate(p[0], cell), model_grid_coordinate(p[1], cell),
                                 model_grid_coordinate(p[2], cell));
    grid_next[item] = grid_head[h];
    grid_head[h] = (int32_t)item;
}

static int model_compare_u32(const void *a, const void *b) {
    uint32_t x = *(const uint32_t *)a, y = *(const uint32_t *)b;
    return x < y ? -1 : (x > y ? 1 : 0);
}

static inline float model_distance2(const float *a, const float *b) {
    float dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
    return dx * dx + dy * dy + dz * dz;
}

// Items near p (within the 27 cells around it) that pass accept(), sorted by item number, at most
// the pair limit; returns how many, and sets *capped when some were left out.
template <typename Accept>
static uint32_t model_grid_near(const float *p, float cell, Accept accept, uint8_t *capped) {
    uint32_t count = 0;
    int32_t cx = model_grid_coordinate(p[0], cell), cy = model_grid_coordinate(p[1], cell),
            cz = model_grid_coordinate(p[2], cell);
    // Distinct cells may share a bucket; a bucket already walked is not walked twice.
    uint32_t seen[27];
    int num_seen = 0;
    for (int dz = -1; dz <= 1; dz++)
        for (int dy = -1; dy <= 1; dy++)
            for (int dx = -1; dx <= 1; dx++) {
                uint32_t h = model_grid_hash(cx + dx, cy + dy, cz + dz);
                int dup = 0;
                for (int s = 0; s < num_seen; s++)
                    if (seen[s] == h) dup = 1;
                if (dup) continue;
                seen[num_seen++] = h;
                for (int32_t it = grid_head[h]; it >= 0; it = grid_next[it]) {
                    if (!accept((uint32_t)it)) continue;
                    if (count >= MODEL_SMOOTH_PAIR_LIMIT) {
                        *capped = 1;
                        continue;
                    }
                    candidates[count++] = (uint32_t)it;
                }
            }
    qsort(candidates, count, sizeof(uint32_t), model_compare_u32);
    return count;
}

static void model_merge_normals(model_vertex *a, model_vertex *b) {
    float sum[3];
    for (int k = 0; k < 3; k++) sum[k] = a->normal_xyz[k] + b->normal_xyz[k];
    float length = sqrtf(vector_dot_xyz(sum, sum) + 0.00001f);
    for (int k = 0; k < 3; k++) {
        float v = sum[k] / length;
        a->normal_xyz[k] = a->outline_normal_xyz[k] = v;
        b->normal_xyz[k] = b->outline_normal_xyz[k] = v;
    }
}

// Where separately exported meshes meet inside a band of heights, vertices closer than 0.1 share
// one normal. Pairs are met in the order of a plain scan: mesh, vertex, later mesh, its vertex.
uint8_t model_fix_seams(model *m, const float *seam_low, const float *seam_high, int num_seam) {
    uint32_t total = 0;
    for (uint32_t i = 0; i < m->num_mesh; i++) total += m->mesh_data[i]->num_vertex;
    if (num_seam <= 0 || total == 0) return 0;
    if (!model_grid_reserve(total)) return 0;
    const float cell = 0.1f;
    uint8_t capped = 0;
    for (int band = num_seam - 1; band >= 0; band--) {
        float low = seam_low[band], high = seam_high[band];
        // Items are numbered in scan order, so sorting them by number restores that order.
        uint32_t count = 0;
        model_grid_clear();
        for (uint32_t i = 0; i < m->num_mesh; i++) {
            const model_mesh *mesh = m->mesh_data[i];
            for (uint32_t v = 0; v < mesh->num_vertex; v++) {
                float z = mesh->vertex_data[v].position_xyz[2];
                if (z > low && z < high) {
                    band_mesh[count] = i;
                    band_vertex[count] = v;
                    model_grid_insert(count, mesh->vertex_data[v].position_xyz, cell);
                    count++;
                }
            }
        }
        for (uint32_t item = 0; item < count; item++) {
            uint32_t mi = band_mesh[item];
            model_vertex *a = &m->mesh_data[mi]->vertex_data[band_vertex[item]];
            uint32_t found = model_grid_near(
                a->position_xyz, cell, [&](uint32_t other) { return band_mesh[other] > mi; }, &capped);
            for (uint32_t k = 0; k < found; k++) {
                model_vertex *b = &m->mesh_data[band_mesh[candidates[k]]]->vertex_data[band_vertex[candidates[k]]];
                if (model_distance2(a->position_xyz, b->position_xyz) < 0.01f) model_merge_normals(a, b);
            }
        }
    }
    return capped;
}

// Outline normals of vertices within the tolerance add up, so the outline does not split at hard
// edges; the shading normal then leans half way towards the shared outline direction.
uint8_t model_fix_normals(model *m, float tolerance) {
    uint8_t capped = 0;
    float tolerance2 = tolerance * tolerance;
    float cell = fabsf(tolerance);
    for (uint32_t i = 0; i < m->num_mesh; i++) {
        model_mesh *mesh = m->mesh_data[i];
        uint32_t n = mesh->num_vertex;
        if (n > 0 && cell > 0.0f && model_grid_reserve(n)) {
            model_grid_clear();
            for (uint32_t v = 0; v < n; v++) model_grid_insert(v, mesh->vertex_data[v].position_xyz, cell);
            for (uint32_t j = 0; j < n; j++) {
                model_vertex *a = &mesh->vertex_data[j];
                uint32_t found = model_grid_near(a->position_xyz, cell, [](uint32_t) { return true; }, &capped);
                for (uint32_t k = 0; k < found; k++) {
                    model_vertex *b = &mesh->vertex_data[candidates[k]];
                    if (model_distance2(a->position_xyz, b->position_xyz) >= tolerance2) continue;
                    float sum[3];
                    for (int c = 0; c < 3; c++) sum[c] = a->outline_normal_xyz[c] + b->outline_normal_xyz[c];
                    // Sums double as they build up in a large cluster; a long one is shortened to
                    // unit length (only its direction is used) so it never overflows.
                    float length2 = vector_dot_xyz(sum, sum);
                    if (length2 > 1.0e12f) {
                        float length = sqrtf(length2);
                        for (int c = 0; c < 3; c++) sum[c] /= length;
                    }
                    for (int c = 0; c < 3; c++) a->outline_normal_xyz[c] = b->outline_normal_xyz[c] = sum[c];
                }
            }
        }
        for (uint32_t v = 0; v < n; v++) {
            model_vertex *a = &mesh->vertex_data[v];
            float *o = a->outline_normal_xyz;
            float length = sqrtf(vector_dot_xyz(o, o) + 0.00001f);
            for (int c = 0; c < 3; c++) o[c] /= length;
            float sum[3];
            for (int c = 0; c < 3; c++) sum[c] = o[c] + a->normal_xyz[c];
            length = sqrtf(vector_dot_xyz(sum, sum) + 0.00001f);
            for (int c = 0; c < 3; c++) a->normal_xyz[c] = sum[c] / length;
        }
    }
    return capped;
}
