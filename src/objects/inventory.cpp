// inventory.cpp — inventories on the board: free slots, adding with stacking, recipes read
// from RECIPE.TXT and crafting on the board
#include "objects/inventory.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "foundation/file.h"
#include "foundation/logfile.h"
#include "foundation/random.h"
#include "objects/template.h"
#include "sound/sound.h"

static vector recipe_dot_line[OBJECT_RECIPE_SIZE];
static float recipe_radius[OBJECT_RECIPE_SIZE];
sound_effect *chink_sound = nullptr;

#define INVENTORY_PATH_SIZE 1100
#define INVENTORY_WORD_SIZE 1000
// Ten words of a recipe; a longer file is no recipe.
#define INVENTORY_RECIPE_FILE_LIMIT 65536

void object_find_inventory_slot(object *o, float *outx, float *outy) {
    if (o) {
        // The 25 middle holes fill first, row by row, then the outer ring of the larger board.
        for (int ring = 0; ring < 2; ring++) {
            for (int r = 0; r < INVENTORY_BOARD_ROWS; r++) {
                for (int c = 0; c < INVENTORY_BOARD_COLUMNS; c++) {
                    if (inventory_hole_is_inner(c, r) != (ring == 0)) continue;
                    object *taken = inventory_hole_occupant(o, c, r, nullptr);
                    if (taken) {
                        log_message(5, "Slot %d, %d is taken by %s", c, r, taken->name);
                        continue;
                    }
                    inventory_hole_centre(c, r, outx, outy);
                    return;
                }
            }
        }
    }
    *outx = random_range(-100.0f, 100.0f);
    *outy = random_range(-100.0f, 100.0f);
}

void object_inventory_orientation(float facing_xyzw[4]) {
    const float turn_z = -0.7853982f, turn_y = 0.52359885f;
    quaternion q1 = {0.0f, 0.0f, sinf(turn_z / 2.0f), cosf(turn_z / 2.0f)};
    quaternion q2 = {0.0f, sinf(turn_y / 2.0f), 0.0f, cosf(turn_y / 2.0f)};
    quaternion q = quaternion_multiply(q1, quaternion_multiply(q2, q1));
    facing_xyzw[0] = q.x;
    facing_xyzw[1] = q.y;
    facing_xyzw[2] = q.z;
    facing_xyzw[3] = q.w;
}

void object_add_to_inventory(object *o, object *object_to_add, uint8_t adding_from_template, uint16_t stack_count,
                             uint8_t material) {
    if (!o || !object_to_add) return;
    if (!adding_from_template && object_holds(object_to_add, o)) {
        log_message(2, "Refused to put %s into its own inventory", object_to_add->name);
        return;
    }
    // From a template, the count and material are the arguments; the template itself is never
    // written, so later spawns of it start from what it was loaded with.
    uint16_t count_added = object_to_add->inventory_stack_count;
    uint8_t material_added = object_to_add->material;
    if (adding_from_template) {
        count_added = object_to_add->inventory_stackable ? stack_count : (uint16_t)1;
        material_added = material;
    }
    int remaining = count_added ? count_added : 1;
    object *old_head = o->inventory_pile;

    for (object *r = o->inventory_pile; r && remaining > 0; r = r->next) {
        if (r == object_to_add || !r->inventory_stackable) continue;
        if (r->template_index != object_to_add->template_index || r->material != material_added) continue;
        // A stack already at or over its limit (read from a file) takes nothing and gives nothing.
        if (r->inventory_stack_count >= r->max_inventory_stack_count) continue;
        int sum = r->inventory_stack_count + remaining;
        if (sum < r->max_inventory_stack_count) {
            r->inventory_stack_count = (uint16_t)sum;
            remaining = 0;
        } else {
            remaining = sum - r->max_inventory_stack_count;
            r->inventory_stack_count = r->max_inventory_stack_count;
        }
    }

    uint8_t destroyed = 0;
    if (remaining > 0) {
        object *item = object_to_add;
        if (adding_from_template) {
            item = object_spawn(object_to_add, nullptr, 300, o->position.x, o->position.y, o->position.z);
            if (item) item->material = material_added;
        }
        if (item) {
            put_object_into_pile(item, &o->inventory_pile);
            item->position.x = item->position.y = 400.0f;
            float x, y;
            object_find_inventory_slot(o, &x, &y);
            item->position = vector{x, y, 0.0f};
            int count = remaining;
            if (count > item->max_inventory_stack_count) count = item->max_inventory_stack_count;
            if (count < 1) count = 1;
            item->inventory_stack_count = (uint16_t)count;
            object_inventory_orientation(item->facing_xyzw);
        }
    } else if (!adding_from_template) {
        object_destroy(object_to_add);
        destroyed = 1;
    }
    // The item that was first stays first.
    if (old_head && !(destroyed && old_head == object_to_add)) put_object_into_pile(old_head, &o->inventory_pile);
}

void object_recipe_setup(void) {
    static const float directions[OBJECT_RECIPE_SIZE][2] = {
        {-0.707f, -0.707f}, {0.0f, -1.0f}, {0.707f, -0.707f}, {-1.0f, 0.0f}, {0.0f, 0.0f},
        {0.0f, 0.0f},       {1.0f, 0.0f},  {-0.707f, 0.707f}, {0.0f, 1.0f},  {0.707f, 0.707f}};
    for (int i = 0; i < OBJECT_RECIPE_SIZE; i++) {
        recipe_dot_line[i] = vector{directions[i][0], directions[i][1], 0.0f};
        recipe_radius[i] = (i == 4 || i == 5) ? 0.5f : 1.0f;
    }
}

// Splits a recipe word into a template name and a material number at its first colon, as
// "%[^:]:%d" would; returns how many of the two were read.
static int recipe_split_word(const char *word, char *just_name, int name_size, long *material) {
    const char *colon = strchr(word, ':');
    size_t name_length = colon ? (size_t)(colon - word) : strlen(word);
    if (name_length == 0) return 0;
    if ((int)name_length >= name_size) name_length = (size_t)name_size - 1;
    memcpy(just_name, word, name_length);
    just_name[name_length] = 0;
    if (!colon) return 1;
    char *end = nullptr;
    errno = 0;
    long number = strtol(colon + 1, &end, 10);
    // A material is a whole number and nothing else.
    if (end == colon + 1 || *end != 0) return -1;
    if (number > INT_MAX) number = INT_MAX;
    if (number < INT_MIN) number = INT_MIN;
    *material = number;
    return 2;
}

void template_load_recipe_file(const char *template_name) {
    if (!template_name) return;
    log_message(5, "Attempting to load RECIPE.TXT file for object template %s", template_name);
    object *t = template_get_by_name(template_name);
    if (!t) return;
    char path[INVENTORY_PATH_SIZE];
    snprintf(path, sizeof(path), "OBJECT\\%s\\RECIPE.TXT", template_name);
    log_message(5, "  Recipe filename is %s", path);

    uint16_t index[OBJECT_RECIPE_SIZE];
    uint8_t material[OBJECT_RECIPE_SIZE];
    uint8_t valid = 0;
    long long size = 0;
    FILE *file = file_open_for_reading(fix_path(path), "r", FILE_QUIET, &size);
    if (file && size > INVENTORY_RECIPE_FILE_LIMIT) {
        log_message(2, "Recipe %s is not used: the file holds %lld bytes, no recipe is longer than %d", path, size,
                    INVENTORY_RECIPE_FILE_LIMIT);
        fclose(file);
        file = nullptr;
    }
    if (file) {
        static char words[OBJECT_RECIPE_SIZE][INVENTORY_WORD_SIZE + 1];
        int count = 0;
        while (count < OBJECT_RECIPE_SIZE && fscanf(file, "%1000s", words[count]) == 1) count++;
        fclose(file);
        valid = count == OBJECT_RECIPE_SIZE ? 1 : 0;
        if (!valid) log_message(2, "Recipe %s is not used: it holds %d of the ten positions", path, count);
        for (int i = 0; valid && i < OBJECT_RECIPE_SIZE; i++) {
            char part[TEMPLATE_NAME_LENGTH + 1];
            safe_string_copy(part, words[i], sizeof(part), 1);
            log_message(5, "    Recipe part %d == %s", i, part);
            index[i] = OBJECT_NO_TEMPLATE;
            material[i] = OBJECT_ANY_MATERIAL;
            if (strcmp(part, "NULL") == 0) continue;
            char just_name[TEMPLATE_NAME_LENGTH + 1] = "";
            long number = OBJECT_ANY_MATERIAL;
            int split_count = recipe_split_word(part, just_name, sizeof(just_name), &number);
            log_message(3, "      just_name == %s", just_name);
            log_message(3, "      material == %d", (int)number);
            log_message(3, "      split_count == %d", split_count);
            if (split_count < 0) {
                log_message(2, "Recipe %s is not used: position %d (%s) needs a whole material number", path, i,
                            part);
                valid = 0;
                continue;
            }
            object *part_template = split_count > 0 ? template_get_by_name(just_name) : nullptr;
            if (!part_template) {
                log_message(2, "Recipe %s is not used: position %d names %s, which is no loaded kind", path, i,
                            part);
                valid = 0;
                continue;
            }
            index[i] = part_template->template_index;
            log_message(3, "      Near final template_index == %d, final material == %d", index[i], material[i]);
            if (split_count > 1) {
                log_message(3, "        Split count greater than 1");
                // Materials are bytes and 255 means any: only 0..254 can be asked for.
                if (number >= 0 && number <= 254) {
                    log_message(3, "        Overriding material requirement with %d", (int)number);
                    material[i] = (uint8_t)number;
                }
            }
            log_message(3, "      Final template_index == %d, final material == %d", index[i], material[i]);
        }
    }
    if (!valid) {
        log_message(5, "    Invalidating recipe due to problem");
        for (int i = 0; i < OBJECT_RECIPE_SIZE; i++) {
            index[i] = OBJECT_NO_TEMPLATE;
            material[i] = OBJECT_ANY_MATERIAL;
        }
    }
    memcpy(t->recipe_template_index, index, sizeof(index));
    memcpy(t->recipe_material, material, sizeof(material));
}

// Whether object r may fill recipe position j of template t.
static uint8_t recipe_accepts(const object *t, int j, const object *r) {
    if (t->recipe_template_index[j] != r->template_index) return 0;
    return (t->recipe_material[j] == OBJECT_ANY_MATERIAL || t->recipe_material[j] == r->material) ? 1 : 0;
}

static const char *recipe_part_name(const object *t, int j) {
    const object *part = template_get_by_index(t->recipe_template_index[j]);
    return part ? part->name : "none";
}

uint8_t object_recipe_replace(object *holder, object *mid, float radius) {
    if (!holder || !mid) return 0;
    log_message(5, "Attempting recipe replace...");
    for (uint16_t ti = 0; ti < num_object_template; ti++) {
        object *t = &object_template[ti];
        log_message(5, "  Seeing if template %s has a recipe", t->name);
        object *filler[OBJECT_RECIPE_SIZE] = {};
        uint8_t filled[OBJECT_RECIPE_SIZE];
        int required = 0;
        for (int j = 0; j < OBJECT_RECIPE_SIZE; j++) {
            filled[j] = t->recipe_template_index[j] > 99 ? 1 : 0;
            if (!filled[j]) required++;
        }
        if (required < 2) continue;
        log_message(5, "  Seeing if we match recipe which has %d components", required);
        log_message(5, "  Mid == %d (%s)", mid->template_index, mid->name);
        log_message(5, "  [4] == %d (%s) : %d", t->recipe_template_index[4], recipe_part_name(t, 4),
                    t->recipe_material[4]);
        log_message(5, "  [5] == %d (%s) : %d", t->recipe_template_index[5], recipe_part_name(t, 5),
                    t->recipe_material[5]);
        int centre = recipe_accepts(t, 4, mid) ? 4 : (recipe_accepts(t, 5, mid) ? 5 : -1);
        if (centre < 0) continue;
        filler[centre] = mid;
        filled[centre] = 1;
        // "Two in the middle": a stack of two or more there fills both centre places.
        if (centre == 4 && mid->inventory_stackable && mid->inventory_stack_count >= 2 && recipe_accepts(t, 5, mid)) {
            filler[5] = mid;
            filled[5] = 1;
        }
        log_message(5, "  Primary component %s matches mid", mid->name);

        for (object *r = holder->inventory_pile; r; r = r->next) {
            if (r == mid) continue;
            float dx = r->position.x - mid->position.x, dy = r->position.y - mid->position.y;
            if (!(dx * dx + dy * dy < radius * radius)) continue;
            log_message(5, "  Object %s is possibly an intended component", r->name);
            float dist = sqrtf(dx * dx + dy * dy) + 0.0000001f;
            float ux = dx / dist, uy = dy / dist;
            int best_j = -1;
            float best_dot = 0.00001f;
            for (int j = 0; j < OBJECT_RECIPE_SIZE; j++) {
                float dot = ux * recipe_dot_line[j].x + uy * recipe_dot_line[j].y;
                if (dot > best_dot) {
                    best_dot = dot;
                    best_j = j;
                }
            }
            if (best_j >= 0) {
                log_message(5, "    Passed component test as %d", best_j);
                log_message(5, "    Does type %d match required type %d?", r->template_index,
                            t->recipe_template_index[best_j]);
                if (recipe_accepts(t, best_j, r)) {
                    log_message(5, "      Match on component %d!", best_j);
                    filler[best_j] = r;
                    filled[best_j] = 1;
                    continue;
                }
            }
            log_message(5, "    Only possible as a center component...");
            if (dist < 0.5f * radius) {
                log_message(5, "    Radius passed");
                if (!filled[4] && recipe_accepts(t, 4, r)) {
                    log_message(5, "      Match on second chance as component 4");
                    filler[4] = r;
                    filled[4] = 1;
                } else if (!filled[5] && recipe_accepts(t, 5, r)) {
                    log_message(5, "      Match on second chance as component 5");
                    filler[5] = r;
                    filled[5] = 1;
                }
            }
        }

        int matched = 0;
        for (int j = 0; j < OBJECT_RECIPE_SIZE; j++) matched += filled[j];
        log_message(5, "  Matched a total of %d components (out of %d needed)", matched, OBJECT_RECIPE_SIZE);
        if (matched < OBJECT_RECIPE_SIZE) continue;

        object *product = object_spawn(t, nullptr, 300, holder->position.x, holder->position.y, holder->position.z);
        if (!product) {
            // Nothing is used up for a product that could not be made.
            log_message(2, "  Could not make %s here -- nothing is used up", t->name);
            return 0;
        }
        put_object_into_pile(product, &holder->inventory_pile);
        product->position = vector{mid->position.x, mid->position.y, 0.0f};
        product->material = mid->material;
        product->inventory_stack_count = 1;
        object_inventory_orientation(product->facing_xyzw);

        for (int j = 0; j < OBJECT_RECIPE_SIZE; j++) {
            object *used = filler[j];
            if (!used) continue;
            if (used->inventory_stack_count < 2 || !used->inventory_stackable)
                object_destroy(used);
            else
                used->inventory_stack_count--;
        }
        if (chink_sound) sound_play(chink_sound, 128, 128, 0, 0);
        return 1;
    }
    return 0;
}

// As before start-up: no chink sound and an empty recipe layout (object_recipe_setup fills it).
void inventory_reset(void) {
    chink_sound = nullptr;
    for (int i = 0; i < OBJECT_RECIPE_SIZE; i++) {
        recipe_dot_line[i] = vector{0.0f, 0.0f, 0.0f};
        recipe_radius[i] = 0.0f;
    }
}
