// model_load.cpp — the model table and the IQE reader: a counting pass, one allocation laid out
// from the counts, a filling pass, then seam and normal smoothing
#include <cctype>
#include <cstdarg>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "foundation/file.h"
#include "foundation/logfile.h"
#include "models/model.h"

model *global_model_data[MODEL_MAX];

// Hard ceilings that keep a hostile file from asking for absurd memory: frame and animation numbers
// are 16-bit everywhere they are stored, and no model the game ships comes near these sizes.
#define MODEL_MAX_FRAME 65535u
#define MODEL_MAX_ANIMATION 65535u
#define MODEL_MAX_TRIANGLE 65535u
#define MODEL_MAX_BLOCK_BYTES (64ull * 1024ull * 1024ull)
#define MODEL_MAX_FILE_BYTES (64ull * 1024ull * 1024ull)
// Per-item log lines kept per file: a hostile file could otherwise ask for millions of them.
#define MODEL_LOG_OFFSET_FRAMES 8
#define MODEL_LOG_BAD_LINES 100

void model_setup(void) {
    for (int i = 0; i < MODEL_MAX; i++) global_model_data[i] = nullptr;
}

void model_free_all(void) {
    for (int i = 0; i < MODEL_MAX; i++) {
        free(global_model_data[i]);
        global_model_data[i] = nullptr;
    }
    model_load_release_scratch();
}

uint16_t model_find_mesh_index(uint16_t model_index, const char *mesh_name) {
    if (model_index >= MODEL_MAX || !mesh_name) return 0;
    const model *m = global_model_data[model_index];
    if (!m) return 0;
    for (uint32_t i = 0; i < m->num_mesh; i++)
        if (strcmp((const char *)m->mesh_data[i]->name, mesh_name) == 0) return (uint16_t)i;
    return 0;
}

// ---- reading lines out of the file's bytes

struct model_reader {
    const char *data;
    size_t size;
    size_t pos;
    char line[MODEL_LINE_SIZE + 1];
};

// Up to 1000 characters that are neither CR nor LF, then the run of CR and LF after them.
static uint8_t model_read_line(model_reader *r) {
    if (r->pos >= r->size) return 0;
    int n = 0;
    while (r->pos < r->size && n < MODEL_LINE_SIZE) {
        char c = r->data[r->pos];
        if (c == '\r' || c == '\n') break;
        r->line[n++] = c;
        r->pos++;
    }
    r->line[n] = 0;
    while (r->pos < r->size && (r->data[r->pos] == '\r' || r->data[r->pos] == '\n')) r->pos++;
    return 1;
}

static void model_line_token(const char *line, char *token, size_t token_size) {
    token[0] = 0;
    while (*line && isspace((unsigned char)*line)) line++;
    size_t n = 0;
    while (*line && !isspace((unsigned char)*line) && n + 1 < token_size) token[n++] = *line++;
    token[n] = 0;
}

// The text after the first word.
static const char *model_line_rest(const char *line) {
    while (*line && isspace((unsigned char)*line)) line++;
    while (*line && !isspace((unsigned char)*line)) line++;
    return line;
}

// A name in double quotes: up to 30 characters read up to the closing quote, 29 kept, upper case.
// Returns where the text after the name starts, or null when there is no opening quote.
static const char *model_read_name(const char *text, uint8_t *name) {
    const char *quote = strchr(text, '"');
    memset(name, 0, MODEL_NAME_SIZE);
    if (!quote) return nullptr;
    const char *p = quote + 1;
    int n = 0;
    while (*p && *p != '"' && n < 30) {
        if (n < MODEL_NAME_KEEP) name[n] = (uint8_t)toupper((unsigned char)*p);
        n++;
        p++;
    }
    if (*p == '"') p++;
    return p;
}

static inline uint8_t model_finite(float v) { return std::isfinite(v) ? 1 : 0; }

// ---- the counting pass

struct model_mesh_counts {
    uint32_t position, texture, normal, blend, face;
};
static model_mesh_counts mesh_counts[MODEL_MAX_MESH + 1];
// Faces kept per mesh by the filling pass.
static uint32_t kept_faces[MODEL_MAX_MESH];

struct model_directives {
    float fix_normals;
    uint8_t fix_normals_set;
    float fix_z;
    float seam_low[MODEL_MAX_SEAM];
    float seam_high[MODEL_MAX_SEAM];
    int num_seam;
    float model_scale;
    float model_rotate;
};

static void model_read_directive(const char *token, const char *line, model_directives *d) {
    const char *rest = model_line_rest(line);
    float a = 0.0f, b = 0.0f;
    // A value that is not a finite number leaves the directive out.
    if (strcmp(token, "#fix_normals") == 0) {
        if (sscanf(rest, "%f", &a) == 1 && model_finite(a)) {
            d->fix_normals = a;
            d->fix_normals_set = 1;
            log_message(5, "  fix_normals set to %f", (double)a);
        }
    } else if (strcmp(token, "#fix_z") == 0) {
        if (sscanf(rest, "%f", &a) == 1 && model_finite(a)) {
            d->fix_z = a;
            log_message(5, "  fix_z set to %f", (double)a);
        }
    } else if (strcmp(token, "#fix_seam") == 0) {
        if (d->num_seam < MODEL_MAX_SEAM && sscanf(rest, "%f %f", &a, &b) == 2 && model_finite(a) &&
            model_finite(b)) {
            d->seam_low[d->num_seam] = a;
            d->seam_high[d->num_seam] = b;
            d->num_seam++;
            log_message(5, "  fix_seam_low set to %f", (double)a);
            log_message(5, "  fix_seam_high set to %f", (double)b);
        }
    } else if (strcmp(token, "#model_scale") == 0) {
        if (sscanf(rest, "%f", &a) == 1 && model_finite(a)) {
            d->model_scale = a;
            log_message(5, "  model_scale set to %f", (double)a);
        }
    } else if (strcmp(token, "#model_rotate") == 0) {
        if (sscanf(rest, "%f", &a) == 1 && model_finite(a)) {
            d->model_rotate = a / 360.0f * 2.0f * KESTROVA_PI;
            log_message(5, "  model_rotate set to %f", (double)a);
        }
    }
}

// ---- layout

static inline uint64_t model_align(uint64_t offset, uint64_t alignment) {
    return (offset + alignment - 1) / alignment * alignment;
}

// Byte offsets of every part of the block; every part starts aligned for its type.
struct model_layout {
    uint64_t mesh_pointers, joints, animations, frames, positions, frame_bytes, total;
    uint64_t mesh[MODEL_MAX_MESH];
    uint64_t vertices[MODEL_MAX_MESH];
    uint64_t triangles[MODEL_MAX_MESH];
};
static model_layout layout;

static void model_compute_layout(uint32_t num_mesh, uint32_t num_joint, uint32_t num_animation, uint32_t num_frame) {
    uint64_t offset = sizeof(model);
    offset = model_align(offset, alignof(model_mesh *));
    layout.mesh_pointers = offset;
    offset += (uint64_t)num_mesh * sizeof(model_mesh *);
    offset = model_align(offset, alignof(model_joint));
    layout.joints = offset;
    offset += (uint64_t)num_joint * sizeof(model_joint);
    offset = model_align(offset, alignof(model_animation));
    layout.animations = offset;
    offset += (uint64_t)num_animation * sizeof(model_animation);
    offset = model_align(offset, alignof(model_frame));
    layout.frames = offset;
    offset += (uint64_t)num_frame * sizeof(model_frame);
    offset = model_align(offset, alignof(model_joint_position));
    layout.positions = offset;
    layout.frame_bytes = sizeof(model_frame) + (uint64_t)num_joint * sizeof(model_joint_position);
    offset += (uint64_t)num_frame * num_joint * sizeof(model_joint_position);
    for (uint32_t i = 0; i < num_mesh; i++) {
        offset = model_align(offset, alignof(model_mesh));
        layout.mesh[i] = offset;
        offset += sizeof(model_mesh);
        offset = model_align(offset, alignof(model_vertex));
        layout.vertices[i] = offset;
        offset += (uint64_t)mesh_counts[i].position * sizeof(model_vertex);
        offset = model_align(offset, alignof(model_triangle));
        layout.triangles[i] = offset;
        offset += (uint64_t)mesh_counts[i].face * sizeof(model_triangle);
    }
    layout.total = model_align(offset, alignof(model));
}

static model *model_build_block(uint32_t num_mesh, uint32_t num_joint, uint32_t num_animation, uint32_t num_frame) {
    log_message(5, "  Each frame requires %d bytes", (int)layout.frame_bytes);
    for (uint32_t i = 0; i < num_mesh; i++)
        log_message(5, "  Mesh %d requires %d bytes", (int)i,
                    (int)(sizeof(model_mesh) + mesh_counts[i].position * sizeof(model_vertex) +
                          mesh_counts[i].face * sizeof(model_triangle)));
    log_message(5, "  Model requires a total of %d bytes", (int)layout.total);
    uint8_t *block = (uint8_t *)calloc(1, (size_t)layout.total);
    if (!block) {
        log_message(1, "  ERROR: Could not allocate %d bytes for the model", (int)layout.total);
        return nullptr;
    }
    log_message(5, "  Done allocating memory (%d)", (int)layout.total);
    model *m = (model *)block;
    m->num_mesh = num_mesh;
    m->num_joint = num_joint;
    m->num_animation = num_animation;
    m->num_frame = num_frame;
    m->mesh_data = (model_mesh **)(block + layout.mesh_pointers);
    log_message(5, "  Done setting basic structure, write offset == %d", (int)layout.joints);
    m->joint_data = (model_joint *)(block + layout.joints);
    log_message(5, "  Done setting joint pointers, write offset == %d", (int)layout.animations);
    m->animation_data = (model_animation *)(block + layout.animations);
    log_message(5, "  Done setting animation pointers, write offset == %d", (int)layout.frames);
    m->frame_data = (model_frame *)(block + layout.frames);
    log_message(5, "  Done setting frame pointers, write offset == %d", (int)layout.positions);
    uint64_t offset = layout.positions;
    for (uint32_t f = 0; f < num_frame; f++) {
        uint8_t listed = f < MODEL_LOG_OFFSET_FRAMES ? 1 : 0;
        if (listed) log_message(5, "    Offset for m->frame_data[%d].joint_position_data == %d", (int)f, (int)offset);
        model_joint_position *p = (model_joint_position *)(block + offset);
        m->frame_data[f].joint_position_data = p;
        for (uint32_t j = 0; j < num_joint; j++) {
            if (listed) {
                log_message(5, "      m->frame_data[%d].joint_position_data[%d].translation == %d", (int)f, (int)j,
                            (int)(offset + j * sizeof(model_joint_position)));
                log_message(5, "      m->frame_data[%d].joint_position_data[%d].quaternion == %d", (int)f, (int)j,
                            (int)(offset + j * sizeof(model_joint_position) + 3 * sizeof(float)));
            }
            // A joint without a "pq" line in this frame keeps the identity rotation.
            p[j].quaternion[3] = 1.0f;
        }
        offset += (uint64_t)num_joint * sizeof(model_joint_position);
    }
    if (num_frame > MODEL_LOG_OFFSET_FRAMES)
        log_message(5, "    (offsets of the other %d frames follow the same pattern)",
                    (int)(num_frame - MODEL_LOG_OFFSET_FRAMES));
    log_message(5, "  Done setting frame joint trans/quar pointers, write offset == %d", (int)offset);
    for (uint32_t i = 0; i < num_mesh; i++) {
        log_message(5, "  Setting mesh %d pointers", (int)i);
        model_mesh *mesh = (model_mesh *)(block + layout.mesh[i]);
        m->mesh_data[i] = mesh;
        log_message(5, "    Set initial reference");
        mesh->name[0] = 0;
        log_message(5, "    Set name to blank");
        mesh->num_vertex = (uint16_t)mesh_counts[i].position;
        log_message(5, "    Set num_vertex to %d", (int)mesh->num_vertex);
        mesh->num_triangle = (uint16_t)mesh_counts[i].face;
        log_message(5, "    Set num_triangle to %d", (int)mesh->num_triangle);
        log_message(5, "    Done building initial mesh structure, write offset == %d", (int)layout.vertices[i]);
        mesh->vertex_data = (model_vertex *)(block + layout.vertices[i]);
        log_message(5, "    Done setting vertex pointers, write offset == %d", (int)layout.triangles[i]);
        mesh->triangle_data = (model_triangle *)(block + layout.triangles[i]);
        log_message(5, "    Done setting triangle pointers, write offset == %d",
                    (int)(layout.triangles[i] + mesh_counts[i].face * sizeof(model_triangle)));
    }
    log_message(5, "  Done setting all pointers, write offset == %d", (int)layout.total);
    return m;
}

// ---- the filling pass

struct model_fill_state {
    model *m;
    const model_directives *d;
    float s, c, n;
    uint32_t mesh;  // 1-based current mesh, 0 for none
    uint32_t position, texture, normal, blend, face;
    uint32_t frame_count;
    uint32_t animation;  // 1-based current animation, 0 for none
    uint32_t joint;
    uint32_t pose_count;  // joint positions read into the current frame
    uint32_t short_frames;  // frames that got fewer joint positions than the model has joints
    uint32_t dropped_faces, dropped_weights;
    uint8_t non_finite;
};

// The weight rule: pairs sorted heaviest first (a later pair moves ahead only when strictly
// heavier), at most four kept, renormalised to sum 1.
static uint8_t model_read_weights(model_fill_state *st, const char *rest, model_vertex *v) {
    int joint_index[MODEL_MAX_WEIGHT_READ];
    float weight[MODEL_MAX_WEIGHT_READ];
    int pairs = 0, kept = 0;
    const char *p = rest;
    while (pairs < MODEL_MAX_WEIGHT_READ) {
        int j, used = 0;
        float w;
        if (sscanf(p, " %d %f%n", &j, &w, &used) != 2) break;
        p += used;
        pairs++;
        if (!model_finite(w)) {
            st->non_finite = 1;
            continue;
        }
        // A weight naming a joint the model does not have is dropped.
        if (j < 0 || (uint32_t)j >= st->m->num_joint) {
            st->dropped_weights++;
            continue;
        }
        joint_index[kept] = j;
        weight[kept] = w;
        kept++;
    }
    if (pairs == 0) return 0;
    for (int a = 1; a < kept; a++) {
        int b = a;
        while (b > 0 && weight[b] > weight[b - 1]) {
            float tw = weight[b];
            weight[b] = weight[b - 1];
            weight[b - 1] = tw;
            int tj = joint_index[b];
            joint_index[b] = joint_index[b - 1];
            joint_index[b - 1] = tj;
            b--;
        }
    }
    if (kept > 4) kept = 4;
    float sum = 0.0f;
    for (int a = 0; a < kept; a++) sum += weight[a];
    for (int a = 0; a < 4; a++) {
        if (a < kept) {
            v->blend_weight[a] = sum > 0.0f ? weight[a] / sum : 1.0f / (float)kept;
            v->blend_joint[a] = (uint16_t)joint_index[a];
        } else {
            v->blend_weight[a] = 0.0f;
            v->blend_joint[a] = 0;
        }
    }
    if (!model_finite(sum)) st->non_finite = 1;
    v->blend_count = (uint16_t)kept;
    return 1;
}

// Reads one data line; returns 0 when none of its fields could be read.
static uint8_t model_fill_line(model_fill_state *st, const char *token, const char *line) {
    model *m = st->m;
    const char *rest = model_line_rest(line);
    model_mesh *mesh = (st->mesh >= 1 && st->mesh <= m->num_mesh) ? m->mesh_data[st->mesh - 1] : nullptr;
    float a = 0.0f, b = 0.0f, c = 0.0f;
    if (strcmp(token, "mesh") == 0) {
        log_message(3, "mesh token read -- %s", line);
        if (st->mesh < m->num_mesh) {
            st->mesh++;
            model_read_name(rest, m->mesh_data[st->mesh - 1]->name);
        }
        st->position = st->texture = st->normal = st->blend = st->face = 0;
        return 1;
    }
    if (strcmp(token, "vp") == 0) {
        int got = sscanf(rest, "%f %f %f", &a, &b, &c);
        if (got < 1) return 0;
        if (mesh && st->position < mesh->num_vertex) {
            float x = a * st->s * st->c - b * st->s * st->n;
            float y = a * st->s * st->n + b * st->s * st->c;
            float z = c * st->s + st->d->fix_z;
            if (!model_finite(x) || !model_finite(y) || !model_finite(z)) st->non_finite = 1;
            float *pos = mesh->vertex_data[st->position].position_xyz;
            pos[0] = x;
            pos[1] = y;
            pos[2] = z;
            st->position++;
        }
        return 1;
    }
    if (strcmp(token, "vt") == 0) {
        int got = sscanf(rest, "%f %f", &a, &b);
        if (got < 1) return 0;
        if (mesh && st->texture < mesh->num_vertex) {
            if (!model_finite(a) || !model_finite(b)) st->non_finite = 1;
            mesh->vertex_data[st->texture].texpos_xy[0] = a;
            mesh->vertex_data[st->texture].texpos_xy[1] = b;
            st->texture++;
        }
        return 1;
    }
    if (strcmp(token, "vn") == 0) {
        int got = sscanf(rest, "%f %f %f", &a, &b, &c);
        if (got < 1) return 0;
        if (mesh && st->normal < mesh->num_vertex) {
            float x = a * st->c - b * st->n;
            float y = a * st->n + b * st->c;
            if (!model_finite(x) || !model_finite(y) || !model_finite(c)) st->non_finite = 1;
            model_vertex *v = &mesh->vertex_data[st->normal];
            v->normal_xyz[0] = v->outline_normal_xyz[0] = x;
            v->normal_xyz[1] = v->outline_normal_xyz[1] = y;
            v->normal_xyz[2] = v->outline_normal_xyz[2] = c;
            st->normal++;
        }
        return 1;
    }
    if (strcmp(token, "vb") == 0) {
        model_vertex scratch;
        model_vertex *v = (mesh && st->blend < mesh->num_vertex) ? &mesh->vertex_data[st->blend] : &scratch;
        if (!model_read_weights(st, rest, v)) return 0;
        if (v != &scratch) st->blend++;
        return 1;
    }
    if (strcmp(token, "fm") == 0) {
        long i0 = 0, i1 = 0, i2 = 0;
        int got = sscanf(rest, "%ld %ld %ld", &i0, &i1, &i2);
        if (got < 1) return 0;
        if (mesh && st->face < mesh_counts[st->mesh - 1].face) {
            st->face++;
            // A face naming a vertex the mesh does not have is dropped; the mesh keeps the faces
            // that are whole.
            if (got < 3 || i0 < 0 || i1 < 0 || i2 < 0 || i0 >= mesh->num_vertex || i1 >= mesh->num_vertex ||
                i2 >= mesh->num_vertex) {
                st->dropped_faces++;
                return 1;
            }
            // The winding is reversed: (a, b, c) is stored as (a, c, b).
            model_triangle *t = &mesh->triangle_data[kept_faces[st->mesh - 1]++];
            t->vertex[0] = (uint16_t)i0;
            t->vertex[1] = (uint16_t)i2;
            t->vertex[2] = (uint16_t)i1;
        }
        return 1;
    }
    if (strcmp(token, "joint") == 0) {
        uint8_t name[MODEL_NAME_SIZE];
        const char *after = model_read_name(rest, name);
        int parent = -1;
        int got = after ? 1 + (sscanf(after, "%d", &parent) == 1) : sscanf(rest, "%d", &parent);
        if (got < 1) return 0;
        if (st->joint < m->num_joint) {
            model_joint *j = &m->joint_data[st->joint];
            memcpy(j->name, name, MODEL_NAME_SIZE);
            j->parent_joint = (parent >= 0 && parent < MODEL_MAX_JOINT) ? (int16_t)parent : (int16_t)-1;
            st->joint++;
        }
        return 1;
    }
    if (strcmp(token, "animation") == 0) {
        uint8_t name[MODEL_NAME_SIZE];
        if (!model_read_name(rest, name)) return 0;
        if (st->animation < m->num_animation) {
            st->animation++;
            memcpy(m->animation_data[st->animation - 1].name, name, MODEL_NAME_SIZE);
        }
        return 1;
    }
    if (strcmp(token, "framerate") == 0) {
        if (sscanf(rest, "%f", &a) != 1) return 0;
        if (st->animation >= 1) {
            model_animation *an = &m->animation_data[st->animation - 1];
            an->first_frame = (uint16_t)st->frame_count;
            // Truncated to an integer; a rate outside the 16-bit range is pinned to it.
            an->frames_per_second = (a >= 0.0f && a <= 65535.0f) ? (uint16_t)a : (a > 65535.0f ? 65535 : 0);
        }
        return 1;
    }
    if (strcmp(token, "frame") == 0) {
        if (st->frame_count < m->num_frame) {
            if (st->frame_count >= 1 && st->pose_count < m->num_joint) st->short_frames++;
            if (st->animation >= 1) m->animation_data[st->animation - 1].last_frame = (uint16_t)st->frame_count;
            st->frame_count++;
            st->pose_count = 0;
        }
        return 1;
    }
    if (strcmp(token, "pq") == 0) {
        float q[7] = {0, 0, 0, 0, 0, 0, 1};
        int got = sscanf(rest, "%f %f %f %f %f %f %f", &q[0], &q[1], &q[2], &q[3], &q[4], &q[5], &q[6]);
        if (got < 1) return 0;
        if (st->frame_count >= 1 && st->frame_count <= m->num_frame && st->pose_count < m->num_joint) {
            uint32_t f = st->frame_count - 1;
            uint32_t j = st->pose_count++;
            m->frame_data[f].animation = (uint16_t)st->animation;
            model_joint_position *p = &m->frame_data[f].joint_position_data[j];
            int16_t parent = m->joint_data[j].parent_joint;
            uint8_t root = (parent < 0 || f == 0) ? 1 : 0;
            p->translation[0] = q[0] * st->s;
            p->translation[1] = q[1] * st->s;
            p->translation[2] = q[2] * st->s + (root ? st->d->fix_z : 0.0f);
            for (int k = 0; k < 4; k++) p->quaternion[k] = q[3 + k];
            for (int k = 0; k < 3; k++)
                if (!model_finite(p->translation[k])) st->non_finite = 1;
            for (int k = 0; k < 4; k++)
                if (!model_finite(p->quaternion[k])) st->non_finite = 1;
        }
        return 1;
    }
    return 1;
}

// ---- loading

static void model_empty_slot(uint16_t model_index) {
    free(global_model_data[model_index]);
    global_model_data[model_index] = nullptr;
}

// The model file being read, named in every complaint about it.
static const char *model_file_name = "(model text)";

static void model_complain(uint8_t level, const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;
static void model_complain(uint8_t level, const char *format, ...) {
    static char message[LOG_MESSAGE_SIZE];
    va_list arguments;
    va_start(arguments, format);
    int written = vsnprintf(message, sizeof(message), format, arguments);
    va_end(arguments);
    if (written < 0) message[0] = 0;
    log_message(level, "  %s%s (%s)", level <= 1 ? "ERROR: " : "", message, model_file_name);
}

// The header line exactly, with nothing after it but blanks.
static uint8_t model_header_line(const char *line) {
    static const char header[] = "# Inter-Quake Export";
    if (strncmp(line, header, sizeof(header) - 1) != 0) return 0;
    for (const char *p = line + sizeof(header) - 1; *p; p++)
        if (*p != ' ' && *p != '\t') return 0;
    return 1;
}

uint8_t model_load_iqe_text(const char *data, size_t size, uint16_t model_index) {
    if (model_index >= MODEL_MAX) return 0;
    model_empty_slot(model_index);
    model_directives d;
    memset(&d, 0, sizeof(d));
    d.model_scale = 1.0f;
    model_reader r;
    r.data = data;
    r.size = data ? size : 0;
    r.pos = 0;

    // The counting pass.
    uint8_t header = 0, base_frame = 0, seen_frame = 0;
    uint32_t num_mesh = 0, num_joint = 0, num_animation = 0, num_frame = 0, line_number = 0;
    char token[64];
    for (; model_read_line(&r); line_number++) {
        const char *line = r.line;
        if (line[0] == '#') {
            if (line_number == 0) {
                if (model_header_line(line)) {
                    header = 1;
                    log_message(5, "  Header Valid");
                }
            } else {
                model_line_token(line, token, sizeof(token));
                model_read_directive(token, line, &d);
            }
            continue;
        }
        model_line_token(line, token, sizeof(token));
        if (strcmp(token, "mesh") == 0) {
            if (num_mesh <= MODEL_MAX_MESH) num_mesh++;
            if (num_mesh <= MODEL_MAX_MESH) memset(&mesh_counts[num_mesh - 1], 0, sizeof(model_mesh_counts));
        } else if (num_mesh >= 1 && num_mesh <= MODEL_MAX_MESH &&
                   (strcmp(token, "vp") == 0 || strcmp(token, "vt") == 0 || strcmp(token, "vn") == 0 ||
                    strcmp(token, "vb") == 0 || strcmp(token, "fm") == 0)) {
            model_mesh_counts *mc = &mesh_counts[num_mesh - 1];
            switch (token[1]) {
                case 'p': mc->position++; break;
                case 't': mc->texture++; break;
                case 'n': mc->normal++; break;
                case 'b': mc->blend++; break;
                default: mc->face++; break;
            }
        } else if (strcmp(token, "joint") == 0) {
            num_joint++;
        } else if (strcmp(token, "animation") == 0) {
            num_animation++;
        } else if (strcmp(token, "frame") == 0) {
            num_frame++;
            seen_frame = 1;
        } else if (strcmp(token, "pq") == 0 && !seen_frame) {
            base_frame = 1;
        }
    }
    log_message(5, "  Checking counts for all %d meshes", (int)num_mesh);
    log_message(5, "    Found %d triangle meshes", (int)num_mesh);
    log_message(5, "    Found %d joints", (int)num_joint);
    log_message(5, "    Found %d animation types", (int)num_animation);
    log_message(5, "    Found %d frames", (int)num_frame);
    if (base_frame) {
        num_frame++;
        log_message(5, "    Found base frame too (so %d frames total)", (int)num_frame);
    }

    // Sizes a model's tables cannot count refuse the model outright.
    const char *too_large = nullptr;
    if (num_mesh > MODEL_MAX_MESH)
        too_large = "more meshes than a model can hold";
    else if (num_frame > MODEL_MAX_FRAME)
        too_large = "more frames than a frame number can count";
    else if (num_animation > MODEL_MAX_ANIMATION)
        too_large = "more animations than an animation number can count";
    for (uint32_t i = 0; !too_large && i < num_mesh; i++)
        if (mesh_counts[i].face > MODEL_MAX_TRIANGLE) too_large = "more faces in a mesh than its triangle count holds";

    uint8_t bad_counts = num_joint > MODEL_MAX_JOINT ? 1 : 0;
    for (uint32_t i = 0; !too_large && i < num_mesh; i++) {
        const model_mesh_counts *mc = &mesh_counts[i];
        log_message(5, "    Found %d, %d, %d, %d vertices and %d faces for mesh %d", (int)mc->position,
                    (int)mc->texture, (int)mc->normal, (int)mc->blend, (int)mc->face, (int)i);
        if (mc->texture != mc->position || mc->normal != mc->position ||
            (mc->blend != 0 && mc->blend != mc->position) || mc->position > MODEL_MAX_VERTEX)
            bad_counts = 1;
    }
    if (!too_large && !bad_counts && header) {
        model_compute_layout(num_mesh, num_joint, num_animation, num_frame);
        if (layout.total > MODEL_MAX_BLOCK_BYTES) too_large = "the model would need more memory than allowed";
    }
    if (too_large) {
        model_complain(1, "Model refused -- %s", too_large);
        return 0;
    }
    if (!header || bad_counts) {
        if (!header) model_complain(1, "Did not find # Inter-Quake Export as the first line");
        if (bad_counts)
            model_complain(1,
                        "Had incorrect number of vertices/joints -- are vp, vt, vb and vn all provided?  "
                        "Are there too many joints?");
        return 0;
    }

    model *m = model_build_block(num_mesh, num_joint, num_animation, num_frame);
    if (!m) return 0;

    // The filling pass.
    model_fill_state st;
    memset(&st, 0, sizeof(st));
    st.m = m;
    st.d = &d;
    st.s = d.model_scale;
    st.c = cosf(d.model_rotate);
    st.n = sinf(d.model_rotate);
    st.frame_count = base_frame ? 1 : 0;
    memset(kept_faces, 0, sizeof(kept_faces));
    uint8_t result = 1;
    uint32_t bad_lines = 0;
    r.pos = 0;
    for (line_number = 0; model_read_line(&r); line_number++) {
        if (r.line[0] == '#') continue;
        model_line_token(r.line, token, sizeof(token));
        if (!token[0]) continue;
        if (!model_fill_line(&st, token, r.line)) {
            if (bad_lines++ < MODEL_LOG_BAD_LINES)
                model_complain(strcmp(token, "vp") == 0 ? 1 : 5, " Had trouble reading line %d -- %s",
                            (int)line_number, r.line);
            result = 0;
        }
    }
    if (bad_lines > MODEL_LOG_BAD_LINES)
        model_complain(1, " %d more lines were unreadable", (int)(bad_lines - MODEL_LOG_BAD_LINES));
    if (st.non_finite) {
        model_complain(1, "Model refused -- it holds a number that is not finite");
        free(m);
        return 0;
    }
    for (uint32_t i = 0; i < num_mesh; i++) m->mesh_data[i]->num_triangle = (uint16_t)kept_faces[i];
    if (st.frame_count >= 1 && st.pose_count < num_joint) st.short_frames++;
    if (st.short_frames)
        model_complain(2, "%d frames hold fewer joint poses than the model's %d joints; the file may be cut short",
                       (int)st.short_frames, (int)num_joint);
    if (st.dropped_faces)
        model_complain(2, "Dropped %d faces whose vertex indices are missing or beyond their mesh",
                    (int)st.dropped_faces);
    if (st.dropped_weights)
        model_complain(2, "Dropped %d bone weights naming joints the model does not have", (int)st.dropped_weights);

    uint8_t capped = model_fix_seams(m, d.seam_low, d.seam_high, d.num_seam);
    if (d.fix_normals_set) capped |= model_fix_normals(m, d.fix_normals);
    if (capped) model_complain(2, "Too many vertices on one spot: smoothing looked at the first %d of each",
                            MODEL_SMOOTH_PAIR_LIMIT);

    global_model_data[model_index] = m;
    log_message(3, "  Loaded model %d: %d meshes, %d joints, %d animations, %d frames", (int)model_index,
                (int)num_mesh, (int)num_joint, (int)num_animation, (int)num_frame);
    if (!result) model_complain(1, "Had catastrophic error while reading model file");
    return result;
}

uint8_t model_load_iqe_file(const char *filename, uint16_t model_index) {
    char path[FIX_PATH_MAX + 1];
    safe_string_copy(path, fix_path(filename), sizeof(path), 0);
    log_message(5, "Trying to load model file %s as model %d", path, (int)model_index);
    if (model_index >= MODEL_MAX) return 0;
    model_empty_slot(model_index);
    FILE *file = file_open_for_reading(path, "rb", 2, nullptr);
    if (!file) {
        log_message(5, "  ERROR: Could access file for some reason");
        return 0;
    }
    log_message(5, "  File found...");
    // The whole file is read once and both passes walk the bytes.
    size_t capacity = 65536, size = 0;
    char *data = (char *)malloc(capacity);
    uint8_t ok = data ? 1 : 0;
    while (ok) {
        if (size == capacity) {
            if (capacity >= MODEL_MAX_FILE_BYTES) {
                log_message(1, "  ERROR: %s -- Model refused -- the file is larger than %d bytes", path,
                            (int)MODEL_MAX_FILE_BYTES);
                ok = 0;
                break;
            }
            char *grown = (char *)realloc(data, capacity * 2);
            if (!grown) {
                ok = 0;
                break;
            }
            data = grown;
            capacity *= 2;
        }
        size_t got = fread(data + size, 1, capacity - size, file);
        size += got;
        if (got == 0) break;
    }
    fclose(file);
    model_file_name = path;
    uint8_t result = ok ? model_load_iqe_text(data, size, model_index) : 0;
    model_file_name = "(model text)";
    free(data);
    return result;
}
