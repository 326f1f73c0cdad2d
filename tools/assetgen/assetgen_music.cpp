// assetgen_music.cpp — the five music tracks: a small sequencer, instruments, reverb, seamless loops
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "assetgen.h"

#define MUSIC_PI 3.14159265f

// One track being rendered: a stereo loop whose length is a whole number of
// bars. Notes that ring past the end wrap round to the start, and the reverb
// runs over the loop twice, so the last sample flows into the first.
struct music_track {
    float *left;
    float *right;
    uint32_t frames;
    float beat_seconds;
    assetgen_random random;
};

enum music_instrument { MUSIC_PAD, MUSIC_PLUCK, MUSIC_BELL, MUSIC_BASS, MUSIC_FLUTE, MUSIC_BRASS, MUSIC_DRONE };

// Sine by table, with the phase given in whole cycles (double, so long notes stay in tune).
static float music_sine_table[4097];

static float music_sine(double cycles) {
    double fraction = cycles - floor(cycles);
    float position = (float)(fraction * 4096.0);
    int index = (int)position;
    if (index > 4095) index = 4095;
    float rest = position - (float)index;
    return music_sine_table[index] + (music_sine_table[index + 1] - music_sine_table[index]) * rest;
}

static void music_setup_sine(void) {
    for (int i = 0; i <= 4096; i++) music_sine_table[i] = sinf(2.0f * MUSIC_PI * (float)i / 4096.0f);
}

static float music_frequency(int midi) { return 440.0f * powf(2.0f, (float)(midi - 69) / 12.0f); }

static void music_add(music_track *track, uint32_t frame, float value, float pan) {
    uint32_t i = frame % track->frames;
    track->left[i] += value * (1.0f - pan) * 0.7071f;
    track->right[i] += value * (1.0f + pan) * 0.7071f;
}

// Adds one note: start and length in beats, velocity 0..1, pan -1 (left) .. 1 (right).
static void music_note(music_track *track, music_instrument instrument, int midi, float start_beat, float beats,
                       float velocity, float pan) {
    const float rate = ASSETGEN_RATE;
    float frequency = music_frequency(midi);
    float hold = beats * track->beat_seconds;
    float release = instrument == MUSIC_PAD || instrument == MUSIC_DRONE ? 1.2f : (instrument == MUSIC_BELL ? 2.5f : 0.4f);
    if (instrument == MUSIC_PLUCK) release = 1.5f;
    uint32_t first = (uint32_t)(start_beat * track->beat_seconds * rate);
    uint32_t count = (uint32_t)((hold + release) * rate);
    if (count > track->frames) count = track->frames;

    // Karplus-Strong string for the plucked instrument.
    float string[2048];
    int string_length = (int)(rate / frequency);
    if (string_length < 2) string_length = 2;
    if (string_length > 2048) string_length = 2048;
    if (instrument == MUSIC_PLUCK) {
        // A softened pluck: the noise burst is smoothed, so the string starts warm.
        for (int k = 0; k < string_length; k++) string[k] = assetgen_random_signed(&track->random);
        for (int pass = 0; pass < 3; pass++)
            for (int k = 1; k < string_length; k++) string[k] = 0.5f * (string[k] + string[k - 1]);
    }
    int string_pos = 0;
    float detune = 1.0f + 0.004f * assetgen_random_signed(&track->random);

    for (uint32_t i = 0; i < count; i++) {
        float t = (float)i / rate;
        float gate = t < hold ? 1.0f : expf(-(t - hold) * 5.0f / release);
        float v = 0.0f;
        switch (instrument) {
        case MUSIC_PAD:
        case MUSIC_DRONE: {
            float attack = assetgen_smoothstep(0.0f, instrument == MUSIC_PAD ? 0.5f : 1.5f, t);
            double cycles = (double)frequency * i / rate;
            for (int h = 1; h <= 6; h++) {
                float a = 1.0f / (float)(h * h) * (h == 1 ? 1.0f : 0.8f);
                v += a * music_sine(cycles * h) + a * music_sine(cycles * detune * h + h * 0.16);
            }
            v *= 0.35f * attack * (1.0f + 0.1f * sinf(t * 2.0f * MUSIC_PI * 0.3f));
            break;
        }
        case MUSIC_PLUCK: {
            float out = string[string_pos];
            int next = (string_pos + 1) % string_length;
            string[string_pos] = 0.4985f * (string[string_pos] + string[next]);
            string_pos = next;
            v = out * 0.6f;
            break;
        }
        case MUSIC_BELL: {
            float index = 1.4f * expf(-t * 4.0f);
            v = sinf(2.0f * MUSIC_PI * frequency * t + index * sinf(2.0f * MUSIC_PI * frequency * 3.5f * t)) * expf(-t * 1.6f);
            v *= 0.5f;
            break;
        }
        case MUSIC_BASS: {
            float attack = assetgen_smoothstep(0.0f, 0.01f, t);
            v = (sinf(2.0f * MUSIC_PI * frequency * t) + 0.35f * sinf(4.0f * MUSIC_PI * frequency * t) * expf(-t * 4.0f)) *
                attack * (0.6f + 0.4f * expf(-t * 3.0f));
            v *= 0.7f;
            break;
        }
        case MUSIC_FLUTE: {
            float attack = assetgen_smoothstep(0.0f, 0.08f, t);
            float vibrato = 1.0f + 0.006f * sinf(2.0f * MUSIC_PI * 5.2f * t) * assetgen_smoothstep(0.15f, 0.5f, t);
            float p = 2.0f * MUSIC_PI * frequency * vibrato * t;
            v = (sinf(p) + 0.2f * sinf(2.0f * p) + 0.08f * sinf(3.0f * p) +
                 0.03f * assetgen_random_signed(&track->random)) * attack * 0.45f;
            break;
        }
        case MUSIC_BRASS: {
            float attack = assetgen_smoothstep(0.0f, 0.07f, t);
            float bright = 0.4f + 0.6f * assetgen_smoothstep(0.0f, 0.15f, t) * (0.8f + 0.2f * expf(-t * 2.0f));
            float weight = bright;
            double cycles = (double)frequency * i / rate;
            for (int h = 1; h <= 10; h++) {
                v += music_sine(cycles * h) * weight / (float)h;
                weight *= bright;
            }
            v *= 0.3f * attack;
            break;
        }
        }
        music_add(track, first + i, v * velocity * gate, pan);
    }
}

enum music_drum { MUSIC_KICK, MUSIC_SNARE, MUSIC_HAT, MUSIC_TOM, MUSIC_SHAKER };

static void music_drum_hit(music_track *track, music_drum drum, float beat, float velocity, float pan) {
    const float rate = ASSETGEN_RATE;
    uint32_t first = (uint32_t)(beat * track->beat_seconds * rate);
    uint32_t count = (uint32_t)((drum == MUSIC_TOM ? 1.2f : 0.35f) * rate);
    assetgen_svf filter = {0, 0};
    float phase = 0.0f;
    for (uint32_t i = 0; i < count; i++) {
        float t = (float)i / rate;
        float noise = assetgen_random_signed(&track->random);
        float v = 0.0f;
        switch (drum) {
        case MUSIC_KICK:
            phase += 2.0f * MUSIC_PI * (48.0f + 90.0f * expf(-t * 30.0f)) / rate;
            v = sinf(phase) * expf(-t * 9.0f);
            break;
        case MUSIC_SNARE:
            v = 0.5f * sinf(2.0f * MUSIC_PI * 190.0f * t) * expf(-t * 25.0f) +
                assetgen_svf_step(&filter, noise, 1800.0f, 0.6f, 1) * expf(-t * 18.0f);
            break;
        case MUSIC_HAT:
            v = 0.4f * assetgen_svf_step(&filter, noise, 6500.0f, 0.5f, 2) * expf(-t * 60.0f);
            break;
        case MUSIC_TOM:
            phase += 2.0f * MUSIC_PI * (70.0f + 40.0f * expf(-t * 8.0f)) / rate;
            v = sinf(phase) * expf(-t * 3.0f) + 0.2f * assetgen_svf_step(&filter, noise, 300.0f, 0.5f, 1) * expf(-t * 10.0f);
            break;
        case MUSIC_SHAKER:
            v = 0.3f * assetgen_svf_step(&filter, noise, 5000.0f, 0.7f, 1) * sinf(MUSIC_PI * fminf(t / 0.08f, 1.0f));
            if (t > 0.08f) v = 0.0f;
            break;
        }
        music_add(track, first + i, v * velocity, pan);
    }
}

// Schroeder reverb, run twice over the loop so its tail wraps into the start.
static void music_reverb(music_track *track, float wet, float size) {
    static const int comb_lengths[4] = {1557, 1617, 1491, 1422};
    static const int allpass_lengths[2] = {225, 556};
    float *channels[2] = {track->left, track->right};
    for (int c = 0; c < 2; c++) {
        float *input = channels[c];
        float *out = (float *)calloc(track->frames, sizeof(float));
        float *comb[4], *allpass[2];
        int comb_pos[4] = {0, 0, 0, 0}, allpass_pos[2] = {0, 0};
        float comb_filter[4] = {0, 0, 0, 0};
        for (int k = 0; k < 4; k++) comb[k] = (float *)calloc((size_t)comb_lengths[k] + 23 * c, sizeof(float));
        for (int k = 0; k < 2; k++) allpass[k] = (float *)calloc((size_t)allpass_lengths[k] + 11 * c, sizeof(float));
        for (int pass = 0; pass < 2; pass++) {
            for (uint32_t i = 0; i < track->frames; i++) {
                float x = input[i] * 0.2f, sum = 0.0f;
                for (int k = 0; k < 4; k++) {
                    int length = comb_lengths[k] + 23 * c;
                    float y = comb[k][comb_pos[k]];
                    comb_filter[k] = y * 0.75f + comb_filter[k] * 0.25f;
                    comb[k][comb_pos[k]] = x + comb_filter[k] * size;
                    comb_pos[k] = (comb_pos[k] + 1) % length;
                    sum += y;
                }
                for (int k = 0; k < 2; k++) {
                    int length = allpass_lengths[k] + 11 * c;
                    float buffered = allpass[k][allpass_pos[k]];
                    float y = -sum + buffered;
                    allpass[k][allpass_pos[k]] = sum + buffered * 0.5f;
                    allpass_pos[k] = (allpass_pos[k] + 1) % length;
                    sum = y;
                }
                if (pass == 1) out[i] = sum;
            }
        }
        for (uint32_t i = 0; i < track->frames; i++) input[i] = input[i] * (1.0f - wet * 0.5f) + out[i] * wet;
        for (int k = 0; k < 4; k++) free(comb[k]);
        for (int k = 0; k < 2; k++) free(allpass[k]);
        free(out);
    }
}

// A chord: root as a scale degree (0-based) of the track's scale, as midi notes.
struct music_style {
    const char *file;
    float bpm;
    int bars;
    int key;           // midi note of the tonic
    int scale[7];      // semitones above the tonic
    int progression[8];  // scale degree of each bar's chord, repeating
    int progression_length;
    uint32_t seed;
    float reverb_wet, reverb_size;
};

static int music_degree(const music_style *style, int degree) {
    int octave = degree >= 0 ? degree / 7 : -((-degree + 6) / 7);
    int step = degree - octave * 7;
    return style->key + style->scale[step] + 12 * octave;
}

// A melody over the progression: a two-bar motif, repeated with variation,
// chord tones on strong beats, steps of the scale between them.
static void music_melody(music_track *track, const music_style *style, music_instrument instrument, int octave,
                         const float *rhythm, int rhythm_count, float velocity, float pan, int skip_first_bars) {
    int motif[16];
    int position = 2;
    for (int k = 0; k < 16; k++) {
        position += (int)(assetgen_random_float(&track->random) * 5.0f) - 2;
        if (position < -1) position = -1;
        if (position > 6) position = 6;
        motif[k] = position;
    }
    for (int bar = skip_first_bars; bar < style->bars; bar++) {
        int chord = style->progression[bar % style->progression_length];
        uint8_t variation = (bar / 2) % 4 == 3;
        for (int k = 0; k < rhythm_count; k += 2) {
            float beat = rhythm[k], length = rhythm[k + 1];
            int index = ((bar & 1) * rhythm_count / 2 + k / 2) % 16;
            int degree = motif[index] + (variation ? 2 : 0);
            // Strong beats land on the chord: root, third or fifth.
            if (fmodf(beat, 2.0f) < 0.01f) {
                int offset = ((degree - chord) % 7 + 7) % 7;
                static const int snap[7] = {0, -1, 0, -1, 0, -1, 1};
                degree += snap[offset];
            }
            if (assetgen_random_float(&track->random) < 0.1f) continue;  // a breath now and then
            music_note(track, instrument, music_degree(style, degree) + 12 * octave, (float)(bar * 4) + beat, length,
                       velocity * (0.85f + 0.15f * assetgen_random_float(&track->random)), pan);
        }
    }
}

static void music_chords(music_track *track, const music_style *style, music_instrument instrument, int octave,
                         float velocity, float spread) {
    for (int bar = 0; bar < style->bars; bar++) {
        int chord = style->progression[bar % style->progression_length];
        for (int voice = 0; voice < 3; voice++)
            music_note(track, instrument, music_degree(style, chord + voice * 2) + 12 * octave, (float)(bar * 4), 3.8f,
                       velocity, (voice - 1) * spread);
    }
}

static void music_arpeggio(music_track *track, const music_style *style, music_instrument instrument, int octave,
                           float step, float velocity) {
    static const int pattern[8] = {0, 2, 4, 7, 4, 2, 4, 2};
    for (int bar = 0; bar < style->bars; bar++) {
        int chord = style->progression[bar % style->progression_length];
        int steps = (int)(4.0f / step);
        for (int k = 0; k < steps; k++)
            music_note(track, instrument, music_degree(style, chord + pattern[k % 8]) + 12 * octave,
                       (float)(bar * 4) + k * step, step * 1.5f, velocity * (k % 2 ? 0.75f : 1.0f), (k % 4 - 1.5f) * 0.3f);
    }
}

static void music_bass_line(music_track *track, const music_style *style, float velocity, uint8_t walking) {
    for (int bar = 0; bar < style->bars; bar++) {
        int chord = style->progression[bar % style->progression_length];
        int root = music_degree(style, chord) - 24;
        if (walking) {
            music_note(track, MUSIC_BASS, root, (float)(bar * 4), 1.5f, velocity, 0.0f);
            music_note(track, MUSIC_BASS, root + 7, (float)(bar * 4) + 2.0f, 0.9f, velocity * 0.8f, 0.0f);
            music_note(track, MUSIC_BASS, root + 12, (float)(bar * 4) + 3.0f, 0.9f, velocity * 0.7f, 0.0f);
        } else {
            music_note(track, MUSIC_BASS, root, (float)(bar * 4), 3.9f, velocity, 0.0f);
        }
    }
}

// The loop is circular, so the file may start anywhere in it: the quietest,
// smoothest point of the last beat is chosen, so the file's two ends (and the
// encoder's edges) fall where nothing is sounding sharply.
static uint32_t music_quiet_start(const music_track *track) {
    uint32_t beat = (uint32_t)(track->beat_seconds * ASSETGEN_RATE);
    uint32_t best = 0;
    float best_score = 1e30f;
    for (uint32_t i = track->frames - beat; i < track->frames; i++) {
        uint32_t next = (i + 1) % track->frames;
        float score = fabsf(track->left[i]) + fabsf(track->right[i]) + 4.0f * (fabsf(track->left[next] - track->left[i]) +
                                                                              fabsf(track->right[next] - track->right[i]));
        if (score < best_score) {
            best_score = score;
            best = next;
        }
    }
    return best;
}

static uint8_t music_write(const char *folder, const music_style *style, music_track *track) {
    music_reverb(track, style->reverb_wet, style->reverb_size);
    float *interleaved = (float *)malloc(sizeof(float) * track->frames * 2);
    float loudest = 0.0f;
    uint32_t start = music_quiet_start(track);
    for (uint32_t i = 0; i < track->frames; i++) {
        uint32_t from = (start + i) % track->frames;
        loudest = fmaxf(loudest, fmaxf(fabsf(track->left[from]), fabsf(track->right[from])));
        interleaved[2 * i] = track->left[from];
        interleaved[2 * i + 1] = track->right[from];
    }
    float gain = loudest > 0.0f ? 0.85f / loudest : 1.0f;
    for (uint32_t i = 0; i < track->frames * 2; i++) interleaved[i] = tanhf(interleaved[i] * gain * 1.2f) / tanhf(1.2f);
    char path[1024];
    assetgen_path(path, sizeof(path), folder, style->file);
    uint8_t ok = assetgen_write_ogg(path, interleaved, track->frames, 2, 0.2f);
    free(interleaved);
    free(track->left);
    free(track->right);
    return ok;
}

static void music_start(music_track *track, const music_style *style) {
    track->beat_seconds = 60.0f / style->bpm;
    track->frames = (uint32_t)(style->bars * 4 * track->beat_seconds * ASSETGEN_RATE);
    track->left = (float *)calloc(track->frames, sizeof(float));
    track->right = (float *)calloc(track->frames, sizeof(float));
    track->random.state = style->seed;
}

static const int music_major[7] = {0, 2, 4, 5, 7, 9, 11};
static const int music_minor[7] = {0, 2, 3, 5, 7, 8, 10};
static const int music_dorian[7] = {0, 2, 3, 5, 7, 9, 10};

// Day: bright and walking, a plucked arpeggio, a flute tune and light drums.
static uint8_t music_day(const char *folder) {
    music_style style = {"MUSIC/DAY.OGG", 100.0f, 16, 62, {0}, {0, 4, 5, 3, 0, 4, 3, 4}, 8, 0xda11u, 0.25f, 0.8f};
    memcpy(style.scale, music_major, sizeof(style.scale));
    music_track track;
    music_start(&track, &style);
    music_chords(&track, &style, MUSIC_PAD, 0, 0.35f, 0.6f);
    music_arpeggio(&track, &style, MUSIC_PLUCK, 0, 0.5f, 0.55f);
    music_bass_line(&track, &style, 0.6f, 1);
    static const float rhythm[] = {0, 1, 1, 0.5f, 1.5f, 0.5f, 2, 1.5f, 3.5f, 0.5f};
    music_melody(&track, &style, MUSIC_FLUTE, 1, rhythm, 10, 0.5f, 0.15f, 2);
    for (int bar = 0; bar < style.bars; bar++) {
        for (int beat = 0; beat < 4; beat++) {
            float b = (float)(bar * 4 + beat);
            if (beat == 0 || beat == 2) music_drum_hit(&track, MUSIC_KICK, b, 0.55f, 0.0f);
            if (beat == 1 || beat == 3) music_drum_hit(&track, MUSIC_SNARE, b, 0.25f, 0.1f);
            music_drum_hit(&track, MUSIC_SHAKER, b + 0.5f, 0.22f, -0.3f);
        }
    }
    return music_write(folder, &style, &track);
}

// Night: slow minor pads under a sparse bell melody, no drums.
static uint8_t music_night(const char *folder) {
    music_style style = {"MUSIC/NIGHT.OGG", 60.0f, 12, 57, {0}, {0, 5, 2, 6, 0, 3, 4, 4}, 6, 0x419fu, 0.5f, 0.86f};
    memcpy(style.scale, music_minor, sizeof(style.scale));
    music_track track;
    music_start(&track, &style);
    music_chords(&track, &style, MUSIC_PAD, 0, 0.4f, 0.8f);
    music_bass_line(&track, &style, 0.45f, 0);
    static const float rhythm[] = {0, 1.5f, 2, 1, 3, 1};
    music_melody(&track, &style, MUSIC_BELL, 1, rhythm, 6, 0.45f, -0.2f, 1);
    return music_write(folder, &style, &track);
}

// Inventory: a calm, homely music box over soft chords.
static uint8_t music_inventory(const char *folder) {
    music_style style = {"MUSIC/INVENTORY.OGG", 84.0f, 12, 65, {0}, {0, 3, 5, 4, 0, 3, 1, 4}, 8, 0x1e77u, 0.35f, 0.8f};
    memcpy(style.scale, music_major, sizeof(style.scale));
    music_track track;
    music_start(&track, &style);
    music_chords(&track, &style, MUSIC_PAD, -1, 0.3f, 0.5f);
    music_arpeggio(&track, &style, MUSIC_BELL, 1, 1.0f, 0.3f);
    static const float rhythm[] = {0, 0.5f, 0.5f, 0.5f, 1, 1, 2, 0.5f, 2.5f, 0.5f, 3, 1};
    music_melody(&track, &style, MUSIC_PLUCK, 1, rhythm, 12, 0.5f, 0.2f, 0);
    music_bass_line(&track, &style, 0.4f, 0);
    return music_write(folder, &style, &track);
}

// Underground: a dark drone, slow toms like distant digging, dripping echoes.
static uint8_t music_underground(const char *folder) {
    music_style style = {"MUSIC/UNDERGROUND.OGG", 68.0f, 12, 50, {0}, {0, 0, 5, 6, 0, 0, 2, 1}, 8, 0xd33bu, 0.6f, 0.88f};
    memcpy(style.scale, music_dorian, sizeof(style.scale));
    music_track track;
    music_start(&track, &style);
    for (int bar = 0; bar < style.bars; bar += 4) {
        music_note(&track, MUSIC_DRONE, style.key - 12, (float)(bar * 4), 16.0f, 0.55f, -0.2f);
        music_note(&track, MUSIC_DRONE, style.key - 5, (float)(bar * 4), 16.0f, 0.35f, 0.2f);
    }
    music_chords(&track, &style, MUSIC_PAD, -1, 0.25f, 0.9f);
    for (int bar = 0; bar < style.bars; bar++) {
        music_drum_hit(&track, MUSIC_TOM, (float)(bar * 4), 0.55f, -0.1f);
        if (bar % 2 == 1) music_drum_hit(&track, MUSIC_TOM, (float)(bar * 4) + 2.5f, 0.35f, 0.2f);
        // Drips: high bell notes scattered through the bar.
        for (int k = 0; k < 3; k++) {
            if (assetgen_random_float(&track.random) < 0.5f) continue;
            float beat = (float)(bar * 4) + (float)(int)(assetgen_random_float(&track.random) * 8.0f) * 0.5f;
            int degree = (int)(assetgen_random_float(&track.random) * 7.0f) + 14;
            music_note(&track, MUSIC_BELL, music_degree(&style, degree), beat, 0.25f, 0.22f,
                       assetgen_random_signed(&track.random) * 0.8f);
        }
    }
    return music_write(folder, &style, &track);
}

// Title: a broad, heroic brass theme over timpani and strong chords.
static uint8_t music_title(const char *folder) {
    music_style style = {"MUSIC/TITLE.OGG", 84.0f, 16, 55, {0}, {0, 5, 3, 4, 0, 2, 3, 4}, 8, 0x717eu, 0.4f, 0.84f};
    memcpy(style.scale, music_major, sizeof(style.scale));
    music_track track;
    music_start(&track, &style);
    music_chords(&track, &style, MUSIC_PAD, 0, 0.4f, 0.7f);
    music_chords(&track, &style, MUSIC_BRASS, -1, 0.22f, 0.4f);
    music_bass_line(&track, &style, 0.6f, 0);
    static const float rhythm[] = {0, 1.5f, 1.5f, 0.5f, 2, 2};
    music_melody(&track, &style, MUSIC_BRASS, 0, rhythm, 6, 0.55f, 0.0f, 0);
    for (int bar = 0; bar < style.bars; bar++) {
        music_drum_hit(&track, MUSIC_TOM, (float)(bar * 4), 0.7f, 0.0f);
        if (bar % 4 == 3) {
            music_drum_hit(&track, MUSIC_TOM, (float)(bar * 4) + 3.0f, 0.5f, 0.0f);
            music_drum_hit(&track, MUSIC_TOM, (float)(bar * 4) + 3.5f, 0.6f, 0.0f);
        }
    }
    return music_write(folder, &style, &track);
}

uint8_t assetgen_make_music(const char *folder) {
    music_setup_sine();
    uint8_t ok = 1;
    ok &= music_day(folder);
    ok &= music_night(folder);
    ok &= music_inventory(folder);
    ok &= music_underground(folder);
    ok &= music_title(folder);
    return ok;
}
