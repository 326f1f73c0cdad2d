// assetgen_sound.cpp — the seven sound effects, synthesized and written as mono Ogg Vorbis
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "assetgen.h"

#define SOUND_PI 3.14159265f

float assetgen_svf_step(assetgen_svf *filter, float input, float cutoff, float damping, int mode) {
    float f = 2.0f * sinf(SOUND_PI * assetgen_clamp(cutoff, 10.0f, 7000.0f) / ASSETGEN_RATE);
    filter->low += f * filter->band;
    float high = input - filter->low - damping * filter->band;
    filter->band += f * high;
    if (mode == 0) return filter->low;
    if (mode == 1) return filter->band;
    return high;
}

void assetgen_normalize(float *samples, uint32_t count, float peak) {
    float loudest = 0.0f;
    for (uint32_t i = 0; i < count; i++) loudest = fmaxf(loudest, fabsf(samples[i]));
    if (loudest <= 0.0f) return;
    float gain = peak / loudest;
    for (uint32_t i = 0; i < count; i++) samples[i] = tanhf(samples[i] * gain * 1.1f) / tanhf(1.1f);
}

static uint8_t sound_finish(const char *folder, const char *name, float *samples, uint32_t count) {
    // A short fade at both ends keeps the effect free of clicks.
    for (uint32_t i = 0; i < 64 && i < count; i++) {
        samples[i] *= (float)i / 64.0f;
        samples[count - 1 - i] *= (float)i / 64.0f;
    }
    assetgen_normalize(samples, count, 0.9f);
    char path[1024];
    assetgen_path(path, sizeof(path), folder, name);
    uint8_t ok = assetgen_write_ogg(path, samples, count, 1, 0.5f);
    free(samples);
    return ok;
}

static float *sound_buffer_for(float seconds, uint32_t *count) {
    *count = (uint32_t)(seconds * ASSETGEN_RATE);
    return (float *)calloc(*count, sizeof(float));
}

// Metal on rock: a bright inharmonic ring over a gritty tick.
static uint8_t sound_chink(const char *folder) {
    uint32_t n;
    float *s = sound_buffer_for(0.5f, &n);
    static const float partials[5][3] = {{1870, 1.0f, 11}, {2930, 0.7f, 15}, {4170, 0.5f, 21}, {5530, 0.32f, 28},
                                         {7350, 0.2f, 38}};
    assetgen_random random = {101u};
    assetgen_svf grit = {0, 0};
    for (uint32_t i = 0; i < n; i++) {
        float t = (float)i / ASSETGEN_RATE;
        float v = 0.0f;
        for (const auto &p : partials) v += p[1] * expf(-t * p[2]) * sinf(2.0f * SOUND_PI * p[0] * t);
        float noise = assetgen_random_signed(&random);
        v += 1.2f * expf(-t * 160.0f) * assetgen_svf_step(&grit, noise, 3200.0f, 0.8f, 1);
        s[i] = v * 0.5f;
    }
    return sound_finish(folder, "SOUND/CHINK.OGG", s, n);
}

// A swing: air rushing through a band that sweeps up and back down.
static uint8_t sound_swipe(const char *folder) {
    uint32_t n;
    float *s = sound_buffer_for(0.42f, &n);
    assetgen_random random = {202u};
    assetgen_svf band = {0, 0};
    for (uint32_t i = 0; i < n; i++) {
        float t = (float)i / n;
        float cutoff = 500.0f + 3200.0f * sinf(SOUND_PI * powf(t, 0.8f));
        float envelope = powf(sinf(SOUND_PI * powf(t, 0.7f)), 2.0f);
        s[i] = envelope * assetgen_svf_step(&band, assetgen_random_signed(&random), cutoff, 0.35f, 1);
    }
    return sound_finish(folder, "SOUND/SWIPE.OGG", s, n);
}

// A jump: a soft push off the ground and a quick rising whoosh.
static uint8_t sound_jump(const char *folder) {
    uint32_t n;
    float *s = sound_buffer_for(0.32f, &n);
    assetgen_random random = {303u};
    assetgen_svf band = {0, 0};
    float phase = 0.0f;
    for (uint32_t i = 0; i < n; i++) {
        float t = (float)i / ASSETGEN_RATE;
        float frequency = 120.0f - 60.0f * fminf(t / 0.12f, 1.0f);
        phase += 2.0f * SOUND_PI * frequency / ASSETGEN_RATE;
        float thump = sinf(phase) * expf(-t * 30.0f);
        float rise = assetgen_svf_step(&band, assetgen_random_signed(&random), 700.0f + 5000.0f * t, 0.5f, 1);
        float swish = rise * sinf(SOUND_PI * fminf(t / 0.22f, 1.0f)) * 0.7f;
        s[i] = thump + swish;
    }
    return sound_finish(folder, "SOUND/JUMP.OGG", s, n);
}

// Falling rubble: a rumble under dozens of small stone clicks that thin out.
static uint8_t sound_rubble(const char *folder) {
    uint32_t n;
    float *s = sound_buffer_for(1.5f, &n);
    assetgen_random random = {404u};
    assetgen_svf rumble = {0, 0};
    for (uint32_t i = 0; i < n; i++) {
        float t = (float)i / ASSETGEN_RATE;
        s[i] = 1.6f * expf(-t * 2.5f) * assetgen_svf_step(&rumble, assetgen_random_signed(&random), 160.0f, 0.6f, 0);
    }
    for (int grain = 0; grain < 90; grain++) {
        float start = powf(assetgen_random_float(&random), 2.0f) * 1.25f;
        float length = 0.01f + 0.035f * assetgen_random_float(&random);
        float pitch = 300.0f + 2600.0f * assetgen_random_float(&random);
        float loud = (0.3f + 0.7f * assetgen_random_float(&random)) * expf(-start * 1.8f);
        assetgen_svf band = {0, 0};
        uint32_t first = (uint32_t)(start * ASSETGEN_RATE), frames = (uint32_t)(length * ASSETGEN_RATE);
        for (uint32_t k = 0; k < frames && first + k < n; k++) {
            float e = expf(-(float)k / frames * 5.0f);
            s[first + k] += loud * e * assetgen_svf_step(&band, assetgen_random_signed(&random), pitch, 0.15f, 1);
        }
    }
    return sound_finish(folder, "SOUND/RUBBLE.OGG", s, n);
}

// An explosion: a sharp crack, a falling boom and a long rolling rumble.
static uint8_t sound_bomb(const char *folder) {
    uint32_t n;
    float *s = sound_buffer_for(2.8f, &n);
    assetgen_random random = {505u};
    assetgen_svf low = {0, 0}, low2 = {0, 0};
    float phase = 0.0f;
    for (uint32_t i = 0; i < n; i++) {
        float t = (float)i / ASSETGEN_RATE;
        float noise = assetgen_random_signed(&random);
        float crack = noise * expf(-t * 60.0f);
        phase += 2.0f * SOUND_PI * (28.0f + 70.0f * expf(-t * 4.0f)) / ASSETGEN_RATE;
        float boom = sinf(phase) * expf(-t * 1.6f) * 1.4f;
        float cutoff = 120.0f + 900.0f * expf(-t * 3.0f);
        float roll = assetgen_svf_step(&low2, assetgen_svf_step(&low, noise, cutoff, 0.7f, 0), cutoff, 0.7f, 0);
        roll *= 2.2f * expf(-t * 1.3f) * (0.8f + 0.2f * sinf(t * 23.0f));
        s[i] = tanhf((crack + boom + roll) * 1.5f);
    }
    return sound_finish(folder, "SOUND/BOMB.OGG", s, n);
}

// A zombi's growl: a rough low voice through vowel formants that shift from
// "aah" to "ooh", with a wet, gurgling flutter.
static uint8_t sound_grim(const char *folder) {
    uint32_t n;
    float *s = sound_buffer_for(1.4f, &n);
    assetgen_random random = {606u};
    assetgen_svf formant[3] = {{0, 0}, {0, 0}, {0, 0}};
    assetgen_svf flutter = {0, 0};
    float phase = 0.0f;
    for (uint32_t i = 0; i < n; i++) {
        float t = (float)i / ASSETGEN_RATE, u = t / 1.4f;
        float jitter = assetgen_svf_step(&flutter, assetgen_random_signed(&random), 18.0f, 0.7f, 0);
        float pitch = 78.0f * (1.0f + 0.12f * sinf(t * 5.0f) + 1.5f * jitter) * (1.1f - 0.25f * u);
        phase += pitch / ASSETGEN_RATE;
        phase -= floorf(phase);
        float source = (2.0f * phase - 1.0f) * 0.8f + 0.35f * assetgen_random_signed(&random);
        float f1 = 700.0f - 380.0f * u, f2 = 1220.0f - 330.0f * u, f3 = 2600.0f - 340.0f * u;
        float voice = assetgen_svf_step(&formant[0], source, f1, 0.2f, 1) +
                      0.6f * assetgen_svf_step(&formant[1], source, f2, 0.2f, 1) +
                      0.3f * assetgen_svf_step(&formant[2], source, f3, 0.25f, 1);
        float envelope = assetgen_smoothstep(0.0f, 0.12f, t) * (1.0f - assetgen_smoothstep(0.9f, 1.4f, t));
        s[i] = tanhf(voice * 1.8f) * envelope * (0.75f + 4.0f * fabsf(jitter));
    }
    return sound_finish(folder, "SOUND/GRIM.OGG", s, n);
}

// An axe in wood: a hollow knock with a woody resonance and splintering crackle.
static uint8_t sound_chop(const char *folder) {
    uint32_t n;
    float *s = sound_buffer_for(0.45f, &n);
    assetgen_random random = {707u};
    assetgen_svf body = {0, 0}, body2 = {0, 0}, crack = {0, 0};
    for (uint32_t i = 0; i < n; i++) {
        float t = (float)i / ASSETGEN_RATE;
        float noise = assetgen_random_signed(&random);
        float impulse = noise * expf(-t * 90.0f);
        float knock = sinf(2.0f * SOUND_PI * 140.0f * t) * expf(-t * 35.0f);
        float wood = 2.5f * assetgen_svf_step(&body, impulse, 430.0f, 0.06f, 1) +
                     1.2f * assetgen_svf_step(&body2, impulse, 930.0f, 0.08f, 1);
        float splinter = assetgen_svf_step(&crack, noise, 4500.0f, 0.5f, 2) * expf(-t * 300.0f) * 1.5f;
        float crackle = (assetgen_random_float(&random) > 0.9975f ? noise * 2.0f : 0.0f) * expf(-t * 12.0f);
        s[i] = knock + wood + splinter + crackle;
    }
    return sound_finish(folder, "SOUND/CHOP.OGG", s, n);
}

uint8_t assetgen_make_sounds(const char *folder) {
    uint8_t ok = 1;
    ok &= sound_chink(folder);
    ok &= sound_swipe(folder);
    ok &= sound_jump(folder);
    ok &= sound_rubble(folder);
    ok &= sound_bomb(folder);
    ok &= sound_grim(folder);
    ok &= sound_chop(folder);
    return ok;
}
