// file.h — little-endian single-value binary reads and writes, and the one-folder directory search
#pragma once
#include <cstdint>
#include <cstdio>

extern uint8_t file_search_active;
extern char *global_file_search_result;

void file_write_byte(FILE *file, uint8_t value);
void file_write_short(FILE *file, uint16_t value);
void file_write_float(FILE *file, float value);
uint8_t file_read_byte(FILE *file);
uint16_t file_read_short(FILE *file);
float file_read_float(FILE *file);

// Opens a game file for reading (a path already converted for the system). Only a regular file is
// opened: a FIFO or a device could block the game or never end. A missing file is logged at
// missing_level (FILE_QUIET: not at all), anything else that keeps it shut at level 1, always
// naming the file. The size of an opened file is left in *size when given.
#define FILE_QUIET 255
FILE *file_open_for_reading(const char *path, const char *mode, uint8_t missing_level, long long *size);

uint8_t finding_files(const char *search_directory);
char *find_first_file(const char *directory);
char *find_next_file(void);
void find_close(void);
