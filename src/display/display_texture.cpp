// display_texture.cpp — loading TGA files as GL textures, with halving retries and CPU-built mipmaps
#include <SDL_opengl.h>

#include <cerrno>
#include <cstring>

#include "display/display.h"
#include "foundation/logfile.h"
#include "foundation/platform.h"

uint32_t title_texture = 0, font_texture = 0, material_texture = 0, light_texture = 0, backdrop_texture = 0,
         updrop_texture = 0, downdrop_texture = 0, subdrop_texture = 0, sun_texture = 0, moon_texture = 0,
         backpack_texture = 0, shade_texture = 0, select_texture = 0, cross_texture = 0, notch_texture = 0;

// Set while loading a picture that may be absent (an object's further textures).
static uint8_t display_texture_optional = 0;

uint32_t display_load_texture_file_if_present(const char *filename, uint8_t mipmap, uint8_t center_fade) {
    display_texture_optional = 1;
    uint32_t texture = display_load_texture_file_rgba(filename, mipmap, center_fade);
    display_texture_optional = 0;
    return texture;
}

uint32_t display_load_texture_file_rgba(const char *filename, uint8_t mipmap, uint8_t center_fade) {
    errno = 0;
    FILE *file = platform_open_regular_file(fix_path(filename), "rb", nullptr);
    if (!file) {
        int error = errno;
        log_message(5, "Failed to load image file %s", filename);
        if (!(display_texture_optional && error == ENOENT))
            log_message(2, "Could not load picture %s -- %s", fix_path(filename),
                        error == EINVAL ? "it is not a regular file" : strerror(error));
        return 0;
    }
    log_message(5, "Loading image file %s", filename);
    uint16_t width = 0, height = 0;
    uint8_t decoded = display_decode_tga(file, center_fade, &width, &height);
    fclose(file);
    if (!decoded) {
        log_message(2, "Could not load picture %s -- %s", fix_path(filename), global_display_tga_problem);
        return 0;
    }
    if (global_display_tga_missing_bytes)
        log_message(2, "Picture %s ends early: %u bytes of its %dx%d texels are missing and show white",
                    fix_path(filename), (unsigned)global_display_tga_missing_bytes, width, height);

    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, mipmap ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);

    // Clear pending errors (bounded: without a current context some drivers never report none).
    for (int pending = 0; pending < 32 && glGetError() != GL_NO_ERROR; pending++) {
    }
    glTexImage2D(GL_TEXTURE_2D, 0, 4, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, temp_texture_data);
    while (glGetError() != GL_NO_ERROR && width >= 2 && height >= 2) {
        log_message(5, "  Was unable to load texture of size %dx%d", width, height);
        display_half_texture_data(&width, &height);
        log_message(5, "  Attempting again at size %dx%d", width, height);
        glTexImage2D(GL_TEXTURE_2D, 0, 4, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, temp_texture_data);
    }

    if (mipmap) {
        uint8_t level = 1;
        while (width > 1 || height > 1) {
            display_half_texture_data(&width, &height);
            glTexImage2D(GL_TEXTURE_2D, level, 4, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, temp_texture_data);
            level++;
        }
    }
    return texture;
}

void display_unload_texture(uint32_t texture) {
    GLuint name = texture;
    glDeleteTextures(1, &name);
}
