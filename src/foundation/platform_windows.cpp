// platform_windows.cpp — the operating-system services on Windows
#ifdef _WIN32
#include "foundation/platform.h"

#include <direct.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <cstring>

#include "foundation/logfile.h"

// Backslashes are the separator here: paths are used as written.
char *platform_fix_path(const char *filename) { return (char *)filename; }

FILE *platform_open_regular_file(const char *path, const char *mode, long long *size) {
    struct _stati64 info;
    if (_stati64(path, &info) != 0) return nullptr;
    if (!(info.st_mode & _S_IFREG)) {
        errno = EINVAL;
        return nullptr;
    }
    FILE *file = fopen(path, mode);
    if (file && size) *size = (long long)info.st_size;
    return file;
}

uint8_t platform_make_folder(const char *path) { return (_mkdir(path) == 0 || errno == EEXIST) ? 1 : 0; }

void platform_lock_file(FILE *file) { _lock_file(file); }
void platform_unlock_file(FILE *file) { _unlock_file(file); }

uint8_t platform_sync_file(FILE *file) { return _commit(_fileno(file)) == 0 ? 1 : 0; }

// MOVEFILE_WRITE_THROUGH returns only once the move is on disk, so the folder needs no flush.
uint8_t platform_replace_file(const char *temporary_path, const char *path, uint8_t sync_to_disk) {
    DWORD flags = MOVEFILE_REPLACE_EXISTING;
    if (sync_to_disk) flags |= MOVEFILE_WRITE_THROUGH;
    return MoveFileExA(temporary_path, path, flags) ? 1 : 0;
}

static HANDLE platform_find_handle = INVALID_HANDLE_VALUE;
static WIN32_FIND_DATAA platform_find_data;

char *platform_find_first(const char *directory) {
    platform_find_close();
    char pattern[4096];
    size_t length = directory ? strlen(directory) : 0;
    const char *separator = (length > 0 && directory[length - 1] == '\\') ? "" : "\\";
    snprintf(pattern, sizeof(pattern), "%s%s*", directory ? directory : "", separator);
    platform_find_handle = FindFirstFileA(pattern, &platform_find_data);
    if (platform_find_handle == INVALID_HANDLE_VALUE) return nullptr;
    return platform_find_data.cFileName;
}

char *platform_find_next(void) {
    if (platform_find_handle == INVALID_HANDLE_VALUE) return nullptr;
    if (!FindNextFileA(platform_find_handle, &platform_find_data)) return nullptr;
    return platform_find_data.cFileName;
}

void platform_find_close(void) {
    if (platform_find_handle != INVALID_HANDLE_VALUE) FindClose(platform_find_handle);
    platform_find_handle = INVALID_HANDLE_VALUE;
}

// The audio device's thread inherits the priority of the thread that opens it.
void platform_audio_priority_raise(void) {
    log_message(3, "INFO:   Trying to initialize sound system");
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
}

void platform_audio_priority_lower(void) { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST); }

void platform_sleep_1ms(void) { Sleep(1); }

uint64_t platform_thread_cpu_us(void) {
    FILETIME created, ended, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user)) return 0;
    // FILETIME counts 100 ns.
    uint64_t k = ((uint64_t)kernel.dwHighDateTime << 32) | kernel.dwLowDateTime;
    uint64_t u = ((uint64_t)user.dwHighDateTime << 32) | user.dwLowDateTime;
    return (k + u) / 10u;
}

void platform_reuse_large_blocks(uint8_t on) { (void)on; }

uint64_t platform_process_cpu_us(void) {
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user)) return 0;
    uint64_t k = ((uint64_t)kernel.dwHighDateTime << 32) | kernel.dwLowDateTime;
    uint64_t u = ((uint64_t)user.dwHighDateTime << 32) | user.dwLowDateTime;
    return (k + u) / 10u;
}
#endif
