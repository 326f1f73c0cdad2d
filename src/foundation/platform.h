// platform.h — the few operating-system services the game needs, one implementation per system
// (platform_posix.cpp, platform_windows.cpp); nothing else in the game knows which system it runs on
#pragma once
#include <cstdint>
#include <cstdio>

// Byte reads and writes without the stream lock, for a reader or writer that holds the lock
// itself (platform_lock_file) for a whole file.
#ifdef _WIN32
#define platform_getc_unlocked getc
#define platform_putc_unlocked putc
#else
#define platform_getc_unlocked getc_unlocked
#define platform_putc_unlocked putc_unlocked
#endif

// A path written with backslashes, converted for this system (a static buffer, or the path itself
// where backslashes are the separator).
char *platform_fix_path(const char *filename);

// Opens a file for reading only when it is a regular file: a FIFO, a device or a folder could
// block the game or never end. Returns none otherwise, with errno set (ENOENT when missing,
// EINVAL when the name is not a regular file) and the file's size in *size when it opened.
FILE *platform_open_regular_file(const char *path, const char *mode, long long *size);

// Creates one folder. Returns 1 when it was made or already exists, 0 with errno set otherwise.
uint8_t platform_make_folder(const char *path);

// Takes and releases a stream's lock for a run of unlocked reads or writes.
void platform_lock_file(FILE *file);
void platform_unlock_file(FILE *file);

// Flushes a written file's data to the disk itself, not just to the system. Returns 1 on success.
uint8_t platform_sync_file(FILE *file);

// Puts the file at temporary_path in path's place in one step, so either the old or the new file
// exists at any moment; with sync_to_disk the replacement itself is on disk when it returns.
// Returns 1 on success.
uint8_t platform_replace_file(const char *temporary_path, const char *path, uint8_t sync_to_disk);

// The directory search: the first entry of a folder (a name without the folder, in a buffer that
// lives until the search closes), then the next ones; null when there are no more. At most one
// search is open at a time, and the first call closes any earlier one.
char *platform_find_first(const char *directory);
char *platform_find_next(void);
void platform_find_close(void);

// Raises the calling thread's priority while the audio device opens, and lowers it afterwards,
// where the system needs it for smooth sound (nothing elsewhere).
void platform_audio_priority_raise(void);
void platform_audio_priority_lower(void);

// Sleeps about one millisecond.
void platform_sleep_1ms(void);

// CPU time the calling thread has used, in microseconds (0 where the system cannot tell).
uint64_t platform_thread_cpu_us(void);
// With on set, memory freed at the top of the heap (and blocks up to 16 MB) stays with the process
// for the next allocation instead of being handed back to the system: the software GL driver
// allocates and frees its vertex copies every frame, and with the C library's usual limits the
// heap shrank and grew again about 23 times a frame in the twenty-zombi view, each time on fresh
// pages that cost a page fault when first touched. Off sets the C library's starting limits (but
// no longer adapts them). Nothing where the C library does not offer it.
void platform_reuse_large_blocks(uint8_t on);
// CPU time the whole process has used, every thread (the GL driver's too), in microseconds.
uint64_t platform_process_cpu_us(void);
