// kestrova_startup.cpp — the start-up sequence and the SETUP.TXT reader
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "world/chunkmap.h"
#include "display/display.h"
#include "foundation/file.h"
#include "display/font.h"
#include "display/input.h"
#include "game/kestrova.h"
#include "game/kestrova_gather.h"
#include "foundation/logfile.h"
#include "models/model.h"
#include "objects/inventory.h"
#include "objects/object.h"
#include "objects/template.h"
#include "foundation/random.h"
#include "foundation/timer.h"
#include "sound/sound.h"
#include "terrain/voxel.h"
#include "world/worldmap.h"

float global_start_ground_z = MAIN_LOOP_START_Z;

char metal_name[255][32];

sound_effect *swipe_sound = nullptr, *rubble_sound = nullptr, *grimstone_sound = nullptr, *chop_sound = nullptr;
sound_effect *day_music = nullptr, *night_music = nullptr, *inventory_music = nullptr, *underground_music = nullptr,
             *title_music = nullptr;

// Reads the next value of the settings file into word (at most 40 characters).
// Everything up to the next colon is label text and skipped; the colon must be
// followed by at least one blank or tab. Returns 0 when the value is missing
// (end of file) or written straight after its colon; the caller then keeps the
// default, and the stream stays where the failed read left it, so the next
// value is looked for after the next colon and no word is ever read twice.
// A settings file is a few hundred bytes; no more than this is read of one, however long it is.
#define SETUP_READ_LIMIT 65536
static long setup_bytes_left = SETUP_READ_LIMIT;

static int setup_getc(FILE *file) {
    if (setup_bytes_left <= 0) return EOF;
    setup_bytes_left--;
    return getc(file);
}

static uint8_t setup_read_word(FILE *file, char word[41]) {
    int c;
    do {
        c = setup_getc(file);
    } while (c != EOF && c != ':');
    if (c == EOF) return 0;
    c = setup_getc(file);
    if (c != ' ' && c != '\t') {
        if (c != EOF) ungetc(c, file);
        return 0;
    }
    do {
        c = setup_getc(file);
    } while (c == ' ' || c == '\t');
    if (c == EOF) return 0;
    ungetc(c, file);
    return fscanf(file, "%40s", word) == 1 ? 1 : 0;
}

static uint8_t setup_word_is_true(const char *word) { return word[0] == 'T' || word[0] == 't'; }

static void setup_keep_default(const char *setting) {
    log_message(2, "  %s is missing or unreadable in the setup file; keeping its default", setting);
}

static void setup_out_of_range(const char *setting, const char *word) {
    log_message(2, "  %s %s is out of range in the setup file; keeping its default", setting, word);
}

// Reads a whole decimal number: 1 when read, 0 when unreadable (trailing characters after the
// digits make it so), 2 when the number is beyond what an int holds.
static uint8_t setup_parse_int(const char *word, int *value) {
    char *end = nullptr;
    errno = 0;
    long long number = strtoll(word, &end, 10);
    if (end == word || *end != 0) return 0;
    if (errno == ERANGE || number < INT_MIN || number > INT_MAX) return 2;
    *value = (int)number;
    return 1;
}

// Reads a number setting; a number beyond low..high is brought to the nearer end, with a warning.
// Returns 1 when *value holds the setting, 0 when the default stays (and says why).
static uint8_t setup_read_number(FILE *file, const char *setting, int low, int high, int *value) {
    char word[41];
    if (!setup_read_word(file, word)) {
        setup_keep_default(setting);
        return 0;
    }
    uint8_t parsed = setup_parse_int(word, value);
    if (parsed == 0) {
        setup_keep_default(setting);
        return 0;
    }
    if (parsed == 2) {
        setup_out_of_range(setting, word);
        return 0;
    }
    if (*value < low || *value > high) {
        int used = *value < low ? low : high;
        log_message(2, "  %s %d is outside %d..%d; %d is used", setting, *value, low, high, used);
        *value = used;
    }
    return 1;
}

// "%dx%d" without the overflow of scanning: two numbers joined by a lower-case x. Returns 1 when
// both are 1..65535, 2 when they are numbers beyond that, 0 when the word is no resolution.
static uint8_t setup_parse_resolution(const char *word, int *width, int *height) {
    char *end = nullptr;
    errno = 0;
    long long a = strtoll(word, &end, 10);
    if (end == word || *end != 'x') return 0;
    uint8_t overflow = errno == ERANGE ? 1 : 0;
    const char *second = end + 1;
    errno = 0;
    long long b = strtoll(second, &end, 10);
    if (end == second) return 0;
    if (overflow || errno == ERANGE || a < 1 || a > 65535 || b < 1 || b > 65535) return 2;
    *width = (int)a;
    *height = (int)b;
    return 1;
}

void load_setup(const char *filename) {
    log_message(3, "Trying to load setup file %s", filename);
    FILE *file = file_open_for_reading(fix_path(filename), "r", FILE_QUIET, nullptr);
    if (!file) {
        if (errno == ENOENT || errno == ENOTDIR)
            log_message(2, "Setup file %s is missing; every setting keeps its default (log level %d)", filename,
                        global_log_level);
        return;
    }
    setup_bytes_left = SETUP_READ_LIMIT;

    char word[41];
    int a = 0, b = 0;

    uint8_t resolution = setup_read_word(file, word) ? setup_parse_resolution(word, &a, &b) : 0;
    if (resolution == 1) {
        screen_x = (uint16_t)a;
        screen_y = (uint16_t)b;
    } else if (resolution == 2) {
        setup_out_of_range("Resolution", word);
    } else {
        setup_keep_default("Resolution");
    }
    log_message(3, "  Screen width == %d", screen_x);
    log_message(3, "  Screen height == %d", screen_y);

    if (setup_read_word(file, word))
        fullscreen_mode = setup_word_is_true(word);
    else
        setup_keep_default("Fullscreen");
    log_message(3, "  Fullscreen == %s", fullscreen_mode ? "TRUE" : "FALSE");

    if (setup_read_number(file, "Display distance", 20, 1000, &a)) global_display_distance = (uint16_t)a;
    log_message(3, "  Display distance == %d", global_display_distance);

    if (setup_read_number(file, "Background distance", 0, 500, &a)) global_background_distance = (uint16_t)a;
    log_message(3, "  Background distance == %d", global_background_distance);

    if (setup_read_word(file, word))
        global_cartoon_mode = setup_word_is_true(word);
    else
        setup_keep_default("Draw cartoon lines");
    log_message(3, "  Draw cartoon lines == %s", global_cartoon_mode ? "TRUE" : "FALSE");

    if (setup_read_word(file, word))
        invert_mouse = setup_word_is_true(word);
    else
        setup_keep_default("Invert mouse");
    log_message(3, "  Invert mouse == %s", invert_mouse ? "TRUE" : "FALSE");

    if (setup_read_word(file, word))
        load_music = setup_word_is_true(word);
    else
        setup_keep_default("Load music");
    log_message(3, "  Load music == %s", load_music ? "TRUE" : "FALSE");

    if (setup_read_number(file, "Settings File Log Level", 0, 5, &a)) {
        // The echo is written under the old threshold, then the new one applies.
        log_message(3, "  Settings File Log Level == %d", a);
        global_log_level = (uint8_t)a;
    }

    fclose(file);
}

static void setup_metal_names(void) {
    for (int i = 0; i < 255; i++) {
        metal_texture[i] = 0;
        safe_string_copy(metal_name[i], "Alloy", 32, 0);
    }
    static const struct {
        int index;
        const char *name;
    } names[] = {{0, "Coal"},         {1, "Copper"},       {2, "Tin"},          {3, "Iron"},
                 {4, "Gold"},         {5, "Mithril"},      {21, "Bronze"},      {31, "Copper-Steel"},
                 {32, "Tin-Steel"},   {41, "Copper-Gold"}, {42, "Copper-Gold"}, {43, "Gold-Steel"},
                 {51, "Copper-Mithril"}, {52, "Tin-Mithril"}, {53, "Mithril-Steel"}, {54, "Mithril-Gold"}};
    for (const auto &entry : names) safe_string_copy(metal_name[entry.index], entry.name, 32, 0);
}

// At exit: close the audio device first so no channel plays a freed sound, then free the sounds.
static void startup_release_sounds(void) {
    sound_shutdown();
    sound_effect **sounds[] = {&chink_sound, &swipe_sound, &jump_sound, &rubble_sound, &bomb_sound, &grimstone_sound,
                               &chop_sound, &day_music, &night_music, &inventory_music, &underground_music,
                               &title_music};
    for (sound_effect **sound : sounds) {
        sound_free(*sound);
        *sound = nullptr;
    }
}

// Shift-escape seen by the loading screen's input poll is a quit, as in the main loop; so is the
// window's close button, which the poll notes by clearing main_loop_active (the main loop would
// set it again on starting and lose it).
static void startup_note_quit_keys(void) {
    if (key_down[KEY_ESCAPE] && (key_down[KEY_LEFT_SHIFT] || key_down[KEY_RIGHT_SHIFT])) global_quit_signal = 1;
    if (!main_loop_active) global_quit_signal = 1;
}

// Asked between chunks of the start-up world passes: the input is polled every 100 ms, so
// shift-escape and a polite kill are honoured while hundreds of chunks are made.
static uint8_t startup_quit_asked(void) {
    static uint32_t last_poll = 0;
    uint32_t now = timer_now();
    if (now - last_poll >= 100) {
        last_poll = now;
        input_read(1);
    }
    startup_note_quit_keys();
    if (global_quit_signal) log_message(3, "Quit asked while the world loads; the rest of it is not loaded");
    return global_quit_signal ? 1 : 0;
}

// One stage or sub-step of the loading screen; each redraws the screen and polls input.
static void startup_stage(const char *text) {
    log_message(5, "Loading stage %s", text);
    display_progress_bar(0, text);
    startup_note_quit_keys();
}
static void startup_substep(const char *text) {
    log_message(5, "Loading step %s", text);
    display_progress_bar(1, text);
    startup_note_quit_keys();
}

static void startup_objects_substep(void) { startup_substep("Objects"); }

// The on-screen display pieces, in loading order; only the shade picture has mipmaps.
static void startup_load_display_textures(void) {
    static const struct {
        uint32_t *texture;
        const char *file;
        uint8_t mipmap;
    } pieces[] = {{&light_texture, "ART\\LIGHT.TGA", 0},       {&backdrop_texture, "ART\\BACKDROP.TGA", 0},
                  {&updrop_texture, "ART\\UPDROP.TGA", 0},     {&downdrop_texture, "ART\\DOWNDROP.TGA", 0},
                  {&subdrop_texture, "ART\\SUBDROP.TGA", 0},   {&sun_texture, "ART\\SUN.TGA", 0},
                  {&moon_texture, "ART\\MOON.TGA", 0},         {&backpack_texture, "ART\\BACKPACK.TGA", 0},
                  {&shade_texture, "ART\\SHADE.TGA", 1},       {&select_texture, "ART\\SELECT.TGA", 0},
                  {&cross_texture, "ART\\CROSS.TGA", 0},       {&notch_texture, "ART\\NOTCH.TGA", 0}};
    for (const auto &piece : pieces) *piece.texture = display_load_texture_file_rgba(piece.file, piece.mipmap, 0);
}

// Metal textures 0..99; a missing file leaves texture 0.
static void startup_load_metal_textures(void) {
    char file[32];
    for (int i = 0; i < 100; i++) {
        snprintf(file, sizeof(file), "ART\\METAL%02d.TGA", i);
        metal_texture[i] = display_load_texture_file_rgba(file, 1, 0);
    }
}

// The starting inventory, in this order: the tools, the bars of each metal, and building stock.
void main_fill_starting_inventory(void) {
    log_message(5, "Spawning basic objects into local player inventory");
    if (!local_player) return;
    static const struct {
        const char *kind;
        uint16_t stack;
        uint8_t material;
    } items[] = {{"PICK", 1, 1},      {"AXE", 1, 2},          {"HAMMER", 1, 3},   {"HEAVY-PICK", 1, 3},
                 {"SHIELD", 1, 3},    {"KNIFE", 1, 3},        {"SPEAR", 1, 3},    {"HEAVY-AXE", 1, 3},
                 {"SAW", 1, 3},       {"BOMB", 10, 3},        {"BAR", 10, 1},     {"BAR", 10, 2},
                 {"BAR", 10, 3},      {"BAR", 10, 4},         {"BAR", 10, 5},     {"TORCH", 10, 3},
                 {"BOARD", 10, 3},    {"GOBLIN", 1, 3},       {"GOBLIN-CHAIN", 1, 3}, {"ZOMBI", 1, 3},
                 {"CATAPULT", 1, 3},  {"BLOCK", 10000, 5},    {"DEBRIS", 10000, 31}, {"DEBRIS", 10000, 32},
                 {"DEBRIS", 10000, 38}};
    for (const auto &item : items) {
        object *kind = template_get_by_name(item.kind);
        if (kind)
            log_message(5, "  Starting item %s x%d of material %d", item.kind, item.stack, item.material);
        else
            log_message(2, "  No object kind %s for the starting inventory", item.kind);
        object_add_to_inventory(local_player, kind, 1, item.stack, item.material);
    }
}

int main_initialize(void) {
    open_logfile();
    draw_menu = 1;

    log_banner();
    log_controls();
    log_credits();
    log_release_history();

    model_setup();
    load_setup(SETUP_FILE_NAME);
    log_divider();

    if (!display_setup()) {
        log_message(1, "ERROR:  display_setup() failed");
        exit(1);
    }
    log_divider();
    if (!display_setup_multitexture()) {
        log_message(3, "INFO:   display_setup_multitexture() failed");
        exit(1);
    }
    log_divider();

    sound_setup();
    atexit(startup_release_sounds);
    random_setup();

    title_texture = display_load_texture_file_rgba("ART\\TITLE.TGA", 0, 0);
    font_texture = display_load_texture_file_rgba("ART\\FONT.TGA", 0, 0);
    font_setup();
    display_progress_bar_start(15);

    startup_stage("Lighting");
    voxel_setup_light_table();

    startup_stage("Materials");
    material_texture = display_load_texture_file_rgba("ART\\MATERIAL.TGA", 1, 1);
    voxel_clear_map();
    voxel_setup_materials();

    log_message(5, "Counting number of object folders");
    int object_folder_count = 0;
    while (finding_files("OBJECT\\")) object_folder_count++;
    log_message(5, "Found %d object folders", object_folder_count);

    template_setup();
    display_subprogress_bar_start(object_folder_count);
    template_load_folders("OBJECT\\", startup_objects_substep);
    // Recipes name other templates, so they are read once every template exists.
    object_recipe_setup();
    display_subprogress_bar_start(object_folder_count);
    while (finding_files("OBJECT\\")) {
        startup_substep("Recipes");
        template_load_recipe_file(global_file_search_result);
    }

    setup_wave_table(0, 0, 0);

    startup_stage("Textures");
    startup_load_display_textures();

    startup_stage("Textures");
    setup_metal_names();
    startup_load_metal_textures();

    startup_stage("Geometry");
    voxel_geometry_setup();

    static const struct {
        sound_effect **sound;
        const char *path;
    } sound_files[] = {{&chink_sound, "SOUND\\CHINK.OGG"},   {&swipe_sound, "SOUND\\SWIPE.OGG"},
                       {&jump_sound, "SOUND\\JUMP.OGG"},     {&rubble_sound, "SOUND\\RUBBLE.OGG"},
                       {&bomb_sound, "SOUND\\BOMB.OGG"},     {&grimstone_sound, "SOUND\\GRIM.OGG"},
                       {&chop_sound, "SOUND\\CHOP.OGG"}};
    // A quit asked meanwhile leaves the rest of the sounds and music unloaded, as if their files
    // were missing: decoding them would keep the player waiting seconds for a game that ends.
    for (const auto &entry : sound_files) {
        startup_stage("Sounds");
        if (global_quit_signal) break;
        *entry.sound = sound_load_ogg(entry.path, 255);
    }
    static const struct {
        sound_effect **sound;
        const char *path;
    } music_files[] = {{&day_music, "MUSIC\\DAY.OGG"},
                       {&night_music, "MUSIC\\NIGHT.OGG"},
                       {&inventory_music, "MUSIC\\INVENTORY.OGG"},
                       {&underground_music, "MUSIC\\UNDERGROUND.OGG"},
                       {&title_music, "MUSIC\\TITLE.OGG"}};
    for (const auto &entry : music_files) {
        if (load_music) {
            startup_stage("Music");
            // Music is loaded at a quarter of full scale so effects stand out over it.
            if (!global_quit_signal) *entry.sound = sound_load_ogg(entry.path, 64);
        } else {
            startup_stage("Skipping Music");
        }
    }

    template_find_particle_templates();
    object_register_hooks();
    // New chunks grow standing trees on their tree seeds.
    worldmap_tree_hook = gather_grow_tree;
    worldmap_generated_hook = gather_settle_trees;

    startup_stage("World Generation");
    chunkmap_setup();
    // The clock seeds only a world that has no seed file yet.
    // Test seam: KESTROVA_SAVE_FAULT=1 makes every save of the world fail as if its folder could
    // not be written, for the end-to-end checks on machines where no small disk can be mounted.
    const char *save_fault = getenv("KESTROVA_SAVE_FAULT");
    if (save_fault && save_fault[0] == '1') {
        global_chunkmap_save_fault = 1;
        log_message(2, "KESTROVA_SAVE_FAULT is set: nothing of the world will be saved");
    }
    // A new world keeps drawing seeds until its start column is dry land; an existing world keeps
    // its own seed.
    int32_t seed = (int32_t)time(nullptr);
    if (!worldmap_has_seed_file(WORLD_NAME))
        seed = worldmap_draw_land_seed(seed, (int)MAIN_LOOP_START_X, (int)MAIN_LOOP_START_Y);
    worldmap_setup(seed, WORLD_NAME);
    // A saved player brings the world around its own spot in.
    main_read_player_file();
    display_subprogress_bar_start(100);
    float load_radius = (float)global_background_distance + 64.0f;
    float unload_radius = (float)global_background_distance + 128.0f;
    chunkmap_forced_pass_stop_hook = startup_quit_asked;
    chunkmap_update((int)global_start_x, (int)global_start_y, load_radius, unload_radius, 1);
    for (int pass = 0; pass < 100 && !global_quit_signal; pass++) {
        startup_substep("World Generation");
        if (startup_quit_asked()) break;
        chunkmap_update((int)global_start_x, (int)global_start_y, load_radius, unload_radius, 1);
    }
    chunkmap_forced_pass_stop_hook = nullptr;

    main_spawn_player();

    display_progress_bar_end();
    return 1;
}
