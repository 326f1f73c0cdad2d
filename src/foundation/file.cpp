// file.cpp — binary value helpers and the directory search used to list object folders
#include "foundation/file.h"

#include <cstring>

#include "foundation/logfile.h"

#ifdef _WIN32
#include <windows.h>
#endif

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

#ifndef _WIN32

glob_t last_find_glob;
size_t glob_find_index = 0;

static char *find_name_part(const char *path) {
    const char *slash = strrchr(path, '/');
    return slash ? (char *)(slash + 1) : nullptr;
}

char *find_first_file(const char *directory) {
    if (file_search_active) find_close();
    char pattern[4096];
    snprintf(pattern, sizeof(pattern), "%s/*", directory ? directory : "");
    memset(&last_find_glob, 0, sizeof(last_find_glob));
    if (glob(pattern, GLOB_NOSORT, nullptr, &last_find_glob) != 0 || last_find_glob.gl_pathc == 0) {
        globfree(&last_find_glob);
        return nullptr;
    }
    char *name = find_name_part(last_find_glob.gl_pathv[0]);
    if (!name) {
        globfree(&last_find_glob);
        return nullptr;
    }
    glob_find_index = 0;
    file_search_active = 1;
    return name;
}

char *find_next_file(void) {
    if (!file_search_active) return nullptr;
    glob_find_index++;
    if (glob_find_index >= last_find_glob.gl_pathc) return nullptr;
    return find_name_part(last_find_glob.gl_pathv[glob_find_index]);
}

void find_close(void) {
    if (file_search_active) globfree(&last_find_glob);
    file_search_active = 0;
}

#else

static HANDLE find_handle = INVALID_HANDLE_VALUE;
static WIN32_FIND_DATAA find_data;

char *find_first_file(const char *directory) {
    if (file_search_active) find_close();
    char pattern[4096];
    size_t length = directory ? strlen(directory) : 0;
    const char *separator = (length > 0 && directory[length - 1] == '\\') ? "" : "\\";
    snprintf(pattern, sizeof(pattern), "%s%s*", directory ? directory : "", separator);
    find_handle = FindFirstFileA(pattern, &find_data);
    if (find_handle == INVALID_HANDLE_VALUE) return nullptr;
    file_search_active = 1;
    return find_data.cFileName;
}

char *find_next_file(void) {
    if (!file_search_active) return nullptr;
    if (!FindNextFileA(find_handle, &find_data)) return nullptr;
    return find_data.cFileName;
}

void find_close(void) {
    if (file_search_active && find_handle != INVALID_HANDLE_VALUE) FindClose(find_handle);
    find_handle = INVALID_HANDLE_VALUE;
    file_search_active = 0;
}

#endif
