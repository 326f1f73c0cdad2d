// display_tga.cpp — decoding uncompressed TGA pictures into the shared scratch image, the centre fade and halving
#include <cmath>
#include <cstring>

#include "display/display.h"
#include "foundation/logfile.h"

uint8_t temp_texture_data[DISPLAY_TEXTURE_DATA_SIZE];

// One file row at most: 1024 texels of 4 bytes.
static uint8_t display_tga_row[DISPLAY_TEXTURE_MAX_SIDE * 4];

uint32_t global_display_tga_missing_bytes = 0;
const char *global_display_tga_problem = "";

// Reads count bytes; whatever lies past the end of the file reads as 255.
static void display_read_or_255(FILE *file, uint8_t *buffer, size_t count) {
    size_t got = fread(buffer, 1, count, file);
    if (got < count) {
        memset(buffer + got, 255, count - got);
        global_display_tga_missing_bytes += (uint32_t)(count - got);
    }
}

uint8_t display_center_fade_alpha(uint16_t x, uint16_t y, uint16_t width, uint16_t height) {
    int w = width / 16, s = width / 32;
    int hw = height / 16, hs = height / 32;
    int cx = (int)x * 16 / width;
    int cy = (int)y * 16 / height;
    if (cx == 15 && cy == 15) {
        // The last tile holds a horizontal ramp that terrain drawing uses for distance fog.
        int ramp = (int)(4.0f * ((float)x - 15.0f * (float)w + 0.5f));
        return (uint8_t)(ramp & 255);
    }
    float px = (float)(cx * w + s), py = (float)(cy * hw + hs);
    float dx = (float)x - px, dy = (float)y - py;
    float d = sqrtf(dx * dx + dy * dy);
    // A picture narrower than 32 texels has no half-tile width; it counts as fully faded.
    float g = s > 0 ? d / (float)s : 1.0f;
    float h = 4.0f * (g - 0.5f);
    if (h < -1.0f) h = -1.0f;
    if (h > 1.0f) h = 1.0f;
    return (uint8_t)(255 - (int)(127.5f * (1.0f + h)));
}

uint8_t display_decode_tga(FILE *file, uint8_t center_fade, uint16_t *size_x, uint16_t *size_y) {
    global_display_tga_missing_bytes = 0;
    global_display_tga_problem = "";
    uint8_t header[18];
    display_read_or_255(file, header, sizeof(header));
    uint8_t id_length = header[0];
    uint16_t x_origin = (uint16_t)(header[8] | (header[9] << 8));
    uint16_t y_origin = (uint16_t)(header[10] | (header[11] << 8));
    uint16_t width = (uint16_t)(header[12] | (header[13] << 8));
    uint16_t height = (uint16_t)(header[14] | (header[15] << 8));
    uint8_t bits = header[16];
    uint8_t colour_map_type = header[1], image_type = header[2];
    if (!global_display_tga_missing_bytes && (colour_map_type != 0 || image_type != 2)) {
        // Run-length encoded and colour-mapped pictures would read as garbage texels.
        if (image_type == 10 || image_type == 11 || image_type == 9)
            global_display_tga_problem = "it is run-length encoded; only uncompressed TGA pictures are read";
        else if (colour_map_type != 0 || image_type == 1)
            global_display_tga_problem = "it is colour-mapped; only true-colour TGA pictures are read";
        else
            global_display_tga_problem = "it is not an uncompressed true-colour TGA picture (type 2)";
        log_message(5, "ERROR:  File had trouble...  Type == %d, colour map == %d", image_type, colour_map_type);
        return 0;
    }
    log_message(5, "File is %d by %d, with %d bits per pixel -- origin at %d, %d", width, height, bits, x_origin,
                y_origin);
    // A zero side would leave nothing to upload; it is refused like an oversized one.
    if ((bits != 24 && bits != 32) || width > DISPLAY_TEXTURE_MAX_SIDE || height > DISPLAY_TEXTURE_MAX_SIDE ||
        width == 0 || height == 0) {
        log_message(5, "ERROR:  File had trouble...  Bits == %d, X == %d, Y == %d", bits, width, height);
        if (global_display_tga_missing_bytes)
            global_display_tga_problem = "it ends inside its header";
        else if (bits != 24 && bits != 32)
            global_display_tga_problem = "it is not an uncompressed 24 or 32 bit TGA picture";
        else
            global_display_tga_problem = "its size is 0 or beyond 1024 texels";
        return 0;
    }
    uint8_t skip[256];
    display_read_or_255(file, skip, id_length);

    int bytes = bits / 8;
    for (int y = 0; y < height; y++) {
        display_read_or_255(file, display_tga_row, (size_t)width * bytes);
        int ay = y_origin == 0 ? height - 1 - y : y;
        for (int x = 0; x < width; x++) {
            const uint8_t *in = display_tga_row + x * bytes;
            int ax = x_origin != 0 ? width - 1 - x : x;
            uint8_t *out = temp_texture_data + ((size_t)ay * width + ax) * 4;
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
            out[3] = bytes == 4 ? in[3] : 255;
            if (center_fade) out[3] = display_center_fade_alpha((uint16_t)x, (uint16_t)y, width, height);
        }
    }
    *size_x = width;
    *size_y = height;
    return 1;
}

void display_half_texture_data(uint16_t *size_x, uint16_t *size_y) {
    int old_w = *size_x, old_h = *size_y;
    int new_w = old_w / 2 > 1 ? old_w / 2 : 1;
    int new_h = old_h / 2 > 1 ? old_h / 2 : 1;
    for (int y = 0; y < new_h; y++) {
        // A side of 1 has no second texel to average: the edge texel is repeated.
        int y0 = 2 * y, y1 = 2 * y + 1 < old_h ? 2 * y + 1 : 2 * y;
        for (int x = 0; x < new_w; x++) {
            int x0 = 2 * x, x1 = 2 * x + 1 < old_w ? 2 * x + 1 : 2 * x;
            const uint8_t *a = temp_texture_data + ((size_t)y0 * old_w + x0) * 4;
            const uint8_t *b = temp_texture_data + ((size_t)y0 * old_w + x1) * 4;
            const uint8_t *c = temp_texture_data + ((size_t)y1 * old_w + x0) * 4;
            const uint8_t *d = temp_texture_data + ((size_t)y1 * old_w + x1) * 4;
            uint8_t mean[4];
            for (int k = 0; k < 4; k++) mean[k] = (uint8_t)((a[k] + b[k] + c[k] + d[k]) >> 2);
            // The write position never overtakes the texels still to be read.
            memcpy(temp_texture_data + ((size_t)y * new_w + x) * 4, mean, 4);
        }
    }
    *size_x = (uint16_t)new_w;
    *size_y = (uint16_t)new_h;
}
