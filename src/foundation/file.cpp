// file.cpp — binary value helpers and the directory search used to list object folders
#include "foundation/file.h"

#include <cerrno>
#include <cstring>

#include "foundation/logfile.h"
#include "foundation/platform.h"

uint8_t file_search_active = 0;
char *global_file_search_result = nullptr;

// Every supported platform is little-endian, so values go to disk in memory order.
void file_write_byte(FILE *file, uint8_t value) { fwrite(&value, 1, 1, file); }
void file_write_short(FILE *file, uint16_t value) { fwrite(&value, 2, 1, file); }
void file_write_float(FILE *file, float value) { fwrite(&value, 4, 1, file); }

// Values are cleared first, so a read past the end of the file yields 0.
uint8_t file_read_byte(FILE *file) {
    uint8_t value = 0;
    if (fread(&value, 1, 1, file) != 1) value = 0;
    return value;
}

uint16_t file_read_short(FILE *file) {
    uint16_t value = 0;
    if (fread(&value, 2, 1, file) != 1) value = 0;
    return value;
}

float file_read_float(FILE *file) {
    float value = 0.0f;
    if (fread(&value, 4, 1, file) != 1) value = 0.0f;
    return value;
}

uint8_t finding_files(const char *search_directory) {
    if (!file_search_active)
        global_file_search_result = find_first_file(fix_path(search_directory));
    else
        global_file_search_result = find_next_file();
    // Windows lists "." and ".." first; skip at most those two.
    for (int skips = 0; skips < 2 && global_file_search_result && global_file_search_result[0] == '.'; skips++)
        global_file_search_result = find_next_file();
    if (global_file_search_result) return 1;
    find_close();
    return 0;
}

char *find_first_file(const char *directory) {
    if (file_search_active) find_close();
    char *name = platform_find_first(directory);
    if (name) file_search_active = 1;
    return name;
}

char *find_next_file(void) { return file_search_active ? platform_find_next() : nullptr; }

void find_close(void) {
    if (file_search_active) platform_find_close();
    file_search_active = 0;
}

FILE *file_open_for_reading(const char *path, const char *mode, uint8_t missing_level, long long *size) {
    if (!path) return nullptr;
    long long bytes = 0;
    errno = 0;
    FILE *file = platform_open_regular_file(path, mode, &bytes);
    if (file) {
        if (size) *size = bytes;
        return file;
    }
    int error = errno;
    if (error == ENOENT || error == ENOTDIR) {
        if (missing_level != FILE_QUIET) log_message(missing_level, "File %s is missing", path);
    } else if (error == EINVAL) {
        log_message(1, "File %s is not a regular file (a FIFO, a device or a folder); it is not read", path);
    } else {
        log_message(1, "File %s cannot be read: %s", path, strerror(error ? error : EIO));
    }
    errno = error;
    return nullptr;
}
