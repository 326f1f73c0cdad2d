// inventory_board.cpp — the holes of the inventory board: where they are, which item lies in
// which, and settling a dropped item into a hole (joining a stack of its kind there)
#include <cmath>

#include "foundation/logfile.h"
#include "objects/inventory.h"

void inventory_hole_centre(int c, int r, float *x, float *y) {
    *x = 40.0f * (float)c - 120.0f;
    *y = 40.0f * (float)r - 120.0f + ((c & 1) ? 0.0f : 15.0f);
}

uint8_t inventory_hole_is_inner(int c, int r) {
    return c >= 1 && c <= 5 && r >= 1 && r <= 5 ? 1 : 0;
}

uint8_t inventory_hole_of(float x, float y, int *c, int *r) {
    if (!std::isfinite(x) || !std::isfinite(y)) return 0;
    const float fc = floorf((x + 140.0f) / 40.0f), fr = floorf((y + 140.0f) / 40.0f);
    if (fc < 0.0f || fr < 0.0f || fc >= (float)INVENTORY_BOARD_COLUMNS || fr >= (float)INVENTORY_BOARD_ROWS) return 0;
    *c = (int)fc;
    *r = (int)fr;
    return 1;
}

object *inventory_hole_occupant(object *o, int c, int r, const object *except) {
    if (!o) return nullptr;
    for (object *held = o->inventory_pile; held; held = held->next) {
        int hc, hr;
        if (held != except && inventory_hole_of(held->position.x, held->position.y, &hc, &hr) && hc == c && hr == r)
            return held;
    }
    return nullptr;
}

uint8_t inventory_nearest_hole(float x, float y, int *c, int *r) {
    if (!std::isfinite(x) || !std::isfinite(y)) return 0;
    float best = 0.0f;
    uint8_t found = 0;
    for (int hr = 0; hr < INVENTORY_BOARD_ROWS; hr++)
        for (int hc = 0; hc < INVENTORY_BOARD_COLUMNS; hc++) {
            float hx, hy;
            inventory_hole_centre(hc, hr, &hx, &hy);
            const float d = (hx - x) * (hx - x) + (hy - y) * (hy - y);
            if (!found || d < best) {
                best = d;
                *c = hc;
                *r = hr;
                found = 1;
            }
        }
    return found;
}

// Whether item can join the stack of other in full.
static uint8_t inventory_joins(const object *item, const object *other) {
    return other->inventory_stackable && other->template_index == item->template_index &&
                   other->material == item->material &&
                   (int)other->inventory_stack_count + (int)item->inventory_stack_count <=
                       (int)other->max_inventory_stack_count
               ? 1
               : 0;
}

object *object_inventory_settle(object *holder, object *item) {
    if (!holder || !item || item->current_pile != &holder->inventory_pile) return nullptr;
    float best = 0.0f;
    int best_c = -1, best_r = -1;
    object *join = nullptr;
    const float x = std::isfinite(item->position.x) ? item->position.x : 0.0f;
    const float y = std::isfinite(item->position.y) ? item->position.y : 0.0f;
    for (int r = 0; r < INVENTORY_BOARD_ROWS; r++)
        for (int c = 0; c < INVENTORY_BOARD_COLUMNS; c++) {
            object *there = inventory_hole_occupant(holder, c, r, item);
            if (there && !inventory_joins(item, there)) continue;
            float hx, hy;
            inventory_hole_centre(c, r, &hx, &hy);
            const float d = (hx - x) * (hx - x) + (hy - y) * (hy - y);
            if (best_c < 0 || d < best) {
                best = d;
                best_c = c;
                best_r = r;
                join = there;
            }
        }
    if (best_c < 0) return nullptr;
    if (join) {
        join->inventory_stack_count = (uint16_t)(join->inventory_stack_count + item->inventory_stack_count);
        log_message(4, "%s joined the stack of %d", item->name, (int)join->inventory_stack_count);
        object_destroy(item);
        put_object_into_pile(join, &holder->inventory_pile);
        return join;
    }
    inventory_hole_centre(best_c, best_r, &item->position.x, &item->position.y);
    return item;
}
