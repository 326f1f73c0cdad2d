// template.cpp — loading the object templates: one per OBJECT folder, its model, TEMPLATE.TXT,
// textures and icon; looking templates up by name and index
#include "objects/template.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "display/display.h"
#include "foundation/file.h"
#include "foundation/logfile.h"
#include "models/model.h"
#include "objects/object_field.h"
#include "terrain/voxel.h"

object object_template[TEMPLATE_COUNT];
uint16_t num_object_template = 0;
inhand_animation object_template_inhand_animation[TEMPLATE_COUNT];

object *voxel_material_object[VOXEL_MATERIAL_COUNT];
object *voxel_material_template[VOXEL_MATERIAL_COUNT];
uint8_t voxel_material_metal[VOXEL_MATERIAL_COUNT];

object *debris_object_template = nullptr, *block_object_template = nullptr, *dust_object_template = nullptr,
       *smoke_object_template = nullptr, *flame_object_template = nullptr;

#define TEMPLATE_PATH_SIZE 1100
#define TEMPLATE_MAX_WORDS 8

// Kind folders that found the table full, counted and named (as many names as fit).
static uint32_t template_left_out = 0;
static char template_left_out_names[1024] = "";

static const char *const template_named_kinds[] = {
    "PLAYER", "ZOMBI",  "DEBRIS", "BLOCK",      "DUST",   "SMOKE",  "FLAME",  "LOG",
    "PICK",   "AXE",    "HAMMER", "HEAVY-PICK", "SHIELD", "KNIFE",  "SPEAR",  "HEAVY-AXE",
    "SAW",    "BOMB",   "BAR",    "TORCH",      "BOARD",  "GOBLIN", "GOBLIN-CHAIN", "CATAPULT"};

uint8_t template_is_named_kind(const char *folder_name) {
    if (!folder_name) return 0;
    char wanted[TEMPLATE_NAME_LENGTH + 1];
    safe_string_copy(wanted, folder_name, sizeof(wanted), 1);
    for (const char *kind : template_named_kinds)
        if (strcmp(kind, wanted) == 0 && strlen(folder_name) <= TEMPLATE_NAME_LENGTH) return 1;
    return 0;
}

uint32_t template_left_out_count(void) { return template_left_out; }

void template_report_left_out(void) {
    if (!template_left_out) return;
    log_message(1, "The table of %d object kinds is full: %u more kind folders were left out (%s)", TEMPLATE_COUNT,
                (unsigned)template_left_out, template_left_out_names);
    log_message(1, "  Objects of those kinds in the world are kept as they are and come back once the kinds fit");
}

void template_setup(void) {
    num_object_template = 0;
    for (int m = 0; m < VOXEL_MATERIAL_COUNT; m++) {
        voxel_material_object[m] = voxel_material_template[m] = nullptr;
        voxel_material_metal[m] = (uint8_t)m;
    }
    template_left_out = 0;
    template_left_out_names[0] = 0;
    debris_object_template = block_object_template = dust_object_template = nullptr;
    smoke_object_template = flame_object_template = nullptr;
}

object *template_get_by_index(uint16_t index) {
    return index < num_object_template ? &object_template[index] : nullptr;
}

object *template_get_by_name(const char *template_name) {
    if (!template_name) return nullptr;
    log_message(5, "Looking for template called %s", template_name);
    char wanted[TEMPLATE_NAME_LENGTH + 1];
    safe_string_copy(wanted, template_name, sizeof(wanted), 1);
    for (uint16_t i = 0; i < num_object_template; i++) {
        if (strcmp(object_template[i].name, wanted) == 0) {
            log_message(5, "  Found template for %s", template_name);
            return &object_template[i];
        }
    }
    return nullptr;
}

void template_find_particle_templates(void) {
    debris_object_template = template_get_by_name("DEBRIS");
    block_object_template = template_get_by_name("BLOCK");
    dust_object_template = template_get_by_name("DUST");
    smoke_object_template = template_get_by_name("SMOKE");
    flame_object_template = template_get_by_name("FLAME");
}

// Reads one line of at most TEMPLATE_LINE_SIZE characters up to a CR or LF, then skips the run
// of CR and LF after it; a longer line goes on as the next one. Returns 0 at the end of the file.
static uint8_t template_read_line(FILE *file, char line[TEMPLATE_LINE_SIZE + 1]) {
    int c = getc(file);
    while (c == '\r' || c == '\n') c = getc(file);
    if (c == EOF) return 0;
    int length = 0;
    while (c != EOF && c != '\r' && c != '\n' && length < TEMPLATE_LINE_SIZE) {
        line[length++] = (char)c;
        c = getc(file);
    }
    if (c != EOF && c != '\r' && c != '\n') ungetc(c, file);
    line[length] = 0;
    return 1;
}

// Splits text in place into white-space separated words; returns how many (at most max_words).
static int template_split_words(char *text, char *words[], int max_words) {
    int count = 0;
    char *p = text;
    while (count < max_words) {
        while (*p && isspace((unsigned char)*p)) p++;
        if (!*p) break;
        words[count++] = p;
        while (*p && !isspace((unsigned char)*p)) p++;
        if (*p) *p++ = 0;
    }
    return count;
}

// A number at the start of word, as formatted scanning reads it; non-finite numbers are refused.
static uint8_t template_parse_float(const char *word, float *value) {
    if (!word) return 0;
    char *end = nullptr;
    errno = 0;
    float v = strtof(word, &end);
    // The whole word is the number: 1.5X is no number.
    if (end == word || *end != 0 || !std::isfinite(v)) return 0;
    *value = v;
    return 1;
}

static uint8_t template_parse_long(const char *word, long *value) {
    if (!word) return 0;
    char *end = nullptr;
    errno = 0;
    long v = strtol(word, &end, 10);
    // A whole number and nothing else: 1E30 or 3.5 is refused, not read as 1 or 3.
    if (end == word || *end != 0) return 0;
    // Out-of-range numbers saturate, so clamping them afterwards gives the expected end.
    if (v > INT_MAX) v = INT_MAX;
    if (v < INT_MIN) v = INT_MIN;
    *value = v;
    return 1;
}

// The template file being read, named in every complaint about it.
static const char *template_file_name = "";

static void template_refuse(const char *keyword, const char *line) {
    log_message(2, "  %s needs a finite number -- line ignored in %s: %s", keyword, template_file_name, line);
}

static void template_refuse_whole(const char *keyword, const char *line) {
    log_message(2, "  %s needs a whole number -- line ignored in %s: %s", keyword, template_file_name, line);
}

// The slot index named by the eighth character of a word such as TEXTURE3; a shorter word
// names slot 0.
static uint8_t template_word_slot(const char *word) {
    if (strlen(word) < 8) return 0;
    return (uint8_t)(word[7] - '0');
}

static void template_parse_mesh(object *o, char *words[], int count) {
    if (o->num_mesh >= OBJECT_MAX_MESH) return;
    const char *mesh_name = count > 1 ? words[1] : "";
    const char *texture = count > 2 ? words[2] : "";
    const char *overlay = count > 3 ? words[3] : "";
    const char *flags = count > 4 ? words[4] : "";
    log_message(5, "    MeshName == %s", mesh_name);
    log_message(5, "    TextureName == %s", texture);
    log_message(5, "    EnvironmentMap == %s", overlay);
    log_message(5, "    Flags == %s", flags);
    uint16_t n = o->num_mesh;
    o->mesh_index[n] = model_find_mesh_index(o->model_index, mesh_name);
    uint8_t texture_slot = template_word_slot(texture);
    o->mesh_local_texture_index[n] = texture_slot > 9 ? (uint8_t)0 : texture_slot;
    o->mesh_local_overlay_index[n] = 0;
    if (strcmp(overlay, "SHINY") == 0) {
        log_message(5, "    SHINY");
        o->mesh_local_overlay_index[n] = 10;
    } else if (strncmp(overlay, "TEX", 3) == 0) {
        o->mesh_local_overlay_index[n] = template_word_slot(overlay);
    }
    o->mesh_paperdoll[n] = 0;
    if (strcmp(flags, "PAPERDOLL") == 0) {
        log_message(5, "    PAPERDOLL");
        o->mesh_paperdoll[n] = 1;
    }
    o->mesh_frame[n] = 0;
    o->num_mesh++;
}

static void template_parse_inhand(object *o, char *words[], int count, const char *line) {
    float v[6];
    for (int i = 0; i < 6; i++) {
        if (i + 1 >= count || !template_parse_float(words[i + 1], &v[i])) {
            if (i + 1 < count) template_refuse("INHAND", line);
            return;
        }
    }
    log_message(5, "  Found INHAND animation -- %f %f %f %f %f %f", (double)v[0], (double)v[1], (double)v[2],
                (double)v[3], (double)v[4], (double)v[5]);
    if (!o->inhand_animation) {
        if (o->template_index >= TEMPLATE_COUNT) return;
        o->inhand_animation = &object_template_inhand_animation[o->template_index];
        o->inhand_animation->number_of_frames = 0;
    }
    inhand_animation *a = o->inhand_animation;
    if (a->number_of_frames < 0) a->number_of_frames = 0;
    if (a->number_of_frames <= OBJECT_INHAND_FRAMES - 1) {
        for (int i = 0; i < 6; i++) a->frame[a->number_of_frames][i] = v[i];
        log_message(5, "    Saved as frame %d", a->number_of_frames);
        a->number_of_frames++;
    }
}

static void template_parse_line(object *o, char *line) {
    string_uppercase(line);
    log_message(5, "  READ LINE -- %s", line);
    char copy[TEMPLATE_LINE_SIZE + 1];
    safe_string_copy(copy, line, sizeof(copy), 0);
    char *words[TEMPLATE_MAX_WORDS];
    int count = template_split_words(copy, words, TEMPLATE_MAX_WORDS);
    if (count == 0) return;
    const char *keyword = words[0];
    const char *argument = count > 1 ? words[1] : nullptr;

    // Flags and plain numbers come from the object's field table; the rest are read here.
    if (const object_field *flag = object_field_by_keyword(keyword, OBJECT_FIELD_FLAG_KEYWORD)) {
        *((uint8_t *)o + flag->offset) = 1;
        log_message(5, "  Flagged as %s", flag->label);
        return;
    }
    if (const object_field *number = object_field_by_keyword(keyword, OBJECT_FIELD_NUMBER_KEYWORD)) {
        float value;
        if (template_parse_float(argument, &value)) {
            memcpy((uint8_t *)o + number->offset, &value, sizeof(float));
            log_message(5, "  Found %s == %f", number->keyword, (double)value);
        } else if (argument) {
            template_refuse(keyword, line);
        }
        return;
    }
    long n = 0, metal = 0;
    float value = 0.0f;
    if (strcmp(keyword, "INHAND") == 0) {
        template_parse_inhand(o, words, count, line);
    } else if (strcmp(keyword, "INVENTORYSTACKABLE") == 0) {
        long limit = 100;
        if (template_parse_long(argument, &n))
            limit = n < 1 ? 1 : (n > 65535 ? 65535 : n);
        else if (argument)
            template_refuse_whole(keyword, line);
        o->inventory_stackable = 1;
        o->max_inventory_stack_count = (uint16_t)limit;
        log_message(5, "  Found INVENTORYSTACKABLE -- %d -- Flagged as InventoryStackable", (int)limit);
    } else if (strcmp(keyword, "TERRAINMODEL") == 0) {
        if (!template_parse_long(argument, &n)) {
            if (argument) template_refuse_whole(keyword, line);
            return;
        }
        log_message(5, "  Found TERRAINMODEL -- %d", (int)n);
        if (n >= 0 && n < VOXEL_MATERIAL_COUNT) {
            voxel_material_object[n] = o;
            o->behave_like_terrain_model = (uint8_t)n;
        }
    } else if (strcmp(keyword, "TERRAINCOLLECT") == 0) {
        int numbers = 0;
        if (template_parse_long(argument, &n)) {
            numbers = 1;
            if (count > 2 && template_parse_long(words[2], &metal)) numbers = 2;
        }
        if ((argument && numbers == 0) || (count > 2 && numbers == 1)) {
            template_refuse_whole(keyword, line);
            return;
        }
        log_message(5, "scanresult == %d for %s", numbers, line);
        if (numbers == 0) return;
        if (numbers == 1) metal = n;
        log_message(5, "  Found TERRAINCOLLECT -- material %d -- metal %d", (int)n, (int)metal);
        if (n < 0 || n >= VOXEL_MATERIAL_COUNT) return;
        if (metal < 0 || metal >= OBJECT_METAL_COUNT) {
            // The metal picks an entry of the 255-entry metal tables.
            log_message(2, "  Metal %d is not a metal -- material %d collects metal %d", (int)metal, (int)n, (int)n);
            metal = n;
        }
        voxel_material_template[n] = o;
        voxel_material_metal[n] = (uint8_t)metal;
    } else if (strcmp(keyword, "SIZE") == 0) {
        if (!template_parse_float(argument, &value)) {
            if (argument) template_refuse(keyword, line);
            return;
        }
        log_message(5, "  Found SIZE == %f", (double)value);
        if (value <= 0.0f) {
            log_message(2, "  SIZE %f is not above 0 -- %f used", (double)value, (double)OBJECT_MIN_SIZE);
            value = OBJECT_MIN_SIZE;
        }
        o->size = value;
    } else if (strcmp(keyword, "INVENTORYSCALE") == 0) {
        if (!template_parse_float(argument, &value) || value < 0.0f) {
            if (argument) template_refuse(keyword, line);
            return;
        }
        log_message(5, "  Found INVENTORYSCALE == %f", (double)value);
        o->inventory_scale = sqrtf(value);
    } else if (strcmp(keyword, "MESH") == 0) {
        log_message(5, "  Found MESH line -- %s", line);
        template_parse_mesh(o, words, count);
    }
}

// Whether a file holds a zero byte in its first 4096 bytes: then it is no text file.
static uint8_t template_file_is_binary(FILE *file) {
    char head[4096];
    size_t got = fread(head, 1, sizeof(head), file);
    rewind(file);
    return memchr(head, 0, got) ? 1 : 0;
}

void template_load_template_file(const char *filename, object *o) {
    if (!filename || !o) return;
    log_message(5, "Trying to load template file %s", filename);
    FILE *file = file_open_for_reading(fix_path(filename), "rb", 2, nullptr);
    if (!file) return;
    log_message(5, "  File found...");
    if (template_file_is_binary(file)) {
        log_message(2, "Template file %s is not a text file; it is not read and the kind keeps its defaults",
                    filename);
        fclose(file);
        return;
    }
    template_file_name = filename;
    char line[TEMPLATE_LINE_SIZE + 1];
    long lines = 0;
    while (template_read_line(file, line)) {
        // No kind needs more; the rest of a longer file is ignored rather than read forever.
        if (++lines > TEMPLATE_LINE_LIMIT) {
            log_message(2, "Template file %s has more than %d lines; the rest is ignored", filename,
                        TEMPLATE_LINE_LIMIT);
            break;
        }
        if (line[0] == '#') continue;
        template_parse_line(o, line);
    }
    template_file_name = "";
    fclose(file);
}

// A kind's textures and icon are optional: a missing file gives handle 0 without a warning, while
// one that is there but cannot be read is reported by the loader.
static uint32_t template_load_texture(const char *path, uint8_t mipmap) {
    FILE *file = file_open_for_reading(fix_path(path), "rb", FILE_QUIET, nullptr);
    if (!file) {
        log_message(5, "  No %s", path);
        return 0;
    }
    fclose(file);
    return display_load_texture_file_rgba(path, mipmap, 0);
}

void template_load(const char *template_name) {
    if (!template_name) return;
    log_message(5, "Trying to load object template for %s", template_name);
    if (num_object_template >= TEMPLATE_COUNT) {
        template_left_out++;
        size_t used = strlen(template_left_out_names);
        size_t room = sizeof(template_left_out_names) - used;
        if (room > 8) {
            int written = snprintf(template_left_out_names + used, room, "%s%s", used ? ", " : "", template_name);
            if (written < 0 || (size_t)written >= room) snprintf(template_left_out_names + used, room, ", ...");
        }
        return;
    }
    uint16_t slot = num_object_template;
    object *o = &object_template[slot];
    memset(o, 0, sizeof(*o));
    safe_string_copy(o->name, template_name, TEMPLATE_NAME_LENGTH + 1, 1);
    log_message(5, "Loaded %s as object template %d", o->name, slot);

    o->template_index = o->model_index = slot;
    o->size = 1.0f;
    o->weight = 1.0f;
    o->inventory_scale = 1.0f;
    o->inventory_stack_count = 1;
    o->max_inventory_stack_count = 1;
    for (int i = 0; i < OBJECT_RECIPE_SIZE; i++) {
        o->recipe_template_index[i] = OBJECT_NO_TEMPLATE;
        o->recipe_material[i] = OBJECT_ANY_MATERIAL;
    }

    char path[TEMPLATE_PATH_SIZE];
    snprintf(path, sizeof(path), "OBJECT\\%s\\MODEL.IQE", template_name);
    model_load_iqe_file(path, slot);
    snprintf(path, sizeof(path), "OBJECT\\%s\\TEMPLATE.TXT", template_name);
    template_load_template_file(path, o);
    for (int j = 0; j < OBJECT_LOCAL_TEXTURES; j++) {
        snprintf(path, sizeof(path), "OBJECT\\%s\\TEXTURE%d.TGA", template_name, j);
        o->local_texture[j] = template_load_texture(path, 1);
    }
    snprintf(path, sizeof(path), "OBJECT\\%s\\ICON.TGA", template_name);
    o->icon_texture = template_load_texture(path, 0);
    num_object_template++;
}

void template_load_folders(const char *folder, void (*each)(void)) {
    // The kinds the game names first, then the rest as far as the table reaches.
    for (int named_pass = 1; named_pass >= 0; named_pass--) {
        while (finding_files(folder)) {
            if (template_is_named_kind(global_file_search_result) != named_pass) continue;
            if (each) each();
            log_divider();
            template_load(global_file_search_result);
        }
    }
    template_report_left_out();
}
