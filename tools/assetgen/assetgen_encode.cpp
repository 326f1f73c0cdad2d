// assetgen_encode.cpp — Ogg Vorbis encoding of synthesized sound with libvorbisenc
#include <ogg/ogg.h>
#include <vorbis/codec.h>
#include <vorbis/vorbisenc.h>

#include <cstdio>

#include "assetgen.h"

// A fixed stream serial number keeps every generated file byte-identical.
#define ASSETGEN_OGG_SERIAL 0x4b535452

static uint8_t assetgen_write_pages(FILE *file, ogg_stream_state *stream, uint8_t flush) {
    ogg_page page;
    for (;;) {
        int result = flush ? ogg_stream_flush(stream, &page) : ogg_stream_pageout(stream, &page);
        if (result == 0) return 1;
        if (fwrite(page.header, 1, (size_t)page.header_len, file) != (size_t)page.header_len) return 0;
        if (fwrite(page.body, 1, (size_t)page.body_len, file) != (size_t)page.body_len) return 0;
    }
}

uint8_t assetgen_write_ogg(const char *path, const float *samples, uint32_t frames, int channels, float quality) {
    FILE *file = fopen(path, "wb");
    if (!file) {
        fprintf(stderr, "assetgen: cannot write %s\n", path);
        return 0;
    }
    vorbis_info info;
    vorbis_comment comment;
    vorbis_dsp_state dsp;
    vorbis_block block;
    ogg_stream_state stream;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, 44100, quality) != 0) {
        vorbis_info_clear(&info);
        fclose(file);
        return 0;
    }
    vorbis_comment_init(&comment);
    vorbis_comment_add_tag(&comment, "ENCODER", "kestrova_assets");
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_init(&stream, ASSETGEN_OGG_SERIAL);

    uint8_t ok = 1;
    ogg_packet header, header_comment, header_code;
    vorbis_analysis_headerout(&dsp, &comment, &header, &header_comment, &header_code);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &header_comment);
    ogg_stream_packetin(&stream, &header_code);
    // The headers get pages of their own, so audio starts on a fresh page.
    ok &= assetgen_write_pages(file, &stream, 1);

    uint32_t done = 0;
    uint8_t finished = 0;
    while (!finished) {
        uint32_t chunk = frames - done;
        if (chunk > 1024) chunk = 1024;
        if (chunk == 0) {
            vorbis_analysis_wrote(&dsp, 0);  // end of stream
        } else {
            float **buffer = vorbis_analysis_buffer(&dsp, (int)chunk);
            for (uint32_t i = 0; i < chunk; i++)
                for (int c = 0; c < channels; c++) buffer[c][i] = samples[(size_t)(done + i) * channels + c];
            vorbis_analysis_wrote(&dsp, (int)chunk);
            done += chunk;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                ok &= assetgen_write_pages(file, &stream, 0);
            }
        }
        if (chunk == 0) finished = 1;
    }
    ok &= assetgen_write_pages(file, &stream, 1);

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    if (ferror(file)) ok = 0;
    if (fclose(file) != 0) ok = 0;
    return ok;
}
