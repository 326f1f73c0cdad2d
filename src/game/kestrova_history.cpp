// kestrova_history.cpp — the banner, controls list, credits and release history written at start-up
#include "game/kestrova.h"
#include "foundation/logfile.h"

void log_banner(void) {
    log_divider();
    log_message(0, "%s v%4.2f", PROGRAM_TITLE, (double)PROGRAM_VERSION);
    log_divider();
}

const controls_line controls_list[CONTROLS_COUNT] = {
    {"WSAD", "Move"},
    {"Shift-WSAD", "Run"},
    {"Shift-Build", "Build walls"},
    {"Tab", "Open / Close Inventory"},
    {"Q", "Material Change"},
    {"E", "Equipment Change"},
    {"R", "Respawn"},
    {"Z", "Spawn Zombi"},
    {"T", "Tree Plopper"},
    {"Space", "Jump / Swim"},
    {"C", "Speed the Day/Night cycle along"},
    {"F1", "Show Debug Stuff"},
    {"Shift-Escape", "Exit Game"},
};

void log_controls(void) {
    log_message(0, "Controls for this version are as follows...");
    for (const controls_line &line : controls_list) log_message(0, "%-12s == %s", line.keys, line.action);
    log_divider();
}

void log_credits(void) {
    static const char *const credits[] = {
        "Maren Holtvik - Programmer & Artist",
        "Ilse Brandauer - Artist",
        "Tomasz Wierzba - Artist",
        "Priya Kandasamy - Artist",
        "Joost van Eerde - Artist",
        "Aurelio Caspani - Composer",
        "Dana Okonkwo - Programmer",
    };
    log_message(0, "Credits");
    for (const char *line : credits) log_message(0, "%s", line);
    log_divider();
}

struct release_notes {
    float version;
    const char *const *items;
    int count;
};

static const char *const changes_042[] = {
    "  [*] Zombis now climb single-block steps instead of pacing in front of them",
    "  [*] Bombs throw debris in the direction of the blast",
    "  [*] Torches thrown into water go out with a puff of smoke",
    "  [*] Inventory stack counts no longer overlap the slot border",
    "  [*] The catapult can be crafted from boards and an iron bar",
    "  [*] Chunk files are written in column order, halving save time",
    "  [*] Digging under a tree no longer leaves leaves floating forever",
    "  [*] Music fades between day and night over a few seconds",
    "  [*] Swimming up a waterfall is possible again",
    "  [-] Ragdolls sometimes sink into steep slopes",
    "  [-] Shield blocks most, but not all, zombi swipes",
    "  [ ] Goblins still ignore the player at night",
    "  [ ] Saw cannot yet cut boards from logs",
};
static const char *const changes_041[] = {
    "  [*] New heavy axe fells a tree in three swings",
    "  [*] Heavy pick digs a larger sphere but swings slower",
    "  [*] Grimstone growls when a zombi is near",
    "  [*] Snapped blocks line up with the block grid",
    "  [*] Shift-build raises walls two blocks high",
    "  [*] Lava glows and lights the caves around it",
    "  [*] Fixed a crash when the OBJECT folder was empty",
    "  [*] Fixed the sun setting in the north",
    "  [*] The underground music plays below sea level",
    "  [*] Knife and spear can be thrown",
    "  [-] Crystal caves are rare and sometimes empty",
    "  [-] The day/night speed-up key skips the sunrise",
    "  [ ] Goblin chains do not hold goblins yet",
    "  [ ] Loading a world from an older version loses torches",
};
static const char *const changes_040[] = {
    "  [*] Far terrain is drawn in coarser bands out to the horizon",
    "  [*] Cartoon outlines can be switched off in SETUP.TXT",
    "  [*] Cached terrain triangles are rebuilt only where the ground changed",
    "  [*] Mouse look can be inverted",
    "  [*] The loading screen shows which stage is running",
    "  [*] Ore veins of copper, tin, iron, gold and mithril",
    "  [*] Bars of each metal stack up to a hundred",
    "  [*] Falling rubble makes a sound",
    "  [-] Distant terrain pops when crossing a band edge",
    "  [-] Fog colour does not always match the sky",
    "  [ ] Music cannot be turned off while playing",
};
static const char *const changes_039[] = {
    "  [*] Recipes are read from each object folder",
    "  [*] Crafting by laying parts out on the inventory board",
    "  [*] Boards crafted from logs",
    "  [*] Torches crafted from boards and coal",
    "  [*] Picks, axes and hammers crafted from bars and boards",
    "  [*] Tools take the colour of their metal",
    "  [*] Inventory board slides down while an item is dragged out",
    "  [*] Items can be dropped into the world from the inventory",
    "  [*] Dropped items roll downhill",
    "  [*] Items in the world can be picked up by clicking them",
    "  [*] The selected item is outlined",
    "  [*] Stacks merge when dropped on each other",
    "  [*] Q and E cycle through materials and equipment",
    "  [*] Inventory music plays while the board is open",
    "  [*] Zombis drop their heads when killed",
    "  [*] Red flash when the player is hit",
    "  [*] The player respawns at the start point with R",
    "  [*] Respawn after death keeps the inventory",
    "  [-] Dragging an item off the screen edge loses track of it",
    "  [-] Recipe patterns must be laid out in the top-left corner",
    "  [-] Crafting sometimes gives one item too many",
    "  [-] Metal names of some alloys are wrong",
    "  [ ] Inventory does not save with the world",
    "  [ ] Catapult recipe missing",
    "  [ ] No sound when crafting",
    "  [ ] Stack counts over 999 are cut off",
};
static const char *const changes_038[] = {
    "  [*] Zombis spawn in the dark and walk towards the player",
    "  [*] Zombis can be hit with any tool",
    "  [*] Zombis fall over when killed",
    "  [*] Day and night cycle with a rising and setting sun",
    "  [*] The moon and stars at night",
    "  [*] C speeds the day along",
    "  [*] Z spawns a zombi for testing",
    "  [*] Sunlight floods down into open caves",
    "  [*] Glowing materials light their surroundings",
    "  [*] Torches light the ground where they land",
    "  [*] Lighting is recomputed after every dig",
    "  [*] Objects are drawn darker in the shade",
    "  [*] The player's hit points are shown",
    "  [*] Screen shakes when a bomb goes off nearby",
    "  [*] Bombs blow holes into the terrain",
    "  [*] Bomb fuses smoke before they go off",
    "  [*] Swinging a tool makes a sound",
    "  [*] Digging rock makes a chink",
    "  [-] Zombis walk through each other",
    "  [-] Night is too dark on some displays",
    "  [-] Light leaks through thin walls",
    "  [-] Torch light flickers at chunk borders",
    "  [ ] Zombis do not hurt the player yet",
    "  [ ] Monsters are not saved with the world",
    "  [ ] The moon does not change phase",
};
static const char *const changes_037[] = {
    "  [*] The world is saved to one file per chunk when leaving the area",
    "  [*] Chunks load back from their files",
    "  [*] The world keeps its seed in SEED.TXT",
    "  [*] New chunks are generated on the fly while walking",
    "  [*] Streaming loads at most one chunk per frame",
    "  [*] The world is saved on exit",
    "  [*] Objects are saved with their chunk",
    "  [*] Trees grow from seeds placed by the generator",
    "  [*] Sand beaches around every island",
    "  [*] Swamps in low-lying ground",
    "  [*] The sea surrounds the map",
    "  [*] Edges of the map are unbreakable",
    "  [-] Saving a large world takes a few seconds",
    "  [-] Walking fast outruns chunk loading",
    "  [-] Tree seeds sometimes land in water",
    "  [ ] Chunk files from 0.36 cannot be read",
    "  [ ] Caves are not generated yet",
    "  [ ] Islands all look alike",
    "  [ ] No way to choose the world name",
};
static const char *const changes_036[] = {
    "  [*] Smooth block shapes on slopes and edges",
    "  [*] Normals for smooth lighting of the terrain",
    "  [*] Texture variants break up repeating ground",
    "  [*] Water waves and animated lava",
    "  [*] Under water the view turns blue and foggy",
    "  [*] Swimming with space",
    "  [*] The player floats at the water surface",
    "  [*] Digging removes whole spheres of terrain",
    "  [*] Hard rock resists weak tools",
    "  [*] Debris flies from every dug block",
    "  [*] Collected material goes into the inventory",
    "  [*] Building places blocks where the crosshair points",
    "  [*] The build plane shows where a block will go",
    "  [*] Pillars are compressed after every edit",
    "  [*] Walking up slopes is smooth",
    "  [*] Jumping with space",
    "  [*] Running with shift",
    "  [*] Camera bob while walking",
    "  [*] Crosshair and pitch notches",
    "  [*] F1 shows debug text",
    "  [*] The settings file chooses the window size",
    "  [*] Full screen mode",
    "  [-] Block shapes look wrong under overhangs",
    "  [-] Debris sometimes falls through the floor",
    "  [-] Waves do not line up at chunk borders",
    "  [-] The build plane flickers",
    "  [ ] No sound yet",
    "  [ ] No music yet",
    "  [ ] No way to quit except shift-escape",
    "  [ ] Crashes when digging at the map edge",
};
static const char *const changes_035[] = {
    "  [*] The terrain is made of run-length pillars of blocks",
    "  [*] Sixty-four materials in one texture atlas",
    "  [*] The world is split into chunks of 64 by 64 columns",
    "  [*] Only chunks near the player stay in memory",
    "  [*] First-person camera with mouse look",
    "  [*] Walking with WSAD",
    "  [*] Gravity and landing",
    "  [*] Sky box around the world",
    "  [*] Loading screen with a progress bar",
    "  [-] Terrain is flat apart from a few hills",
    "  [-] The camera can look through the ground",
    "  [ ] Nothing can be dug yet",
    "  [ ] Frame rate drops near the map edge",
};
static const char *const changes_034[] = {
    "  [*] A window opens with an OpenGL context",
    "  [*] The log file records every start-up step",
    "  [*] Settings are read from SETUP.TXT",
    "  [*] Textures are loaded from TGA files",
    "  [*] A bitmap font for on-screen text",
    "  [*] Frame timer with fixed world steps",
    "  [*] Random numbers repeat for the same seed",
    "  [*] Blocks are drawn with a material texture",
    "  [*] Shift-escape quits",
    "  [*] Escape shows and hides the title",
    "  [-] The window cannot be resized",
    "  [-] The font lacks some punctuation",
    "  [-] Textures larger than the card allows are not shrunk",
    "  [ ] No terrain generator yet",
    "  [ ] No objects yet",
    "  [ ] No sound yet",
    "  [ ] No saving",
    "  [ ] No inventory",
    "  [ ] No lighting",
};

#define RELEASE(v, list) {v, list, (int)(sizeof(list) / sizeof(list[0]))}

void log_release_history(void) {
    static const release_notes history[] = {
        RELEASE(0.42f, changes_042), RELEASE(0.41f, changes_041), RELEASE(0.40f, changes_040),
        RELEASE(0.39f, changes_039), RELEASE(0.38f, changes_038), RELEASE(0.37f, changes_037),
        RELEASE(0.36f, changes_036), RELEASE(0.35f, changes_035), RELEASE(0.34f, changes_034),
    };
    for (const release_notes &release : history) {
        log_message(3, "Changes from version %4.2f...", (double)release.version);
        for (int i = 0; i < release.count; i++) log_message(3, "%s", release.items[i]);
        log_divider();
    }
}
