// platform_posix.cpp — the operating-system services on Linux and other POSIX systems
#ifndef _WIN32
#include "foundation/platform.h"

#include <fcntl.h>
#include <glob.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <cstring>

#include "foundation/logfile.h"

#define PLATFORM_PATH_MAX 4096

char *platform_fix_path(const char *filename) {
    static char fixed[FIX_PATH_MAX + 1];
    int i = 0;
    if (filename) {
        for (; i < FIX_PATH_MAX && filename[i]; i++) fixed[i] = filename[i] == '\\' ? '/' : filename[i];
    }
    fixed[i] = 0;
    return fixed;
}

FILE *platform_open_regular_file(const char *path, const char *mode, long long *size) {
    // Opened without blocking, so a FIFO with no writer does not hang the open itself.
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return nullptr;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        errno = EINVAL;
        return nullptr;
    }
    int flags = fcntl(fd, F_GETFL);
    if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    FILE *file = fdopen(fd, mode);
    if (!file) {
        int error = errno;
        close(fd);
        errno = error;
        return nullptr;
    }
    if (size) *size = (long long)info.st_size;
    return file;
}

uint8_t platform_make_folder(const char *path) { return (mkdir(path, 0755) == 0 || errno == EEXIST) ? 1 : 0; }

void platform_lock_file(FILE *file) { flockfile(file); }
void platform_unlock_file(FILE *file) { funlockfile(file); }

uint8_t platform_sync_file(FILE *file) { return fsync(fileno(file)) == 0 ? 1 : 0; }

uint8_t platform_replace_file(const char *temporary_path, const char *path, uint8_t sync_to_disk) {
    if (rename(temporary_path, path) != 0) return 0;
    // The rename itself survives a power cut once the folder is on disk too.
    if (sync_to_disk) {
        char folder[PLATFORM_PATH_MAX];
        snprintf(folder, sizeof(folder), "%s", path);
        char *slash = strrchr(folder, '/');
        if (slash) {
            *slash = 0;
            int descriptor = open(folder, O_RDONLY);
            if (descriptor >= 0) {
                fsync(descriptor);
                close(descriptor);
            }
        }
    }
    return 1;
}

static glob_t platform_find_glob;
static size_t platform_find_index = 0;
static uint8_t platform_find_open = 0;

static char *platform_find_name_part(const char *path) {
    const char *slash = strrchr(path, '/');
    return slash ? (char *)(slash + 1) : nullptr;
}

char *platform_find_first(const char *directory) {
    platform_find_close();
    char pattern[PLATFORM_PATH_MAX];
    snprintf(pattern, sizeof(pattern), "%s/*", directory ? directory : "");
    memset(&platform_find_glob, 0, sizeof(platform_find_glob));
    if (glob(pattern, GLOB_NOSORT, nullptr, &platform_find_glob) != 0 || platform_find_glob.gl_pathc == 0) {
        globfree(&platform_find_glob);
        return nullptr;
    }
    char *name = platform_find_name_part(platform_find_glob.gl_pathv[0]);
    if (!name) {
        globfree(&platform_find_glob);
        return nullptr;
    }
    platform_find_index = 0;
    platform_find_open = 1;
    return name;
}

char *platform_find_next(void) {
    if (!platform_find_open) return nullptr;
    platform_find_index++;
    if (platform_find_index >= platform_find_glob.gl_pathc) return nullptr;
    return platform_find_name_part(platform_find_glob.gl_pathv[platform_find_index]);
}

void platform_find_close(void) {
    if (platform_find_open) globfree(&platform_find_glob);
    platform_find_open = 0;
}

// The audio thread runs well enough at its normal priority here.
void platform_audio_priority_raise(void) {}
void platform_audio_priority_lower(void) {}

void platform_sleep_1ms(void) { usleep(1000); }

uint64_t platform_thread_cpu_us(void) {
    struct timespec t;
    if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t) != 0) return 0;
    return (uint64_t)t.tv_sec * 1000000u + (uint64_t)t.tv_nsec / 1000u;
}

void platform_reuse_large_blocks(uint8_t on) {
#if defined(__GLIBC__)
    // 128 KB: the C library's own starting limits.
    mallopt(M_MMAP_THRESHOLD, on ? 16 * 1024 * 1024 : 128 * 1024);
    mallopt(M_TRIM_THRESHOLD, on ? 64 * 1024 * 1024 : 128 * 1024);
#else
    (void)on;
#endif
}

uint64_t platform_process_cpu_us(void) {
    struct timespec t;
    if (clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t) != 0) return 0;
    return (uint64_t)t.tv_sec * 1000000u + (uint64_t)t.tv_nsec / 1000u;
}
#endif
