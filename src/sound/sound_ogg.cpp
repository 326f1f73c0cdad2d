// sound_ogg.cpp — decodes Ogg Vorbis files (chained streams, mono or stereo) into sounds
#include <ogg/ogg.h>
#include <vorbis/codec.h>

#include <cstdio>
#include <cstdlib>
#include <cerrno>
#include <cstdarg>
#include <cstring>

#include "foundation/logfile.h"
#include "foundation/platform.h"
#include "sound/sound.h"

static int16_t convbuffer[4096];
static int convsize = 4096;

// A page is at most 65307 bytes, so this much data without one is not Ogg.
#define OGG_MAX_BYTES_WITHOUT_PAGE 69632

// Decoder state for one file; every piece is released by ogg_release whatever
// stage the load stopped at.
struct ogg_load {
    FILE *file;
    ogg_sync_state sync;
    ogg_stream_state stream;
    vorbis_info info;
    vorbis_comment comment;
    vorbis_dsp_state dsp;
    vorbis_block block;
    uint8_t stream_ready, info_ready, dsp_ready;
    int16_t *samples;  // grows as the sound is decoded
    uint32_t count, capacity;
    uint8_t cut;       // the sound reached SOUND_MAX_SAMPLES and was cut there
    uint8_t end_of_file;
};

static void ogg_release_stream(ogg_load *load) {
    if (load->dsp_ready) {
        vorbis_block_clear(&load->block);
        vorbis_dsp_clear(&load->dsp);
        load->dsp_ready = 0;
    }
    if (load->stream_ready) {
        ogg_stream_clear(&load->stream);
        load->stream_ready = 0;
    }
    if (load->info_ready) {
        vorbis_comment_clear(&load->comment);
        vorbis_info_clear(&load->info);
        load->info_ready = 0;
    }
}

static void ogg_release(ogg_load *load) {
    ogg_release_stream(load);
    ogg_sync_clear(&load->sync);
    free(load->samples);
    load->samples = nullptr;
    if (load->file) fclose(load->file);
    load->file = nullptr;
}

// Feeds the sync layer up to 4096 more bytes; returns how many were read.
static size_t ogg_feed(ogg_load *load) {
    char *buffer = ogg_sync_buffer(&load->sync, 4096);
    if (!buffer) return 0;
    size_t bytes = fread(buffer, 1, 4096, load->file);
    ogg_sync_wrote(&load->sync, (long)bytes);
    if (bytes == 0) load->end_of_file = 1;
    return bytes;
}

// Appends one converted frame block; 0 when memory runs out.
static uint8_t ogg_append(ogg_load *load, float **pcm, int frames, int channels) {
    for (int j = 0; j < frames; j++) {
        for (int c = 0; c < channels; c++) {
            // Truncate toward zero, clamping first so no out-of-range float is converted.
            float value = pcm[c][j] * 32767.0f;
            int sample;
            if (value >= 32767.0f)
                sample = 32767;
            else if (value > -32768.0f)
                sample = (int)value;
            else
                sample = -32768;  // also NaN
            convbuffer[j * channels + c] = (int16_t)sample;
        }
    }
    uint32_t values = (uint32_t)(frames * channels);
    if (load->count + values > SOUND_MAX_SAMPLES) {
        values = SOUND_MAX_SAMPLES - load->count;
        load->cut = 1;
    }
    if (load->count + values > load->capacity) {
        uint32_t capacity = load->capacity ? load->capacity : 65536;
        while (capacity < load->count + values) capacity *= 2;
        if (capacity > SOUND_MAX_SAMPLES) capacity = SOUND_MAX_SAMPLES;
        int16_t *grown = (int16_t *)realloc(load->samples, (size_t)capacity * sizeof(int16_t));
        if (!grown) return 0;
        load->samples = grown;
        load->capacity = capacity;
    }
    memcpy(load->samples + load->count, convbuffer, values * sizeof(int16_t));
    load->count += values;
    return 1;
}

// Takes the next page out of the sync layer, reading more as needed.
// Returns 1 with a page, 0 at the end of the file, -1 when too much data held no page.
static int ogg_next_page(ogg_load *load, ogg_page *page) {
    size_t scanned = 0;
    for (;;) {
        int result = ogg_sync_pageout(&load->sync, page);
        if (result == 1) return 1;
        if (result < 0) continue;  // skipped bytes that were not a page
        if (scanned > OGG_MAX_BYTES_WITHOUT_PAGE) return -1;
        size_t bytes = ogg_feed(load);
        if (bytes == 0) return 0;
        scanned += bytes;
    }
}

// Why the last load failed: the trace line keeps the detail, the warning at the end names it.
static char ogg_problem[256];

#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
static void ogg_fail(const char *format, ...) {
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(ogg_problem, sizeof(ogg_problem), format, arguments);
    va_end(arguments);
    log_message(5, "ERROR:  %s", ogg_problem);
}

// Reads the identification, comment and setup headers of the stream that
// starts with page. Returns 1 when the stream is ready to decode.
static uint8_t ogg_read_headers(ogg_load *load, ogg_page *page) {
    ogg_packet packet;
    ogg_stream_init(&load->stream, ogg_page_serialno(page));
    load->stream_ready = 1;
    vorbis_info_init(&load->info);
    vorbis_comment_init(&load->comment);
    load->info_ready = 1;

    if (ogg_stream_pagein(&load->stream, page) < 0 || ogg_stream_packetout(&load->stream, &packet) != 1) {
        ogg_fail("OGG data corrupt");
        return 0;
    }
    if (vorbis_synthesis_headerin(&load->info, &load->comment, &packet) < 0) {
        ogg_fail("No audio data in OGG file");
        return 0;
    }
    int headers = 1;
    while (headers < 3) {
        int result = ogg_sync_pageout(&load->sync, page);
        if (result == 0) {
            if (ogg_feed(load) == 0) {
                ogg_fail("OGG file was missing data");
                return 0;
            }
            continue;
        }
        if (result < 0) continue;
        if (ogg_stream_pagein(&load->stream, page) < 0) continue;  // a page of another stream
        while (headers < 3) {
            result = ogg_stream_packetout(&load->stream, &packet);
            if (result == 0) break;
            if (result < 0 || vorbis_synthesis_headerin(&load->info, &load->comment, &packet) < 0) {
                ogg_fail("OGG data is corrupt");
                return 0;
            }
            headers++;
        }
    }
    if (load->info.channels < 1 || load->info.channels > 2) {
        ogg_fail("OGG stream has %d channels; only mono and stereo are played", load->info.channels);
        return 0;
    }
    return 1;
}

// Decodes the ready stream up to its end-of-stream page. Returns 1 when the
// stream ended properly (or the sound reached its length limit).
static uint8_t ogg_decode_stream(ogg_load *load) {
    const int channels = load->info.channels;
    convsize = 4096 / channels;
    if (vorbis_synthesis_init(&load->dsp, &load->info) != 0) {
        ogg_fail("OGG data corrupt");
        return 0;
    }
    vorbis_block_init(&load->dsp, &load->block);
    load->dsp_ready = 1;

    ogg_page page;
    ogg_packet packet;
    for (;;) {
        int result = ogg_sync_pageout(&load->sync, &page);
        if (result == 0) {
            if (ogg_feed(load) == 0) {
                ogg_fail("OGG file was truncated before the end of its stream");
                return 0;
            }
            continue;
        }
        if (result < 0) {
            ogg_fail("OGG data was corrupt");
            continue;
        }
        if (ogg_stream_pagein(&load->stream, &page) < 0) continue;  // a page of another stream
        while ((result = ogg_stream_packetout(&load->stream, &packet)) != 0) {
            if (result < 0) continue;  // a gap in the data: go on with the next packet
            if (vorbis_synthesis(&load->block, &packet) == 0) vorbis_synthesis_blockin(&load->dsp, &load->block);
            float **pcm;
            int frames;
            while ((frames = vorbis_synthesis_pcmout(&load->dsp, &pcm)) > 0) {
                int taken = frames < convsize ? frames : convsize;
                if (!ogg_append(load, pcm, taken, channels)) {
                    ogg_fail("Out of memory while decoding OGG file");
                    return 0;
                }
                vorbis_synthesis_read(&load->dsp, taken);
                if (load->cut) return 1;
            }
        }
        if (ogg_page_eos(&page)) return 1;
    }
}

static sound_effect *sound_load_ogg_file(const char *filename, int volume_scale) {
    char *path = fix_path(filename);
    log_message(5, "Attempting to load sound file %s", path);
    ogg_load load;
    memset(&load, 0, sizeof(load));
    errno = 0;
    load.file = platform_open_regular_file(path, "rb", nullptr);
    if (!load.file) {
        snprintf(ogg_problem, sizeof(ogg_problem), "%s",
                 errno == EINVAL ? "it is not a regular file" : strerror(errno));
        log_message(5, "ERROR:  Could not open sound file %s", path);
        return nullptr;
    }
    ogg_sync_init(&load.sync);

    uint8_t stereo = 0;
    int streams = 0;
    // Chained streams are decoded one after another into the same sound.
    for (;;) {
        ogg_page page;
        int found = ogg_next_page(&load, &page);
        if (found == 0) break;
        if (found < 0) {
            ogg_fail("File wasn't really an OGG file");
            ogg_release(&load);
            return nullptr;
        }
        if (!ogg_read_headers(&load, &page) || !ogg_decode_stream(&load)) {
            ogg_release(&load);
            return nullptr;
        }
        if (load.info.channels > 1) stereo = 1;
        streams++;
        ogg_release_stream(&load);
        if (load.cut) {
            log_message(2, "%s is longer than %u samples and was cut there", path, SOUND_MAX_SAMPLES);
            break;
        }
    }
    if (streams == 0) {
        ogg_fail("File wasn't really an OGG file");
        ogg_release(&load);
        return nullptr;
    }
    if (load.count == 0) {
        ogg_fail("OGG file held no samples");
        ogg_release(&load);
        return nullptr;
    }

    sound_effect *sound = sound_create(load.samples, load.count, stereo, volume_scale);
    if (!sound) {
        ogg_fail("Out of memory for the sound");
        ogg_release(&load);
        return nullptr;
    }
    if (stereo) log_message(5, "%s is stereo", path);
    log_message(5, "  Finished loading OGG file...");
    log_message(5, "  Had %u samples total", sound->samples);
    log_message(5, "  Had %d channels", stereo ? 2 : 1);
    if (stereo) log_message(5, "  File is stereo");
    ogg_release(&load);
    return sound;
}

sound_effect *sound_load_ogg(const char *filename, int volume_scale) {
    ogg_problem[0] = 0;
    sound_effect *sound = sound_load_ogg_file(filename, volume_scale);
    if (!sound) log_message(2, "Could not load sound %s -- %s", fix_path(filename), ogg_problem);
    return sound;
}
